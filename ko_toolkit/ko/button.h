#pragma once
// A flat push button that flashes a light frame for 200 ms after each
// click, and a variant whose face is rendered from an HTML text.

#include <QPushButton>
#include <QRect>
#include <QString>

namespace ko {

class button : public QPushButton
{
    Q_OBJECT

public:
    // The flash is a 2-pixel border set through the style sheet.
    explicit button(const QString& text = QString(), QWidget* parent = nullptr);
    // The flash is a frame painted at r, shrunk by 4 pixels at the top left
    // and grown by 1 pixel at the bottom right.
    button(QWidget* parent, const QRect& r);

    bool highlighted = false;
    QRect highlight_rect;

public slots:
    // Ends the flash of the last click.
    void deaktivate_highlight();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

class button_html : public button
{
    Q_OBJECT

public:
    explicit button_html(const QString& html, QWidget* parent = nullptr);
    explicit button_html(QWidget* parent = nullptr);
};

} // namespace ko
