#include "ko/radio.h"

#include "ko/dark_style.h"

namespace ko {

radio::radio(QWidget* parent) : radio(QString(), parent) {}

radio::radio(const QString& text, QWidget* parent) : QRadioButton(text, parent)
{
    apply_style();
}

void radio::apply_style()
{
    setStyleSheet(
        QStringLiteral("QRadioButton{spacing:%1px;}").arg(spacing) +
        QStringLiteral(
            "QRadioButton::indicator:unchecked{image:url(:/gui/radio/unchecked.png);}"
            "QRadioButton::indicator:checked{image:url(:/gui/radio/checked.png);}"
            "QRadioButton::indicator:disabled:unchecked{image:url(:/gui/radio/disabled_unchecked.png);}"
            "QRadioButton::indicator:disabled:checked{image:url(:/gui/radio/disabled_checked.png);}") +
        dark_tooltip_rule());
}

} // namespace ko
