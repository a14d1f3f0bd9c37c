#pragma once
// The area of the main window that takes photos and folders dragged in from
// a file manager and hands them on as a list of local file paths.

#include <QStringList>
#include <QWidget>

class QDragEnterEvent;
class QDropEvent;

class drop_files_widget : public QWidget
{
    Q_OBJECT
public:
    explicit drop_files_widget(QWidget* parent = nullptr);

    // The existing files named by the URLs of a drop, in order: a local file
    // as it came, a local folder as its readable files one level deep.
    static QStringList files_of_urls(const QList<QUrl>& urls);

    // The candidates for loading of one dropped or opened path, in order: a
    // file as it came, a folder as its readable files one level deep. Also
    // names that are not valid text (their bytes no UTF-8), which Qt cannot
    // open: they come as Qt shows them, with U+FFFD in place of the bad bytes,
    // so that loading can name and refuse them.
    static QStringList files_of_path(const QString& path);

signals:
    void files_dropped(QStringList files);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
