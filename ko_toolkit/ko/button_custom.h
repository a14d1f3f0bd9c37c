#pragma once
// A push button painted entirely by a function of the user's, with a
// handler for drops.

#include <QPushButton>

#include <functional>

class QDropEvent;
class QPainter;

namespace ko {

class button_custom : public QPushButton
{
    Q_OBJECT

public:
    explicit button_custom(QWidget* parent = nullptr);
    explicit button_custom(std::function<void(QPainter&)> paint, QWidget* parent = nullptr);

    // Paints the whole button; nothing is painted while it is empty.
    std::function<void(QPainter&)> paint_function;
    // Runs for every drop; the ordinary handling while it is empty. Drops
    // reach the button only after setAcceptDrops(true).
    std::function<void(QDropEvent*)> drop_handler;

protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

} // namespace ko
