#pragma once
// Dark combo boxes.

#include <QComboBox>
#include <QString>
#include <QWidget>

#include <functional>

class QPainter;

namespace ko {

// A dark combo box that ignores the mouse wheel (so turning the wheel over
// it neither changes the choice nor scrolls the view behind it) and emits
// clicked() when the mouse is released on it.
class combobox : public QComboBox {
    Q_OBJECT
public:
    explicit combobox(QWidget* parent = nullptr);

    static QString style_sheet();
    bool ignores_wheel() const { return ignore_wheel; }
    void set_ignore_wheel(bool ignore) { ignore_wheel = ignore; }

signals:
    void clicked();

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool ignore_wheel = true;
};

// A combo box that paints itself only through paint_function and shows a
// widget of its own below it in place of the list.
class button_combobox : public QComboBox {
    Q_OBJECT
public:
    class combo_box_widget : public QWidget {
    public:
        explicit combo_box_widget(button_combobox* owner);
        button_combobox* owner = nullptr;
    };

    explicit button_combobox(QWidget* parent = nullptr);

    std::function<void(QPainter&)> paint_function;
    QString text;  // what paint_function shows, for its own use
    combo_box_widget* popup_widget() { return &popup; }
    // Set while the shown widget is closing, so that the popup request that
    // the closing click makes does not reopen it.
    void set_popup_closing(bool closing) { popup_closing = closing; }

    void showPopup() override;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool popup_closing = false;
    combo_box_widget popup;
};

} // namespace ko
