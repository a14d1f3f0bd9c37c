// The flashing button and the HTML button.
#include "pixel_support.h"
#include "ko/button.h"

#include <QSignalSpy>
#include <QtTest>

using test_support::is_frame_colour;
using test_support::pixel;

class test_button : public QObject {
    Q_OBJECT

private slots:
    // The press must not stay: a released button is up again, clicks once
    // and flashes its border for a moment.
    void button_is_released_and_flashes()
    {
        ko::button b("Go");
        b.resize(80, 30);
        b.show();
        QStringList order;
        connect(&b, &QAbstractButton::clicked, [&] { order << "clicked"; });
        connect(&b, &QAbstractButton::released, [&] { order << "released"; });
        connect(&b, &QAbstractButton::toggled, [&] { order << "toggled"; });
        for (int round = 1; round <= 2; ++round) {
            QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(40, 15));
            QVERIFY(b.isDown());
            QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(40, 15));
            QVERIFY(!b.isDown());
            QCOMPARE(order.size(), 3 * round);
            QVERIFY(b.highlighted);
            QTRY_VERIFY_WITH_TIMEOUT(!b.highlighted, 2000);
        }
        QCOMPARE(order.mid(0, 3), QStringList({"clicked", "released", "toggled"}));

        // Released away from the button: up again, no click, no flash.
        QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(40, 15));
        QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(200, 200));
        QVERIFY(!b.isDown());
        QCOMPARE(order.count("clicked"), 2);
        QVERIFY(!b.highlighted);
    }

    void button_with_rectangle_paints_frame()
    {
        QWidget parent;
        ko::button b(&parent, QRect(0, 0, 60, 30));
        b.resize(70, 40);
        parent.show();
        QVERIFY(!is_frame_colour(pixel(b, 4, 20)));
        QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(30, 20));
        QVERIFY(is_frame_colour(pixel(b, 4, 20)));
        QVERIFY(is_frame_colour(pixel(b, 30, 4)));
        QTRY_VERIFY_WITH_TIMEOUT(!b.highlighted, 2000);
        QVERIFY(!is_frame_colour(pixel(b, 4, 20)));
    }

    void button_destroyed_during_flash()
    {
        auto* b = new ko::button("Go");
        b->show();
        QTest::mouseClick(b, Qt::LeftButton);
        delete b;
        QTest::qWait(300); // the pending end of the flash must not touch it
    }

    void html_button_clicks_with_a_face()
    {
        ko::button_html b("<b>Bold</b> <i>text</i>");
        QVERIFY(!b.icon().isNull());
        b.show();
        QSignalSpy clicked(&b, &QAbstractButton::clicked);
        QTest::mouseClick(&b, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        QVERIFY(!b.isDown());
    }
};

QTEST_MAIN(test_button)
#include "test_button.moc"
