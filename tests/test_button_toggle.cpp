// The custom-painted button, toggle groups and toggle switches.
#include "pixel_support.h"
#include "ko/button_custom.h"
#include "ko/button_toggle.h"

#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

using test_support::is_frame_colour;
using test_support::pixel;

const QString dark_tool_tip =
    "QToolTip{border:1px solid rgb(99,99,99);background-image:none;background-color:rgb(47,47,47);}";

} // namespace

class test_button_toggle : public QObject {
    Q_OBJECT
    QTemporaryDir images;
    QString off_image, on_image;

private slots:
    void initTestCase()
    {
        QVERIFY(images.isValid());
        off_image = images.filePath("off.png");
        on_image = images.filePath("on.png");
        QImage image(40, 20, QImage::Format_ARGB32);
        image.fill(QColor(60, 60, 60));
        QVERIFY(image.save(off_image));
        image.fill(QColor(30, 160, 60));
        QVERIFY(image.save(on_image));
    }

    void custom_button_paints_only_through_function()
    {
        ko::button_custom b;
        b.resize(40, 20);
        int paints = 0;
        b.paint_function = [&](QPainter& p) {
            ++paints;
            p.fillRect(QRect(0, 0, 40, 20), QColor(10, 200, 30));
        };
        const QImage image = b.grab().toImage();
        QVERIFY(paints >= 1);
        QCOMPARE(image.pixelColor(image.width() / 2, image.height() / 2), QColor(10, 200, 30));

        ko::button_custom plain([](QPainter&) {});
        QVERIFY(bool(plain.paint_function));
        ko::button_custom none;
        none.grab(); // no function: nothing is painted, nothing fails
    }

    void custom_button_drop_handler()
    {
        ko::button_custom b;
        b.setAcceptDrops(true);
        QMimeData data;
        data.setText("dropped");
        QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&b, &enter);
        QVERIFY(enter.isAccepted());
        QCOMPARE(enter.dropAction(), Qt::CopyAction);

        QString received;
        b.drop_handler = [&](QDropEvent* e) { received = e->mimeData()->text(); };
        QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&b, &drop);
        QCOMPARE(received, QString("dropped"));
    }

    void exclusive_toggle_group()
    {
        auto group = std::make_shared<ko::toggle_group>();
        ko::button_toggle a("a", group), b("b", group), c("c", group);
        QCOMPARE(group->size(), std::size_t(3));
        for (auto* t : {&a, &b, &c}) {
            t->exclusive = true;
            QVERIFY(t->isCheckable());
            QCOMPARE(t->group(), group);
        }

        // No checked button: the integrity check checks the one it runs on.
        b.group_integrity_check(false);
        QVERIFY(b.isChecked() && !a.isChecked() && !c.isChecked());

        // The last checked button cannot be unchecked.
        b.set_checked_in_group(false);
        QVERIFY(b.isChecked());

        // Checking another unchecks the first.
        a.set_checked_in_group(true);
        QVERIFY(a.isChecked() && !b.isChecked() && !c.isChecked());
        QVERIFY(a.show_frame && !b.show_frame);

        // Clicks keep exactly one checked.
        for (auto* t : {&a, &b, &c})
            t->show();
        QTest::mouseClick(&c, Qt::LeftButton);
        QVERIFY(c.isChecked() && !a.isChecked() && !b.isChecked());
        QTest::mouseClick(&c, Qt::LeftButton);
        QVERIFY(c.isChecked() && !a.isChecked() && !b.isChecked());
        QTest::mouseDClick(&b, Qt::LeftButton);
        const int checked = int(a.isChecked()) + int(b.isChecked()) + int(c.isChecked());
        QCOMPARE(checked, 1);
    }

    void non_exclusive_group_and_membership()
    {
        auto group = std::make_shared<ko::toggle_group>();
        ko::button_toggle a("a", group);
        auto* b = new ko::button_toggle("b", group);
        QVERIFY(!a.exclusive);
        a.set_checked_in_group(true);
        a.set_checked_in_group(false);
        QVERIFY(!a.isChecked());
        // Several may be unchecked; at most one checked.
        b->set_checked_in_group(true);
        a.set_checked_in_group(true);
        QVERIFY(a.isChecked() && !b->isChecked());
        // A destroyed button leaves its group.
        delete b;
        QCOMPARE(group->size(), std::size_t(1));
        a.set_checked_in_group(true);
        a.group_integrity_check(true);
        QVERIFY(a.isChecked());

        // A button without a given group has one of its own.
        ko::button_toggle alone("alone");
        QCOMPARE(alone.group()->size(), std::size_t(1));
        alone.exclusive = true;
        alone.group_integrity_check(false);
        QVERIFY(alone.isChecked());
    }

    void toggle_frame_follows_checked_state()
    {
        ko::button_toggle t("t");
        t.resize(50, 30);
        t.show();
        t.grab();
        QCOMPARE(t.frame_rect, QRect(QPoint(1, 1), QPoint(50, 30)));
        QVERIFY(!is_frame_colour(pixel(t, 1, 15)));
        QTest::mouseClick(&t, Qt::LeftButton);
        QVERIFY(t.isChecked() && t.show_frame);
        QVERIFY(is_frame_colour(pixel(t, 1, 15)));
        QVERIFY(t.last_checked);
        QTest::mouseClick(&t, Qt::LeftButton);
        QVERIFY(!t.isChecked() && !t.show_frame);

        t.frame_follows_checked = false;
        t.show_frame = true;
        t.grab();
        QVERIFY(t.show_frame);
    }

    void toggle_switch_images()
    {
        ko::button_toggle_switch s(off_image, on_image);
        s.resize(40, 20);
        s.show();
        const QString off = "QPushButton{background-image:url(" + off_image + ");}" + dark_tool_tip;
        const QString on = "QPushButton{background-image:url(" + on_image + ");}" + dark_tool_tip;
        QCOMPARE(s.styleSheet(), off);
        QTest::mouseClick(&s, Qt::LeftButton);
        QVERIFY(s.isChecked());
        QCOMPARE(s.styleSheet(), on);
        QTest::mouseClick(&s, Qt::LeftButton);
        QCOMPARE(s.styleSheet(), off);
        for (int i = 0; i < 3; ++i) {
            QTest::mouseDClick(&s, Qt::LeftButton);
            s.grab();
            QCOMPARE(s.styleSheet(), s.isChecked() ? on : off);
        }
        // Changed in code: the next paint brings the sheet up to date.
        s.setChecked(!s.isChecked());
        s.grab();
        QCOMPARE(s.styleSheet(), s.isChecked() ? on : off);
    }

    void toggle_switch_toggle_on_press()
    {
        ko::button_toggle_switch s(off_image, on_image);
        s.toggle_on_press = true;
        s.show();
        QTest::mousePress(&s, Qt::RightButton);
        QVERIFY(s.isChecked());
        QTest::mouseRelease(&s, Qt::RightButton);
        QVERIFY(s.isChecked());
        QTest::mousePress(&s, Qt::RightButton);
        QTest::mouseRelease(&s, Qt::RightButton);
        QVERIFY(!s.isChecked());
        // A left press checks at once.
        QTest::mousePress(&s, Qt::LeftButton);
        QVERIFY(s.isChecked());
        QTest::mouseRelease(&s, Qt::LeftButton);
        s.grab();
        QVERIFY(s.styleSheet().contains(s.isChecked() ? on_image : off_image));
    }
};

QTEST_MAIN(test_button_toggle)
#include "test_button_toggle.moc"
