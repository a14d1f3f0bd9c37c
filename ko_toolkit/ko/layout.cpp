#include "ko/layout.h"

#include "ko/assert.h"

#include <QThread>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

namespace ko {
namespace qt {

// The keys, in id order: their ids come from this counter as they are built.
int next_option_id = 0;

quad_option margin;
int_option margin_top;
int_option margin_bottom;
int_option margin_left;
int_option margin_right;
quad_option padding;
int_option padding_top;
int_option padding_bottom;
int_option padding_left;
int_option padding_right;
int_option width;
int_option height;
pair_option fixed_size;
text_option style;
text_option background_style;
flag_option no_background;
int_option row_height;
int_option row_span;
int_option column_span;
int_option column_width;
flag_option hidden;
flag_option disabled;
int_option first_column_width;
flag_option line_break;
int_option offset_x;
int_option offset_y;
pair_option offset;
flag_option size_from_widget;
flag_option size_from_widget_fixed;

namespace {

enum option_id {
    id_margin,
    id_margin_top,
    id_margin_bottom,
    id_margin_left,
    id_margin_right,
    id_padding,
    id_padding_top,
    id_padding_bottom,
    id_padding_left,
    id_padding_right,
    id_width,
    id_height,
    id_fixed_size,
    id_style,
    id_background_style,
    id_no_background,
    id_row_height,
    id_row_span,
    id_column_span,
    id_column_width,
    id_hidden,
    id_disabled,
    id_first_column_width,
    id_line_break,
    id_offset_x,
    id_offset_y,
    id_offset,
    id_size_from_widget,
    id_size_from_widget_fixed,
};

int int_value(const cell_option* key)
{
    return static_cast<const int_option*>(key)->value;
}

const std::vector<int>& values_of(const cell_option* key)
{
    if (key->id == id_margin || key->id == id_padding)
        return static_cast<const quad_option*>(key)->values;
    return static_cast<const pair_option*>(key)->values;
}

int truncated(float value)
{
    return static_cast<int>(value);
}

int size_value(float value)
{
    return std::max(0, static_cast<int>(value));
}

} // namespace

option_list make_option_list(cell_option* key)
{
    return option_list{key};
}

// ---------------------------------------------------------------- styles

void merge_style(QWidget* widget, const QString& text)
{
    using declarations = std::map<std::string, std::string>;
    std::map<std::string, declarations> selectors;
    selectors[std::string()];

    const std::string all = (widget->styleSheet() + text).toUtf8().toStdString();
    std::size_t start = 0;
    while (start <= all.size()) {
        std::size_t end = all.find(';', start);
        if (end == std::string::npos)
            end = all.size();
        const std::string piece = all.substr(start, end - start);
        const std::size_t colon = piece.find(':');
        if (colon != std::string::npos) {
            const std::string name = piece.substr(0, colon);
            const std::string value = piece.substr(colon + 1);
            if (!name.empty() && !value.empty())
                selectors[std::string()][name] = value;
        }
        start = end + 1;
    }

    std::string result;
    for (const auto& selector : selectors) {
        if (selector.second.empty())
            continue;
        if (!selector.first.empty())
            result += selector.first + "{";
        for (const auto& declaration : selector.second)
            result += declaration.first + ":" + declaration.second + ";";
        if (!selector.first.empty())
            result += "}\n";
    }
    widget->setStyleSheet(QString::fromUtf8(result.c_str(), int(result.size())));
}

void set_style_declarations(QWidget* widget, const QString& declarations)
{
    if (declarations.isEmpty())
        return;
    QString text = declarations;
    if (!text.endsWith(QLatin1Char(';')))
        text += QLatin1Char(';');

    QString sheet = widget->styleSheet();
    int position = 0;
    while (position < text.size()) {
        const int end = text.indexOf(QLatin1Char(';'), position);
        const QString declaration = text.mid(position, end - position + 1);
        position = end + 1;
        const int colon = declaration.indexOf(QLatin1Char(':'));
        const QString name = colon < 0 ? declaration : declaration.left(colon + 1);
        const int found = sheet.indexOf(name);
        if (found < 0) {
            sheet += declaration;
            continue;
        }
        const int found_end = sheet.indexOf(QLatin1Char(';'), found);
        const int length = found_end < 0 ? sheet.size() - found : found_end - found + 1;
        if (sheet.mid(found, length) == declaration)
            return;
        sheet.replace(found, length, declaration);
    }
    widget->setStyleSheet(sheet);
}

// ---------------------------------------------------------------- cell

cell::cell(QWidget* widget) : background(new QWidget), wrapped_widget(widget) {}

void cell::apply_options(const option_list& options)
{
    QWidget* w = wrapped_widget.data();
    QWidget* back = background.data();
    for (const cell_option* key : options) {
        switch (key->id) {
        case id_margin: {
            const std::vector<int>& v = values_of(key);
            margins[top] = float(v.at(0));
            margins[right] = float(v.at(1));
            margins[bottom] = float(v.at(2));
            margins[left] = float(v.at(3));
            break;
        }
        case id_margin_top:
            margins[top] = float(int_value(key));
            break;
        case id_margin_bottom:
            margins[bottom] = float(int_value(key));
            break;
        case id_margin_left:
            margins[left] = float(int_value(key));
            break;
        case id_margin_right:
            margins[right] = float(int_value(key));
            break;
        case id_padding: {
            const std::vector<int>& v = values_of(key);
            paddings[top] = float(v.at(0));
            paddings[right] = float(v.at(1));
            paddings[bottom] = float(v.at(2));
            paddings[left] = float(v.at(3));
            break;
        }
        case id_padding_top:
            paddings[top] = float(int_value(key));
            break;
        case id_padding_bottom:
            paddings[bottom] = float(int_value(key));
            break;
        case id_padding_left:
            paddings[left] = float(int_value(key));
            break;
        case id_padding_right:
            paddings[right] = float(int_value(key));
            break;
        case id_width:
            width = float(int_value(key));
            break;
        case id_height:
            height = float(int_value(key));
            break;
        case id_fixed_size: {
            const std::vector<int>& v = values_of(key);
            width = float(v.at(0));
            height = float(v.at(1));
            if (w)
                w->setFixedSize(v.at(0), v.at(1));
            break;
        }
        case id_style:
            if (w)
                merge_style(w, static_cast<const text_option*>(key)->value);
            break;
        case id_background_style:
            if (back)
                back->setStyleSheet(back->styleSheet() + static_cast<const text_option*>(key)->value);
            break;
        case id_no_background:
            if (back)
                back->setStyleSheet(back->styleSheet()
                                    + QLatin1String("background-color:none;background-image:none;"));
            break;
        case id_row_height:
            row_height = int_value(key);
            break;
        case id_row_span:
            row_span = int_value(key);
            break;
        case id_column_span:
            column_span = int_value(key);
            break;
        case id_column_width:
            column_width = int_value(key);
            break;
        case id_hidden:
            if (w)
                w->setVisible(false);
            break;
        case id_disabled:
            if (w)
                w->setEnabled(false);
            break;
        case id_first_column_width:
            first_column_width = int_value(key);
            break;
        case id_line_break:
            line_break = true;
            break;
        case id_offset_x:
            offset_x = int_value(key);
            break;
        case id_offset_y:
            offset_y = int_value(key);
            break;
        case id_offset: {
            const std::vector<int>& v = values_of(key);
            offset_x = v.at(0);
            offset_y = v.at(1);
            break;
        }
        case id_size_from_widget:
            if (w) {
                width = float(w->width());
                height = float(w->height());
            }
            break;
        case id_size_from_widget_fixed:
            if (w) {
                width = float(w->width());
                height = float(w->height());
                first_column_width = w->width();
            }
            break;
        default:
            break;
        }
    }
}

QSize cell::sizeHint() const
{
    return QSize(100, 100);
}

QSize cell::minimumSize() const
{
    return QSize(100, 100);
}

QSize cell::maximumSize() const
{
    return QSize(100, 100);
}

Qt::Orientations cell::expandingDirections() const
{
    return Qt::Horizontal | Qt::Vertical;
}

void cell::setGeometry(const QRect&) {}

QRect cell::geometry() const
{
    return QRect(0, 0, 100, 100);
}

bool cell::isEmpty() const
{
    return !wrapped_widget && !span_filler;
}

QWidget* cell::widget()
{
    return wrapped_widget.data();
}

QWidget* cell::top_level_window() const
{
    QWidget* w = layout ? layout->parentWidget() : nullptr;
    while (w && w->parentWidget())
        w = w->parentWidget();
    return w;
}

namespace {

// One layout pass past the size guard: grow the window by a pixel and back.
void nudge(QWidget* window, int w, int h, bool repaint)
{
    if (!window)
        return;
    window->resize(w, h + 1);
    window->resize(w, h);
    if (repaint)
        window->repaint();
}

void sleep_step(float seconds)
{
    const auto micros = static_cast<long long>(seconds / (seconds * 25.0f) * 1000000.0f);
    std::this_thread::sleep_for(std::chrono::microseconds(micros));
}

int& entry(std::vector<int>& v, int index)
{
    if (index >= int(v.size()))
        v.resize(std::size_t(index) + 1, 0);
    return v[std::size_t(index)];
}

// Moves one row height or column width towards target in 25 steps a
// second, repainting the window after every step.
void animate_track(int& value, int target, float seconds, QWidget* window, bool repaint)
{
    const int diff = value - target;
    if (diff == 0)
        return;
    const int w = window ? window->width() : 0;
    const int h = window ? window->height() : 0;
    if (seconds > 0 && seconds * 25 > 0) {
        const int step = static_cast<int>(float(diff) / seconds / 25.0f);
        for (int k = 0; float(k) < seconds * 25; ++k) {
            value -= step;
            if ((diff >= 1 && value < target) || (diff < 0 && value > target))
                break;
            nudge(window, w, h, repaint);
            sleep_step(seconds);
        }
    }
    value = target;
    nudge(window, w, h, repaint);
}

} // namespace

void cell::animate_row_height(int target, float seconds)
{
    // Called from event handlers (a folding widget's click): log, don't throw.
    if (!KO_ASSERT_LOG(layout))
        return;
    animate_track(entry(layout->row_heights, row < 0 ? layout->current_row : row), target, seconds,
                  top_level_window(), true);
}

void cell::animate_column_width(int target, float seconds)
{
    // Called from event handlers (a folding widget's click): log, don't throw.
    if (!KO_ASSERT_LOG(layout))
        return;
    animate_track(entry(layout->column_widths, column < 0 ? layout->current_column : column), target,
                  seconds, top_level_window(), false);
}

void cell::animate_size(int target_width, int target_height, float seconds)
{
    // Called from event handlers (a folding widget's click): log, don't throw.
    if (!KO_ASSERT_LOG(layout))
        return;
    int& column_value = entry(layout->column_widths, column < 0 ? layout->current_column : column);
    int& row_value = entry(layout->row_heights, row < 0 ? layout->current_row : row);
    const int diff_w = column_value - target_width;
    const int diff_h = row_value - target_height;
    if (diff_w == 0 || diff_h == 0)
        return;
    QWidget* window = top_level_window();
    const int w = window ? window->width() : 0;
    const int h = window ? window->height() : 0;
    if (seconds > 0 && seconds * 25 > 0) {
        const int step_w = static_cast<int>(float(diff_w) / seconds / 25.0f);
        const int step_h = static_cast<int>(float(diff_h) / seconds / 25.0f);
        for (int k = 0; float(k) < seconds * 25; ++k) {
            column_value -= step_w;
            row_value -= step_h;
            if ((diff_w >= 1 && column_value < target_width) || (diff_w < 0 && column_value > target_width)
                || (diff_h >= 1 && row_value < target_height) || (diff_h < 0 && row_value > target_height))
                break;
            nudge(window, w, h, false);
            sleep_step(seconds);
        }
    }
    column_value = target_width;
    row_value = target_height;
    nudge(window, w, h, false);
}

// ---------------------------------------------------------------- registry

std::map<QWidget*, cell*>& cell_registry()
{
    static std::map<QWidget*, cell*> registry;
    return registry;
}

cell* registered_cell(QWidget* widget)
{
    auto& registry = cell_registry();
    const auto found = registry.find(widget);
    if (found == registry.end())
        return nullptr;
    // A widget freed and another made at its address must not find the old cell.
    if (found->second->wrapped_widget.data() != widget) {
        registry.erase(found);
        return nullptr;
    }
    return found->second;
}

// ---------------------------------------------------------------- layout

layout::layout(QWidget* parent, int wrap_count, bool column_wise)
    : QLayout(parent), column_wise(column_wise), wrap_count(wrap_count)
{
}

layout::layout(int wrap_count, bool column_wise) : QLayout(), column_wise(column_wise), wrap_count(wrap_count) {}

layout::~layout()
{
    auto& registry = cell_registry();
    for (auto& entry : cells) {
        cell& c = entry.second;
        for (auto it = registry.begin(); it != registry.end();) {
            if (it->second == &c)
                it = registry.erase(it);
            else
                ++it;
        }
        // Backgrounds that never reached a parent widget have no other owner.
        if (c.background && !c.background->parent())
            delete c.background.data();
    }
}

void layout::adopt(QWidget* w) const
{
    QWidget* parent = parentWidget();
    if (!w || w->parentWidget() == parent)
        return;
    // setParent hides a widget that was shown before; whatever was not
    // hidden on purpose is shown again (or along with its new parent).
    const bool hidden_on_purpose = w->testAttribute(Qt::WA_WState_ExplicitShowHide) && w->isHidden();
    w->setParent(parent);
    if (parent && !hidden_on_purpose)
        w->show();
}

void layout::forget(cell& old, const cell* replacement)
{
    auto& registry = cell_registry();
    if (old.wrapped_widget) {
        auto found = registry.find(old.wrapped_widget.data());
        if (found != registry.end() && found->second == &old)
            registry.erase(found);
    }
    QWidget* back = old.background.data();
    if (!back || (replacement && replacement->background.data() == back))
        return;
    for (const auto& entry : cells)
        if (&entry.second != &old && entry.second.background.data() == back)
            return;
    back->hide();
    back->deleteLater();
}

void layout::store(const cell& c, int column, int row)
{
    const position key{column, row};
    auto found = cells.find(key);
    cell* stored = nullptr;
    if (found != cells.end()) {
        forget(found->second, &c);
        found->second = c;
        stored = &found->second;
    } else {
        stored = &cells.emplace(key, c).first->second;
    }
    stored->layout = this;
    stored->column = column;
    stored->row = row;
    if (stored->wrapped_widget)
        cell_registry()[stored->wrapped_widget.data()] = stored;
}

void layout::grow_to(int column, int row)
{
    if (int(column_widths.size()) < column + 1)
        column_widths.resize(std::size_t(column) + 1, 0);
    if (int(row_heights.size()) < row + 1)
        row_heights.resize(std::size_t(row) + 1, 0);
    current_column = column;
    current_row = row;
}

void layout::place_cell(const cell& c, int column, int row, bool no_fill)
{
    adopt(c.wrapped_widget.data());
    store(c, column, row);
    if (!no_fill)
        fill_empty_cells();
    grow_to(column, row);
}

bool layout::occupied(int column, int row) const
{
    const auto found = cells.find(position{column, row});
    return found != cells.end() && (found->second.wrapped_widget || found->second.span_filler);
}

void layout::step_cursor()
{
    int& along = column_wise ? cursor_row : cursor_column;
    int& across = column_wise ? cursor_column : cursor_row;
    along += 1;
    if (wrap_count != 0 && along >= wrap_count) {
        along = 0;
        across += 1;
    }
}

void layout::skip_occupied()
{
    while (occupied(cursor_column, cursor_row))
        step_cursor();
}

void layout::add(const cell& c)
{
    adopt(c.wrapped_widget.data());
    skip_occupied();
    const int column = cursor_column;
    const int row = cursor_row;
    store(c, column, row);
    fill_empty_cells();
    grow_to(column, row);
    if (c.column_width >= 1)
        column_widths[std::size_t(column)] = c.column_width;
    if (c.row_height > 0)
        row_heights[std::size_t(row)] = c.row_height;
    if (c.line_break) {
        if (column_wise) {
            cursor_row = 0;
            cursor_column += 1;
        } else {
            cursor_column = 0;
            cursor_row += 1;
        }
    } else {
        step_cursor();
    }
    skip_occupied();
}

void layout::add(QWidget* widget)
{
    add(cell(widget));
}

void layout::fill_empty_cells()
{
    // Positions covered by a spanning cell get span fillers. Fillers have
    // spans of 1, so those met later in the walk add nothing.
    for (auto it = cells.begin(); it != cells.end(); ++it) {
        const int column = it->first.column;
        const int row = it->first.row;
        const int column_span = it->second.column_span;
        const int row_span = it->second.row_span;
        for (int i = 0; i < column_span; ++i) {
            for (int j = 0; j < row_span; ++j) {
                if (i == 0 && j == 0)
                    continue;
                const auto there = cells.find(position{column + i, row + j});
                if (there != cells.end() && there->second.span_filler && !there->second.wrapped_widget)
                    continue; // already a filler: the same cell again
                cell filler;
                filler.span_filler = true;
                place_cell(filler, column + i, row + j, true);
            }
        }
    }
    // Every other position inside the grid without a cell gets a placeholder.
    const int columns = int(column_widths.size());
    const int rows = int(row_heights.size());
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            if (cells.count(position{c, r}))
                continue;
            cell placeholder;
            store(placeholder, c, r);
            current_column = c;
            current_row = r;
        }
    }
}

