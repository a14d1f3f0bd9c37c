#pragma once
// The toolkit's grid layout. Widgets are placed absolutely (move, fixed
// size, raise) from a table of column widths and row heights; a width or
// height of 0 is flexible and shares the space the fixed ones leave. Every
// grid position holds a cell: the wrapped widget, a plain background widget
// drawn behind it, and the placement settings that the cell options fill in.
//
// Widgets and backgrounds are held through QPointer: a widget deleted while
// its layout lives simply drops out of the layout.

#include "ko/cell_options.h"
#include "ko/exception.h"

#include <QLayout>
#include <QLayoutItem>
#include <QPointer>
#include <QWidget>

#include <map>
#include <utility>
#include <vector>

namespace ko {
namespace qt {

class layout;

class cell : public QLayoutItem {
public:
    cell(QWidget* widget = nullptr);

    template <typename... Options>
    cell(QWidget* widget, Options&&... options) : cell(widget)
    {
        option_list list;
        add_options(list, std::forward<Options>(options)...);
        apply_options(list);
    }

    // Applies each key of the list in order; later keys overwrite earlier ones.
    void apply_options(const option_list& options);

    // QLayoutItem: fixed answers; the layout does the placing.
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    QSize maximumSize() const override;
    Qt::Orientations expandingDirections() const override;
    void setGeometry(const QRect&) override;
    QRect geometry() const override;
    bool isEmpty() const override;
    QWidget* widget() override;

    QWidget* background_widget() const { return background.data(); }
    void set_margins(float all)
    {
        for (float& m : margins)
            m = all;
    }
    void set_paddings(float all)
    {
        for (float& p : paddings)
            p = all;
    }

    // Change the cell's row height / column width in steps over `seconds`,
    // forcing a layout pass after every step. These block the GUI thread.
    void animate_row_height(int target, float seconds);
    void animate_column_width(int target, float seconds);
    void animate_size(int target_width, int target_height, float seconds);

    enum side { left = 0, right = 1, top = 2, bottom = 3 };

    bool span_filler = false;
    QPointer<QWidget> background;
    QPointer<QWidget> wrapped_widget;
    float margins[4] = {-1, -1, -1, -1};  // left, right, top, bottom; negative = unset
    float paddings[4] = {0, 0, 0, 0};     // left, right, top, bottom
    float width = -1;                     // > 0: fixed widget width inside the cell
    float height = -1;                    // > 0: fixed widget height inside the cell
    int row_span = 1;
    int column_span = 1;
    int column_width = -1;  // >= 1: becomes the column's width when added
    int row_height = -1;    // > 0: becomes the row's height when added
    int first_column_width = 0;
    int offset_x = 0;
    int offset_y = 0;
    bool line_break = false;
    int row = 0;
    int column = 0;
    qt::layout* layout = nullptr;

private:
    QWidget* top_level_window() const;
};

// Process-wide map from a widget to the stored cell that placed it. Entries
// go when their cell is replaced or its layout is destroyed.
std::map<QWidget*, cell*>& cell_registry();

// The stored cell of a widget that is still alive, or null.
cell* registered_cell(QWidget* widget);

class layout : public QLayout {
    Q_OBJECT
public:
    struct position {
        int column = 0;
        int row = 0;
        qint64 order() const { return qint64(row) * (qint64(1) << 32) + column; }
        bool operator<(const position& other) const { return order() < other.order(); }
    };

    layout(QWidget* parent, int wrap_count, bool column_wise = false);
    explicit layout(int wrap_count = 0, bool column_wise = false);
    ~layout() override;

    void add(const cell& c);
    void add(QWidget* widget);

    // Wraps the nested layout in a new holder widget and adds a cell around it.
    template <typename... Options>
    void add(QLayout* nested, Options&&... options)
    {
        auto* holder = new QWidget;
        cell c(holder);
        holder->setLayout(nested);
        option_list list;
        add_options(list, std::forward<Options>(options)...);
        c.apply_options(list);
        add(c);
    }

    void place_cell(const cell& c, int column, int row, bool no_fill = false);
    void fill_empty_cells();

    // Adding an item the Qt way is a programming error: throws ko::exception.
    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    Qt::Orientations expandingDirections() const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

    std::map<position, cell> cells;
    std::vector<int> row_heights;
    std::vector<int> column_widths;
    int current_column = 0;
    int current_row = 0;
    int cursor_column = 0;
    int cursor_row = 0;
    int last_width = -1;
    int last_height = -1;
    int repeat_count = 0;
    bool column_wise = false;
    int wrap_count = 0;

private:
    void adopt(QWidget* w) const;
    void store(const cell& c, int column, int row);
    void grow_to(int column, int row);
    void step_cursor();
    void skip_occupied();
    bool occupied(int column, int row) const;
    void forget(cell& old, const cell* replacement);
};

} // namespace qt
} // namespace ko
