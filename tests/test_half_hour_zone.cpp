// Recording times and GPX matching under a local zone of UTC+05:30: this
// program runs in India's time zone, whatever zone the runner set.
#include "records_support.h"
#include "table_data_model.h"

#include <QtTest>

#include <ctime>

namespace {
const bool zone_set = [] {
    qputenv("TZ", "Asia/Kolkata");
    tzset();
    return true;
}();
}

class test_half_hour_zone : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(zone_set); }

    void local_time_with_half_hour_offset()
    {
        records_support::clear_store();
        table_data_model model;
        records_support::add_photo("local", "2023:05:01 10:00:00");
        records_support::add_photo("marquesas", "2023:05:01 10:00:00", false, 0, 0, "-09:30");
        model.append_row("local");
        model.append_row("marquesas");
        model.gps_datetime_format_changed("hh:mm");
        QCOMPARE(model.recording_datetime("local").offsetFromUtc(), 19800);
        QCOMPARE(model.data(model.index(0, 1)).toString(), QString("10:00  UTC+05:30"));
        QCOMPARE(model.data(model.index(1, 1)).toString(), QString("10:00  UTC-09:30"));
    }

    void photo_matched_against_utc_track()
    {
        records_support::clear_store();
        table_data_model model;
        records_support::add_photo("photo", "2023:05:01 10:00:00"); // 04:30 UTC
        model.append_row("photo");
        model.gps_sync_order_changed(4);
        model.resort();
        gpx_track track{"T",
                        {gpx_point{"1", "1", gpx_parser::parse_time("2023-05-01T04:29:00Z")},
                         gpx_point{"2", "2", gpx_parser::parse_time("2023-05-01T05:00:00")}}};
        model.set_gpx_track(track);
        QCOMPARE(model.data(model.index(0, 2)).toString(), QString("G  1, 1"));
        model.gps_max_time_difference(-1, 1);
        QCOMPARE(model.data(model.index(0, 2)).toString(), QString("G  1, 1"));
        // A zone-less GPX time is UTC, not Indian time.
        track.points[0].time = gpx_parser::parse_time("2023-05-01T10:00:30");
        model.set_gpx_track(track);
        QCOMPARE(model.data(model.index(0, 2)).toString(), QString("?  -"));
    }
};

QTEST_GUILESS_MAIN(test_half_hour_zone)
#include "test_half_hour_zone.moc"
