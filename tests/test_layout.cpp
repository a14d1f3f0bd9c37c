// The grid layout: placement (wrapping, spans, holes, fixed and flexible
// columns, margins, paddings, offsets), the pass guard, size hints, the
// Qt-style addItem that throws, nested layouts, deleted widgets and the cell
// registry; the cell options and the two style routines; the painted result.
#include "ko/layout.h"
#include "dialog_support.h"
#include "stream_capture.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QtTest>

using namespace ko::qt;
using test_support::colour_near;

namespace {

struct grid {
    QWidget parent;
    ko::qt::layout* l;
    explicit grid(int wrap = 0, int w = 300, int h = 200) : l(new ko::qt::layout(&parent, wrap, false))
    {
        parent.resize(w, h);
    }
    void pass() { l->setGeometry(QRect()); }
    const cell* at(int column, int row) const
    {
        const auto found = l->cells.find(ko::qt::layout::position{column, row});
        return found == l->cells.end() ? nullptr : &found->second;
    }
};

} // namespace

class test_layout : public QObject {
    Q_OBJECT
private slots:
    void wrapping_and_line_break()
    {
        grid g(3);
        std::vector<QWidget*> widgets;
        for (int i = 0; i < 7; ++i) {
            widgets.push_back(new QWidget);
            g.l->add(widgets.back());
        }
        for (int i = 0; i < 7; ++i) {
            const cell* c = g.at(i % 3, i / 3);
            QVERIFY(c && c->wrapped_widget.data() == widgets[std::size_t(i)]);
            QCOMPARE(widgets[std::size_t(i)]->parentWidget(), &g.parent);
        }
        // Holes of the new row are filled by the next placement only.
        QVERIFY(!g.at(1, 2));
        g.l->place_cell(cell(), 0, 3);
        QVERIFY(g.at(1, 2) && g.at(1, 2)->isEmpty() && !g.at(1, 2)->span_filler);
        QCOMPARE(g.l->count(), 7);
        QCOMPARE(g.l->itemAt(3)->widget(), widgets[3]);
        QVERIFY(!g.l->itemAt(7) && !g.l->takeAt(0));

        grid flat(0);
        for (int i = 0; i < 5; ++i)
            flat.l->add(new QWidget);
        QCOMPARE(int(flat.l->column_widths.size()), 5);
        flat.l->add(cell(new QWidget, line_break));
        flat.l->add(new QWidget);
        QVERIFY(flat.at(0, 1) && flat.at(0, 1)->wrapped_widget);

        // Column-wise: the cursor runs down the rows and wraps to the next column.
        QWidget parent;
        auto* columns = new ko::qt::layout(&parent, 2, true);
        for (int i = 0; i < 3; ++i)
            columns->add(new QWidget);
        QVERIFY(columns->cells.at(ko::qt::layout::position{0, 1}).wrapped_widget);
        QVERIFY(columns->cells.at(ko::qt::layout::position{1, 0}).wrapped_widget);
    }

    void column_span_and_fillers()
    {
        grid g(3);
        auto* wide = new QWidget;
        auto* next = new QWidget;
        g.l->add(cell(wide, column_span(2), column_width(50)));
        g.l->add(cell(next, column_width(30)));
        QVERIFY(g.at(1, 0)->span_filler && !g.at(1, 0)->isEmpty());
        g.l->column_widths[1] = 70;
        g.pass();
        QCOMPARE(wide->geometry(), QRect(0, 0, 120, 200));
        QCOMPARE(next->geometry(), QRect(120, 0, 30, 200));
        QCOMPARE(g.l->count(), 3); // two widgets and one filler

        // A row span covers the row below; the next add there skips it.
        grid tall(2);
        auto* high = new QWidget;
        tall.l->add(cell(high, row_span(2), row_height(40)));
        tall.l->add(new QWidget);
        tall.l->add(new QWidget);
        QVERIFY(tall.at(0, 1)->span_filler && tall.at(1, 1)->wrapped_widget);
        tall.pass();
        QCOMPARE(high->height(), 200);

        // A hole takes no room: the cell after it moves up to the gap.
        grid holes(0);
        auto* b = new QWidget;
        holes.l->place_cell(cell(new QWidget), 0, 0);
        holes.l->place_cell(cell(b), 2, 0);
        holes.l->place_cell(cell(new QWidget), 0, 1);
        holes.l->column_widths = {100, 60, 50};
        holes.pass();
        QCOMPARE(b->geometry().x(), 100);
        QCOMPARE(b->width(), 50);
    }

