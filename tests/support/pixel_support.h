#pragma once
// Reading back what a widget paints.

#include <QColor>
#include <QImage>
#include <QWidget>
#include <QtGlobal>

namespace test_support {

// Colour at widget coordinates (x, y) of a grab, whatever the device pixel ratio.
inline QColor pixel(QWidget& w, int x, int y)
{
    const QImage image = w.grab().toImage();
    return image.pixelColor(x * image.width() / w.width(), y * image.height() / w.height());
}

// The light grey of the buttons' painted frame.
inline bool is_frame_colour(const QColor& c)
{
    return qAbs(c.red() - 222) <= 2 && qAbs(c.green() - 222) <= 2 && qAbs(c.blue() - 222) <= 2;
}

} // namespace test_support
