// The flashing button and the HTML button.
#include "pixel_support.h"
#include "ko/button.h"

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTextDocument>
#include <QtTest>

namespace {

using test_support::is_frame_colour;
using test_support::pixel;

} // namespace

class test_button : public QObject {
    Q_OBJECT

private slots:
    void button_flashes_border_and_is_released()
    {
        ko::button b("Go");
        b.resize(80, 30);
        b.show();
        QCOMPARE(b.styleSheet(), QString("border:none;margin:2px 2px 2px 2px;"));
        QCOMPARE(b.focusPolicy(), Qt::NoFocus);
        QSignalSpy clicked(&b, &QAbstractButton::clicked);
        QSignalSpy released(&b, &QAbstractButton::released);
        QSignalSpy toggled(&b, &QAbstractButton::toggled);
        QStringList order;
        connect(&b, &QAbstractButton::clicked, [&] { order << "clicked"; });
        connect(&b, &QAbstractButton::released, [&] { order << "released"; });
        connect(&b, &QAbstractButton::toggled, [&] { order << "toggled"; });

        QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(40, 15));
        QVERIFY(b.isDown());
        QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(40, 15));
        // The press does not stay: the button is up again after the release.
        QVERIFY(!b.isDown());
        QCOMPARE(order, QStringList({"clicked", "released", "toggled"}));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.at(0).at(0).toBool(), false);
        QVERIFY(b.highlighted);
        QCOMPARE(b.styleSheet(), QString("border:2px solid rgb(222,222,222);margin:0px 0px 0px 0px;"));

        QTRY_VERIFY_WITH_TIMEOUT(!b.highlighted, 2000);
        QCOMPARE(b.styleSheet(), QString("border:none;margin:2px 2px 2px 2px;"));

        // A second click works the same way.
        QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(40, 15));
        QVERIFY(!b.isDown());
        QCOMPARE(clicked.count(), 2);
        QCOMPARE(released.count(), 2);
        QCOMPARE(toggled.count(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(b.styleSheet(), QString("border:none;margin:2px 2px 2px 2px;"), 2000);
    }

    void button_release_away_is_no_click()
    {
        ko::button b("Go");
        b.resize(80, 30);
        b.show();
        QSignalSpy clicked(&b, &QAbstractButton::clicked);
        QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(40, 15));
        QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(200, 200));
        QVERIFY(!b.isDown());
        QCOMPARE(clicked.count(), 0);
        QVERIFY(!b.highlighted);
        QCOMPARE(b.styleSheet(), QString("border:none;margin:2px 2px 2px 2px;"));
    }

    void button_with_rectangle_paints_frame()
    {
        QWidget parent;
        ko::button b(&parent, QRect(0, 0, 60, 30));
        QCOMPARE(b.highlight_rect, QRect(QPoint(4, 4), QPoint(60, 30)));
        b.resize(70, 40);
        parent.show();
        const QString sheet = b.styleSheet();
        QVERIFY(!is_frame_colour(pixel(b, 4, 20)));
        QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(30, 20));
        QVERIFY(b.highlighted);
        // The frame is painted; the style sheet stays as it is.
        QCOMPARE(b.styleSheet(), sheet);
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

    void html_button_renders_face()
    {
        const QString html = "<b>Bold</b> <i>text</i>";
        ko::button_html b(html);
        QTextDocument document;
        document.setHtml(html);
        QVERIFY(!b.icon().isNull());
        QCOMPARE(b.iconSize(), QSize(int(document.size().width()), int(document.size().height())));
        QVERIFY(!b.highlight_rect.isValid());
        b.show();
        QSignalSpy clicked(&b, &QAbstractButton::clicked);
        QTest::mouseClick(&b, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        QVERIFY(b.styleSheet().contains("border:2px solid rgb(222,222,222);"));

        ko::button_html empty;
        empty.show();
        QVERIFY(b.text().isEmpty() && empty.text().isEmpty());
    }
};

QTEST_MAIN(test_button)
#include "test_button.moc"
