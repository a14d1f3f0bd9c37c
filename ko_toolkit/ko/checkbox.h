#pragma once
// Dark check boxes: indicator images from ":/gui/checkbox/" or drawn boxes.

#include <QCheckBox>
#include <QColor>
#include <QImage>
#include <QString>

namespace ko {

class checkbox : public QCheckBox {
    Q_OBJECT
public:
    explicit checkbox(const QString& text = QString(), QWidget* parent = nullptr);

    // Styles any check box: spacing between indicator and text, text colour
    // and the indicator. With no checked image, a transparent indicator
    // colour (rgba(0,0,0,0)) picks the standard images and any other colour
    // draws square indicators in it; with images, those are used.
    static void set_style(QCheckBox* box, int spacing, const QColor& indicator_colour,
                          const QString& checked_image, const QString& unchecked_image,
                          const QColor& text_colour);
    static QString style_sheet(int spacing, const QColor& indicator_colour,
                               const QString& checked_image, const QString& unchecked_image,
                               const QColor& text_colour);
};

// A check box that paints one of three images as its indicator.
class checkbox_flat : public checkbox {
    Q_OBJECT
public:
    explicit checkbox_flat(const QString& text = QString(), QWidget* parent = nullptr);
    void set_images(const QImage& checked, const QImage& unchecked, const QImage& disabled);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage checked_image;
    QImage unchecked_image;
    QImage disabled_image;
};

} // namespace ko
