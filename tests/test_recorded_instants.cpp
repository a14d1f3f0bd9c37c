// Recording instants of real files read through ExifTool, under local zones
// that differ from the files' own: a zone in the date value, EXIF
// "OffsetTimeOriginal", the IPTC zone, the file's own dates, the dates of
// videos, and clock times that local time skips.
// Every file is checked by its instant and by the track point it gets.
#include "exif_cache.h"
#include "gpx_reader.h"
#include "records_support.h"
#include "table_data_model.h"
#include "test_support.h"
#include "writing_support.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <ctime>

namespace {

const char* const zones[] = {"America/St_Johns", "Asia/Kolkata"};

void use_zone(const char* zone)
{
    qputenv("TZ", zone);
    tzset();
}

const QDate june(2024, 6, 1);

QDateTime utc(const char* time, QDate day = june) { return QDateTime(day, QTime::fromString(time, "hh:mm"), Qt::UTC); }

} // namespace

class test_recorded_instants : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QMap<QString, QString> files; // name -> path

    void image(const QString& name, const QStringList& tags)
    {
        const QString path = dir.filePath(name + ".jpg");
        QVERIFY(test_support::make_image(path));
        if (!tags.isEmpty())
            QCOMPARE(test_support::run_exiftool(QStringList{"-q", "-overwrite_original"} + tags << path), 0);
        files[name] = path;
    }
    void video(const QString& name, const QStringList& metadata)
    {
        const QString path = dir.filePath(name);
        QVERIFY(writing_support::make_video(path, metadata));
        files[name] = path;
    }

    // Under zone: every file read afresh, matched in mode 4 against a track
    // of day (points 1 to 4 at 04:30, 08:00, 10:00 and 12:00 UTC) with a
    // limit of 5 minutes. Gives each file's instant in UTC and its cell.
    struct outcome {
        QDateTime instant;
        QString cell;
    };
    QMap<QString, outcome> match_in(const char* zone, QDate day = june)
    {
        use_zone(zone);
        records_support::clear_store();
        table_data_model model;
        for (const QString& path : qAsConst(files))
            model.add_file(path, true);
        model.gps_sync_order_changed(4);
        model.gps_max_time_difference(-1, 5);
        model.resort();
        gpx_track track{"day", {}};
        int n = 0;
        for (const char* time : {"04:30", "08:00", "10:00", "12:00"}) {
            ++n;
            track.points.append(gpx_point{QString::number(n), QString::number(n), utc(time, day)});
        }
        model.set_gpx_track(track);
        QMap<QString, outcome> result;
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            const int row = model.row_paths().indexOf(it.value());
            result[it.key()] = {model.recording_datetime(it.value()).toUTC(),
                                model.data(model.index(row, 2)).toString()};
        }
        return result;
    }

    void expect(const QMap<QString, outcome>& got, const char* name, const char* instant, const char* cell,
                const char* zone, QDate day = june)
    {
        const QString what = QString("%1 under %2").arg(name, zone);
        QVERIFY2(got.value(name).instant == utc(instant, day),
                 qPrintable(what + ": " + got.value(name).instant.toString(Qt::ISODate)));
        QVERIFY2(got.value(name).cell == cell, qPrintable(what + ": " + got.value(name).cell));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        // The zone written in the value.
        image("plus", {"-XMP:DateTimeOriginal=2024:06:01 10:00:00+05:30"});
        image("zero", {"-XMP:DateTimeOriginal=2024:06:01 10:00:00+00:00"});
        image("z", {"-XMP:DateTimeOriginal=2024:06:01 10:00:00Z"});
        image("minus", {"-XMP:DateTimeOriginal=2024:06:01 10:00:00-03:00"});
        image("value_before_iptc", {"-XMP:DateTimeOriginal=2024:06:01 12:00:00+02:00",
                                    "-IPTC:TimeCreated=12:00:00+05:30"});
        // Hours and minutes alone, as XMP allows.
        image("no_seconds", {"-XMP:DateTimeOriginal=2024:06:01 09:00-03:00"});
        // EXIF "OffsetTimeOriginal", and before the IPTC zone that an
        // archiving step copied on a computer set to UTC.
        image("offset", {"-DateTimeOriginal=2024:06:01 10:00:00", "-OffsetTimeOriginal=+05:30"});
        image("offset_before_iptc", {"-DateTimeOriginal=2024:06:01 10:00:00", "-OffsetTimeOriginal=+02:00"});
        use_zone("UTC");
        QCOMPARE(test_support::run_exiftool({"-q", "-overwrite_original", "-IPTC:TimeCreated<DateTimeOriginal",
                                             files["offset_before_iptc"]}),
                 0);
        // In the hour skipped in Chicago on 10 March 2024, no zone recorded.
        image("skipped_hour", {"-DateTimeOriginal=2024:03:10 02:04:00"});
        // No recording date: the file's own dates, whatever the IPTC zone.
        image("file_dates", {"-IPTC:TimeCreated=10:00:00+05:30"});
        // Videos: QuickTime CreateDate in UTC, and a creation date with a zone.
        video("clip.mp4", {"-metadata", "creation_time=2024-06-01T08:00:00Z"});
        video("phone.mov", {"-movflags", "use_metadata_tags", "-metadata",
                            "com.apple.quicktime.creationdate=2024-06-01T13:30:00+0530"});
    }

    void zone_in_the_value()
    {
        for (const char* zone : zones) {
            const auto got = match_in(zone);
            expect(got, "plus", "04:30", "G  1, 1", zone);
            expect(got, "zero", "10:00", "G  3, 3", zone);
            expect(got, "z", "10:00", "G  3, 3", zone);
            // After the track's end, beyond the limit.
            expect(got, "minus", "13:00", "?  -", zone);
            expect(got, "value_before_iptc", "10:00", "G  3, 3", zone);
            expect(got, "no_seconds", "12:00", "G  4, 4", zone);
        }
        // The clock time is kept as recorded.
        const exif_tag_map& r = exif_cache::instance()->records[files["plus"]];
        QCOMPARE(r.at("rec_hour") + r.at("rec_minute"), QString("1000"));
    }

    void offset_time_original()
    {
        for (const char* zone : zones) {
            const auto got = match_in(zone);
            expect(got, "offset", "04:30", "G  1, 1", zone);
            expect(got, "offset_before_iptc", "08:00", "G  2, 2", zone);
        }
        QCOMPARE(exif_cache::instance()->records[files["offset_before_iptc"]].at("iptc_timezone"), QString("+00:00"));
    }

    // A camera not yet set forward: its standard time, the offset in force
    // just before the change.
    void clock_time_in_skipped_hour()
    {
        const QDate day(2024, 3, 10);
        expect(match_in("America/Chicago", day), "skipped_hour", "08:04", "G  2, 2", "America/Chicago", day);
    }

    void file_dates_take_no_recorded_zone()
    {
        for (const char* zone : zones) {
            const auto got = match_in(zone);
            const QFileInfo info(files["file_dates"]);
            const QDateTime created = info.birthTime().isValid() ? info.birthTime() : info.metadataChangeTime();
            const qint64 off = got.value("file_dates").instant.secsTo(created);
            QVERIFY2(off >= 0 && off < 1, qPrintable(QString("%1 s off under %2").arg(off).arg(zone)));
        }
    }

    void videos_keep_their_recording_time()
    {
        for (const char* zone : zones) {
            const auto got = match_in(zone);
            expect(got, "clip.mp4", "08:00", "G  2, 2", zone);
            expect(got, "phone.mov", "08:00", "G  2, 2", zone);
        }
    }
};

QTEST_GUILESS_MAIN(test_recorded_instants)
#include "test_recorded_instants.moc"
