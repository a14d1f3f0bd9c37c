// The dark buttons and basic widgets, checked by the pixels they paint:
// border images from the resources, recoloured icons in their states,
// indicators, fields and frames; plus their few behaviours of their own.
#include "ko/dark_widgets.h"
#include "ko/fonts.h"

#include <QApplication>
#include <QButtonGroup>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QtTest>

namespace {

QImage grab_of(QWidget* widget)
{
    widget->ensurePolished();
    return widget->grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

QColor at(const QImage& image, int x, int y)
{
    return QColor::fromRgba(image.pixel(x, y));
}

bool close_to(const QColor& a, const QColor& b, int tolerance = 3)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

int count_colour(const QImage& image, const QColor& colour, int tolerance = 3)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 255 && close_to(at(image, x, y), colour, tolerance))
                ++n;
    return n;
}

// A 16 x 16 opaque square icon in the middle of a 20 x 20 transparent image,
// saved in the given form: "palette" (8-bit indexed PNG), "grey" (8-bit
// grey PNG, no alpha) or "argb" (with a darker 4 x 4 corner).
QString write_icon(const QTemporaryDir& dir, const QString& form)
{
    QImage image(20, 20, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.fillRect(2, 2, 16, 16, QColor(10, 200, 30));
    if (form == "argb")
        p.fillRect(2, 2, 4, 4, QColor(60, 60, 60));
    p.end();
    if (form == "palette")
        image = image.convertToFormat(QImage::Format_Indexed8);
    else if (form == "grey")
        image = image.convertToFormat(QImage::Format_Grayscale8);
    const QString path = dir.filePath(form + ".png");
    return image.save(path, "PNG") ? path : QString();
}

const QColor window_grey(47, 47, 47);
const QColor text_colour(198, 213, 210);

} // namespace

