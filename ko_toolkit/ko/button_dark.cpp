#include "ko/button_dark.h"

#include "ko/assert.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDebug>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

namespace ko {

namespace {

// Fills the lowest-numbered place markers (%1 ... %99) of text with values,
// in one pass, as QString::arg with several arguments does, but quietly
// when there are fewer markers than values.
QString fill_markers(const QString& text, const QStringList& values)
{
    std::map<int, bool> numbers;
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('%') || !text[i + 1].isDigit())
            continue;
        int n = text[i + 1].digitValue();
        if (i + 2 < text.size() && text[i + 2].isDigit())
            n = n * 10 + text[i + 2].digitValue();
        if (n > 0)
            numbers[n] = true;
    }
    std::map<int, QString> replacement;
    int index = 0;
    for (const auto& entry : numbers) {
        if (index >= values.size())
            break;
        replacement[entry.first] = values[index++];
    }
    if (replacement.empty())
        return text;
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('%') && i + 1 < text.size() && text[i + 1].isDigit()) {
            int n = text[i + 1].digitValue();
            int length = 2;
            if (i + 2 < text.size() && text[i + 2].isDigit()) {
                n = n * 10 + text[i + 2].digitValue();
                length = 3;
            }
            const auto found = replacement.find(n);
            if (found != replacement.end()) {
                out += found->second;
                i += length - 1;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

void recolour(QImage& image, const pixel_argb& colour, bool halve_alpha)
{
    const QRgb rgb = colour.value & 0x00FFFFFFu;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            quint32 alpha = line[x] & 0xFF000000u;
            if (halve_alpha)
                alpha = (alpha >> 1) & 0xFF000000u;
            line[x] = alpha | rgb;
        }
    }
}

void halve_alpha(QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = (((line[x] & 0xFF000000u) >> 1) & 0xFF000000u) | (line[x] & 0x00FFFFFFu);
    }
}

// The colour of the first pixel nearest to target (sum of the absolute
// channel differences, below 765), or black when none qualifies.
QRgb nearest_colour(const QImage& image, const pixel_argb& target)
{
    QRgb best = 0xFF000000u;
    int best_distance = 765;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int distance = std::abs(qRed(line[x]) - target.red()) +
                                 std::abs(qGreen(line[x]) - target.green()) +
                                 std::abs(qBlue(line[x]) - target.blue());
            if (distance < best_distance) {
                best_distance = distance;
                best = line[x];
                if (distance == 0)
                    return best;
            }
        }
    }
    return best;
}

void shift_colours(QImage& image, QRgb reference, const pixel_argb& highlight)
{
    const int dr = highlight.red() - qRed(reference);
    const int dg = highlight.green() - qGreen(reference);
    const int db = highlight.blue() - qBlue(reference);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            line[x] = qRgba(std::clamp(qRed(p) + dr, 0, 255), std::clamp(qGreen(p) + dg, 0, 255),
                            std::clamp(qBlue(p) + db, 0, 255), qAlpha(p));
        }
    }
}

const char* const tooltip_rule =
    "QToolTip{border:1px solid rgb(99,99,99);background-image:none;background-color:rgb(47,47,47);}";

} // namespace

// --- img_highlighter -------------------------------------------------------

void button_dark::img_highlighter::load()
{
    // Every image is walked as 32-bit ARGB words below, so whatever the
    // file holds (palette, grey, 24-bit) is converted first.
    QImage loaded(path);
    if (!loaded.isNull())
        loaded = loaded.convertToFormat(QImage::Format_ARGB32);
    normal_image = std::make_unique<QImage>(loaded);
    highlighted_image = std::make_unique<QImage>(loaded.copy());
    disabled_image = std::make_unique<QImage>(loaded.copy());
    if (!loaded.isNull()) {
        if (!relative) {
            recolour(*normal_image, normal_colour, false);
            recolour(*highlighted_image, highlight_colour, false);
            recolour(*disabled_image, normal_colour, true);
        } else {
            const QRgb reference = nearest_colour(*normal_image, normal_colour);
            shift_colours(*highlighted_image, reference, highlight_colour);
            halve_alpha(*disabled_image);
        }
    }
    width = normal_image->width();
}

