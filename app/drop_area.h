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

signals:
    // The existing files of a drop, in order: a local file as it came, a
    // local folder as its readable files one level deep. Besides them the
    // names that cannot be loaded by their text (their bytes no UTF-8) and
    // the URLs of files on another host, each once.
    void files_dropped(QStringList files, QStringList refused = QStringList(), QStringList remote = QStringList());

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
