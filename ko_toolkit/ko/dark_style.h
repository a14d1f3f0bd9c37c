#pragma once
// Style-sheet fragments shared by the dark widgets.

#include <QString>

namespace ko {

// "QToolTip{border:1px solid rgb(99,99,99);background-image:none;background-color:rgb(47,47,47);}"
QString dark_tooltip_rule();

// Scroll bars of the dark views (see set_fusion_scrollbars).
QString fusion_vertical_scrollbar_sheet();
QString fusion_horizontal_scrollbar_sheet();

} // namespace ko
