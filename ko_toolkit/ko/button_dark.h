#pragma once
// Dark push buttons: the look comes from a style sheet composed from a few
// members (border image family under ":/gui/button/", alignment, padding,
// state rules), plus an optional icon that the button paints itself in
// three ready recoloured images (normal, highlighted, disabled).

#include <QImage>
#include <QPushButton>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

class QDragEnterEvent;
class QDropEvent;
class QMouseEvent;
class QPaintEvent;
class QPainter;

namespace ko {

// One colour as a 32-bit word 0xAARRGGBB (in memory: blue, green, red, alpha).
struct pixel_argb {
    quint32 value = 0xFF000000u;

    constexpr pixel_argb() = default;
    constexpr pixel_argb(quint32 argb) : value(argb) {}
    constexpr pixel_argb(int red, int green, int blue, int alpha = 255)
        : value((quint32(alpha & 0xFF) << 24) | (quint32(red & 0xFF) << 16) |
                (quint32(green & 0xFF) << 8) | quint32(blue & 0xFF))
    {
    }

    constexpr int alpha() const { return int((value >> 24) & 0xFF); }
    constexpr int red() const { return int((value >> 16) & 0xFF); }
    constexpr int green() const { return int((value >> 8) & 0xFF); }
    constexpr int blue() const { return int(value & 0xFF); }
    constexpr bool operator==(const pixel_argb& other) const { return value == other.value; }
    constexpr bool operator!=(const pixel_argb& other) const { return value != other.value; }
};

class button_dark : public QPushButton {
    Q_OBJECT
public:
    using icon_painter = std::function<void(QPainter&, QPushButton*)>;

    // One icon with its three recoloured images.
    struct img_highlighter {
        pixel_argb normal_colour;
        pixel_argb highlight_colour;
        QString path;
        std::unique_ptr<QImage> normal_image;
        std::unique_ptr<QImage> highlighted_image;
        std::unique_ptr<QImage> disabled_image;
        int width = 0;
        // false: every pixel takes the colour, alpha kept; true: colours are
        // shifted by the distance between the highlight colour and the icon
        // colour nearest to normal_colour.
        bool relative = false;

        // Loads the three images from path and recolours them.
        void load();
        // The painter drawing this icon at (x, y); -1 centres on that axis.
        icon_painter get_custom_paint_ex(int x, int y);
    };

    // While on (the default), new buttons get the padding "0.25em 1em".
    static inline bool default_padding = true;

    explicit button_dark(const QString& text, QWidget* parent = nullptr);
    explicit button_dark(QWidget* parent = nullptr);
    ~button_dark() override;

    void update_style();
    void set_style(const QString& name);
    void set_text_align(const QString& align);
    void set_state_styles(bool frame_when_checked, bool checked_border,
                          bool highlight_icon_when_checked, bool pressed_border);
    void set_padding(int pixels);
    void set_text_color(const pixel_argb& colour);
    void reset_text_color();
    int pressed_modifiers() const { return pressed_modifiers_; }
    void fit_width_to_icon(int left, int right);

    // highlight is the colour of the hovered (and checked) icon, normal the
    // colour of the icon at rest and, at half alpha, of the disabled icon.
    void set_icon(const QString& path, int x, int y, const pixel_argb& highlight,
                  const pixel_argb& normal);
    void set_icon_shifted(const QString& path, int x, int y, const pixel_argb& highlight,
                          const pixel_argb& normal);
    void set_checked_icon(const QString& path, int x, int y, const pixel_argb& highlight,
                          const pixel_argb& normal);
    void set_checked_icon_shifted(const QString& path, int x, int y,
                                  const pixel_argb& highlight, const pixel_argb& normal);
    void set_pressed_icon(const QString& path, int x, int y, const pixel_argb& highlight,
                          const pixel_argb& normal);
    void set_pressed_icon_shifted(const QString& path, int x, int y,
                                  const pixel_argb& highlight, const pixel_argb& normal);

    // Read-only views for painters and callers.
    const img_highlighter& normal_icon() const { return icon; }
    const QString& current_style_name() const { return style_name; }
    bool highlights_icon_when_checked() const { return highlight_icon_when_checked; }
    bool frames_when_checked() const { return frame_when_checked; }

    // Hooks a user of the class may assign.
    std::function<void(QPainter&)> custom_paint;
    std::function<void(QDropEvent*)> drop_handler;
    std::function<void(QMouseEvent*)> release_handler;

    bool toggle_on_press = false;
    bool uncheck_in_exclusive_group = false;
    bool scale_icon = false;
    int icon_size = 0;
    bool paint_base = true;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    QString style_template;
    QString disabled_rule = QStringLiteral("QPushButton::disabled{color:rgba(129,136,133,50%);}");
    QString disabled_colour_rule = QStringLiteral("QPushButton::disabled{color:rgba(%1,%2,%3,50%);}");
    QString checked_rule = QStringLiteral(
        "QPushButton::checked{border-style:none;border-width:3px;"
        "border-image:url(:/gui/button/%1_pressed.png) 3 stretch;}");
    QString pressed_rule = QStringLiteral(
        "QPushButton::pressed{border-style:none;border-width:3px;"
        "border-image:url(:/gui/button/%1_pressed.png) 3 stretch;}");
    QString padding_rule = QStringLiteral("padding-left: %1px; padding-right: %1px;");
    QString default_style_name = QStringLiteral("dark");
    QString default_text_align = QStringLiteral("center");
    QString style_name = QStringLiteral("dark");
    QString text_align = QStringLiteral("center");

    img_highlighter icon;
    img_highlighter checked_icon;
    img_highlighter pressed_icon;

    bool frame_when_checked = false;
    bool highlight_icon_when_checked = true;
    bool checked_border = true;
    bool pressed_border = true;

    int padding = 0;
    pixel_argb text_colour;
    bool custom_text_colour = false;
    int pressed_modifiers_ = 0;

    icon_painter icon_paint;

private:
    void set_holder_icon(img_highlighter& holder, const QString& path,
                         const pixel_argb& highlight, const pixel_argb& normal);
};

// Without border images: muted text, font size 12px.
class button_dark_flat : public button_dark {
    Q_OBJECT
public:
    explicit button_dark_flat(const QString& text = QString(), QWidget* parent = nullptr);
};

// A rounded grey button.
class button_dark_round : public button_dark_flat {
    Q_OBJECT
public:
    explicit button_dark_round(const QString& text = QString(), QWidget* parent = nullptr);
};

} // namespace ko
