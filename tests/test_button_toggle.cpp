// The custom-painted button, toggle groups and toggle switches.
#include "pixel_support.h"
#include "ko/button_custom.h"
#include "ko/button_toggle.h"

#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using test_support::is_frame_colour;
using test_support::pixel;

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

    void custom_button_paints_through_function_and_drops()
    {
        ko::button_custom b;
        b.resize(40, 20);
        b.paint_function = [&](QPainter& p) { p.fillRect(QRect(0, 0, 40, 20), QColor(10, 200, 30)); };
        QCOMPARE(b.grab().toImage().pixelColor(20, 10), QColor(10, 200, 30));
        ko::button_custom().grab(); // no function: nothing is painted, nothing fails

        QString received;
        b.drop_handler = [&](QDropEvent* e) { received = e->mimeData()->text(); };
        b.setAcceptDrops(true);
        QMimeData data;
        data.setText("dropped");
        QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&b, &enter);
        QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&b, &drop);
        QCOMPARE(received, QString("dropped"));
    }

    void exclusive_toggle_group()
    {
        auto group = std::make_shared<ko::toggle_group>();
        ko::button_toggle a("a", group), b("b", group), c("c", group);
        for (auto* t : {&a, &b, &c})
            t->exclusive = true;

        // No checked button: the integrity check checks the one it runs on.
        b.group_integrity_check(false);
        QVERIFY(b.isChecked() && !a.isChecked() && !c.isChecked());

        // The last checked button cannot be unchecked.
        b.set_checked_in_group(false);
        QVERIFY(b.isChecked());

        // Checking another unchecks the first.
        a.set_checked_in_group(true);
        QVERIFY(a.isChecked() && !b.isChecked() && !c.isChecked());

        // Clicks keep exactly one checked.
        for (auto* t : {&a, &b, &c})
            t->show();
        QTest::mouseClick(&c, Qt::LeftButton);
        QTest::mouseClick(&c, Qt::LeftButton);
        QVERIFY(c.isChecked() && !a.isChecked() && !b.isChecked());
        QTest::mouseDClick(&b, Qt::LeftButton);
        QCOMPARE(int(a.isChecked()) + int(b.isChecked()) + int(c.isChecked()), 1);
    }

    void non_exclusive_group_and_membership()
    {
        auto group = std::make_shared<ko::toggle_group>();
        ko::button_toggle a("a", group);
        auto* b = new ko::button_toggle("b", group);
        // Several may be unchecked; at most one checked.
        b->set_checked_in_group(true);
        a.set_checked_in_group(true);
        QVERIFY(a.isChecked() && !b->isChecked());
        // A destroyed button leaves its group.
        delete b;
        QCOMPARE(group->size(), std::size_t(1));

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
        QVERIFY(!is_frame_colour(pixel(t, 1, 15)));
        QTest::mouseClick(&t, Qt::LeftButton);
        QVERIFY(t.isChecked());
        QVERIFY(is_frame_colour(pixel(t, 1, 15)));
        QTest::mouseClick(&t, Qt::LeftButton);
        QVERIFY(!t.isChecked() && !is_frame_colour(pixel(t, 1, 15)));
    }

    // The switch shows the image of its state, however it was changed.
    void toggle_switch_images()
    {
        ko::button_toggle_switch s(off_image, on_image);
        s.resize(40, 20);
        s.show();
        const auto shows_state = [&] {
            s.grab();
            return s.styleSheet().contains(s.isChecked() ? on_image : off_image)
                && !s.styleSheet().contains(s.isChecked() ? off_image : on_image);
        };
        QVERIFY(shows_state());
        QTest::mouseClick(&s, Qt::LeftButton);
        QVERIFY(s.isChecked() && shows_state());
        QTest::mouseDClick(&s, Qt::LeftButton);
        QVERIFY(shows_state());
        s.setChecked(!s.isChecked());
        QVERIFY(shows_state());

        // Toggling on press: the press changes it, the release does not.
        s.setChecked(false);
        s.toggle_on_press = true;
        QTest::mousePress(&s, Qt::RightButton);
        QVERIFY(s.isChecked());
        QTest::mouseRelease(&s, Qt::RightButton);
        QVERIFY(s.isChecked() && shows_state());
    }
};

QTEST_MAIN(test_button_toggle)
#include "test_button_toggle.moc"
