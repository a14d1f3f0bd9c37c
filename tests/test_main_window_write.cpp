// Writing positions, removing GPS data and undo on the real window with the
// real ExifTool, on files made here; every result is checked with a
// separate exiftool run and the pixels are decoded before and after.
#include "main_window.h"

#include "exif_cache.h"
#include "table_data_model.h"
#include "test_support.h"
#include "writing_support.h"

#include "ko/application.h"
#include "ko/button_dark.h"
#include "ko/lineedit.h"
#include "ko/radio.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

using writing_support::box_script;
using writing_support::gps_tags;
using writing_support::pixels;
using writing_support::set_tags;

class test_main_window_write : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<MainWindow> w;

    QString jpeg(const QString& name, const QString& time, const QStringList& tags = {})
    {
        const QString path = dir->filePath(name);
        if (!test_support::make_image(path, "JPEG"))
            return {};
        return set_tags(path, QStringList{"-DateTimeOriginal=2023:05:01 " + time} + tags) ? path : QString();
    }

    void set_mode(int mode) { w->mode_selected(mode, true); }

    void set_fixed(const QString& lat, const QString& lon)
    {
        w->latitude_edit->setText(lat);
        w->longitude_edit->setText(lon);
    }

    QStringList rows() const
    {
        QStringList r = w->table_model->row_paths();
        r.sort();
        return r;
    }

    // Runs act while the message boxes get the answers in turn; what was shown.
    static QList<box_script::box> answering(const QStringList& answers, const std::function<void()>& act)
    {
        box_script boxes(answers);
        act();
        return boxes.boxes;
    }

    QList<box_script::box> sync(const QStringList& answers = {})
    {
        return answering(answers, [this] { w->sync_button->click(); });
    }
    QList<box_script::box> remove(const QStringList& answers)
    {
        return answering(answers, [this] { w->remove_gps_button->click(); });
    }

    // A photo at 47.5 N 8.25 E, and every EXIF and XMP GPS tag.
    const QStringList at_47{"-GPSLatitude#=47.5", "-GPSLatitudeRef=N", "-GPSLongitude#=8.25", "-GPSLongitudeRef=E"};
    static QStringList full_gps()
    {
        return writing_support::all_exif_gps_assignments() + writing_support::xmp_gps_assignments();
    }

    static QMap<QString, QString> as_qmap(const exif_tag_map& map) { return QMap<QString, QString>(map); }

    static void compare_maps(const QMap<QString, QString>& actual, const QMap<QString, QString>& expected)
    {
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QVERIFY2(actual.value(it.key()) == it.value(),
                     qPrintable(QString("%1: %2 instead of %3").arg(it.key(), actual.value(it.key()), it.value())));
        for (auto it = actual.cbegin(); it != actual.cend(); ++it)
            QVERIFY2(expected.contains(it.key()), qPrintable(QString("%1 appeared (%2)").arg(it.key(), it.value())));
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        w = std::make_unique<MainWindow>();
        w->show();
        // Each case starts in mode 2 with no limits.
        set_mode(2);
        w->photo_limit_edit->setText(QString());
        w->gpx_limit_edit->setText(QString());
    }

    void cleanup()
    {
        w.reset();
        const auto store = exif_cache::instance();
        store->records.clear();
        store->tags.clear();
        store->group_tags.clear();
        dir.reset();
    }

    // The snapshot: read afresh in one request, every GPS tag under the
    // group it was read from, numeric values, "=" in a value kept whole.
    void snapshot_of_a_file()
    {
        const QString full = jpeg("full.jpg", "10:00:00", full_gps());
        const QString bare = jpeg("bare.jpg", "10:00:00");
        const QString xmp_only = jpeg("xmp.jpg", "10:00:00", writing_support::xmp_gps_assignments(1.5, 2.5, 3));
        QVERIFY(!full.isEmpty() && !bare.isEmpty() && !xmp_only.isEmpty());
        w->load_files({full, bare, xmp_only});

        // What the store read at load time no longer counts.
        exif_cache::instance()->tags[full]["GPSLatitude"] = "1 deg 0' 0.00\" N";
        auto snapshot = w->gps_tag_map_for_file(full);
        QVERIFY(snapshot);
        QCOMPARE(as_qmap(*snapshot), gps_tags(full));
        QCOMPARE(int(snapshot->size()), 35);
        QCOMPARE(snapshot->at("GPS:GPSLatitude"), QString("47.5"));
        QCOMPARE(snapshot->at("GPS:GPSProcessingMethod"), QString("GPS=fix"));
        QCOMPARE(snapshot->at("XMP-exif:GPSLongitude"), QString("-20.25"));

        snapshot = w->gps_tag_map_for_file(bare);
        QVERIFY(snapshot && snapshot->empty());

        snapshot = w->gps_tag_map_for_file(xmp_only);
        QVERIFY(snapshot);
        QCOMPARE(as_qmap(*snapshot), gps_tags(xmp_only));
        QCOMPARE(snapshot->count("GPS:GPSLatitude"), size_t(0));

        QFile::remove(bare);
        QVERIFY(!w->gps_tag_map_for_file(bare));
    }

    // Mode 2: four tags for a photo without XMP GPS, six with it; nothing
    // else changes; undo restores both tag by tag; a second undo is
    // impossible.
    void sync_closest_then_undo()
    {
        const QString a = jpeg("a.jpg", "10:00:00", at_47 + QStringList{"-GPSAltitude#=100"});
        const QString b = jpeg("b.jpg", "10:10:00", {"-GPSAltitude#=5", "-GPSImgDirection#=90"});
        const QString c = jpeg("c.jpg", "10:20:00", {"-XMP:GPSLatitude#=3.5"});
        QVERIFY(!a.isEmpty() && !b.isEmpty() && !c.isEmpty());
        const QByteArray a_bytes = writing_support::contents(a);
        const auto b_before = gps_tags(b);
        const auto c_before = gps_tags(c);
        const QByteArray b_pixels = pixels(b);
        QVERIFY(!b_pixels.isEmpty());

        w->load_files({a, b, c});
        QCOMPARE(sync().size(), 0);

        QCOMPARE(writing_support::contents(a), a_bytes); // own position: not written
        const auto b_after = gps_tags(b);
        QCOMPARE(b_after.value("GPS:GPSLatitude"), QString("47.5"));
        QCOMPARE(b_after.value("GPS:GPSAltitude"), QString("5"));
        QCOMPARE(b_after.value("GPS:GPSImgDirection"), QString("90"));
        QVERIFY(!b_after.contains("XMP-exif:GPSLatitude"));
        const auto c_after = gps_tags(c);
        QCOMPARE(c_after.value("GPS:GPSLatitude"), QString("47.5"));
        QCOMPARE(c_after.value("XMP-exif:GPSLongitude"), QString("8.25"));
        QCOMPARE(pixels(b), b_pixels);

        QCOMPARE(w->undo_map.keys(), QStringList({b, c}));

        w->undo_button->click();
        compare_maps(gps_tags(b), b_before);
        compare_maps(gps_tags(c), c_before);
        QVERIFY(!w->undo_button->isEnabled());

        const QByteArray b_bytes = writing_support::contents(b);
        w->undo_last_edit();
        QCOMPARE(writing_support::contents(b), b_bytes);
    }

    // Mode 3, south and west: 31 entries without XMP GPS, 34 with it; the
    // whole GPS group but the position and version goes; undo restores all
    // 32 EXIF tags and the XMP ones.
    void sync_fixed_south_west_then_undo()
    {
        const QString d = jpeg("d.jpg", "10:00:00", full_gps());
        const QString e = jpeg("e.jpg", "11:00:00", {"-GPSAltitude#=5", "-GPSSpeed#=3", "-GPSSpeedRef=K"});
        QVERIFY(!d.isEmpty() && !e.isEmpty());
        const auto d_before = gps_tags(d);
        const auto e_before = gps_tags(e);
        QCOMPARE(d_before.size(), 35);
        const QByteArray d_pixels = pixels(d);

        w->load_files({d, e});
        set_mode(3);
        set_fixed("-33.5", "-70.25");
        QVERIFY(sync({"Continue"}).value(0).text.startsWith("Some loaded images already had GPS data"));

        const QMap<QString, QString> expected_exif{
            {"GPS:GPSVersionID", "2 3 0 0"}, {"GPS:GPSLatitudeRef", "S"},  {"GPS:GPSLatitude", "33.5"},
            {"GPS:GPSLongitudeRef", "W"},    {"GPS:GPSLongitude", "70.25"},
        };
        QMap<QString, QString> expected_d = expected_exif;
        expected_d.insert("XMP-exif:GPSLatitude", "-33.5");
        expected_d.insert("XMP-exif:GPSLongitude", "-70.25");
        compare_maps(gps_tags(d), expected_d);
        compare_maps(gps_tags(e), expected_exif);
        QCOMPARE(test_support::read_tags_numeric(e).value("Composite:GPSLatitude"), QString("-33.5"));

        w->undo_button->click();
        compare_maps(gps_tags(d), d_before);
        compare_maps(gps_tags(e), e_before);
        QCOMPARE(pixels(d), d_pixels);
    }

    // Modes 0, 1 and 4, and the confirmations of the sync.
    void sync_other_modes_and_confirmations()
    {
        const QString a = jpeg("a.jpg", "10:00:00", at_47);
        const QString early = jpeg("early.jpg", "09:00:00");
        const QString late = jpeg("late.jpg", "11:00:00");
        QVERIFY(!a.isEmpty() && !early.isEmpty() && !late.isEmpty());
        w->load_files({a, early, late});

        // Mode 0: nothing earlier than "early"; only an explicit answer goes on.
        set_mode(0);
        QCOMPARE(sync({"Select a different assignment mode"}).size(), 1);
        QCOMPARE(sync({"<close>"}).size(), 1);
        QVERIFY(!gps_tags(late).contains("GPS:GPSLatitude"));
        QVERIFY(!w->undo_button->isEnabled());
        QCOMPARE(w->table_model->rowCount(), 3);

        // Going on writes the assigned file and skips the other.
        QCOMPARE(sync({"Continue anyway"}).size(), 1);
        QCOMPARE(gps_tags(late).value("GPS:GPSLatitude"), QString("47.5"));
        QVERIFY(!gps_tags(early).contains("GPS:GPSLatitude"));
        QCOMPARE(w->undo_map.keys(), QStringList({late}));
        QCOMPARE(w->table_model->rowCount(), 0);

        // Mode 1: all assigned, no GPS to overwrite, no QuickTime: no question.
        w->load_files({a, early});
        set_mode(1);
        QCOMPARE(sync().size(), 0);
        QCOMPARE(gps_tags(early).value("GPS:GPSLatitude"), QString("47.5"));
        QCOMPARE(w->undo_map.keys(), QStringList({early}));

        // Mode 4: the position of the nearest track point, written from its
        // numbers.
        const QString f = jpeg("f.jpg", "10:20:00");
        const QString gpx = dir->filePath("track.gpx");
        QFile file(gpx);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<?xml version=\"1.0\"?><gpx version=\"1.1\" creator=\"t\"><trk><name>t</name><trkseg>"
                   "<trkpt lat=\"-12.3456789\" lon=\"-45.6789012\"><time>2023-05-01T08:21:00Z</time></trkpt>"
                   "</trkseg></trk></gpx>");
        file.close();
        w->load_files({f});
        set_mode(4);
        w->load_gpx_file(gpx);
        QCOMPARE(sync().size(), 0);
        const auto f_tags = test_support::read_tags_numeric(f);
        QVERIFY(qAbs(f_tags.value("Composite:GPSLatitude").toDouble() + 12.3456789) < 1e-6);
        QVERIFY(qAbs(f_tags.value("Composite:GPSLongitude").toDouble() + 45.6789012) < 1e-6);
        // The undo now belongs to this sync alone.
        QCOMPARE(w->undo_map.keys(), QStringList({f}));
    }

    // An empty list, an invalid typed position, nothing to write: nothing
    // is written, the list and the last undo stay.
    void nothing_to_write_keeps_list_and_undo()
    {
        QCOMPARE(answering({}, [this] { w->sync_gps(); w->remove_gps_data(); }).size(), 0);
        const QString a = jpeg("a.jpg", "10:00:00");
        const QString b = jpeg("b.jpg", "11:00:00");
        QVERIFY(!a.isEmpty() && !b.isEmpty());
        w->load_files({a});
        set_mode(3);
        set_fixed("91", "7");
        QCOMPARE(sync({"OK"}).value(0).title, QString("Invalid position"));
        QVERIFY(!gps_tags(a).contains("GPS:GPSLatitude"));
        set_fixed("46.5", "7.25");
        w->sync_button->click();
        QCOMPARE(w->undo_map.keys(), QStringList({a}));

        set_mode(2);
        w->load_files({b});
        const QByteArray b_bytes = writing_support::contents(b);
        QCOMPARE(sync().value(0).title, QString("Nothing to write"));
        QCOMPARE(rows(), QStringList({b}));
        QCOMPARE(w->undo_map.keys(), QStringList({a}));
        QCOMPARE(writing_support::contents(b), b_bytes);

        // The earlier sync can still be undone.
        w->undo_button->click();
        QVERIFY(!gps_tags(a).contains("GPS:GPSLatitude"));
    }

    // An empty fixed position deletes coordinates, but only after an
    // explicit question whose default is No.
    void empty_fixed_position_asks_before_deleting()
    {
        const QString a = jpeg("a.jpg", "10:00:00", at_47 + QStringList{"-GPSAltitude#=9"});
        QVERIFY(!a.isEmpty());
        const auto before = gps_tags(a);
        w->load_files({a});
        set_mode(3);
        set_fixed("", "");
        const auto asked = sync({"No"});
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked.first().text.contains("deletes the GPS coordinates"));
        QCOMPARE(asked.first().default_button, QString("No"));
        compare_maps(gps_tags(a), before);
        QCOMPARE(sync({"Yes", "Continue"}).size(), 2);
        const auto cleared = gps_tags(a);
        for (const char* key : {"GPS:GPSLatitude", "GPS:GPSLongitude", "GPS:GPSLatitudeRef", "GPS:GPSAltitude"})
            QVERIFY2(!cleared.contains(key), qPrintable(key));
        w->undo_button->click();
        compare_maps(gps_tags(a), before);
    }

    // Remove, then undo, on JPEG, PNG, TIFF and an MP4 with QuickTime GPS.
    void remove_then_undo_restores_every_format()
    {
        const QString j = jpeg("j.jpg", "10:00:00", full_gps());
        const QString p = dir->filePath("p.png");
        const QString t = dir->filePath("t.tif");
        QVERIFY(test_support::make_image(p, "PNG"));
        QVERIFY(writing_support::write_tiff(t));
        const QStringList position{"-GPSLatitude#=-12.5", "-GPSLatitudeRef=S", "-GPSLongitude#=100.125",
                                   "-GPSLongitudeRef=E", "-GPSAltitude#=3"};
        QVERIFY(set_tags(p, position));
        QVERIFY(set_tags(t, position));
        QStringList files{j, p, t};
        const QString v = dir->filePath("v.mp4");
        const bool with_video = writing_support::make_mp4(v) && set_tags(v, {"-Keys:GPSCoordinates#=47.5 8.25 100"});
        if (with_video)
            files << v;
        else
            qWarning("ffmpeg not available: the MP4 case is left out");

        QMap<QString, QMap<QString, QString>> before;
        QMap<QString, QByteArray> decoded;
        for (const QString& f : files) {
            before[f] = gps_tags(f);
            QVERIFY2(!before[f].isEmpty(), qPrintable(f));
            decoded[f] = pixels(f);
            if (f != v)
                QVERIFY2(!decoded[f].isEmpty(), qPrintable(f));
        }

        w->load_files(files);
        QCOMPARE(w->table_model->rowCount(), files.size());
        QCOMPARE(w->table_model->has_quicktime_gps(), with_video);
        QCOMPARE(remove({"No"}).size(), 1);
        for (const QString& f : files)
            compare_maps(gps_tags(f), before[f]);

        // The read-only QuickTime coordinates stay: that file is named and
        // kept in the list.
        const auto boxes = remove(with_video ? QStringList{"Yes", "Continue", "OK"} : QStringList{"Yes"});
        QCOMPARE(boxes.size(), with_video ? 3 : 1);
        if (with_video) {
            QVERIFY(boxes.last().text.startsWith("The GPS data of 1 of 4 files could not be removed"));
            QVERIFY(boxes.last().text.endsWith("\n\nv.mp4"));
            QCOMPARE(rows(), QStringList{v});
        }
        for (const QString& f : files) {
            const auto after = gps_tags(f);
            if (f == v)
                compare_maps(after, {{"Keys:GPSCoordinates", before[v].value("Keys:GPSCoordinates")}});
            else
                compare_maps(after, {});
            QCOMPARE(pixels(f), decoded[f]);
        }
        QCOMPARE(w->undo_map.size(), files.size());

        w->undo_button->click();
        for (const QString& f : files) {
            compare_maps(gps_tags(f), before[f]);
            QCOMPARE(pixels(f), decoded[f]);
        }
        QVERIFY(!w->undo_button->isEnabled());
    }

    // An MP4 with QuickTime GPS: the sync asks, writes GPS tags beside the
    // read-only QuickTime ones, and undo takes them away again.
    void sync_video_with_quicktime_gps()
    {
        const QString v = dir->filePath("v.mp4");
        if (!writing_support::make_mp4(v))
            QSKIP("ffmpeg not available");
        QVERIFY(set_tags(v, {"-Keys:GPSCoordinates#=47.5 8.25 100"}));
        const auto before = gps_tags(v);
        w->load_files({v});
        set_mode(3);
        set_fixed("10.5", "20.25");
        QVERIFY(sync({"Continue", "Continue"}).value(1).text.startsWith("QuickTime GPS coordinates are read only"));
        const auto after = gps_tags(v);
        QCOMPARE(after.value("Keys:GPSCoordinates"), before.value("Keys:GPSCoordinates"));
        QVERIFY(after.size() > before.size());
        w->undo_button->click();
        compare_maps(gps_tags(v), before);
    }

    // Files that vanish, break or cannot hold GPS after loading: named in
    // one warning, kept in the list, left out of the undo.
    void failed_writes_are_reported_and_kept()
    {
        const QString good = jpeg("good.jpg", "10:00:00");
        const QString missing = jpeg("missing.jpg", "10:01:00");
        const QString broken = jpeg("broken.jpg", "10:02:00");
        const QString portable = dir->filePath("plain.ppm");
        QVERIFY(!good.isEmpty() && !missing.isEmpty() && !broken.isEmpty());
        QVERIFY(test_support::make_image(portable, "PPM"));
        w->load_files({good, missing, broken, portable});
        QCOMPARE(w->table_model->rowCount(), 4);

        QVERIFY(QFile::remove(missing));
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write("this is no longer a JPEG\n") > 0);
        file.close();
        const QByteArray portable_bytes = writing_support::contents(portable);

        set_mode(3);
        set_fixed("1.5", "2.5");
        const QString text = sync({"OK"}).value(0).text;
        QVERIFY2(text.startsWith("3 of 4 files could not be written"), qPrintable(text));
        QVERIFY(text.contains("missing.jpg") && text.contains("broken.jpg") && text.contains("plain.ppm"));
        QVERIFY(!text.contains("good.jpg"));
        QCOMPARE(gps_tags(good).value("GPS:GPSLatitude"), QString("1.5"));
        QCOMPARE(writing_support::contents(portable), portable_bytes);
        QCOMPARE(writing_support::contents(broken), QByteArray("this is no longer a JPEG\n"));
        QStringList expected{missing, broken, portable};
        expected.sort();
        QCOMPARE(rows(), expected);
        QCOMPARE(w->undo_map.keys(), QStringList({good}));

        // A retry in which everything fails keeps the earlier undo.
        QVERIFY(sync({"OK"}).value(0).text.startsWith("3 of 3 files"));
        QCOMPARE(w->undo_map.keys(), QStringList({good}));
        QVERIFY(w->undo_button->isEnabled());

        // Remove: the files it cannot read stay listed; the PPM has nothing
        // to remove and counts as done.
        QVERIFY(remove({"Yes", "OK"}).value(1).text.contains("2 of 3 files"));
        expected.removeOne(portable);
        QCOMPARE(rows(), expected);
        QCOMPARE(w->undo_map.keys(), QStringList({portable}));
    }

    // An undo whose write fails keeps that file's snapshot and the button.
    void failed_undo_stays_available()
    {
        const QString a = jpeg("a.jpg", "10:00:00");
        const QString b = jpeg("b.jpg", "10:01:00", {"-GPSAltitude#=4"});
        QVERIFY(!a.isEmpty() && !b.isEmpty());
        const auto b_before = gps_tags(b);
        w->load_files({a, b});
        set_mode(3);
        set_fixed("5", "6");
        w->sync_button->click();
        QCOMPARE(w->undo_map.size(), 2);

        QVERIFY(QFile::rename(a, a + ".away"));
        QVERIFY(answering({"OK"}, [this] { w->undo_button->click(); }).value(0).text.contains("a.jpg"));
        compare_maps(gps_tags(b), b_before);
        QCOMPARE(w->undo_map.keys(), QStringList({a}));
        QVERIFY(w->undo_button->isEnabled());

        // Once the file is back, the undo completes.
        QVERIFY(QFile::rename(a + ".away", a));
        w->undo_button->click();
        QVERIFY(!gps_tags(a).contains("GPS:GPSLatitude"));
        QVERIFY(!w->undo_button->isEnabled());
    }

    // The snapshot is what the file holds just before the change, also when
    // it changed after loading; clearing the list keeps the undo; an undone
    // file that is listed again shows what it now holds.
    void undo_restores_the_state_just_before()
    {
        const QString a = jpeg("a.jpg", "10:00:00", {"-GPSLatitude#=1", "-GPSLatitudeRef=N", "-GPSLongitude#=2",
                                                     "-GPSLongitudeRef=E"});
        QVERIFY(!a.isEmpty());
        w->load_files({a});
        QVERIFY(set_tags(a, {"-GPSLatitude#=3.25", "-GPSLongitude#=4.75", "-GPSAltitude#=12"}));
        const auto before = gps_tags(a);
        remove({"Yes"});
        QVERIFY(gps_tags(a).isEmpty());
        w->clear_files();
        QVERIFY(w->undo_button->isEnabled());

        // Listed again while its GPS data is gone, then undone.
        w->load_files({a});
        QCOMPARE(w->table_model->data(w->table_model->index(0, 2)).toString(), QString("?  -"));
        w->undo_button->click();
        compare_maps(gps_tags(a), before);
        QVERIFY(w->table_model->data(w->table_model->index(0, 2)).toString().contains("3.25"));
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

#include "test_main_window_write.moc"
