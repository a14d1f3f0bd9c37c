#pragma once
// Labels: one painted by a function of its user, one that acts as a link.

#include <QLabel>
#include <QString>

#include <functional>

class QPainter;

namespace ko {

// A label; while paint_function is set, it paints only through it.
class label : public QLabel {
public:
    explicit label(const QString& text = QString(), QWidget* parent = nullptr);

    std::function<void(QPainter&)> paint_function;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A label that emits clicked() on a left press and underlines its text
// while the mouse is over it.
class clickable_label : public QLabel {
    Q_OBJECT
public:
    explicit clickable_label(const QString& text = QString(), QWidget* parent = nullptr);

    int pressed_modifiers() const { return pressed_modifiers_; }
    bool underlines_on_hover() const { return underline_on_hover; }
    void set_underline_on_hover(bool on);

signals:
    void clicked();

protected:
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void apply_decoration(const QString& decoration);
    bool underline_on_hover = true;
    int pressed_modifiers_ = 0;
};

} // namespace ko
