// What the window says when files fail for a reason of their own while
// ExifTool runs, and when ExifTool stops in the middle of a sync: files that
// may have been written are named as such and stay restorable, and
// "ExifTool not available" comes exactly when ExifTool is the reason.
#include "main_window.h"

#include "exif_cache.h"
#include "table_data_model.h"
#include "test_support.h"
#include "writing_support.h"

#include "ko/application.h"
#include "ko/button_dark.h"
#include "ko/exiftool.h"
#include "ko/lineedit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using writing_support::box_script;
using writing_support::gps_tags;

class test_main_window : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    QString jpeg(const QString& name, const QString& time)
    {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        return test_support::make_image(path, "JPEG") &&
                       writing_support::set_tags(path, {"-DateTimeOriginal=2023:05:01 " + time})
                   ? path
                   : QString();
    }

    static QList<box_script::box> answering(const QStringList& answers, const std::function<void()>& act)
    {
        box_script boxes(answers);
        act();
        return boxes.boxes;
    }

    static void fixed_mode(MainWindow& w, const QString& lat, const QString& lon)
    {
        w.mode_selected(3, true);
        w.latitude_edit->setText(lat);
        w.longitude_edit->setText(lon);
    }

private slots:
    // A loaded photo replaced by a folder holding another photo: the folder
    // is neither read nor written, the photo inside stays as it was, and the
    // warnings name the folder, not a missing ExifTool.
    void folder_in_place_of_a_loaded_file()
    {
        const QString good = jpeg("good.jpg", "10:00:00");
        const QString swapped = jpeg("dirimg.jpg", "10:01:00");
        QVERIFY(!good.isEmpty() && !swapped.isEmpty());
        MainWindow w;
        w.show();
        QVERIFY(answering({}, [&] { w.load_files({good, swapped}); }).isEmpty());

        QVERIFY(QFile::remove(swapped));
        const QString inner = jpeg("dirimg.jpg/inner.jpg", "11:00:00");
        QVERIFY(!inner.isEmpty());
        const QByteArray inner_bytes = writing_support::contents(inner);

        fixed_mode(w, "1.5", "2.5");
        const auto boxes = answering({"OK"}, [&] { w.sync_button->click(); });
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].text.startsWith("1 of 2 files could not be written"), qPrintable(boxes[0].text));
        QVERIFY(boxes[0].text.contains("dirimg.jpg"));
        QCOMPARE(gps_tags(good).value("GPS:GPSLatitude"), QString("1.5"));
        QCOMPARE(writing_support::contents(inner), inner_bytes);
        QCOMPARE(w.undo_map.keys(), QStringList({good}));

        // A batch in which every file fails for a reason of its own names
        // them; ExifTool runs.
        w.clear_files();
        const auto load_boxes = answering({"OK"}, [&] { w.load_files({swapped}); });
        QCOMPARE(load_boxes.size(), 1);
        QCOMPARE(load_boxes[0].title, QString("Not all files were read"));
        QVERIFY(load_boxes[0].text.contains("1 of 1 file could not be read") &&
                load_boxes[0].text.contains("dirimg.jpg"));
        QVERIFY(!ko::exiftool::stopped());
        QCOMPARE(writing_support::contents(inner), inner_bytes);
    }

    // Content that ExifTool cannot read is named at the load; a PNG named .jpg is read.
    void unreadable_content_named_at_load()
    {
        const QString good = jpeg("content/good.jpg", "10:00:00");
        // Photos under another type's name load; what is no photo does not.
        const QString png = dir.filePath("content/png.jpg"), webp = dir.filePath("content/webp.jpg");
        QFile empty(dir.filePath("content/empty.jpg")), text_file(dir.filePath("content/fake.jpg"));
        QVERIFY(!good.isEmpty() && test_support::make_image(png, "PNG") &&
                test_support::make_image(webp, "WEBP") && empty.open(QIODevice::WriteOnly) &&
                text_file.open(QIODevice::WriteOnly) && text_file.write("just some text\n") > 0);
        text_file.close();
        MainWindow w;
        const auto boxes = answering({"OK"}, [&] { w.load_files({good, png, webp, empty.fileName(), text_file.fileName()}); });
        const QString text = boxes.value(0).text;
        QVERIFY2(boxes.size() == 1 && text.startsWith("The metadata of 2 of 5 files could not be read") &&
                     text.endsWith("empty.jpg\nfake.jpg"),
                 qPrintable(text));
    }

    // ExifTool killed after it wrote the second file and before it answered.
    void exiftool_dies_after_writing()
    {
        ko::exiftool_worker_shutdown();
        qputenv("ORLAVO_EXIFTOOL", QByteArray(ORLAVO_TEST_FAKES_DIR "/window_dying_exiftool.pl"));
        qputenv("WINDOW_DYING_EXIFTOOL_WRITE", "2");
        const QString a = jpeg("dying/a.jpg", "10:00:00");
        const QString b = jpeg("dying/b.jpg", "10:01:00");
        const QString c = jpeg("dying/c.jpg", "10:02:00");
        QVERIFY(!a.isEmpty() && !b.isEmpty() && !c.isEmpty());
        const auto c_before = gps_tags(c);

        MainWindow w;
        w.show();
        w.load_files({a, b, c});
        QCOMPARE(w.table_model->rowCount(), 3);
        fixed_mode(w, "1.5", "2.5");
        const auto boxes = answering({"OK", "OK"}, [&] { w.sync_button->click(); });
        QCOMPARE(boxes.size(), 2);
        const QString text = boxes[0].text;
        QVERIFY2(text.contains("1 of 3 files could not be written") && text.contains("1 of 3 files may have been written"),
                 qPrintable(text));
        QVERIFY(text.indexOf("c.jpg") < text.indexOf("may have been written") && text.lastIndexOf("b.jpg") > text.indexOf("may have been written"));
        QVERIFY(!text.contains("a.jpg"));
        QCOMPARE(boxes[1].title, QString("ExifTool not available"));
        QVERIFY(ko::exiftool::stopped());

        // b was written indeed; both written files can be undone.
        QCOMPARE(gps_tags(a).value("GPS:GPSLatitude"), QString("1.5"));
        QCOMPARE(gps_tags(b).value("GPS:GPSLatitude"), QString("1.5"));
        QCOMPARE(gps_tags(c), c_before);
        QCOMPARE(w.undo_map.keys(), QStringList({a, b}));
        QVERIFY(w.undo_button->isEnabled());

        // With ExifTool gone the undo fails at once and stays available, and
        // every batch that fails for that reason says so.
        const auto undo_boxes = answering({"OK", "OK"}, [&] { w.undo_button->click(); });
        QCOMPARE(undo_boxes.size(), 2);
        QCOMPARE(undo_boxes[1].title, QString("ExifTool not available"));
        QCOMPARE(w.undo_map.keys(), QStringList({a, b}));
        for (int i = 0; i < 2; ++i) {
            w.clear_files();
            const auto load_boxes = answering({"OK"}, [&] { w.load_files({c}); });
            QCOMPARE(load_boxes.size(), 1);
            QCOMPARE(load_boxes[0].title, QString("ExifTool not available"));
        }
        ko::exiftool_worker_shutdown();
    }
};

int main(int argc, char** argv)
{
    QCoreApplication::setOrganizationName("Quenmark");
    QCoreApplication::setApplicationName("Orlavo");
    ko::application<MainWindow> app(argc, argv);
    if (!writing_support::install_english())
        return 1;
    test_main_window test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_main_window_exiftool_stops.moc"
