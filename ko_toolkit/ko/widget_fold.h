#pragma once
// A panel with a header button that folds the panel to the height of its
// header and unfolds it again, animating the height of the row that holds
// it in its enclosing ko::qt::layout.

#include <QString>
#include <QWidget>

class QPushButton;

namespace ko {
namespace qt {

class cell;
class layout;

class widget_fold : public QWidget
{
    Q_OBJECT

public:
    // Without a button a "fold"/"unfold" push button of its own is made.
    // duration is the animation time in seconds; header_height the height
    // of the folded panel.
    widget_fold(const QString& title, QPushButton* button, double duration, int header_height);

    // Where the caller puts the panel's widgets; the area that folds away.
    ko::qt::layout* content_layout() const { return content; }
    bool folded_state() const { return is_folded; }

signals:
    // Sent after each click with the state before it: false after folding,
    // true after unfolding.
    void folded(bool);

private:
    void toggle();
    void adopt_row_height();
    cell* own_cell() const;

    ko::qt::layout* outer = nullptr;
    bool owns_button = false;
    bool is_folded = false;
    int header_height = 0;
    int saved_height = 25;
    ko::qt::layout* header = nullptr;
    ko::qt::layout* content = nullptr;
    double duration = 0;
    QPushButton* button = nullptr;
};

} // namespace qt
} // namespace ko
