#include "ko/proxy_style.h"

#include <QApplication>

namespace ko {

proxy_style::proxy_style() : QProxyStyle()
{
    if (QStyle* current = QApplication::style()) {
        tooltip_delay = current->styleHint(SH_ToolTip_WakeUpDelay);
        tooltip_cooldown = current->styleHint(SH_ToolTip_FallAsleepDelay);
    }
}

proxy_style::~proxy_style() = default;

int proxy_style::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                           QStyleHintReturn* return_data) const
{
    switch (hint) {
    case SH_ToolTip_WakeUpDelay:
        return tooltip_delay;
    case SH_ToolTip_FallAsleepDelay:
        return tooltip_cooldown;
    case SH_Slider_AbsoluteSetButtons:
        return Qt::LeftButton;
    default:
        return QProxyStyle::styleHint(hint, option, widget, return_data);
    }
}

void proxy_style::set_tooltip_delay(int milliseconds)
{
    tooltip_delay = milliseconds;
}

void proxy_style::set_tooltip_cooldown(int milliseconds)
{
    tooltip_cooldown = milliseconds;
}

} // namespace ko
