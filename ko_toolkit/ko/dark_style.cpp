#include "ko/dark_style.h"

namespace ko {

QString dark_tooltip_rule()
{
    return QStringLiteral(
        "QToolTip{border:1px solid rgb(99,99,99);background-image:none;"
        "background-color:rgb(47,47,47);}");
}

QString fusion_vertical_scrollbar_sheet()
{
    return QStringLiteral(
        "QScrollBar:vertical{border:none;background:rgb(47,47,47);width:11px;margin:0px 0px 0px 0px;}"
        "QScrollBar::handle:vertical{border:1px solid black;border-radius:5px;"
        "background:rgb(0,0,0);min-height:20px;}"
        "QScrollBar::add-line:vertical{background:black;height:0px;"
        "subcontrol-position:bottom;subcontrol-origin:margin;}"
        "QScrollBar::sub-line:vertical{background:black;height:0px;"
        "subcontrol-position:top;subcontrol-origin:margin;}");
}

QString fusion_horizontal_scrollbar_sheet()
{
    return QStringLiteral(
        "QScrollBar:horizontal{border:none;background:rgb(47,47,47);height:11px;margin:0px 0px 0px 0px;}"
        "QScrollBar::handle:horizontal{border:1px solid black;border-radius:5px;"
        "background:rgb(0,0,0);min-width:20px;}"
        "QScrollBar::add-line:horizontal{background:black;width:0px;"
        "subcontrol-position:right;subcontrol-origin:margin;}"
        "QScrollBar::sub-line:horizontal{background:black;width:0px;"
        "subcontrol-position:left;subcontrol-origin:margin;}");
}

} // namespace ko
