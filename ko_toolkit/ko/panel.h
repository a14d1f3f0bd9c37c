#pragma once
// A framed container: the content layout inside a 3-pixel border image
// (":/gui/panel/border<index>.png").

#include <QLayout>
#include <QString>
#include <QWidget>

namespace ko {

class panel : public QWidget {
    Q_OBJECT
public:
    explicit panel(QLayout* content, const QString& border_index = QString(),
                   QWidget* parent = nullptr);

    QWidget* frame() const { return frame_widget; }
    QWidget* content() const { return content_widget; }

private:
    QWidget* frame_widget = nullptr;
    QWidget* content_widget = nullptr;
};

} // namespace ko
