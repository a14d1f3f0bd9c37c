#include "ko/lineedit.h"

#include "ko/dark_style.h"

#include <QTimer>

namespace ko {

lineedit::lineedit(QWidget* parent) : QLineEdit(parent)
{
    border_colour = QColor(99, 99, 99);
    current_border_colour = border_colour;
    setAttribute(Qt::WA_MacShowFocusRect, false);
    apply_style();
}

void lineedit::apply_style()
{
    setStyleSheet(
        QStringLiteral("ko--lineedit{background-color:rgb(38,38,38);color:rgb(198,213,210);"
                       "border:1px solid rgb(%1);selection-background-color:rgb(198,213,210);"
                       "selection-color:#000;}"
                       "ko--lineedit:disabled{border:1px solid rgb(75,75,75);"
                       "background-color:rgb(47,47,47);color:rgb(100,100,100);}")
            .arg(QStringLiteral("%1,%2,%3")
                     .arg(current_border_colour.red())
                     .arg(current_border_colour.green())
                     .arg(current_border_colour.blue())) +
        dark_tooltip_rule());
}

void lineedit::set_border_color(const QColor& colour)
{
    border_colour = colour;
    current_border_colour = colour;
    apply_style();
}

void lineedit::set_current_border_color(const QColor& colour)
{
    current_border_colour = colour;
    apply_style();
}

void lineedit::reset_border_color()
{
    current_border_colour = border_colour;
    apply_style();
}

combobox_lineedit::combobox_lineedit(QWidget* parent) : QLineEdit(parent) {}

void combobox_lineedit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    QTimer::singleShot(0, this, &QLineEdit::selectAll);
}

textedit::textedit(QWidget* parent) : QTextEdit(parent) {}

} // namespace ko
