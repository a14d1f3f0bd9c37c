// The whole workflow as a new user walks it, on the real window with the
// real ExifTool: drop three photos, look at the preview, sync, undo, switch
// to a fixed position, type it, sync, remove all GPS data, undo.
#include "main_window.h"

#include "drop_area.h"
#include "exif_cache.h"
#include "table_data_model.h"
#include "test_support.h"
#include "writing_support.h"

#include "ko/application.h"
#include "ko/button_dark.h"
#include "ko/lineedit.h"
#include "ko/radio.h"

#include <QTemporaryDir>
#include <QtTest>

using writing_support::box_script;
using writing_support::gps_tags;
using writing_support::pixels;

class test_main_window_write : public QObject
{
    Q_OBJECT

    QString cell(MainWindow& w, const QString& path, int column)
    {
        for (int r = 0; r < w.table_model->rowCount(); ++r)
            if (w.table_model->data(w.table_model->index(r, 0), Qt::UserRole).toString() == path)
                return w.table_model->data(w.table_model->index(r, column)).toString();
        return QString();
    }

private slots:
    void new_user_walks_the_workflow()
    {
        QTemporaryDir dir;
        const QString a = dir.filePath("IMG_0001.jpg");
        const QString b = dir.filePath("IMG_0002.jpg");
        const QString c = dir.filePath("IMG_0003.jpg");
        for (const QString& p : {a, b, c})
            QVERIFY(test_support::make_image(p, "JPEG"));
        QVERIFY(writing_support::set_tags(a, {"-DateTimeOriginal=2023:05:01 10:00:00", "-GPSLatitude#=46.5",
                                              "-GPSLatitudeRef=N", "-GPSLongitude#=7.25", "-GPSLongitudeRef=E",
                                              "-GPSAltitude#=600"}));
        QVERIFY(writing_support::set_tags(b, {"-DateTimeOriginal=2023:05:01 10:02:00"}));
        QVERIFY(writing_support::set_tags(c, {"-DateTimeOriginal=2023:05:01 10:04:00", "-GPSImgDirection#=33"}));
        const QStringList photos{a, b, c};
        QMap<QString, QMap<QString, QString>> original;
        QMap<QString, QByteArray> decoded;
        for (const QString& p : photos) {
            original[p] = gps_tags(p);
            decoded[p] = pixels(p);
        }

        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(!w.sync_button->isEnabled());
        QVERIFY(!w.undo_button->isEnabled());
        QVERIFY(w.closest_radio->isChecked());

        // Drop the three photos; the preview shows where B and C get their
        // position from.
        emit w.drop_widget->files_dropped(photos);
        QCOMPARE(w.table_model->rowCount(), 3);
        QVERIFY(w.sync_button->isEnabled());
        QVERIFY(cell(w, a, 2).startsWith(QString::fromUtf8("\u2190")));
        QVERIFY(cell(w, b, 2).startsWith(QString::fromUtf8("\u2191")));
        QVERIFY(cell(w, b, 2).contains("46.5"));
        QVERIFY(cell(w, c, 2).contains("46.5"));

        // Sync: nothing to ask, B and C get A's position.
        {
            box_script boxes;
            QTest::mouseClick(w.sync_button, Qt::LeftButton);
            QCOMPARE(boxes.boxes.size(), 0);
        }
        for (const QString& p : {b, c}) {
            const auto tags = gps_tags(p);
            QCOMPARE(tags.value("GPS:GPSLatitude"), QString("46.5"));
            QCOMPARE(tags.value("GPS:GPSLongitude"), QString("7.25"));
        }
        QCOMPARE(gps_tags(c).value("GPS:GPSImgDirection"), QString("33"));
        QCOMPARE(w.table_model->rowCount(), 0);
        QVERIFY(!w.sync_button->isEnabled());
        QVERIFY(w.undo_button->isEnabled());

        // Undo: as before.
        QTest::mouseClick(w.undo_button, Qt::LeftButton);
        for (const QString& p : photos)
            QCOMPARE(gps_tags(p), original[p]);
        QVERIFY(!w.undo_button->isEnabled());

        // Drop them again, choose the fixed position and type it.
        emit w.drop_widget->files_dropped(photos);
        QTest::mouseClick(w.fixed_position_radio, Qt::LeftButton);
        QVERIFY(w.fixed_position_radio->isChecked());
        QVERIFY(w.latitude_edit->isEnabled());
        QTest::keyClicks(w.latitude_edit, "-22.75");
        QTest::keyClicks(w.longitude_edit, "-43.125");
        QVERIFY(cell(w, b, 2).contains("-22.75"));
        {
            // A had a position of its own, which is overwritten.
            box_script boxes({"Continue"});
            QTest::mouseClick(w.sync_button, Qt::LeftButton);
            QCOMPARE(boxes.titles(), QStringList({"Continue?"}));
            QCOMPARE(boxes.unexpected, 0);
        }
        for (const QString& p : photos) {
            const auto tags = gps_tags(p);
            QCOMPARE(tags.value("GPS:GPSLatitude"), QString("22.75"));
            QCOMPARE(tags.value("GPS:GPSLatitudeRef"), QString("S"));
            QCOMPARE(tags.value("GPS:GPSLongitude"), QString("43.125"));
            QCOMPARE(tags.value("GPS:GPSLongitudeRef"), QString("W"));
            QVERIFY(!tags.contains("GPS:GPSAltitude"));
            QVERIFY(!tags.contains("GPS:GPSImgDirection"));
        }
        QMap<QString, QMap<QString, QString>> fixed_state;
        for (const QString& p : photos)
            fixed_state[p] = gps_tags(p);

        // Drop them again and remove all GPS data.
        emit w.drop_widget->files_dropped(photos);
        {
            box_script boxes({"Yes"});
            QTest::mouseClick(w.remove_gps_button, Qt::LeftButton);
            QCOMPARE(boxes.titles(), QStringList({"Confirm"}));
        }
        for (const QString& p : photos)
            QVERIFY(gps_tags(p).isEmpty());
        QCOMPARE(w.table_model->rowCount(), 0);

        // Undo brings back the fixed position, the state before the remove.
        QTest::mouseClick(w.undo_button, Qt::LeftButton);
        for (const QString& p : photos)
            QCOMPARE(gps_tags(p), fixed_state[p]);
        QVERIFY(!w.undo_button->isEnabled());

        for (const QString& p : photos)
            QCOMPARE(pixels(p), decoded[p]);
    }
};

int main(int argc, char** argv)
{
    QCoreApplication::setOrganizationName("Quenmark");
    QCoreApplication::setApplicationName("Orlavo");
    ko::application<MainWindow> app(argc, argv);
    test_main_window_write test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_workflow.moc"
