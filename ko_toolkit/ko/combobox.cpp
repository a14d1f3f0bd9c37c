#include "ko/combobox.h"

#include "ko/dark_style.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace ko {

QString combobox::style_sheet()
{
    return QStringLiteral(
               "QComboBox{padding-left:0.2em;margin-top:0px;margin-bottom:0px;outline:none;"
               "font-size:12px;color:rgb(198,213,210);background-color:rgb(36,36,36);"
               "border:1px solid rgb(99,99,99);selection-background-color:rgb(200,210,200);"
               "selection-color:#000;}"
               "QComboBox QAbstractItemView{outline:none;font-size:12px;background-color:rgb(36,36,36);"
               "border:1px solid rgb(99,99,99);color:rgb(198,213,210);"
               "selection-background-color:rgb(200,210,200);selection-color:#000;}"
               "QComboBox QAbstractItemView::item{padding-left:0.5em;}"
               "QComboBox::drop-down{border:none;border-left:1px solid rgb(99,99,99);}"
               "QComboBox::down-arrow{image:url(:/gui/combobox/arrow.png);width:20px;}") +
           dark_tooltip_rule() + fusion_vertical_scrollbar_sheet();
}

combobox::combobox(QWidget* parent) : QComboBox(parent)
{
    setStyleSheet(style_sheet());
    setCurrentIndex(-1);
    setCurrentText(QString());
    setInsertPolicy(QComboBox::InsertAlphabetically);
}

void combobox::wheelEvent(QWheelEvent* event)
{
    if (ignore_wheel) {
        // Taken here so it neither changes the choice nor reaches a scroll
        // area behind the box.
        event->accept();
        return;
    }
    QComboBox::wheelEvent(event);
}

void combobox::mouseReleaseEvent(QMouseEvent* event)
{
    QComboBox::mouseReleaseEvent(event);
    emit clicked();
}

button_combobox::combo_box_widget::combo_box_widget(button_combobox* owner_)
    : QWidget(nullptr, Qt::Popup), owner(owner_)
{
}

button_combobox::button_combobox(QWidget* parent) : QComboBox(parent), popup(this) {}

void button_combobox::paintEvent(QPaintEvent*)
{
    if (!paint_function)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    paint_function(painter);
}

void button_combobox::mousePressEvent(QMouseEvent* event)
{
    QComboBox::mousePressEvent(event);
    emit clicked();
    update();
}

void button_combobox::showPopup()
{
    QComboBox::showPopup();
    if (popup_closing) {
        popup_closing = false;
        update();
        return;
    }
    if (popup.isHidden()) {
        popup.move(mapTo(window(), QPoint(0, height() - 1)) + window()->geometry().topLeft());
        popup.show();
    } else {
        popup.hide();
        hidePopup();
        update();
    }
    update();
}

} // namespace ko
