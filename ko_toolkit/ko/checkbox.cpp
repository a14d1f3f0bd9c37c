#include "ko/checkbox.h"

#include "ko/dark_style.h"

#include <QPainter>

namespace ko {

namespace {

QString rgba_text(const QColor& c)
{
    return QStringLiteral("rgba(%1,%2,%3,%4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(c.alpha());
}

QString image_rule(const QString& state, const QString& image)
{
    return QStringLiteral("QCheckBox::indicator%1{image:url(%2);}").arg(state, image);
}

QString framed_image_rule(const QString& state, const QString& image, bool checked)
{
    return QStringLiteral("QCheckBox::indicator%1{image:url(%2);width:%3px;height:%3px;border:%4;}")
        .arg(state, image, checked ? QStringLiteral("10") : QStringLiteral("14"),
             checked ? QStringLiteral("3px solid rgb(255,255,255)")
                     : QStringLiteral("1px solid rgb(99,99,99)"));
}

} // namespace

checkbox::checkbox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {}

QString checkbox::style_sheet(int spacing, const QColor& indicator_colour,
                              const QString& checked_image, const QString& unchecked_image,
                              const QColor& text_colour)
{
    QString sheet = QStringLiteral("QCheckBox{spacing:%1px;color:rgb(%2,%3,%4);}")
                        .arg(spacing)
                        .arg(text_colour.red())
                        .arg(text_colour.green())
                        .arg(text_colour.blue());
    sheet += dark_tooltip_rule();

    const QString unchecked = QStringLiteral(":unchecked");
    const QString checked = QStringLiteral(":checked");
    const QString disabled_unchecked = QStringLiteral(":disabled:unchecked");
    const QString disabled_checked = QStringLiteral(":disabled:checked");
    const QString standard_unchecked = QStringLiteral(":/gui/checkbox/unchecked.png");
    const QString standard_disabled_unchecked = QStringLiteral(":/gui/checkbox/disabled_unchecked.png");

    if (checked_image.isEmpty()) {
        if (indicator_colour == QColor(0, 0, 0, 0)) {
            sheet += image_rule(unchecked, standard_unchecked);
            sheet += image_rule(checked, QStringLiteral(":/gui/checkbox/checked.png"));
            sheet += image_rule(disabled_unchecked, standard_disabled_unchecked);
            sheet += image_rule(disabled_checked, QStringLiteral(":/gui/checkbox/disabled_checked.png"));
        } else {
            const QString background = rgba_text(indicator_colour);
            sheet += QStringLiteral("QCheckBox::indicator:unchecked{width:14px;height:14px;"
                                    "background-color:%1;border:1px solid rgb(99,99,99);}")
                         .arg(background);
            sheet += QStringLiteral("QCheckBox::indicator:checked{width:10px;height:10px;"
                                    "background-color:%1;border:3px solid rgb(255,255,255);}")
                         .arg(background);
        }
    } else if (!unchecked_image.isEmpty()) {
        sheet += framed_image_rule(unchecked, unchecked_image, false);
        sheet += framed_image_rule(checked, checked_image, true);
        sheet += framed_image_rule(disabled_unchecked, unchecked_image, false);
        sheet += framed_image_rule(disabled_checked, checked_image, true);
    } else {
        sheet += image_rule(unchecked, standard_unchecked);
        sheet += image_rule(disabled_unchecked, standard_disabled_unchecked);
        sheet += framed_image_rule(checked, checked_image, true);
        sheet += framed_image_rule(disabled_checked, checked_image, true);
    }
    return sheet;
}

void checkbox::set_style(QCheckBox* box, int spacing, const QColor& indicator_colour,
                         const QString& checked_image, const QString& unchecked_image,
                         const QColor& text_colour)
{
    box->setStyleSheet(style_sheet(spacing, indicator_colour, checked_image, unchecked_image,
                                   text_colour));
}

checkbox_flat::checkbox_flat(const QString& text, QWidget* parent) : checkbox(text, parent) {}

void checkbox_flat::set_images(const QImage& checked, const QImage& unchecked, const QImage& disabled)
{
    checked_image = checked;
    unchecked_image = unchecked;
    disabled_image = disabled;
    update();
}

void checkbox_flat::paintEvent(QPaintEvent* event)
{
    checkbox::paintEvent(event);
    if (checked_image.isNull() || checked_image.height() == 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QImage& image = !isEnabled() ? disabled_image : isChecked() ? checked_image : unchecked_image;
    const double ratio = double(checked_image.width()) / double(checked_image.height());
    int h = 14;
    int w = int(ratio * 14);
    if (ratio > 9999.0 / 14.0) {
        w = 9999;
        h = int(9999.0 / ratio);
    }
    painter.drawImage(QRect(0, height() / 2 - h / 2, w, h), image);
}

} // namespace ko
