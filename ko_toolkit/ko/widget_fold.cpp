#include "ko/widget_fold.h"

#include "ko/cell_options.h"
#include "ko/layout.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace ko {
namespace qt {

widget_fold::widget_fold(const QString& title, QPushButton* button_, double duration_, int header_height_)
    : header_height(header_height_), duration(duration_), button(button_)
{
    outer = new qt::layout(2, false);
    if (button == nullptr) {
        button = new QPushButton(QStringLiteral("fold"));
        owns_button = true;
    }
    outer->add(qt::cell(button, qt::row_height(header_height)));
    connect(button, &QPushButton::clicked, this, &widget_fold::toggle);

    const int hint_width = button->sizeHint().width();
    outer->column_widths[0] = hint_width != 0 ? hint_width - 20 : header_height;

    header = new qt::layout(1, false);
    auto* header_holder = new QWidget;
    header_holder->setLayout(header);
    outer->place_cell(qt::cell(header_holder), 1, 0);
    if (!title.isEmpty())
        header->add(new QLabel(title));

    content = new qt::layout(1, false);
    auto* content_holder = new QWidget;
    content_holder->setLayout(content);
    outer->add(qt::cell(content_holder, qt::margin_top(0), qt::height(400), qt::column_span(2)));

    // The enclosing layout places this widget only after construction: take
    // over its row height once the event loop runs.
    QTimer::singleShot(0, this, &widget_fold::adopt_row_height);
    QTimer::singleShot(0, this, &widget_fold::adopt_row_height);

    setLayout(outer);
    QWidget* top = window();
    const int w = top->width();
    const int h = top->height();
    top->resize(w, h + 1);
    top->resize(w, h);
    top->repaint();
}

cell* widget_fold::own_cell() const
{
    return registered_cell(const_cast<widget_fold*>(this));
}

void widget_fold::adopt_row_height()
{
    cell* own = own_cell();
    if (own == nullptr || own->layout == nullptr)
        return;
    const auto& rows = own->layout->row_heights;
    if (own->row < 0 || own->row >= static_cast<int>(rows.size()))
        return;
    const auto it = outer->cells.find(qt::layout::position{0, 1});
    if (it != outer->cells.end())
        it->second.height = static_cast<float>(rows[own->row]);
}

void widget_fold::toggle()
{
    cell* own = own_cell();
    if (own == nullptr || own->layout == nullptr)
        return;
    is_folded = !is_folded;
    int target = 0;
    if (is_folded) {
        auto& rows = own->layout->row_heights;
        if (own->row >= 0 && own->row < static_cast<int>(rows.size()))
            saved_height = rows[own->row];
        target = header_height;
        if (owns_button)
            button->setText(QStringLiteral("unfold"));
    } else {
        target = saved_height;
        if (owns_button)
            button->setText(QStringLiteral("fold"));
    }
    own->animate_row_height(target, static_cast<float>(duration));
    emit folded(!is_folded);
}

} // namespace qt
} // namespace ko
