// Photo records derived from tag maps through the store's seam, without
// ExifTool: recording time, camera data, GPS position, IPTC zone and flags.
#include "exif_cache.h"
#include "records_support.h"
#include "table_data_model.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

class test_photo_records : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString file; // an existing file, for the creation-time fallback

    exif_tag_map derive(const exif_tag_map& plain, const exif_tag_map& grouped = {{"System:FileName", "a.jpg"}})
    {
        exif_cache store;
        store.store(file, plain, grouped);
        return store.records[file];
    }
    exif_tag_map with_date(const QString& text) { return {{"FileName", "a.jpg"}, {"DateTimeOriginal", text}}; }

    void expect_file_date(const exif_tag_map& r, bool date, bool time)
    {
        const QDateTime created = QFileInfo(file).birthTime().isValid() ? QFileInfo(file).birthTime()
                                                                        : QFileInfo(file).metadataChangeTime();
        const QDateTime local = created.toLocalTime();
        if (date)
            QCOMPARE(r.at("rec_year") + r.at("rec_month") + r.at("rec_day"), local.toString("yyyyMMdd"));
        if (time)
            QCOMPARE(r.at("rec_hour") + r.at("rec_minute") + r.at("rec_second"), local.toString("hhmmss"));
    }

private slots:
    void initTestCase()
    {
        file = dir.filePath("a.jpg");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
    }

    void recording_date_and_time()
    {
        exif_tag_map r = derive(with_date("2023:05:01 12:34:56+02:00"));
        QCOMPARE(r.at("rec_hour"), QString("12"));
        QCOMPARE(record_datetime(r), QDateTime(QDate(2023, 5, 1), QTime(12, 34, 56), Qt::OffsetFromUTC, 7200));
        QCOMPARE(r.at("read_failed"), QString("false"));

        r = derive(with_date("2023:05:01 12:34:56.25"));
        QCOMPARE(r.at("rec_second"), QString("56.25"));
        // Fractional seconds count as whole seconds, not as 0.
        QCOMPARE(record_datetime(r), QDateTime(QDate(2023, 5, 1), QTime(12, 34, 56), Qt::LocalTime));
        // "Z" marks UTC.
        r = derive(with_date("2023:05:01 12:34:56.25Z"));
        QCOMPARE(record_datetime(r), QDateTime(QDate(2023, 5, 1), QTime(12, 34, 56), Qt::UTC));

        // Without a date the file's creation time is used, silently.
        r = derive({{"FileName", "a.jpg"}});
        expect_file_date(r, true, true);
        // A camera without a set clock: a date of zeros is no date.
        r = derive(with_date("0000:00:00 00:00:00"));
        expect_file_date(r, true, true);
        QVERIFY(record_datetime(r).isValid());
    }

    void malformed_dates()
    {
        exif_tag_map r = derive(with_date("2023:05:01"));
        expect_file_date(r, true, true);
        r = derive(with_date("2023::01 12:34:56"));
        expect_file_date(r, true, false);
        QCOMPARE(r.at("rec_hour") + r.at("rec_second"), QString("1256"));
        // Wrong number of colons: the date keys are left alone.
        r = derive(with_date("2023-05-01 12:34:56"));
        QVERIFY(r.find("rec_year") == r.end());
        QCOMPARE(r.at("rec_minute"), QString("34"));
        r = derive(with_date("2023:05:01 12::56"));
        expect_file_date(r, false, true);
    }

    void reload_keeps_untouched_date_keys()
    {
        exif_cache store;
        store.store(file, with_date("2020:01:02 03:04:05"), {{"System:FileName", "a.jpg"}});
        store.store(file, with_date("2023-05-01 12:34:56"), {{"System:FileName", "a.jpg"}});
        QCOMPARE(store.records[file].at("rec_year"), QString("2020"));
        QCOMPARE(store.records[file].at("rec_hour"), QString("12"));
        QCOMPARE(store.tags[file].at("DateTimeOriginal"), QString("2023-05-01 12:34:56"));
    }

    void camera_data()
    {
        exif_tag_map r = derive({{"FileName", "a"}, {"FNumber", "f/2.8"}, {"FocalLength", "24.0 mm"}, {"Lens", "L"},
                                 {"ExifImageHeight", "480"}, {"ImageWidth", "999"}, {"ShutterSpeed", "1/8"}});
        QCOMPARE(r.at("fstop"), QString("/2.8"));
        QCOMPARE(r.at("focal_length"), QString("24.0"));
        QCOMPARE(r.at("image_h"), QString("480"));
        QCOMPARE(r.at("image_w"), QString()); // ImageWidth is not consulted
        QCOMPARE(r.at("shutter_speed_decimal"), QString("0.125"));

        r = derive({{"FileName", "a"}, {"ShutterSpeed", "2"}, {"LensModel", "LM"}, {"Lens", "L"},
                    {"ImageWidth", "64"}, {"ImageHeight", "48"}});
        QCOMPARE(r.at("shutter_speed_decimal"), QString());
        QCOMPARE(r.at("lens"), QString("LM"));
        QCOMPARE(r.at("image_w"), QString("64"));

        // A zero divisor does not crash.
        r = derive({{"FileName", "a"}, {"ShutterSpeed", "1/0"}});
        QCOMPARE(r.at("shutter_speed_decimal"), QString("inf"));
        r = derive({{"FileName", "a"}, {"ShutterSpeed", "0/0"}});
        QCOMPARE(r.at("shutter_speed_decimal"), QString("nan"));
    }

    void gps_position()
    {
        exif_tag_map r = derive({{"FileName", "a"}, {"GPSPosition", "47 deg 30' 0.00\" N, 8 deg 15' 36.00\" W"}});
        QCOMPARE(r.at("gps_lon") + r.at("gps_lon_ref"), QString("-8.260000W"));
        QCOMPARE(r.at("gps_numerical"), QString("47.500000, -8.260000"));
        QCOMPARE(r.at("has_gps_position"), QString("true"));

        r = derive({{"FileName", "a"}, {"GPSPosition", "33 deg 51' 54.00\" S, 151 deg 12' 36.00\" E"}});
        QCOMPARE(r.at("gps_numerical"), QString("-33.865000, 151.210000"));

        r = derive({{"FileName", "a"}, {"GPSPosition", "-"}});
        QCOMPARE(r.at("has_gps_position"), QString());
        // Never a position without its numbers.
        r = derive({{"FileName", "a"}, {"GPSPosition", "47 deg 30' 0.00\" N"}});
        QCOMPARE(r.at("has_gps_position"), QString());
        QCOMPARE(r.at("gps_lat"), QString());
        // Too few tokens: no coordinates, and nothing read past the end.
        r = derive({{"FileName", "a"}, {"GPSPosition", "47 deg, 8"}});
        QCOMPARE(r.at("gps_numerical") + r.at("has_gps_position"), QString());
    }

    // EXIF GPS without its Ref tags: the numbers are read, the hemispheres
    // stay unknown, and no other file takes the position.
    void gps_position_without_hemispheres()
    {
        exif_tag_map r = derive({{"FileName", "a"}, {"GPSPosition", "33 deg 30' 0.00\", 70 deg 15' 0.00\""}});
        QCOMPARE(r.at("has_gps_position"), QString("true"));
        QCOMPARE(r.at("gps_numerical"), QString("33.500000, 70.250000"));
        QCOMPARE(r.at("gps_lat_ref") + r.at("gps_lon_ref"), QString());

        records_support::clear_store();
        table_data_model model;
        exif_cache::instance()->store("R", {{"FileName", "R"}, {"DateTimeOriginal", "2023:05:01 10:00:00"},
                                            {"GPSPosition", "33 deg 30' 0.00\", 70 deg 15' 0.00\""}},
                                      {{"System:FileName", "R"}});
        records_support::add_photo("B", "2023:05:01 10:01:00");
        model.append_row("R");
        model.append_row("B");
        model.gps_sync_order_changed(2);
        model.resort();
        const int r_row = model.row_paths().indexOf("R");
        QCOMPARE(model.data(model.index(r_row, 2)).toString(), QString(QChar(0x2190)) + "  33.500000, 70.250000");
        QVERIFY(!model.data(model.index(r_row, 2), Qt::UserRole).isValid());
        QCOMPARE(model.data(model.index(1 - r_row, 2)).toString(), QString("?  -"));
        records_support::clear_store();
    }

    void iptc_zone()
    {
        exif_tag_map grouped{{"IPTC:DateCreated", ""}, {"IPTC:TimeCreated", "12:34:56+02:00"}};
        exif_tag_map r = derive(with_date("2023:06:01 12:00:00"), grouped);
        QCOMPARE(r.at("has_iptc_date") + r.at("has_iptc_time"), QString("truetrue"));
        QCOMPARE(record_datetime(r).offsetFromUtc(), 7200);

        r = derive(with_date("2023:06:01 12:00:00"), {{"IPTC:TimeCreated", "12:34:56-05:30"}});
        QCOMPARE(r.at("iptc_timezone"), QString("-05:30"));
        // Half-hour zones keep their minutes.
        QCOMPARE(record_datetime(r).offsetFromUtc(), -19800);
        QCOMPARE(record_datetime(r).toUTC(), QDateTime(QDate(2023, 6, 1), QTime(17, 30), Qt::UTC));

        r = derive(with_date("2023:06:01 12:00:00"), {{"IPTC:TimeCreated", "10:00:00"}});
        QCOMPARE(record_datetime(r).timeSpec(), Qt::LocalTime);

        r = derive(with_date("2023:06:01 12:00:00"), {{"IPTC:TimeCreated", "12:00:00+0530"}});
        QCOMPARE(record_datetime(r).offsetFromUtc(), 19800);

        QCOMPARE(utc_offset_text(5.5f), QString("+05:30"));
        QCOMPARE(utc_offset_text(-3.5f), QString("-03:30"));
        QCOMPARE(utc_offset_text(-0.5f), QString("-00:30"));
    }

    void gps_flags_from_family_one_groups()
    {
        // What "-G1 -a" shows for a JPEG with EXIF and XMP GPS.
        exif_tag_map grouped{{"GPS:GPSLatitude", "47 deg 30' 0.00\""},
                             {"XMP-exif:GPSLatitude", "47 deg 36' 0.00\" N"},
                             {"Composite:GPSLatitude", "47 deg 30' 0.00\" N"}};
        exif_tag_map r = derive({{"FileName", "a"}}, grouped);
        QCOMPARE(r.at("has_xmp_gps"), QString("true"));
        QCOMPARE(r.at("has_quicktime_gps"), QString("false"));

        for (const char* group : {"Keys", "UserData", "ItemList", "QuickTime"}) {
            r = derive({{"FileName", "a"}}, {{QString(group) + ":GPSCoordinates", "47 deg 36' 0.00\" N, 8 deg E"}});
            QCOMPARE(r.at("has_quicktime_gps"), QString("true"));
            QCOMPARE(r.at("has_xmp_gps"), QString("false"));
        }
        r = derive({{"FileName", "a"}}, {{"Keys:GPSCoordinates", ""}, {"XMP-exif:GPSLatitude", ""},
                                        {"XMP-exif:GPSLongitude", "8"}});
        QCOMPARE(r.at("has_quicktime_gps"), QString("false"));
        QCOMPARE(r.at("has_xmp_gps"), QString("false"));
    }

    void unreadable_file()
    {
        exif_cache store;
        store.store(file, {}, {});
        const exif_tag_map& r = store.records[file];
        QCOMPARE(r.at("has_data"), QString("true"));
        QCOMPARE(r.at("read_failed"), QString("true"));
        QCOMPARE(r.at("has_gps_position"), QString());
        expect_file_date(r, true, true);
        QVERIFY(store.tags[file].empty());
        // The plain read answered, the grouped one did not: failed too.
        store.store(file, with_date("2023:05:01 10:00:00"), {});
        QCOMPARE(store.records[file].at("read_failed"), QString("true"));
        QCOMPARE(store.records[file].at("rec_timezone"), QString());
        expect_file_date(store.records[file], true, true);
        // A later good read clears the mark.
        store.store(file, with_date("2023:05:01 10:00:00"), {{"System:FileName", "a"}});
        QCOMPARE(store.records[file].at("read_failed"), QString("false"));
    }

};

QTEST_GUILESS_MAIN(test_photo_records)
#include "test_photo_records.moc"