    void fixed_widths_and_alignment()
    {
        const auto x_of = [](option_list extra) {
            grid g(0);
            auto* w = new QWidget;
            g.l->add(cell(w, width(100), column_width(300), extra));
            g.pass();
            return w->geometry().x();
        };
        option_list both = margin_left(7);
        add_options(both, margin_right(10));
        // Centred; a right margin aligns right, a left one left, both: left; paddings do not move it.
        const std::vector<std::pair<option_list, int>> cases = {
            {{}, 100}, {margin_right(10), 190}, {margin_left(7), 7}, {both, 0}, {padding_left(9), 100}};
        for (const auto& [extra, x] : cases)
            QCOMPARE(x_of(extra), x);

        // Vertically the same: fixed height 50 in a 200 row.
        grid g(0);
        auto* centred = new QWidget;
        auto* bottom = new QWidget;
        g.l->add(cell(centred, height(50)));
        g.l->add(cell(bottom, height(50), margin_bottom(10), offset(3, 4)));
        g.pass();
        QCOMPARE(centred->geometry(), QRect(0, 75, 150, 50));
        QCOMPARE(bottom->geometry(), QRect(150 + 3, 140 + 4, 150, 50));
    }

    void stretch_margins_paddings_and_background()
    {
        grid g(0, 100, 60);
        auto* w = new QWidget;
        g.l->add(cell(w, margin(1, 5, 3, 5), padding(2, 2, 2, 2), column_width(100)));
        g.pass();
        QCOMPARE(w->geometry(), QRect(7, 3, 86, 60 - 1 - 3 - 4));
        QWidget* back = g.at(0, 0)->background_widget();
        QCOMPARE(back->parentWidget(), &g.parent);
        QCOMPARE(back->geometry(), QRect(5, 1, 90, 60 - 1 - 3));

        // Negative sizes become 0.
        grid tiny(0, 10, 10);
        auto* squeezed = new QWidget;
        tiny.l->add(cell(squeezed, margin_left(8), margin_right(8), margin_top(20)));
        tiny.pass();
        QCOMPARE(squeezed->size(), QSize(0, 0));

        // Flexible columns share what the fixed ones leave.
        grid flex(0, 400, 100);
        auto* b = new QWidget;
        auto* c = new QWidget;
        flex.l->add(cell(new QWidget, column_width(100)));
        flex.l->add(b);
        flex.l->add(cell(c, first_column_width(30)));
        flex.pass();
        QCOMPARE(b->geometry(), QRect(100, 0, 150, 100));
        QCOMPARE(c->geometry(), QRect(250, 0, 30, 100));
        QCOMPARE(flex.l->minimumSize(), QSize(100, 0));
        QCOMPARE(flex.l->sizeHint(), QSize(140, 20));
    }

    void pass_guard()
    {
        grid g(0, 200, 100);
        auto* w = new QWidget;
        g.l->add(w);
        for (int i = 0; i < 5; ++i) {
            g.l->column_widths[0] = 10 + i;
            g.pass();
            QCOMPARE(w->width(), 10 + i);
        }
        g.l->column_widths[0] = 99;
        g.pass(); // sixth pass with the same parent size: nothing moves
        QCOMPARE(w->width(), 14);
        g.parent.resize(201, 100);
        g.pass();
        QCOMPARE(w->width(), 99);
        QCOMPARE(g.l->repeat_count, 0);
    }

    void qt_style_add_throws()
    {
        QWidget parent;
        auto* l = new ko::qt::layout(&parent, 2);
        auto* w = new QLabel("x");
        test_support::stream_capture capture;
        QVERIFY_EXCEPTION_THROWN(l->addWidget(w), ko::exception);
        QCOMPARE(capture.err(), std::string("This layout works different. Use add() instead.\n"));
        QVERIFY(l->cells.empty());
        delete w;
    }

    void nested_layout_in_a_holder()
    {
        QWidget window;
        window.resize(300, 100);
        auto* outer = new ko::qt::layout(&window, 2);
        auto* inner = new ko::qt::layout(1);
        auto* top = new QLabel("top");
        auto* below = new QLabel("below");
        inner->add(cell(top, row_height(30)));
        inner->add(below);
        QVERIFY(!top->parentWidget());
        auto* left = new QLabel("left");
        outer->add(cell(left, column_width(100)));
        outer->add(inner, margin_left(10), no_background);
        QWidget* holder = inner->parentWidget();
        QVERIFY(holder && holder->parentWidget() == &window && top->parentWidget() == holder);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_COMPARE_WITH_TIMEOUT(holder->geometry(), QRect(110, 0, 190, 100), 2000);
        QTRY_COMPARE_WITH_TIMEOUT(below->geometry(), QRect(0, 30, 190, 70), 2000);
        QVERIFY(top->isVisible() && below->isVisible() && left->isVisible());
    }

    void deleted_widgets_and_registry()
    {
        auto* g = new grid(2);
        auto* kept = new QWidget;
        auto* doomed = new QWidget;
        g->l->add(kept);
        g->l->add(doomed);
        cell* stored = registered_cell(kept);
        QVERIFY(stored && stored->layout == g->l && registered_cell(doomed));

        delete doomed; // before its layout
        QVERIFY(!registered_cell(doomed));
        QCOMPARE(g->l->count(), 1);
        g->parent.resize(500, 300);
        g->pass(); // the freed widget is not touched
        QCOMPARE(kept->geometry(), QRect(0, 0, 250, 300));

        // Replacing a cell drops its registry entry and its old background.
        QPointer<QWidget> old_background = stored->background_widget();
        auto* replacement = new QWidget;
        g->l->place_cell(cell(replacement), 0, 0);
        QVERIFY(!registered_cell(kept));
        QCOMPARE(registered_cell(replacement)->wrapped_widget.data(), replacement);
        QTRY_VERIFY_WITH_TIMEOUT(old_background.isNull(), 2000);

        // Deleting the layout drops every entry that pointed into it.
        ko::qt::layout* l = g->l;
        delete l;
        for (const auto& entry : cell_registry())
            QVERIFY(entry.second->layout != l);
        QVERIFY(!registered_cell(replacement));
        delete g;
    }

