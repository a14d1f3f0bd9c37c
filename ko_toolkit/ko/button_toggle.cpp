#include "ko/button_toggle.h"

#include "ko/dark_style.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPen>

#include <algorithm>

namespace ko {

button_toggle::button_toggle(const QString& text, std::shared_ptr<toggle_group> group, QWidget* parent)
    : QPushButton(text, parent), group_(group ? std::move(group) : std::make_shared<toggle_group>())
{
    setCheckable(true);
    group_->push_back(this);
    connect(this, &QAbstractButton::clicked, this, &button_toggle::group_integrity_check);
}

button_toggle::~button_toggle()
{
    // The others keep the group; no pointer to this button may stay in it.
    group_->erase(std::remove(group_->begin(), group_->end(), this), group_->end());
}

bool button_toggle::other_checked() const
{
    return std::any_of(group_->begin(), group_->end(),
                       [this](const button_toggle* b) { return b != this && b->isChecked(); });
}

void button_toggle::set_checked_in_group(bool checked)
{
    if (exclusive && isChecked() && !other_checked())
        return;
    setChecked(checked);
    if (isChecked()) {
        // Copy: unchecking may not change the group, but stay safe anyway.
        const toggle_group members = *group_;
        for (button_toggle* b : members) {
            if (b != this)
                b->set_checked_in_group(false);
        }
    }
    if (frame_follows_checked)
        show_frame = isChecked();
}

void button_toggle::group_integrity_check(bool)
{
    if (exclusive && !isChecked() && !other_checked())
        set_checked_in_group(true);
    if (isChecked()) {
        const toggle_group members = *group_;
        for (button_toggle* b : members) {
            if (b != this)
                b->set_checked_in_group(false);
        }
    }
}

void button_toggle::paintEvent(QPaintEvent* event)
{
    if (frame_rect.right() == frame_rect.left() - 1 && frame_rect.bottom() == frame_rect.top() - 1)
        frame_rect = QRect(QPoint(1, 1), QPoint(width(), height()));
    if (frame_follows_checked)
        show_frame = isChecked();
    last_checked = isChecked();
    QPushButton::paintEvent(event);
    if (show_frame) {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(222, 222, 222), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(frame_rect);
    }
}

void button_toggle::mousePressEvent(QMouseEvent* event)
{
    QPushButton::mousePressEvent(event);
    if (frame_follows_checked)
        show_frame = isChecked();
    repaint();
}

void button_toggle::mouseReleaseEvent(QMouseEvent* event)
{
    QPushButton::mouseReleaseEvent(event);
    if (frame_follows_checked)
        show_frame = isChecked();
    repaint();
}

void button_toggle::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

bool button_toggle::hitButton(const QPoint& position) const
{
    return QPushButton::hitButton(position);
}

button_toggle_switch::button_toggle_switch(const QString& unchecked, const QString& checked,
                                           std::shared_ptr<toggle_group> group, QWidget* parent)
    : button_toggle(QString(), std::move(group), parent), unchecked_image(unchecked), checked_image(checked)
{
    switch_style();
}

QString button_toggle_switch::switch_style_sheet() const
{
    return QStringLiteral("QPushButton{background-image:url(") + (isChecked() ? checked_image : unchecked_image)
           + QStringLiteral(");}") + dark_tooltip_rule();
}

void button_toggle_switch::switch_style()
{
    update();
    setStyleSheet(switch_style_sheet());
}

void button_toggle_switch::paintEvent(QPaintEvent* event)
{
    button_toggle::paintEvent(event);
    const QString sheet = switch_style_sheet();
    if (sheet != styleSheet())
        setStyleSheet(sheet);
}

void button_toggle_switch::mousePressEvent(QMouseEvent* event)
{
    button_toggle::mousePressEvent(event);
    switch_style();
    if (toggle_on_press) {
        if (event->button() != Qt::LeftButton)
            setChecked(!isChecked());
        else if (!isChecked())
            setChecked(true);
    }
}

void button_toggle_switch::mouseReleaseEvent(QMouseEvent* event)
{
    button_toggle::mouseReleaseEvent(event);
    switch_style();
}

void button_toggle_switch::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

} // namespace ko
