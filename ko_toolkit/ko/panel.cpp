#include "ko/panel.h"

#include <QVBoxLayout>

namespace ko {

panel::panel(QLayout* content, const QString& border_index, QWidget* parent) : QWidget(parent)
{
    auto* outer = new QVBoxLayout(this);
    outer->setSpacing(0);
    outer->setContentsMargins(0, 0, 0, 0);

    content_widget = new QWidget;
    if (content)
        content_widget->setLayout(content);

    frame_widget = new QWidget;
    frame_widget->setObjectName(QStringLiteral("ko--panel"));
    auto* frame_layout = new QVBoxLayout(frame_widget);
    frame_layout->setSpacing(0);
    frame_layout->setContentsMargins(3, 3, 3, 3);
    frame_layout->addWidget(content_widget, 1);
    outer->addWidget(frame_widget, 1);

    setStyleSheet(QStringLiteral("#ko--panel%1 {border-style:solid; border-width:3px; "
                                 "border-image:url(:/gui/panel/border%1.png) 3 stretch;}")
                      .arg(border_index));
}

} // namespace ko
