// The photo store and the table model on real files read through ExifTool:
// EXIF and XMP GPS together, QuickTime GPS in videos, the IPTC zone, a file
// that cannot be read, and the order of reading and inserting rows.
#include "exif_cache.h"
#include "records_support.h"
#include "table_data_model.h"
#include "test_support.h"
#include "writing_support.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class test_photo_store_exiftool : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString image(const QString& name, const QStringList& tags)
    {
        const QString path = dir.filePath(name);
        if (!test_support::make_image(path))
            return QString();
        if (!tags.isEmpty() && test_support::run_exiftool(QStringList{"-q", "-overwrite_original"} + tags << path) != 0)
            return QString();
        return path;
    }
    QString video(const QString& name, const QStringList& metadata)
    {
        const QString path = dir.filePath(name);
        return writing_support::make_video(path, metadata) ? path : QString();
    }
    exif_tag_map load(const QString& path)
    {
        const auto store = exif_cache::instance();
        store->load(path);
        return store->records[path];
    }

private slots:
    void init() { records_support::clear_store(); }

    void exif_and_xmp_gps_together()
    {
        const QString path = image("both.jpg", {"-DateTimeOriginal=2023:05:01 10:20:30", "-GPSLatitude=47.5",
                                                "-GPSLatitudeRef=N", "-GPSLongitude=8.25", "-GPSLongitudeRef=W",
                                                "-XMP:GPSLatitude=47.6N", "-XMP:GPSLongitude=8.3W",
                                                "-IPTC:TimeCreated=10:20:30+05:30", "-IPTC:DateCreated=2023:05:01",
                                                "-Model=TestCam", "-FNumber=2.8"});
        QVERIFY(!path.isEmpty());
        const exif_tag_map r = load(path);
        QCOMPARE(r.at("read_failed"), QString("false"));
        QCOMPARE(r.at("has_gps_position"), QString("true"));
        QCOMPARE(r.at("gps_numerical"), QString("47.500000, -8.250000"));
        QCOMPARE(r.at("gps_lon_ref"), QString("W"));
        QCOMPARE(r.at("has_xmp_gps"), QString("true"));
        QCOMPARE(r.at("has_quicktime_gps"), QString("false"));
        QCOMPARE(r.at("iptc_timezone"), QString("+05:30"));
        QCOMPARE(r.at("has_iptc_date"), QString("true"));
        QCOMPARE(r.at("rec_hour"), QString("10"));
        QCOMPARE(r.at("camera"), QString("TestCam"));
        QCOMPARE(r.at("fstop"), QString("2.8"));
        QCOMPARE(record_datetime(r), QDateTime(QDate(2023, 5, 1), QTime(10, 20, 30), Qt::OffsetFromUTC, 19800));
        const auto store = exif_cache::instance();
        QCOMPARE(store->tags[path].at("FileName"), QString("both.jpg"));
        QVERIFY(store->group_tags[path].count("IPTC:TimeCreated"));
    }

    void xmp_gps_alone_and_no_gps()
    {
        const QString xmp = image("xmp.jpg", {"-XMP:GPSLatitude=10.5S", "-XMP:GPSLongitude=20.25E"});
        QVERIFY(!xmp.isEmpty());
        exif_tag_map r = load(xmp);
        QCOMPARE(r.at("has_xmp_gps"), QString("true"));
        QCOMPARE(r.at("has_gps_position"), QString("true"));
        QCOMPARE(r.at("gps_numerical"), QString("-10.500000, 20.250000"));

        const QString exif = image("exif.jpg", {"-GPSLatitude=1", "-GPSLatitudeRef=N", "-GPSLongitude=2",
                                                "-GPSLongitudeRef=E"});
        r = load(exif);
        QCOMPARE(r.at("has_gps_position"), QString("true"));
        QCOMPARE(r.at("has_xmp_gps"), QString("false"));

        // EXIF GPS without its Ref tags still gives both numbers.
        r = load(image("norefs.jpg", {"-GPS:GPSLatitude=33.5", "-GPS:GPSLongitude=70.25"}));
        QCOMPARE(r.at("has_gps_position") + " " + r.at("gps_numerical"), QString("true 33.500000, 70.250000"));

        const QString plain = image("plain.jpg", {});
        r = load(plain);
        QCOMPARE(r.at("has_gps_position"), QString());
        QCOMPARE(r.at("has_xmp_gps"), QString("false"));
        QCOMPARE(r.at("has_quicktime_gps"), QString("false"));
        QCOMPARE(r.at("read_failed"), QString("false"));
    }

    void quicktime_gps_in_videos()
    {
        const QString mov = video("location.mov", {"-metadata", "location=+47.5000+008.2500/"});
        QVERIFY2(!mov.isEmpty(), "ffmpeg could not make the video");
        exif_tag_map r = load(mov);
        QCOMPARE(r.at("has_quicktime_gps"), QString("true"));
        QCOMPARE(r.at("has_xmp_gps"), QString("false"));
        QCOMPARE(r.at("gps_numerical"), QString("47.500000, 8.250000"));

        const QString mp4 = video("keys.mp4", {"-metadata", "creation_time=2023-05-01T10:20:30Z"});
        QVERIFY(!mp4.isEmpty());
        QCOMPARE(test_support::run_exiftool({"-q", "-overwrite_original", "-Keys:GPSCoordinates=47.6 N, 8.3 E", mp4}), 0);
        r = load(mp4);
        QCOMPARE(r.at("has_quicktime_gps"), QString("true"));

        // An MP4's 3GPP location, and the ISO 6709 key ffmpeg and phones write.
        const QString loci = video("loci.mp4", {"-metadata", "location=+47.3700+008.5400/"});
        const QString keys = video("location.mp4", {"-metadata", "location=+47.3700+008.5400/", "-movflags",
                                                    "use_metadata_tags"});
        QCOMPARE(test_support::run_exiftool({"-q", "-overwrite_original", "-UserData:LocationInformation=", keys}), 0);
        QCOMPARE(test_support::read_tags_numeric(keys).keys().filter("Location"), QStringList{"Keys:Location"});
        for (const QString& path : {loci, keys})
            QVERIFY2(load(path).at("has_quicktime_gps") == "true", qPrintable(path));

        const QString bare = video("bare.mp4", {});
        r = load(bare);
        QCOMPARE(r.at("has_quicktime_gps"), QString("false"));
        QCOMPARE(r.at("has_gps_position"), QString());

        // The model reports QuickTime GPS after a rebuild.
        table_data_model model;
        model.add_file(mov, true);
        model.resort();
        QVERIFY(model.has_quicktime_gps());
    }

    void unreadable_file_gets_no_position()
    {
        const QString tagged = image("tagged.jpg", {"-DateTimeOriginal=2023:05:01 10:00:00", "-GPSLatitude=1",
                                                    "-GPSLatitudeRef=N", "-GPSLongitude=2", "-GPSLongitudeRef=E"});
        const QString missing = dir.filePath("gone.jpg");
        table_data_model model;
        model.gps_sync_order_changed(2);
        model.add_file(tagged, true);
        model.add_file(missing, true);
        model.resort();
        const auto store = exif_cache::instance();
        QCOMPARE(store->records[missing].at("read_failed"), QString("true"));
        QCOMPARE(store->records[missing].at("has_data"), QString("true"));
        const int row = model.row_paths().indexOf(missing);
        QCOMPARE(model.data(model.index(row, 2)).toString(), QString("?  -"));
        QVERIFY(!model.data(model.index(row, 2), Qt::UserRole).isValid());
        QVERIFY(!model.all_assigned());
    }

    // The time derived when a file is added serves the next resort only
    // while the record still says the same.
    void resort_after_a_record_changed()
    {
        const QString x = image("x.jpg", {"-DateTimeOriginal=2023:05:01 10:00:00"});
        const QString y = image("y.jpg", {"-DateTimeOriginal=2023:05:01 11:00:00"});
        table_data_model model;
        model.add_file(x, true);
        model.add_file(y, true);
        records_support::add_photo(x, "2023:05:01 12:00:00");
        model.resort();
        QCOMPARE(model.row_paths(), QStringList({y, x}));
        QCOMPARE(model.match_cache().value(x).time, QDateTime(QDate(2023, 5, 1), QTime(12, 0), Qt::LocalTime));
    }

    void rows_inserted_after_the_read()
    {
        const QString path = image("order.jpg", {"-DateTimeOriginal=2023:05:01 10:00:00"});
        table_data_model model;
        bool read_before_insert = false;
        int inserted = 0;
        connect(&model, &QAbstractItemModel::rowsAboutToBeInserted, this, [&](const QModelIndex&, int first, int last) {
            read_before_insert = exif_cache::instance()->records.count(path) == 1;
            QCOMPARE(first, 0);
            QCOMPARE(last, 0);
            ++inserted;
        });
        model.add_file(path, true);
        QVERIFY(read_before_insert);
        QCOMPARE(model.rowCount(), 1);
        // The new row has no entry until the next rebuild.
        QCOMPARE(model.data(model.index(0, 2)).toString(), QString("?  -"));
        // A path already listed is neither added nor read again.
        exif_cache::instance()->records.clear();
        model.add_file(path, true);
        QCOMPARE(inserted, 1);
        QCOMPARE(model.rowCount(), 1);
        QVERIFY(exif_cache::instance()->records.empty());
    }
};

QTEST_MAIN(test_photo_store_exiftool)
#include "test_photo_store_exiftool.moc"
