#pragma once
// A proxy of the platform's default style with settable tool-tip delays;
// a left click on a slider groove jumps to the clicked position.

#include <QProxyStyle>

namespace ko {

class proxy_style : public QProxyStyle {
    Q_OBJECT
public:
    // Starts with the tool-tip delays of the current application style.
    proxy_style();
    ~proxy_style() override;

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* return_data = nullptr) const override;

public slots:
    void set_tooltip_delay(int milliseconds);
    void set_tooltip_cooldown(int milliseconds);

private:
    int tooltip_delay = 700;
    int tooltip_cooldown = 2000;
};

} // namespace ko