    void widget_shown_before_keeps_visible()
    {
        QWidget window;
        window.resize(200, 100);
        auto* l = new ko::qt::layout(&window, 1);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWidget elsewhere;
        auto* moved = new QLabel("moved", &elsewhere);
        elsewhere.show();
        auto* hidden_one = new QLabel("hidden");
        l->add(moved);
        l->add(cell(hidden_one, ko::qt::hidden));
        QVERIFY(moved->parentWidget() == &window && moved->isVisible() && !hidden_one->isVisible());
    }

    void painted_cells()
    {
        QWidget window;
        window.setObjectName("window");
        window.setStyleSheet("QWidget#window{background-color:rgb(47,47,47);}");
        window.resize(200, 100);
        auto* l = new ko::qt::layout(&window, 2);
        auto* inner = new QWidget;
        l->add(cell(inner, column_width(100), fixed_size(40, 20), padding(5, 5, 5, 5),
                    style("background-color:rgb(0,0,200);"), background_style("background-color:rgb(200,0,0);")));
        l->add(cell(new QWidget, fixed_size(40, 20), background_style("background-color:rgb(200,0,0);"), no_background,
                    style("background-color:rgb(0,200,0);")));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_COMPARE_WITH_TIMEOUT(inner->geometry(), QRect(30, 40, 40, 20), 2000);
        const QImage picture = window.grab().toImage();
        QVERIFY(colour_near(picture.pixelColor(50, 50), 0, 0, 200, 0));   // the widget
        QVERIFY(colour_near(picture.pixelColor(27, 37), 200, 0, 0, 0));   // its background, padded
        QVERIFY(colour_near(picture.pixelColor(22, 50), 47, 47, 47, 0));  // outside the paddings
        QVERIFY(colour_near(picture.pixelColor(105, 5), 47, 47, 47, 0));  // no background there
    }

    void animated_row_height()
    {
        QWidget window;
        window.resize(100, 200);
        auto* l = new ko::qt::layout(&window, 1);
        auto* top = new QWidget;
        auto* below = new QWidget;
        l->add(cell(top, row_height(100)));
        l->add(below);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        cell* c = registered_cell(top);
        QVERIFY(c);
        QElapsedTimer clock;
        clock.start();
        c->animate_row_height(20, 0.2f);
        QVERIFY(clock.elapsed() >= 150 && clock.elapsed() < 2000);
        QCOMPARE(l->row_heights[0], 20);
        QTRY_COMPARE_WITH_TIMEOUT(below->geometry(), QRect(0, 20, 100, 180), 2000);
        c->animate_column_width(60, 0);
        QTRY_COMPARE_WITH_TIMEOUT(top->width(), 60, 2000);

        // A cell that was never placed has no layout: logged, not thrown.
        cell loose;
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("^assert \"layout\" failed at .*layout.cpp:\\d+ in "));
        loose.animate_row_height(5, 0.1f);
    }

    // ---------------------------------------------------------------- options

    void option_values()
    {
        QWidget w;
        w.resize(33, 44);
        // Values live in the keys: the one stored last before construction counts.
        option_list first = margin_left(4);
        option_list second = margin_left(9);
        cell twice(&w, first, second);
        QCOMPARE(twice.margins[cell::left], 9.0f);
        cell bare_key(&w, margin_left);
        QCOMPARE(bare_key.margins[cell::left], 9.0f);

        cell sized_fixed(&w, size_from_widget_fixed, disabled, ko::qt::hidden);
        QCOMPARE(sized_fixed.width, 33.0f);
        QCOMPARE(sized_fixed.first_column_width, 33);
        QVERIFY(!w.isEnabled() && w.isHidden());
        cell empty(nullptr, fixed_size(120, 30), size_from_widget); // no widget to take a size from
        QCOMPARE(empty.width, 120.0f);
    }

    void style_merge_and_declarations()
    {
        QWidget w;
        w.setStyleSheet("width:10px;color:red");
        merge_style(&w, ";;nothing;:novalue;noname:;image:url(:/gui/a.png)");
        QCOMPARE(w.styleSheet(), QString("color:red;image:url(:/gui/a.png);width:10px;"));

        w.setStyleSheet("color:red;border:none;");
        set_style_declarations(&w, "color:blue;margin:2px");
        QCOMPARE(w.styleSheet(), QString("color:blue;border:none;margin:2px;"));
        // A declaration already present unchanged stops the call: nothing is set.
        set_style_declarations(&w, "padding:1px;border:none;");
        QCOMPARE(w.styleSheet(), QString("color:blue;border:none;margin:2px;"));
    }
};

QTEST_MAIN(test_layout)
#include "test_layout.moc"