button_dark::icon_painter button_dark::img_highlighter::get_custom_paint_ex(int x, int y)
{
    return [this, x, y](QPainter& painter, QPushButton* button) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        auto* bd = qobject_cast<button_dark*>(button);
        if (!KO_ASSERT_LOG(bd))
            return;
        if (!normal_image)
            return;
        const QImage* image = normal_image.get();
        if (!bd->isEnabled())
            image = disabled_image.get();
        else if (bd->underMouse())
            image = highlighted_image.get();
        else if (bd->highlight_icon_when_checked && bd->isCheckable() && bd->isChecked())
            image = highlighted_image.get();

        const int w = bd->width();
        const int h = bd->height();
        if (bd->scale_icon) {
            QRect target(0, 0, w, h);
            if (bd->icon_size > 0) {
                const int s = bd->icon_size;
                const int sh = int(std::lround(float(s) / float(w) * float(h)));
                target = QRect(w / 2 - s / 2, h / 2 - sh / 2, s, sh);
            }
            painter.drawImage(target, *image);
        } else {
            const int left = x == -1 ? (w - normal_image->width()) / 2 : x;
            const int top = y == -1 ? (h - normal_image->height()) / 2 : y;
            painter.drawImage(QPoint(left, top), *image);
        }
        if (bd->frame_when_checked && bd->isCheckable() && bd->isChecked()) {
            painter.setPen(QPen(QColor(129, 136, 133), 2.0, Qt::SolidLine, Qt::SquareCap,
                                Qt::BevelJoin));
            painter.drawRect(QRect(QPoint(0, 0), QPoint(w - 1, h - 1)));
        }
    };
}

// --- button_dark -----------------------------------------------------------

button_dark::button_dark(const QString& text, QWidget* parent) : QPushButton(text, parent)
{
    style_template = QStringLiteral(
        "QPushButton{color:rgb(198,213,210);border-style:none;border-width:3px;"
        "border-image:url(:/gui/button/%1_normal.png) 3 stretch;text-align:%2;%3;"
        "background:transparent;");
    if (default_padding)
        style_template += QStringLiteral("padding: 0.25em 1em;");
    style_template += QStringLiteral("}QPushButton::hover{color:#f0f0f0;}");
    style_template += QLatin1String(tooltip_rule);
    update_style();
    setFocusPolicy(Qt::NoFocus);
}

button_dark::button_dark(QWidget* parent) : button_dark(QString(), parent) {}

button_dark::~button_dark() = default;

void button_dark::update_style()
{
    QString sheet = style_template;
    if (checked_border)
        sheet += checked_rule;
    if (pressed_border)
        sheet += pressed_rule;
    sheet = fill_markers(sheet, {style_name, text_align});

    QString extra;
    if (padding != 0)
        extra = padding_rule.arg(padding);
    if (custom_text_colour)
        extra += QStringLiteral("color:rgba(%1,%2,%3,%4);")
                     .arg(text_colour.red())
                     .arg(text_colour.green())
                     .arg(text_colour.blue())
                     .arg(text_colour.alpha());
    if (custom_text_colour)
        sheet += disabled_colour_rule.arg(text_colour.red())
                     .arg(text_colour.green())
                     .arg(text_colour.blue());
    else
        sheet += disabled_rule;
    setStyleSheet(fill_markers(sheet, {extra}));
}

void button_dark::set_style(const QString& name)
{
    style_name = name;
    update_style();
}

void button_dark::set_text_align(const QString& align)
{
    text_align = align;
    update_style();
}

void button_dark::set_state_styles(bool frame_when_checked_, bool checked_border_,
                                   bool highlight_icon_when_checked_, bool pressed_border_)
{
    frame_when_checked = frame_when_checked_;
    checked_border = checked_border_;
    highlight_icon_when_checked = highlight_icon_when_checked_;
    pressed_border = pressed_border_;
    update_style();
}

void button_dark::set_padding(int pixels)
{
    padding = pixels;
    update_style();
}

void button_dark::set_text_color(const pixel_argb& colour)
{
    text_colour = colour;
    custom_text_colour = true;
    update_style();
}

void button_dark::reset_text_color()
{
    custom_text_colour = false;
    update_style();
}

void button_dark::fit_width_to_icon(int left, int right)
{
    setFixedWidth(left + icon.width + right);
}

void button_dark::set_holder_icon(img_highlighter& holder, const QString& path,
                                  const pixel_argb& highlight, const pixel_argb& normal)
{
    holder.normal_colour = normal;
    holder.highlight_colour = highlight;
    if (!holder.path.isEmpty())
        holder.load();
    if (!QFile::exists(path))
        qDebug() << "Can't open icon" << path;
    holder.path = path;
    if (!path.isEmpty())
        holder.load();
}

void button_dark::set_icon(const QString& path, int x, int y, const pixel_argb& highlight,
                           const pixel_argb& normal)
{
    set_holder_icon(icon, path, highlight, normal);
    icon_paint = icon.get_custom_paint_ex(x, y);
    update();
}

void button_dark::set_icon_shifted(const QString& path, int x, int y,
                                   const pixel_argb& highlight, const pixel_argb& normal)
{
    icon.relative = true;
    if (!icon.path.isEmpty())
        icon.load();
    set_icon(path, x, y, highlight, normal);
}

void button_dark::set_checked_icon(const QString& path, int x, int y,
                                   const pixel_argb& highlight, const pixel_argb& normal)
{
    set_holder_icon(checked_icon, path, highlight, normal);
    checked_border = false;
    auto checked_painter = checked_icon.get_custom_paint_ex(x, y);
    auto normal_painter = icon.get_custom_paint_ex(x, y);
    icon_paint = [checked_painter, normal_painter](QPainter& painter, QPushButton* button) {
        if (button->isChecked())
            checked_painter(painter, button);
        else
            normal_painter(painter, button);
    };
    update();
}