class test_dark_widgets : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    // A 60 x 40 dark button with the given icon in the usual colours.
    void icon_button(ko::button_dark& button, const QString& form)
    {
        button.resize(60, 40);
        button.set_icon(write_icon(dir, form), -1, -1, 0xFFF0F0F0u, 0xFF818885u);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        ko::register_fonts();
    }

    // The border image families as painted: the button's middle shows the
    // fill of "<family>_normal.png" at rest and "<family>_pressed.png" when
    // checked or down.
    void button_paints_border_family_by_state()
    {
        ko::button_dark button("Sync");
        button.resize(120, 30);
        button.setCheckable(true);
        const auto shows = [&](const char* image) {
            const QColor got = at(grab_of(&button), 60, 15);
            return close_to(got, at(QImage(QString(":/gui/button/") + image), 6, 12), 6);
        };
        QVERIFY(shows("dark_normal.png"));
        QVERIFY(close_to(at(grab_of(&button), 0, 15), QColor(99, 99, 99), 6));
        button.setChecked(true);
        QVERIFY(shows("dark_pressed.png"));
        button.set_style("header");
        QVERIFY(shows("header_pressed.png"));
        button.setChecked(false);
        QVERIFY(shows("header_normal.png"));
        button.setDown(true);
        QVERIFY(shows("header_pressed.png"));
    }

    // The variants have no place markers; composing them is quiet and
    // leaves no marker behind.
    void variant_style_sheets_leave_no_marker()
    {
        ko::button_dark_flat flat("Flat");
        ko::button_dark_round round("Round");
        flat.set_padding(4);
        round.set_text_color(ko::pixel_argb(255, 0, 0, 128));
        QVERIFY(!flat.styleSheet().contains("%1") && !round.styleSheet().contains("%3"));
    }

    // Icons in any stored form (a palette PNG once overran the buffer) are
    // recoloured whole: normal colour at rest, highlight colour under the
    // mouse, normal colour at half alpha when disabled.
    void icon_recolouring_of_every_image_form_data()
    {
        QTest::addColumn<QString>("form");
        QTest::newRow("palette") << "palette";
        QTest::newRow("grey") << "grey";
        QTest::newRow("argb") << "argb";
    }
    void icon_recolouring_of_every_image_form()
    {
        QFETCH(QString, form);
        ko::button_dark button;
        icon_button(button, form);
        const auto& icon = button.normal_icon();
        QVERIFY(icon.normal_image && icon.highlighted_image && icon.disabled_image);
        QCOMPARE(icon.disabled_image->pixel(10, 10), qRgba(129, 136, 133, 127));
        if (form != "grey")
            QCOMPARE(qAlpha(icon.normal_image->pixel(0, 0)), 0);

        // Painted: the icon is centred; (30, 20) is inside it.
        QCOMPARE(at(grab_of(&button), 30, 20).rgb(), qRgb(129, 136, 133));
        button.setAttribute(Qt::WA_UnderMouse, true);
        QCOMPARE(at(grab_of(&button), 30, 20).rgb(), qRgb(240, 240, 240));
        button.setAttribute(Qt::WA_UnderMouse, false);

        const QColor behind = at(grab_of(&button), 30, 2);
        button.setEnabled(false);
        const QColor disabled = at(grab_of(&button), 30, 20);
        // Half of the icon colour over what lies behind.
        const int expected = (129 * 127 + behind.red() * 128) / 255;
        QVERIFY2(std::abs(disabled.red() - expected) <= 4, qPrintable(disabled.name() + " over " + behind.name()));
    }

    void checked_button_icons()
    {
        ko::button_dark button, bare;
        icon_button(button, "argb");
        bare.resize(60, 40);
        for (auto* b : {&button, &bare}) {
            b->setCheckable(true);
            b->setChecked(true);
        }
        // Highlighted icon, no frame: the edge is the pressed border image's.
        const QImage checked = grab_of(&button);
        QCOMPARE(at(checked, 30, 20).rgb(), qRgb(240, 240, 240));
        QCOMPARE(at(checked, 1, 20), at(grab_of(&bare), 1, 20));
        button.set_state_styles(true, true, false, true);
        QVERIFY(close_to(at(grab_of(&button), 0, 20), QColor(129, 136, 133), 2));

        // Own icons for the checked and the pressed state.
        const QString other = write_icon(dir, "palette");
        ko::button_dark with_checked, with_pressed;
        icon_button(with_checked, "argb");
        icon_button(with_pressed, "argb");
        with_checked.setCheckable(true);
        with_checked.set_checked_icon(other, -1, -1, 0xFFFF0000u, 0xFF00FF00u);
        with_checked.setChecked(true);
        QCOMPARE(at(grab_of(&with_checked), 30, 20).rgb(), qRgb(255, 0, 0));
        with_pressed.set_pressed_icon(other, -1, -1, 0xFF0000FFu, 0xFF00FF00u);
        with_pressed.setDown(true);
        QCOMPARE(at(grab_of(&with_pressed), 30, 20).rgb(), qRgb(0, 255, 0));
    }

    void icon_at_fixed_position_and_relative_shift()
    {
        ko::button_dark button;
        button.resize(60, 40);
        button.set_icon_shifted(write_icon(dir, "argb"), 0, 0, ko::pixel_argb(70, 70, 70),
                                ko::pixel_argb(60, 60, 60));
        const auto& icon = button.normal_icon();
        // Colours kept at rest; the highlight moves every colour by +10.
        QCOMPARE(icon.highlighted_image->pixel(10, 10), qRgb(20, 210, 40));
        QCOMPARE(icon.highlighted_image->pixel(3, 3), qRgb(70, 70, 70));
        QCOMPARE(at(grab_of(&button), 12, 12).rgb(), qRgb(10, 200, 30));
        QVERIFY(at(grab_of(&button), 30, 30).rgb() != qRgb(10, 200, 30));
    }

    void missing_icon_logs_and_paints_nothing()
    {
        ko::button_dark plain("x"), button("x");
        plain.resize(60, 40);
        button.resize(60, 40);
        QTest::ignoreMessage(QtDebugMsg, "Can't open icon \"/no/such/icon.png\"");
        button.set_icon("/no/such/icon.png", -1, -1, 0xFFF0F0F0u, 0xFF818885u);
        QCOMPARE(grab_of(&button), grab_of(&plain));

        // An empty path keeps the earlier icon, in the new colours.
        icon_button(button, "argb");
        QTest::ignoreMessage(QtDebugMsg, "Can't open icon \"\"");
        button.set_icon(QString(), -1, -1, 0xFFFFFFFFu, 0xFF102030u);
        QCOMPARE(at(grab_of(&button), 30, 20).rgb(), qRgb(0x10, 0x20, 0x30));
    }

    // An icon painter handed a push button that is not a dark button logs
    // the failed check instead of throwing out of the paint handler.
    void icon_painter_on_foreign_button_logs()
    {
        ko::button_dark::img_highlighter holder;
        holder.path = write_icon(dir, "argb");
        holder.load();
        auto painter_function = holder.get_custom_paint_ex(-1, -1);
        QPushButton foreign("foreign");
        QImage canvas(40, 40, QImage::Format_ARGB32);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("^assert \"bd\" failed at .*button_dark"));
        painter_function(painter, &foreign); // a throw here would fail the test
        painter.end();
        QCOMPARE(qAlpha(canvas.pixel(20, 20)), 0);
    }

    void toggle_on_press_and_unchecking_in_group()
    {
        ko::button_dark button("t");
        button.setCheckable(true);
        button.toggle_on_press = true;
        int releases = 0;
        button.release_handler = [&releases](QMouseEvent*) { ++releases; };
        QTest::mousePress(&button, Qt::LeftButton, Qt::ShiftModifier);
        QVERIFY(button.isChecked());
        QCOMPARE(button.pressed_modifiers(), int(Qt::ShiftModifier));
        QTest::mouseRelease(&button, Qt::LeftButton);
        QVERIFY(!button.isChecked());
        QCOMPARE(releases, 1);
        QCOMPARE(button.pressed_modifiers(), 0);

        // In an exclusive group it may still be unchecked by a click.
        ko::button_dark a("a");
        a.resize(40, 20);
        a.setCheckable(true);
        QButtonGroup group;
        group.addButton(&a);
        group.addButton(&button);
        a.uncheck_in_exclusive_group = true;
        a.setChecked(true);
        QTest::mouseClick(&a, Qt::LeftButton);
        QVERIFY(!a.isChecked() && !button.isChecked() && group.exclusive());
    }

    // --- basic widgets -------------------------------------------------------

    void checkbox_and_radio_indicators()
    {
        ko::checkbox coloured("Overwrite");
        ko::checkbox::set_style(&coloured, 4, QColor(200, 30, 30, 255), QString(), QString(), text_colour);
        coloured.resize(coloured.sizeHint());
        QVERIFY(count_colour(grab_of(&coloured), QColor(200, 30, 30)) >= 100);
        coloured.setChecked(true);
        QVERIFY(count_colour(grab_of(&coloured), QColor(255, 255, 255), 0) > 40);

        ko::radio radio("Closest");
        radio.resize(radio.sizeHint());
        const int dot_before = count_colour(grab_of(&radio), text_colour, 8);
        radio.setChecked(true);
        const int dot_after = count_colour(grab_of(&radio), text_colour, 8);
        QVERIFY2(dot_after > dot_before + 10, qPrintable(QString("%1 %2").arg(dot_before).arg(dot_after)));
        radio.setEnabled(false);
        QVERIFY(count_colour(grab_of(&radio), QColor(100, 100, 100), 8) > 10);
    }

    void lineedit_border_and_background()
    {
        ko::lineedit edit;
        edit.resize(100, 24);
        QVERIFY(close_to(at(grab_of(&edit), 90, 12), QColor(38, 38, 38), 1));
        edit.setEnabled(false);
        QVERIFY(close_to(at(grab_of(&edit), 90, 12), window_grey, 1));
        edit.setEnabled(true);
        edit.set_current_border_color(QColor(200, 0, 0));
        QVERIFY(close_to(at(grab_of(&edit), 0, 12), QColor(200, 0, 0), 1));
        edit.reset_border_color();
        QVERIFY(close_to(at(grab_of(&edit), 0, 12), QColor(99, 99, 99), 1));
    }

    void combobox_ignores_wheel_and_reports_clicks()
    {
        ko::combobox combo;
        combo.addItems({"English", "Deutsch"});
        combo.setCurrentIndex(0);
        const QPoint centre = combo.rect().center();
        for (const bool ignore : {true, false}) {
            combo.set_ignore_wheel(ignore);
            QWheelEvent wheel(centre, combo.mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(&combo, &wheel);
            QCOMPARE(combo.currentIndex(), ignore ? 0 : 1);
        }
        QSignalSpy clicks(&combo, &ko::combobox::clicked);
        QTest::mouseRelease(&combo, Qt::LeftButton, Qt::NoModifier, centre);
        QCOMPARE(clicks.count(), 1);
        combo.hidePopup();
    }

    void clickable_label_presses()
    {
        ko::clickable_label link("Click here");
        QSignalSpy clicks(&link, &ko::clickable_label::clicked);
        QTest::mouseClick(&link, Qt::RightButton);
        QCOMPARE(clicks.count(), 0);
        QTest::mousePress(&link, Qt::LeftButton, Qt::ControlModifier);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(link.pressed_modifiers(), int(Qt::ControlModifier));
        QTest::mouseRelease(&link, Qt::LeftButton);
        QCOMPARE(link.pressed_modifiers(), 0);
    }

    void panel_frames_its_content()
    {
        auto* content = new QVBoxLayout;
        QWidget backdrop;
        backdrop.setStyleSheet("background-color: rgb(47,47,47);");
        backdrop.resize(200, 100);
        auto* panel = new ko::panel(content);
        panel->setParent(&backdrop);
        panel->resize(200, 100);
        const QImage image = grab_of(&backdrop);
        const QImage border(":/gui/panel/border.png");
        QVERIFY(close_to(at(image, 1, 50), at(border, 1, 6), 2));
        QVERIFY(close_to(at(image, 100, 0), at(border, 6, 0), 2));
        QVERIFY(close_to(at(image, 100, 97), window_grey, 2));
    }
};

QTEST_MAIN(test_dark_widgets)
#include "test_dark_widgets.moc"
