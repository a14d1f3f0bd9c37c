// The dark buttons and basic widgets, checked by the pixels they paint:
// border images from the resources, recoloured icons in their three states,
// indicators, fields and frames; plus their few behaviours of their own.
#include "ko/dark_widgets.h"
#include "ko/fonts.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
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

QString describe(const QColor& c)
{
    return QStringLiteral("rgba(%1,%2,%3,%4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(c.alpha());
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
// grey PNG, no alpha) or "argb".
QString write_icon(const QTemporaryDir& dir, const QString& form)
{
    const QString path = dir.filePath(form + ".png");
    QImage image;
    if (form == "palette") {
        image = QImage(20, 20, QImage::Format_Indexed8);
        image.setColorTable({qRgba(0, 0, 0, 0), qRgba(10, 200, 30, 255)});
        image.fill(0);
        for (int y = 2; y < 18; ++y)
            for (int x = 2; x < 18; ++x)
                image.setPixel(x, y, 1);
    } else if (form == "grey") {
        image = QImage(20, 20, QImage::Format_Grayscale8);
        image.fill(200);
    } else {
        image = QImage(20, 20, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.fillRect(2, 2, 16, 16, QColor(10, 200, 30));
        p.fillRect(2, 2, 4, 4, QColor(60, 60, 60));
    }
    if (!image.save(path, "PNG"))
        return QString();
    return path;
}

const QColor window_grey(47, 47, 47);
const QColor text_colour(198, 213, 210);

} // namespace

class test_dark_widgets : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        ko::register_fonts();
    }

    void bold_family_name_resolves_to_bold_face()
    {
        ko::register_fonts(); // twice is harmless
        const QFontInfo bold(QFont("FreeSansBold", 11, 75));
        QCOMPARE(bold.family(), QString("FreeSans"));
        QVERIFY(bold.bold());
        const QFontInfo regular(QFont("FreeSans", 9));
        QCOMPARE(regular.family(), QString("FreeSans"));
        QVERIFY(!regular.bold());
    }

    void all_style_images_are_compiled_in()
    {
        const QStringList paths = {
            ":/gui/button/dark_normal.png", ":/gui/button/dark_pressed.png",
            ":/gui/button/header_normal.png", ":/gui/button/header_pressed.png",
            ":/gui/button/blank_normal.png", ":/gui/button/blank_pressed.png",
            ":/gui/checkbox/unchecked.png", ":/gui/checkbox/checked.png",
            ":/gui/checkbox/disabled_unchecked.png", ":/gui/checkbox/disabled_checked.png",
            ":/gui/radio/unchecked.png", ":/gui/radio/checked.png",
            ":/gui/radio/disabled_unchecked.png", ":/gui/radio/disabled_checked.png",
            ":/gui/combobox/arrow.png", ":/gui/panel/border.png", ":/gui/panel/border_topless.png",
            ":/images/Head.png"};
        for (const QString& path : paths) {
            const QImage image(path);
            QVERIFY2(!image.isNull(), qPrintable(path));
            if (path.contains("/button/") || path.contains("/panel/"))
                QVERIFY2(image.width() >= 7 && image.height() >= 7, qPrintable(path));
        }
        QCOMPARE(QImage(":/images/logo.png").size(), QSize(229, 70));
    }

    // The border image families as painted: the button's middle shows the
    // fill of "<family>_normal.png" at rest and "<family>_pressed.png" when
    // checked or down.
    void button_paints_border_family_by_state()
    {
        ko::button_dark button("Sync");
        button.resize(120, 30);
        const QColor dark_rest = at(grab_of(&button), 60, 15);
        const QColor dark_rest_edge = at(grab_of(&button), 0, 15);
        QVERIFY2(close_to(dark_rest, at(QImage(":/gui/button/dark_normal.png"), 6, 12), 6),
                 qPrintable(describe(dark_rest)));
        QVERIFY2(close_to(dark_rest_edge, QColor(99, 99, 99), 6), qPrintable(describe(dark_rest_edge)));

        button.setCheckable(true);
        button.setChecked(true);
        const QColor dark_checked = at(grab_of(&button), 60, 15);
        QVERIFY2(close_to(dark_checked, at(QImage(":/gui/button/dark_pressed.png"), 6, 12), 6),
                 qPrintable(describe(dark_checked)));

        button.set_style("header");
        const QColor header_checked = at(grab_of(&button), 60, 15);
        QVERIFY2(close_to(header_checked, at(QImage(":/gui/button/header_pressed.png"), 6, 12), 6),
                 qPrintable(describe(header_checked)));
        button.setChecked(false);
        const QColor header_rest = at(grab_of(&button), 60, 15);
        QVERIFY2(close_to(header_rest, at(QImage(":/gui/button/header_normal.png"), 6, 12), 6),
                 qPrintable(describe(header_rest)));
        button.setDown(true);
        QVERIFY(close_to(at(grab_of(&button), 60, 15), header_checked, 2));
        QVERIFY(!close_to(header_rest, header_checked, 4));
        QCOMPARE(button.focusPolicy(), Qt::NoFocus);
    }

    void button_style_sheet_composition()
    {
        ko::button_dark button;
        QVERIFY(button.styleSheet().contains("padding: 0.25em 1em;"));
        QVERIFY(!button.styleSheet().contains("padding-left"));
        QVERIFY(!button.styleSheet().contains('%'
                                               + QString("1")));
        button.set_padding(6);
        const QString first_block = button.styleSheet().section('}', 0, 0);
        QVERIFY2(first_block.contains("padding-left: 6px; padding-right: 6px;"), qPrintable(first_block));
        button.set_padding(0);
        QVERIFY(!button.styleSheet().contains("padding-left"));

        button.set_text_color(ko::pixel_argb(255, 0, 0, 128));
        QVERIFY(button.styleSheet().section('}', 0, 0).contains("color:rgba(255,0,0,128);"));
        QVERIFY(button.styleSheet().contains("QPushButton::disabled{color:rgba(255,0,0,50%);}"));
        button.reset_text_color();
        QVERIFY(button.styleSheet().contains("QPushButton::disabled{color:rgba(129,136,133,50%);}"));

        // The variants have no place markers; composing them is quiet and
        // leaves no marker behind.
        ko::button_dark_flat flat("Flat");
        ko::button_dark_round round("Round");
        flat.set_padding(4);
        QVERIFY(!flat.styleSheet().contains("%1") && !round.styleSheet().contains("%3"));
        QVERIFY(round.styleSheet().contains("border-radius:5px"));
    }

    void pixel_argb_layout()
    {
        const ko::pixel_argb c = 0xFF818885u;
        QCOMPARE(c.alpha(), 255);
        QCOMPARE(c.red(), 129);
        QCOMPARE(c.green(), 136);
        QCOMPARE(c.blue(), 133);
        const quint32 word = c.value;
        const auto* bytes = reinterpret_cast<const unsigned char*>(&word);
        if (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
            QCOMPARE(int(bytes[0]), 133);
            QCOMPARE(int(bytes[3]), 255);
        }
    }

    // Icons in any stored form are recoloured whole: normal colour at rest,
    // highlight colour under the mouse, normal colour at half alpha when
    // disabled; transparent parts stay transparent.
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
        const QString path = write_icon(dir, form);
        QVERIFY(!path.isEmpty());
        ko::button_dark button;
        button.resize(60, 40);
        button.set_icon(path, -1, -1, 0xFFF0F0F0u, 0xFF818885u);

        const auto& icon = button.normal_icon();
        QVERIFY(icon.normal_image && icon.highlighted_image && icon.disabled_image);
        QCOMPARE(icon.width, 20);
        QCOMPARE(icon.normal_image->format(), QImage::Format_ARGB32);
        QCOMPARE(icon.normal_image->pixel(10, 10), qRgba(129, 136, 133, 255));
        QCOMPARE(icon.highlighted_image->pixel(10, 10), qRgba(240, 240, 240, 255));
        QCOMPARE(qAlpha(icon.disabled_image->pixel(10, 10)), 127);
        QCOMPARE(icon.disabled_image->pixel(10, 10) & 0xFFFFFFu, 0x818885u);
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
        for (auto [icon_channel, back, got] :
             {std::tuple{129, behind.red(), disabled.red()}, std::tuple{136, behind.green(), disabled.green()},
              std::tuple{133, behind.blue(), disabled.blue()}}) {
            const int expected = (icon_channel * 127 + back * 128) / 255;
            QVERIFY2(std::abs(got - expected) <= 4,
                     qPrintable(describe(disabled) + " behind " + describe(behind)));
        }
    }

    void checked_button_paints_highlighted_icon_without_frame()
    {
        const QString path = write_icon(dir, "argb");
        ko::button_dark button;
        button.resize(60, 40);
        button.setCheckable(true);
        button.set_icon(path, -1, -1, 0xFFF0F0F0u, 0xFF818885u);
        button.setChecked(true);
        const QImage checked = grab_of(&button);
        QCOMPARE(at(checked, 30, 20).rgb(), qRgb(240, 240, 240));
        // No frame: the edge is the pressed border image's, as on a checked
        // button without icon.
        ko::button_dark bare;
        bare.resize(60, 40);
        bare.setCheckable(true);
        bare.setChecked(true);
        QCOMPARE(at(checked, 0, 20), at(grab_of(&bare), 0, 20));
        QCOMPARE(at(checked, 1, 20), at(grab_of(&bare), 1, 20));

        button.set_state_styles(true, true, false, true);
        const QImage framed = grab_of(&button);
        QCOMPARE(at(framed, 30, 20).rgb(), qRgb(129, 136, 133));
        QVERIFY(close_to(at(framed, 0, 20), QColor(129, 136, 133), 2));
    }

    void icon_at_fixed_position_and_relative_shift()
    {
        const QString path = write_icon(dir, "argb");
        ko::button_dark button;
        button.resize(60, 40);
        button.set_icon_shifted(path, 0, 0, ko::pixel_argb(70, 70, 70), ko::pixel_argb(60, 60, 60));
        const auto& icon = button.normal_icon();
        // Colours kept at rest; the highlight moves every colour by +10.
        QCOMPARE(icon.normal_image->pixel(10, 10), qRgb(10, 200, 30));
        QCOMPARE(icon.highlighted_image->pixel(10, 10), qRgb(20, 210, 40));
        QCOMPARE(icon.highlighted_image->pixel(3, 3), qRgb(70, 70, 70));
        QCOMPARE(icon.disabled_image->pixel(10, 10), qRgba(10, 200, 30, 127));
        QCOMPARE(at(grab_of(&button), 12, 12).rgb(), qRgb(10, 200, 30));
        QCOMPARE(at(grab_of(&button), 30, 30).rgb() == qRgb(10, 200, 30), false);
    }

    void missing_icon_logs_and_paints_nothing()
    {
        ko::button_dark plain("x");
        plain.resize(60, 40);
        ko::button_dark button("x");
        button.resize(60, 40);
        QTest::ignoreMessage(QtDebugMsg, "Can't open icon \"/no/such/icon.png\"");
        button.set_icon("/no/such/icon.png", -1, -1, 0xFFF0F0F0u, 0xFF818885u);
        QCOMPARE(grab_of(&button), grab_of(&plain));
        QCOMPARE(button.normal_icon().width, 0);
    }

    void empty_path_keeps_earlier_icon_in_new_colours()
    {
        const QString path = write_icon(dir, "argb");
        ko::button_dark button;
        button.resize(60, 40);
        button.set_icon(path, -1, -1, 0xFFF0F0F0u, 0xFF818885u);
        QTest::ignoreMessage(QtDebugMsg, "Can't open icon \"\"");
        button.set_icon(QString(), -1, -1, 0xFFFFFFFFu, 0xFF102030u);
        QCOMPARE(button.normal_icon().normal_image->pixel(10, 10), qRgb(0x10, 0x20, 0x30));
        QCOMPARE(at(grab_of(&button), 30, 20).rgb(), qRgb(0x10, 0x20, 0x30));
    }

    void checked_and_pressed_icons()
    {
        const QString normal = write_icon(dir, "argb");
        const QString other = write_icon(dir, "palette");
        ko::button_dark button;
        button.resize(60, 40);
        button.setCheckable(true);
        button.set_icon(normal, -1, -1, 0xFFF0F0F0u, 0xFF818885u);
        button.set_checked_icon(other, -1, -1, 0xFFFF0000u, 0xFF00FF00u);
        QCOMPARE(at(grab_of(&button), 30, 20).rgb(), qRgb(129, 136, 133));
        button.setChecked(true);
        QCOMPARE(at(grab_of(&button), 30, 20).rgb(), qRgb(255, 0, 0));
        // The checked icon replaces the pressed border while checked.
        QVERIFY(!button.styleSheet().isEmpty());

        ko::button_dark pressed;
        pressed.resize(60, 40);
        pressed.set_icon(normal, -1, -1, 0xFFF0F0F0u, 0xFF818885u);
        pressed.set_pressed_icon(other, -1, -1, 0xFF0000FFu, 0xFF00FF00u);
        QCOMPARE(at(grab_of(&pressed), 30, 20).rgb(), qRgb(129, 136, 133));
        pressed.setDown(true);
        QCOMPARE(at(grab_of(&pressed), 30, 20).rgb(), qRgb(0, 255, 0));
    }

    // An icon painter handed a push button that is not a dark button logs
    // the failed check instead of throwing out of the paint handler.
    void icon_painter_on_foreign_button_logs()
    {
        const QString path = write_icon(dir, "argb");
        ko::button_dark button;
        button.set_icon(path, -1, -1, 0xFFF0F0F0u, 0xFF818885u);
        ko::button_dark::img_highlighter holder;
        holder.path = path;
        holder.load();
        auto painter_function = holder.get_custom_paint_ex(-1, -1);
        QPushButton foreign("foreign");
        QImage canvas(40, 40, QImage::Format_ARGB32);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("^assert \"bd\" failed at .*button_dark"));
        bool threw = false;
        try {
            painter_function(painter, &foreign);
        } catch (...) {
            threw = true;
        }
        QVERIFY(!threw);
        painter.end();
        QCOMPARE(qAlpha(canvas.pixel(20, 20)), 0);
    }

    void toggle_on_press_and_unchecking_in_group()
    {
        ko::button_dark button("t");
        button.resize(60, 30);
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
        QTest::mousePress(&button, Qt::RightButton);
        QVERIFY(button.isChecked());
        QTest::mouseRelease(&button, Qt::RightButton);
        QVERIFY(button.isChecked());

        ko::button_dark a("a"), b("b");
        a.resize(40, 20);
        for (auto* x : {&a, &b})
            x->setCheckable(true);
        QButtonGroup group;
        group.addButton(&a);
        group.addButton(&b);
        a.uncheck_in_exclusive_group = true;
        a.setChecked(true);
        QTest::mouseClick(&a, Qt::LeftButton);
        QVERIFY(!a.isChecked() && !b.isChecked());
        QVERIFY(group.exclusive());
        QTest::mouseClick(&a, Qt::LeftButton);
        QVERIFY(a.isChecked());
    }

    // --- basic widgets -------------------------------------------------------

    void checkbox_indicators()
    {
        ko::checkbox box("Overwrite");
        ko::checkbox::set_style(&box, 4, QColor(0, 0, 0, 0), QString(), QString(), text_colour);
        box.resize(box.sizeHint());
        box.setChecked(true);
        const QImage standard = grab_of(&box);
        // The check mark of ":/gui/checkbox/checked.png" is painted.
        QVERIFY(count_colour(standard, text_colour, 8) > 6);

        ko::checkbox coloured("Overwrite");
        ko::checkbox::set_style(&coloured, 4, QColor(200, 30, 30, 255), QString(), QString(), text_colour);
        coloured.resize(coloured.sizeHint());
        QVERIFY(count_colour(grab_of(&coloured), QColor(200, 30, 30)) >= 100);
        coloured.setChecked(true);
        const QImage checked = grab_of(&coloured);
        QVERIFY(count_colour(checked, QColor(200, 30, 30)) >= 100 - 10);
        QVERIFY(count_colour(checked, QColor(255, 255, 255), 0) > 40);
    }

    void radio_indicators()
    {
        ko::radio button("Closest");
        button.resize(button.sizeHint());
        QCOMPARE(button.indicator_spacing(), 4);
        const int dot_before = count_colour(grab_of(&button), text_colour, 8);
        button.setChecked(true);
        const int dot_after = count_colour(grab_of(&button), text_colour, 8);
        QVERIFY2(dot_after > dot_before + 10, qPrintable(QString("%1 %2").arg(dot_before).arg(dot_after)));
        button.setEnabled(false);
        QVERIFY(count_colour(grab_of(&button), QColor(100, 100, 100), 8) > 10);
    }

    void lineedit_border_and_background()
    {
        ko::lineedit edit;
        edit.resize(100, 24);
        edit.setText("5");
        QImage image = grab_of(&edit);
        QVERIFY2(close_to(at(image, 0, 12), QColor(99, 99, 99), 1), qPrintable(describe(at(image, 0, 12))));
        QVERIFY(close_to(at(image, 90, 12), QColor(38, 38, 38), 1));
        edit.setEnabled(false);
        image = grab_of(&edit);
        QVERIFY(close_to(at(image, 0, 12), QColor(75, 75, 75), 1));
        QVERIFY(close_to(at(image, 90, 12), window_grey, 1));
        edit.setEnabled(true);
        edit.set_current_border_color(QColor(200, 0, 0));
        QVERIFY(close_to(at(grab_of(&edit), 0, 12), QColor(200, 0, 0), 1));
        edit.reset_border_color();
        QVERIFY(close_to(at(grab_of(&edit), 0, 12), QColor(99, 99, 99), 1));
    }

    void combobox_ignores_wheel_and_reports_clicks()
    {
        QScrollArea area;
        auto* content = new QWidget;
        auto* layout = new QVBoxLayout(content);
        auto* combo = new ko::combobox;
        combo->addItems({"English", "Deutsch"});
        QCOMPARE(combo->currentIndex(), 0);
        layout->addWidget(combo);
        layout->addSpacing(2000);
        area.setWidget(content);
        area.resize(200, 200);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        area.verticalScrollBar()->setValue(0);
        combo->setCurrentIndex(0);

        const QPoint centre = combo->rect().center();
        QWheelEvent wheel(centre, combo->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(combo, &wheel);
        QCOMPARE(combo->currentIndex(), 0);
        QCOMPARE(area.verticalScrollBar()->value(), 0);

        combo->set_ignore_wheel(false);
        QWheelEvent again(centre, combo->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(combo, &again);
        QCOMPARE(combo->currentIndex(), 1);

        QSignalSpy clicks(combo, &ko::combobox::clicked);
        QTest::mouseRelease(combo, Qt::LeftButton, Qt::NoModifier, centre);
        QCOMPARE(clicks.count(), 1);
        combo->hidePopup();

        // Dark box with light text.
        const QImage image = grab_of(combo);
        QVERIFY(close_to(at(image, 0, image.height() / 2), QColor(99, 99, 99), 2));
        QVERIFY(close_to(at(image, 3, 2), QColor(36, 36, 36), 2));
        QVERIFY(count_colour(image, text_colour, 30) > 5);
        QCOMPARE(combo->insertPolicy(), QComboBox::InsertAlphabetically);
        ko::combobox empty;
        QCOMPARE(empty.currentIndex(), -1);
    }

    void clickable_label_presses_and_underline()
    {
        ko::clickable_label link("Click here");
        QSignalSpy clicks(&link, &ko::clickable_label::clicked);
        QTest::mousePress(&link, Qt::RightButton);
        QTest::mouseRelease(&link, Qt::RightButton);
        QCOMPARE(clicks.count(), 0);
        QTest::mousePress(&link, Qt::LeftButton, Qt::ControlModifier);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(link.pressed_modifiers(), int(Qt::ControlModifier));
        QTest::mouseRelease(&link, Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(link.pressed_modifiers(), 0);
        QCOMPARE(link.cursor().shape(), Qt::PointingHandCursor);

        link.ensurePolished();
        QVERIFY(!link.font().underline());
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(&link, &enter);
        link.ensurePolished();
        QVERIFY(link.font().underline());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&link, &leave);
        link.ensurePolished();
        QVERIFY(!link.font().underline());
    }

    void label_paints_only_its_function()
    {
        ko::label text_label("Some long text that would paint");
        text_label.resize(200, 20);
        text_label.setAutoFillBackground(false);
        text_label.paint_function = [&text_label](QPainter& painter) {
            painter.fillRect(text_label.rect(), QColor(0, 0, 255));
        };
        const QImage image = grab_of(&text_label);
        QCOMPARE(count_colour(image, QColor(0, 0, 255), 0), 200 * 20);
    }

    void panel_frames_its_content()
    {
        auto* content = new QVBoxLayout;
        auto* inner = new QLabel("inside");
        content->addWidget(inner);
        ko::panel panel(content);
        QCOMPARE(panel.frame()->objectName(), QString("ko--panel"));
        QVERIFY(inner->parentWidget() == panel.content());
        panel.resize(200, 100);
        QWidget backdrop;
        backdrop.setStyleSheet("background-color: rgb(47,47,47);");
        panel.setParent(&backdrop);
        backdrop.resize(200, 100);
        const QImage image = grab_of(&backdrop);
        const QImage border(":/gui/panel/border.png");
        QVERIFY(close_to(at(image, 0, 50), at(border, 0, 6), 2));
        QVERIFY(close_to(at(image, 1, 50), at(border, 1, 6), 2));
        QVERIFY(close_to(at(image, 100, 0), at(border, 6, 0), 2));
        QVERIFY(close_to(at(image, 199, 50), at(border, 11, 6), 2));
        QVERIFY(close_to(at(image, 100, 97), window_grey, 2));
        panel.setParent(nullptr);
    }

    void fusion_scrollbars()
    {
        QTableView view;
        ko::set_fusion_scrollbars(&view);
        QStyle* style = view.verticalScrollBar()->style();
        QVERIFY(view.verticalScrollBar()->styleSheet().contains("width:11px"));
        QVERIFY(view.horizontalScrollBar()->styleSheet().contains("height:11px"));
        QList<QStyle*> owned = view.findChildren<QStyle*>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(owned.size(), 1);
        QVERIFY(style != nullptr);
    }

    // Under a real display, with ORLAVO_SCREENSHOT_DIR set: a sheet of the
    // widgets, shot from the screen for a look by eye.
    void screenshot()
    {
        const QString out = qEnvironmentVariable("ORLAVO_SCREENSHOT_DIR");
        if (out.isEmpty() || QGuiApplication::platformName() != "xcb")
            QSKIP("screenshots only with ORLAVO_SCREENSHOT_DIR under X");
        QWidget sheet;
        sheet.setStyleSheet("QWidget#sheet{background-color:rgb(47,47,47);} QLabel{color:rgb(198,213,210);}");
        sheet.setObjectName("sheet");
        auto* layout = new QVBoxLayout(&sheet);
        auto* buttons = new QHBoxLayout;
        auto* b1 = new ko::button_dark("Load photos");
        auto* b2 = new ko::button_dark("Write positions");
        b2->set_style("header");
        auto* b3 = new ko::button_dark("Disabled");
        b3->setEnabled(false);
        auto* b4 = new ko::button_dark;
        b4->set_icon(write_icon(dir, "palette"), -1, -1, 0xFFF0F0F0u, 0xFF818885u);
        b4->setFixedSize(40, 30);
        auto* b5 = new ko::button_dark;
        b5->set_icon(write_icon(dir, "palette"), -1, -1, 0xFFF0F0F0u, 0xFF818885u);
        b5->setFixedSize(40, 30);
        b5->setEnabled(false);
        auto* b6 = new ko::button_dark("Checked");
        b6->setCheckable(true);
        b6->setChecked(true);
        for (QWidget* w : {static_cast<QWidget*>(b1), static_cast<QWidget*>(b2), static_cast<QWidget*>(b3),
                           static_cast<QWidget*>(b4), static_cast<QWidget*>(b5), static_cast<QWidget*>(b6)})
            buttons->addWidget(w);
        layout->addLayout(buttons);
        auto* boxes = new QHBoxLayout;
        for (int i = 0; i < 4; ++i) {
            auto* c = new ko::checkbox(QString("Check %1").arg(i));
            ko::checkbox::set_style(c, 4, QColor(0, 0, 0, 0), QString(), QString(), text_colour);
            c->setChecked(i % 2);
            c->setEnabled(i < 2);
            boxes->addWidget(c);
            auto* r = new ko::radio(QString("Radio %1").arg(i));
            r->setChecked(i % 2);
            r->setEnabled(i < 2);
            boxes->addWidget(r);
        }
        layout->addLayout(boxes);
        auto* fields = new QHBoxLayout;
        auto* e1 = new ko::lineedit;
        e1->setText("48.137154");
        auto* e2 = new ko::lineedit;
        e2->setText("disabled");
        e2->setEnabled(false);
        auto* combo = new ko::combobox;
        combo->addItems({"English", "Deutsch"});
        fields->addWidget(e1);
        fields->addWidget(e2);
        fields->addWidget(combo);
        auto* panel_content = new QVBoxLayout;
        panel_content->addLayout(fields);
        panel_content->addWidget(new QLabel("Inside a panel"));
        layout->addWidget(new ko::panel(panel_content));
        sheet.resize(640, 220);
        sheet.move(0, 0);
        sheet.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
        QTest::qWait(500);
        QCOMPARE(QProcess::execute("import", {"-window", "root", out + "/dark_widgets.png"}), 0);
    }
};

QTEST_MAIN(test_dark_widgets)
#include "test_dark_widgets.moc"