void button_dark::set_checked_icon_shifted(const QString& path, int x, int y,
                                           const pixel_argb& highlight,
                                           const pixel_argb& normal)
{
    checked_icon.relative = true;
    if (!checked_icon.path.isEmpty())
        checked_icon.load();
    set_checked_icon(path, x, y, highlight, normal);
}

void button_dark::set_pressed_icon(const QString& path, int x, int y,
                                   const pixel_argb& highlight, const pixel_argb& normal)
{
    set_holder_icon(pressed_icon, path, highlight, normal);
    auto pressed_painter = pressed_icon.get_custom_paint_ex(x, y);
    auto normal_painter = icon.get_custom_paint_ex(x, y);
    icon_paint = [pressed_painter, normal_painter](QPainter& painter, QPushButton* button) {
        if (button->isDown())
            pressed_painter(painter, button);
        else
            normal_painter(painter, button);
    };
    update();
}

void button_dark::set_pressed_icon_shifted(const QString& path, int x, int y,
                                           const pixel_argb& highlight,
                                           const pixel_argb& normal)
{
    pressed_icon.relative = true;
    if (!pressed_icon.path.isEmpty())
        pressed_icon.load();
    set_pressed_icon(path, x, y, highlight, normal);
}

void button_dark::paintEvent(QPaintEvent* event)
{
    if (paint_base)
        QPushButton::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (icon_paint)
        icon_paint(painter, this);
    if (custom_paint)
        custom_paint(painter);
}

void button_dark::mousePressEvent(QMouseEvent* event)
{
    pressed_modifiers_ = int(event->modifiers());
    if (isCheckable() && toggle_on_press) {
        if (event->button() == Qt::LeftButton) {
            setChecked(true);
            return;
        }
        if (event->button() == Qt::RightButton) {
            setChecked(!isChecked());
            return;
        }
    }
    QPushButton::mousePressEvent(event);
}

void button_dark::mouseReleaseEvent(QMouseEvent* event)
{
    QButtonGroup* buttons = group();
    if (buttons && buttons->exclusive() && uncheck_in_exclusive_group &&
        buttons->checkedButton() == this && isChecked()) {
        buttons->setExclusive(false);
        QPushButton::mouseReleaseEvent(event);
        setChecked(false);
        buttons->setExclusive(true);
        if (release_handler)
            release_handler(event);
        return;
    }
    if (isCheckable() && isChecked() && toggle_on_press && event->button() == Qt::LeftButton)
        setChecked(false);
    if (release_handler)
        release_handler(event);
    QPushButton::mouseReleaseEvent(event);
    pressed_modifiers_ = 0;
}

void button_dark::dragEnterEvent(QDragEnterEvent* event)
{
    event->acceptProposedAction();
}

void button_dark::dropEvent(QDropEvent* event)
{
    if (drop_handler)
        drop_handler(event);
    else
        QPushButton::dropEvent(event);
}

// --- variants --------------------------------------------------------------

namespace {
const char* const light_tooltip_rule =
    "QToolTip{border:1px solid rgb(99,99,99);background-image:none;"
    "background-color:rgb(47,47,47);color:rgb(228,228,228);font-size:10px;}";
}

button_dark_flat::button_dark_flat(const QString& text, QWidget* parent)
    : button_dark(text, parent)
{
    style_template = QStringLiteral(
        "QPushButton{color:rgb(146,152,148);border-style:none;border-width:3px;"
        "border-image:url(:/gui/button/blank_normal.png) 3 stretch;font-size:12px;}"
        "QPushButton::hover{color:#d0d0d0;}");
    style_template += QLatin1String(light_tooltip_rule);
    checked_rule = QStringLiteral(
        "QPushButton::checked      {color:rgb(228,228,228);}"
        "QPushButton::checked:hover{color:rgb(255,255,255);}");
    pressed_rule = QStringLiteral("QPushButton::checked      {color:rgb(228,228,228);}");
    setContentsMargins(0, 0, 0, 0);
    update_style();
}

button_dark_round::button_dark_round(const QString& text, QWidget* parent)
    : button_dark_flat(text, parent)
{
    style_template = QStringLiteral(
        "QPushButton{color:rgb(146,152,148);border:1px solid rgb(75,75,75);"
        "background-color:rgb(68,68,68);border-radius:5px;font-size:12px;}"
        "QPushButton::checked{color:#d0d0d0;border:1px solid rgb(120,120,120);"
        "background-color:rgb(113,113,113);}"
        "QPushButton::hover{color:#d0d0d0;border:1px solid rgb(120,120,120);"
        "background-color:rgb(133,133,133);}");
    style_template += QLatin1String(light_tooltip_rule);
    update_style();
}

} // namespace ko
