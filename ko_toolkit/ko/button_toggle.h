#pragma once
// Checkable push buttons that belong to a shared group: the group keeps at
// most one button checked (and, when exclusive, at least one), and a
// checked button draws a light frame. The switch variant shows one of two
// background images by its checked state.

#include <QPushButton>
#include <QRect>
#include <QString>

#include <memory>
#include <vector>

namespace ko {

class button_toggle;

// The buttons of one toggle group, shared by all of them. A button enters
// its group when it is constructed and leaves it when it is destroyed.
using toggle_group = std::vector<button_toggle*>;

class button_toggle : public QPushButton
{
    Q_OBJECT

public:
    // Joins the given group, or a new group of its own when group is null.
    // The button is checkable; a click runs the group's integrity check.
    explicit button_toggle(const QString& text = QString(), std::shared_ptr<toggle_group> group = nullptr,
                           QWidget* parent = nullptr);
    ~button_toggle() override;

    // Checks or unchecks the button and unchecks every other button of the
    // group when this one ends up checked. The last checked button of an
    // exclusive group stays checked.
    void set_checked_in_group(bool checked);

    std::shared_ptr<toggle_group> group() const { return group_; }

    // True: the last checked button of the group cannot be unchecked.
    bool exclusive = false;
    // The checked state at the last paint.
    bool last_checked = false;
    // Where the frame is drawn; the null rectangle means the whole button.
    QRect frame_rect;
    bool show_frame = false;
    // The frame is shown exactly while the button is checked.
    bool frame_follows_checked = true;

public slots:
    // Restores the group's consistency after this button changed state;
    // the argument is not used (it takes the clicked signal's value).
    void group_integrity_check(bool);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool hitButton(const QPoint& position) const override;

private:
    bool other_checked() const;

    std::shared_ptr<toggle_group> group_;
};

class button_toggle_switch : public button_toggle
{
    Q_OBJECT

public:
    button_toggle_switch(const QString& unchecked_image, const QString& checked_image,
                         std::shared_ptr<toggle_group> group = nullptr, QWidget* parent = nullptr);

    // The style sheet showing the image of the current state.
    QString switch_style_sheet() const;

    QString unchecked_image;
    QString checked_image;
    // A press other than with the left button toggles the state; a left
    // press checks an unchecked button.
    bool toggle_on_press = false;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void switch_style();
};

} // namespace ko
