#pragma once
// Dark radio buttons with the indicator images of ":/gui/radio/".

#include <QRadioButton>
#include <QString>

namespace ko {

class radio : public QRadioButton {
    Q_OBJECT
public:
    explicit radio(QWidget* parent = nullptr);
    explicit radio(const QString& text, QWidget* parent = nullptr);

    int indicator_spacing() const { return spacing; }

private:
    void apply_style();
    int spacing = 4;
};

} // namespace ko
