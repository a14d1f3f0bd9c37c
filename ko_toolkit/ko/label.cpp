#include "ko/label.h"

#include <QMouseEvent>
#include <QPainter>

namespace ko {

label::label(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void label::paintEvent(QPaintEvent* event)
{
    if (paint_function) {
        QPainter painter(this);
        paint_function(painter);
        return;
    }
    QLabel::paintEvent(event);
}

clickable_label::clickable_label(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    apply_decoration(QStringLiteral("none"));
}

void clickable_label::apply_decoration(const QString& decoration)
{
    setStyleSheet(QStringLiteral("QLabel { text-decoration: %1; }QToolTip { border:1px solid "
                                 "rgb(99,99,99);background-image:none;background-color:rgb(47,47,47); }")
                      .arg(decoration));
}

void clickable_label::set_underline_on_hover(bool on)
{
    underline_on_hover = on;
    if (!on)
        apply_decoration(QStringLiteral("none"));
}

void clickable_label::enterEvent(QEvent* event)
{
    if (underline_on_hover)
        apply_decoration(QStringLiteral("underline"));
    QLabel::enterEvent(event);
}

void clickable_label::leaveEvent(QEvent* event)
{
    if (underline_on_hover)
        apply_decoration(QStringLiteral("none"));
    QLabel::leaveEvent(event);
}

void clickable_label::mousePressEvent(QMouseEvent* event)
{
    pressed_modifiers_ = int(event->modifiers());
    if (event->button() == Qt::LeftButton)
        emit clicked();
}

void clickable_label::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    pressed_modifiers_ = 0;
}

} // namespace ko