void layout::addItem(QLayoutItem*)
{
    throw ko::exception("This layout works different. Use add() instead.");
}

QLayoutItem* layout::itemAt(int index) const
{
    if (index < 0)
        return nullptr;
    int i = 0;
    for (const auto& entry : cells) {
        const cell& c = entry.second;
        if (!c.wrapped_widget && !c.span_filler)
            continue;
        if (i == index)
            return const_cast<cell*>(&c);
        ++i;
    }
    return nullptr;
}

QLayoutItem* layout::takeAt(int)
{
    return nullptr;
}

int layout::count() const
{
    int n = 0;
    for (const auto& entry : cells)
        if (entry.second.wrapped_widget || entry.second.span_filler)
            ++n;
    return n;
}

Qt::Orientations layout::expandingDirections() const
{
    return Qt::Horizontal | Qt::Vertical;
}

QSize layout::minimumSize() const
{
    int w = 0, h = 0;
    for (int v : column_widths)
        w += v;
    for (int v : row_heights)
        h += v;
    return QSize(w, h);
}

QSize layout::sizeHint() const
{
    int w = 0, h = 0;
    for (int v : column_widths)
        w += v == 0 ? 20 : v;
    for (int v : row_heights)
        h += v == 0 ? 20 : v;
    return QSize(w, h);
}

