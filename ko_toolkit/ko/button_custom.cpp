#include "ko/button_custom.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QPainter>

namespace ko {

button_custom::button_custom(QWidget* parent) : QPushButton(parent) {}

button_custom::button_custom(std::function<void(QPainter&)> paint, QWidget* parent)
    : QPushButton(parent), paint_function(std::move(paint))
{
}

void button_custom::paintEvent(QPaintEvent*)
{
    if (!paint_function)
        return;
    QPainter painter(this);
    paint_function(painter);
}

void button_custom::dragEnterEvent(QDragEnterEvent* event)
{
    event->acceptProposedAction();
}

void button_custom::dropEvent(QDropEvent* event)
{
    if (drop_handler)
        drop_handler(event);
    else
        QPushButton::dropEvent(event);
}

} // namespace ko
