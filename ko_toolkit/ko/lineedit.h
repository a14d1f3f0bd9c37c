#pragma once
// Dark text fields.

#include <QColor>
#include <QLineEdit>
#include <QTextEdit>

namespace ko {

// A line edit on a dark field with a thin grey border.
class lineedit : public QLineEdit {
    Q_OBJECT
public:
    explicit lineedit(QWidget* parent = nullptr);

    QColor border_color() const { return current_border_colour; }
    // Sets the border colour at rest and shows it.
    void set_border_color(const QColor& colour);
    // Shows another border colour for a while (e.g. to flag bad input);
    // reset_border_color returns to the colour at rest.
    void set_current_border_color(const QColor& colour);
    void reset_border_color();

private:
    void apply_style();
    QColor border_colour;
    QColor current_border_colour;
};

// A line edit that selects its whole text when it gets the focus.
class combobox_lineedit : public QLineEdit {
    Q_OBJECT
public:
    explicit combobox_lineedit(QWidget* parent = nullptr);

protected:
    void focusInEvent(QFocusEvent* event) override;
};

class textedit : public QTextEdit {
    Q_OBJECT
public:
    explicit textedit(QWidget* parent = nullptr);
};

} // namespace ko
