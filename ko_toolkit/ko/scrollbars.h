#pragma once
// Thin black scroll bars on the dark background, drawn by the Fusion style.

#include "ko/dark_style.h"

#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>

namespace ko {

// Gives area's two scroll bars a Fusion style (owned by area) and the dark
// scroll-bar sheets. Area is any QAbstractScrollArea type.
template <class Area>
void set_fusion_scrollbars(Area* area)
{
    QStyle* fusion = QStyleFactory::create(QStringLiteral("fusion"));
    if (fusion)
        fusion->setParent(area);
    if (fusion)
        area->verticalScrollBar()->setStyle(fusion);
    if (fusion)
        area->horizontalScrollBar()->setStyle(fusion);
    area->verticalScrollBar()->setStyleSheet(fusion_vertical_scrollbar_sheet());
    area->horizontalScrollBar()->setStyleSheet(fusion_horizontal_scrollbar_sheet());
}

} // namespace ko