void layout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    QWidget* parent = parentWidget();
    if (!parent)
        return;
    const int W = parent->width();
    const int H = parent->height();
    if (W == last_width && H == last_height) {
        if (repeat_count > 3)
            return;
        ++repeat_count;
    } else {
        repeat_count = 0;
    }
    last_width = W;
    last_height = H;

    float column_share = float(W);
    int flexible_columns = 0;
    for (int v : column_widths) {
        if (v != 0)
            column_share -= float(v);
        else
            ++flexible_columns;
    }
    if (flexible_columns > 0)
        column_share /= float(flexible_columns);
    float row_share = float(H);
    int flexible_rows = 0;
    for (int v : row_heights) {
        if (v != 0)
            row_share -= float(v);
        else
            ++flexible_rows;
    }
    if (flexible_rows > 0)
        row_share /= float(flexible_rows);

    const int columns = int(column_widths.size());
    const int rows = int(row_heights.size());
    const auto column_size = [&](int c) {
        if (c >= columns)
            return 0.0f;
        const int v = column_widths[std::size_t(c)];
        return v == 0 ? column_share : float(v);
    };
    const auto row_size = [&](int r) {
        if (r >= rows)
            return 0.0f;
        const int v = row_heights[std::size_t(r)];
        return v == 0 ? row_share : float(v);
    };

    float y = 0;
    for (int r = 0; r < rows; ++r) {
        float x = 0;
        for (int c = 0; c < columns; ++c) {
            const auto found = cells.find(position{c, r});
            if (found == cells.end())
                continue;
            cell& item = found->second;

            float cw = 0;
            for (int i = 0; i < item.column_span; ++i)
                cw += (i == 0 && item.first_column_width > 0) ? float(item.first_column_width) : column_size(c + i);
            float ch = 0;
            for (int j = 0; j < item.row_span; ++j)
                ch += row_size(r + j);

            const float L = item.margins[cell::left], R = item.margins[cell::right];
            const float T = item.margins[cell::top], B = item.margins[cell::bottom];
            const float pl = item.paddings[cell::left], pr = item.paddings[cell::right];
            const float pt = item.paddings[cell::top], pb = item.paddings[cell::bottom];

            float X, w;
            if (item.width <= 0) {
                X = x + (L >= 0 ? L : 0) + pl;
                w = cw - (L >= 0 ? L : 0) - (R >= 0 ? R : 0) - pl - pr;
            } else {
                w = item.width;
                if (L < 0 && R < 0)
                    X = x + cw * 0.5f - w * 0.5f;
                else if (L < 0)
                    X = x + cw - w - R;
                else if (R < 0)
                    X = x + L;
                else
                    X = x;
            }
            float Y, h;
            if (item.height <= 0) {
                Y = y + (T >= 0 ? T : 0) + pt;
                h = ch - (T >= 0 ? T : 0) - (B >= 0 ? B : 0) - pt - pb;
            } else {
                h = item.height;
                if (T < 0 && B < 0)
                    Y = y + ch * 0.5f - h * 0.5f;
                else if (T < 0)
                    Y = y + ch - h - B;
                else if (B < 0)
                    Y = y + T;
                else
                    Y = y;
            }

            QWidget* content = item.wrapped_widget.data();
            if (content) {
                content->move(truncated(X + float(item.offset_x)), truncated(Y + float(item.offset_y)));
                content->setFixedSize(size_value(w), size_value(h));
            }
            if (QWidget* back = item.background.data()) {
                back->move(truncated(X - pl), truncated(Y - pt));
                back->setFixedSize(size_value(w + pl + pr), size_value(h + pt + pb));
                adopt(back);
            }
            if (content) {
                adopt(content);
                content->raise();
                x += cw;
            }
        }
        y += row_size(r);
    }
}

} // namespace qt
} // namespace ko
