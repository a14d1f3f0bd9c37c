#pragma once
// Typed options of a grid-layout cell. Each option is a process-wide key
// with a unique id; a key with a value is written by calling it with the
// value (which stores the value in the key and yields a one-key list), a key
// without value is written as itself. The cell reads the values from the
// keys when it is built, so the value stored last before that counts.
//
//   ko::qt::cell c(button, ko::qt::margin_left(8), ko::qt::fixed_size(120, 30), ko::qt::no_background);

#include <QString>

#include <utility>
#include <vector>

class QWidget;

namespace ko {
namespace qt {

struct cell_option;
using option_list = std::vector<cell_option*>;

// Counts the keys made so far; every key takes the next number as its id.
extern int next_option_id;

struct cell_option {
    cell_option() : id(next_option_id++) {}
    cell_option(const cell_option&) = delete;
    cell_option& operator=(const cell_option&) = delete;

    bool is(int other_id) const { return id == other_id; }
    bool operator==(const cell_option& other) const { return id == other.id; }
    bool operator!=(const cell_option& other) const { return id != other.id; }
    option_list as_list() { return option_list{this}; }

    const int id;
};

option_list make_option_list(cell_option* key);

struct flag_option : cell_option {};

struct int_option : cell_option {
    option_list operator()(int new_value)
    {
        value = new_value;
        return as_list();
    }
    int value = 0;
};

// Two values: width and height, or x and y.
struct pair_option : cell_option {
    option_list operator()(int first, int second)
    {
        values.clear();
        values.push_back(first);
        values.push_back(second);
        return as_list();
    }
    std::vector<int> values = std::vector<int>(2, 0);
};

// Four values, given in the order top, right, bottom, left.
struct quad_option : cell_option {
    option_list operator()(int top, int right, int bottom, int left)
    {
        values.clear();
        values.push_back(top);
        values.push_back(right);
        values.push_back(bottom);
        values.push_back(left);
        return as_list();
    }
    std::vector<int> values = std::vector<int>(4, 0);
};

struct text_option : cell_option {
    option_list operator()(const QString& new_value)
    {
        value = new_value;
        return as_list();
    }
    QString value;
};

extern quad_option margin;
extern int_option margin_top;
extern int_option margin_bottom;
extern int_option margin_left;
extern int_option margin_right;
extern quad_option padding;
extern int_option padding_top;
extern int_option padding_bottom;
extern int_option padding_left;
extern int_option padding_right;
extern int_option width;
extern int_option height;
extern pair_option fixed_size;
extern text_option style;
extern text_option background_style;
extern flag_option no_background;
extern int_option row_height;
extern int_option row_span;
extern int_option column_span;
extern int_option column_width;
extern flag_option hidden;
extern flag_option disabled;
extern int_option first_column_width;
extern flag_option line_break;
extern int_option offset_x;
extern int_option offset_y;
extern pair_option offset;
extern flag_option size_from_widget;
extern flag_option size_from_widget_fixed;

inline void add_option(option_list& list, const option_list& more)
{
    list.insert(list.end(), more.begin(), more.end());
}

inline void add_option(option_list& list, cell_option& key)
{
    list.push_back(&key);
}

inline void add_options(option_list&) {}

// Joins option lists and bare keys, in order, into one list.
template <typename First, typename... Rest>
void add_options(option_list& list, First&& first, Rest&&... rest)
{
    add_option(list, std::forward<First>(first));
    add_options(list, std::forward<Rest>(rest)...);
}

// The widget's style sheet followed by text, read as declarations: each
// name keeps its last value, written back sorted by name as "name:value;".
void merge_style(QWidget* widget, const QString& text);

// Adds or replaces each "name:value;" of declarations in the widget's style
// sheet; a declaration that is already there unchanged stops the call.
void set_style_declarations(QWidget* widget, const QString& declarations);

} // namespace qt
} // namespace ko
