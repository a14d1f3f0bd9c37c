// The table model and its matching on records made from tag maps: the five
// modes, limits, markers by sort direction, entries without a usable time or
// position, counters and flags, cell values, and the model tester.
#include "exif_cache.h"
#include "records_support.h"
#include "table_data_model.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using records_support::add_photo;

namespace {
const QString up = QString(QChar(0x2191));
const QString down = QString(QChar(0x2193));
const QString own = QString(QChar(0x2190));

QString day_time(const QString& hhmm) { return "2023:05:01 " + hhmm + ":00"; }

gpx_point point(const QString& lat, const QString& lon, const QDateTime& time) { return gpx_point{lat, lon, time}; }

QDateTime local(int h, int m, int s = 0) { return QDateTime(QDate(2023, 5, 1), QTime(h, m, s), Qt::LocalTime); }
} // namespace

class test_gps_matching : public QObject {
    Q_OBJECT
    std::unique_ptr<table_data_model> model;
    std::unique_ptr<QSignalSpy> rebuilt;

    QString gps_cell(const QString& path) const
    {
        const int row = model->row_paths().indexOf(path);
        return model->data(model->index(row, 2)).toString();
    }
    QVariant write_value(const QString& path) const
    {
        const int row = model->row_paths().indexOf(path);
        return model->data(model->index(row, 2), Qt::UserRole);
    }
    QList<int> last_signal() const
    {
        const QList<QVariant> args = rebuilt->last();
        return {args[0].toInt(), args[1].toInt(), args[2].toInt()};
    }
    void add(const QString& path, const QString& hhmm, bool tagged = false, double lat = 0, double lon = 0)
    {
        add_photo(path, day_time(hhmm), tagged, lat, lon);
        model->append_row(path);
    }
    // A at 10:00 with its position, B untagged at b_time, C at 10:50 with its position.
    void abc(const QString& b_time)
    {
        add("A", "10:00", true, 47.0, 8.0);
        add("B", b_time);
        add("C", "10:50", true, 48.0, 9.0);
    }
    void mode(int m) { model->gps_sync_order_changed(m); }

private slots:
    void init()
    {
        records_support::clear_store();
        model = std::make_unique<table_data_model>();
        rebuilt = std::make_unique<QSignalSpy>(model.get(), &table_data_model::cache_rebuilt);
    }

    void closest_earlier_later_and_direction()
    {
        abc("10:20");
        // Before the first rebuild a new row has no entry.
        QCOMPARE(gps_cell("B"), QString("?  -"));
        mode(2);
        model->resort();
        QCOMPARE(model->row_paths(), QStringList({"A", "B", "C"}));
        QCOMPARE(gps_cell("B"), up + "  47.000000, 8.000000");
        QCOMPARE(gps_cell("A"), own + "  47.000000, 8.000000");
        QCOMPARE(last_signal(), QList<int>({1, 0, 3}));
        QVERIFY(model->all_assigned());
        QCOMPARE(write_value("B").value<gps_pos>().lat, QString("47.000000"));
        QVERIFY(!write_value("A").isValid()); // own position: nothing to write
        mode(0);
        QCOMPARE(gps_cell("B"), up + "  47.000000, 8.000000");
        mode(1);
        QCOMPARE(gps_cell("B"), down + "  48.000000, 9.000000");

        // Descending table: same choices, other arrows.
        model->sort(1, Qt::DescendingOrder);
        QCOMPARE(model->row_paths(), QStringList({"C", "B", "A"}));
        QCOMPARE(gps_cell("B"), up + "  48.000000, 9.000000");
        mode(0);
        QCOMPARE(gps_cell("B"), down + "  47.000000, 8.000000");
    }

    void tie_and_exact_limit()
    {
        abc("10:25");
        mode(2);
        model->resort();
        QCOMPARE(gps_cell("B"), down + "  48.000000, 9.000000");
        model->gps_max_time_difference(25, -1);
        QCOMPARE(gps_cell("B"), down + "  48.000000, 9.000000");
        model->gps_max_time_difference(24, -1);
        QCOMPARE(gps_cell("B"), QString("?  -"));
        QCOMPARE(last_signal(), QList<int>({0, 1, 3}));
        // Limits below 1 are off.
        model->gps_max_time_difference(0, -1);
        QCOMPARE(gps_cell("B"), down + "  48.000000, 9.000000");
        // The photo limit also applies to the carry modes.
        model->gps_max_time_difference(24, -1);
        mode(0);
        QCOMPARE(gps_cell("B"), QString("?  -"));
        model->gps_max_time_difference(25, -1);
        QCOMPARE(gps_cell("B"), up + "  47.000000, 8.000000");
    }

    void nothing_earlier()
    {
        add("B", "09:00");
        add("A", "10:00", true, 47.0, 8.0);
        add("C", "10:50", true, 48.0, 9.0);
        mode(0);
        model->resort();
        QCOMPARE(gps_cell("B"), QString("?  -"));
        QCOMPARE(last_signal(), QList<int>({0, 1, 3}));
        mode(1);
        QCOMPARE(gps_cell("B"), down + "  47.000000, 8.000000");
    }

    void gpx_track_mode()
    {
        add("A", "10:00", true, 47.0, 8.0);
        add("B", "10:20");
        mode(4);
        model->resort();
        // Without a track, mode 4 is mode 2 with the GPX limit.
        QCOMPARE(gps_cell("B"), up + "  47.000000, 8.000000");
        gpx_track track{"T", {point("47.5", "8.25", local(10, 22).toUTC())}};
        model->set_gpx_track(track);
        QCOMPARE(gps_cell("B"), QString("G  47.5, 8.25"));
        QCOMPARE(last_signal(), QList<int>({1, 0, 3}));
        QCOMPARE(write_value("B").value<gps_pos>().lat, QString("47.5"));

        model->gps_max_time_difference(-1, 1);
        QCOMPARE(gps_cell("B"), QString("?  -"));
        model->gps_max_time_difference(-1, 2);
        QCOMPARE(gps_cell("B"), QString("G  47.5, 8.25"));

        mode(2); // no track entries
        QCOMPARE(last_signal(), QList<int>({1, 0, 2}));

    }

    void entries_without_time_or_position_are_no_sources()
    {
        add("A", "10:00", true, 47.0, 8.0);
        add("B", "10:20");
        mode(4);
        model->resort();
        // A point without time would have distance 0 to everything, one
        // without numbers would be written as an empty position.
        model->set_gpx_track(gpx_track{"T",
                                       {point("50", "10", QDateTime()), point("", "", local(10, 21).toUTC()),
                                        point("abc", "8", local(10, 21).toUTC()),
                                        point("95", "8", local(10, 21).toUTC())}});
        QCOMPARE(gps_cell("B"), up + "  47.000000, 8.000000");
        QCOMPARE(last_signal(), QList<int>({1, 0, 6}));
        model->gps_max_time_difference(-1, 5);
        QCOMPARE(gps_cell("B"), QString("?  -"));
        QVERIFY(!model->all_assigned());

        // A photo without valid recording time gets nothing, and a tagged
        // photo without valid time gives nothing.
        init();
        add_photo("X", "2023:13:45 10:00:00", true, 10, 10); // invalid month
        model->append_row("X");
        add("B", "10:20");
        add_photo("Y", "2023:05:01 99:00:00", false); // invalid hour
        model->append_row("Y");
        model->append_row("not in store");
        for (int m : {0, 1, 2, 4}) {
            mode(m);
            for (const char* p : {"B", "Y", "not in store"})
                QCOMPARE(gps_cell(p), QString("?  -"));
            QCOMPARE(gps_cell("X"), own + "  10.000000, 10.000000");
            QCOMPARE(last_signal(), QList<int>({0, 3, 4}));
        }
        add("C", "10:30", true, 1, 2);
        mode(2);
        QCOMPARE(gps_cell("B"), down + "  1.000000, 2.000000");
        QCOMPARE(gps_cell("Y"), QString("?  -"));

        // A position with one coordinate is no position at all.
        init();
        exif_cache::instance()->store("P", {{"FileName", "P"}, {"DateTimeOriginal", day_time("10:00")},
                                            {"GPSPosition", "47 deg 30' 0.00\" N"}}, {{"System:FileName", "P"}});
        model->append_row("P");
        add("B", "10:01");
        mode(2);
        QCOMPARE(gps_cell("B"), QString("?  -"));
        QCOMPARE(gps_cell("P"), QString("?  -"));
    }

    void fixed_position_mode()
    {
        abc("10:20");
        const gps_pos fixed{"46" + QString(QChar(0xB0)) + "30'0\"", "N", "8" + QString(QChar(0xB0)) + "15'0\"", "E",
                            "46.500000", "8.250000"};
        model->gps_set_pos_changed(fixed);
        mode(3);
        model->resort();
        QVERIFY(model->is_fixed_position_mode());
        for (const char* p : {"A", "B", "C"}) {
            QCOMPARE(gps_cell(p), QString("=  46.500000, 8.250000"));
            QCOMPARE(write_value(p).value<gps_pos>().lon, QString("8.250000"));
        }
        QCOMPARE(last_signal(), QList<int>({3, 0, 3}));
        QVERIFY(model->had_gps() && model->all_assigned());

        model->gps_set_pos_changed(gps_pos());
        QCOMPARE(gps_cell("B"), QString("=  Clear GPS data"));
        QVERIFY(write_value("A").isValid() && write_value("A").value<gps_pos>().is_empty());

        mode(2);
        QVERIFY(!model->had_gps());
    }

    void unreadable_files_are_never_written()
    {
        abc("10:20");
        exif_cache::instance()->store("U", {}, {}); // a read that failed
        model->append_row("U");
        for (int m : {0, 1, 2, 3, 4}) {
            mode(m);
            QCOMPARE(gps_cell("U"), QString("?  -"));
            QVERIFY2(!write_value("U").isValid(), qPrintable(QString::number(m)));
            QVERIFY(!model->all_assigned());
        }
        QCOMPARE(last_signal(), QList<int>({1, 1, 4}));
        mode(3);
        QCOMPARE(last_signal(), QList<int>({3, 1, 4}));
    }

    void unknown_mode_and_empty_table()
    {
        QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
        for (int m : {0, 1, 2, 3, 4, 9}) {
            mode(m);
            QCOMPARE(last_signal(), QList<int>({0, 0, 0}));
            QVERIFY(model->all_assigned());
        }
        mode(4);
        model->set_gpx_track(gpx_track{"T", {point("1", "2", local(1, 0)), point("3", "4", local(2, 0))}});
        QCOMPARE(last_signal(), QList<int>({0, 0, 2}));
        QCOMPARE(changed.count(), 0); // no dataChanged over a table without cells

        abc("10:20");
        mode(9);
        QCOMPARE(last_signal(), QList<int>({0, 0, 0}));
        QVERIFY(!model->all_assigned());
        QCOMPARE(gps_cell("B"), QString("  "));
        QVERIFY(write_value("B").value<gps_pos>().is_empty());
    }

    // Modes 0, 1, 2 and 4 against a brute-force search over distinct times.
    void random_against_brute_force()
    {
        QRandomGenerator random(4711);
        for (int round = 0; round < 40; ++round) {
            init();
            const int photos = 1 + random.bounded(60);
            const int points = random.bounded(40);
            const bool descending = random.bounded(2) == 1;
            const int limit = random.bounded(3) == 0 ? 0 : 1 + random.bounded(30);
            QSet<int> used;
            auto unique_second = [&]() {
                int s = random.bounded(6 * 3600);
                while (used.contains(s))
                    s = random.bounded(6 * 3600);
                used.insert(s);
                return s;
            };
            struct source { qint64 t; QString text; bool gpx; };
            QVector<source> sources;
            QMap<QString, qint64> untagged;
            for (int i = 0; i < photos; ++i) {
                const QDateTime t = local(8, 0).addSecs(unique_second());
                const QString path = QString("p%1").arg(i);
                const bool tagged = random.bounded(4) == 0;
                const double lat = random.bounded(1800) / 20.0 - 45, lon = random.bounded(3600) / 20.0 - 90;
                add_photo(path, t.toString("yyyy:MM:dd hh:mm:ss"), tagged, lat, lon);
                model->append_row(path);
                if (tagged)
                    sources.append({t.toSecsSinceEpoch(), exif_cache::instance()->records[path].at("gps_numerical"), false});
                else
                    untagged.insert(path, t.toSecsSinceEpoch());
            }
            gpx_track track{"T", {}};
            for (int i = 0; i < points; ++i)
                track.points.append(point(QString::number(random.bounded(90)), QString::number(random.bounded(100)),
                                          local(8, 0).addSecs(unique_second()).toUTC()));
            model->sort(1, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
            model->set_gpx_track(track);
            for (int m : {0, 1, 2, 4}) {
                QVector<source> candidates = sources;
                if (m == 4)
                    for (const gpx_point& p : track.points)
                        candidates.append({p.time.toSecsSinceEpoch(), p.lat + ", " + p.lon, true});
                model->gps_max_time_difference(m == 4 ? -1 : limit, m == 4 ? limit : -1);
                mode(m);
                for (auto it = untagged.cbegin(); it != untagged.cend(); ++it) {
                    const source* before = nullptr;
                    const source* after = nullptr;
                    for (const source& c : candidates) {
                        if (c.t < it.value() && (!before || c.t > before->t))
                            before = &c;
                        if (c.t > it.value() && (!after || c.t < after->t))
                            after = &c;
                    }
                    auto ok = [&](const source* c) { return c && (limit == 0 || qAbs(c->t - it.value()) <= limit * 60); };
                    const source* chosen = nullptr;
                    bool earlier = false;
                    if (m == 0) {
                        chosen = ok(before) ? before : nullptr;
                        earlier = true;
                    } else if (m == 1) {
                        chosen = ok(after) ? after : nullptr;
                    } else if (ok(before) && (!ok(after) || it.value() - before->t < after->t - it.value())) {
                        chosen = before;
                        earlier = true;
                    } else if (ok(after)) {
                        chosen = after;
                    }
                    QString expected = "?  -";
                    if (chosen) {
                        const QString arrow = (earlier != descending) ? up : down;
                        expected = (chosen->gpx ? "G" : arrow) + "  " + chosen->text;
                    }
                    QCOMPARE(gps_cell(it.key()), expected);
                }
            }
        }
    }

    void sorting()
    {
        add("late", "12:00");
        add("early", "08:00");
        add("mid", "10:00");
        QSignalSpy override_spy(model.get(), &table_data_model::sort_order_override);
        model->sort(0, Qt::DescendingOrder);
        QCOMPARE(model->row_paths(), QStringList({"late", "early", "mid"}));
        QCOMPARE(override_spy.count(), 1);
        QCOMPARE(override_spy.last()[0].toInt(), 1);
        model->sort(1, Qt::DescendingOrder);
        QCOMPARE(model->row_paths(), QStringList({"late", "mid", "early"}));

    }

    // Each resort derives the recording times anew: a record read again
    // in between moves its row and changes the match.
    void resort_sees_a_record_read_again()
    {
        mode(0);
        add("A", "08:00", true, 47.0, 8.0);
        add("B", "09:00");
        model->resort();
        QCOMPARE(model->row_paths(), QStringList({"A", "B"}));
        QCOMPARE(last_signal(), QList<int>({1, 0, 2}));
        add_photo("A", day_time("12:00"), true, 47.0, 8.0);
        model->resort();
        QCOMPARE(model->row_paths(), QStringList({"B", "A"}));
        QCOMPARE(last_signal(), QList<int>({0, 1, 2}));
        QCOMPARE(model->recording_datetime("A"), local(12, 0));
    }

    void recording_date_column()
    {
        add_photo("/p/zone.jpg", "2023:06:01 12:00:00", false, 0, 0, "+02:00");
        add_photo("/p/half.jpg", "2023:06:01 12:00:00", false, 0, 0, "-05:30");
        add_photo("/p/local.jpg", "2023:01:15 12:00:00");
        for (const char* p : {"/p/zone.jpg", "/p/half.jpg", "/p/local.jpg"})
            model->append_row(p);
        auto cell = [&](int row) { return model->data(model->index(row, 1)).toString(); };
        QCOMPARE(cell(0), QString("-"));
        model->gps_datetime_format_changed("yyyy-MM-dd hh:mm:ss");
        QCOMPARE(cell(0), QString("2023-06-01 12:00:00  UTC+02:00"));
        QCOMPARE(cell(1), QString("2023-06-01 12:00:00  UTC-05:30"));
        QCOMPARE(cell(2), QString("2023-01-15 12:00:00  UTC+01:00")); // Berlin in winter
        QCOMPARE(model->data(model->index(1, 1), Qt::UserRole).toDateTime().offsetFromUtc(), -19800);
        QCOMPARE(model->recording_datetime("/p/zone.jpg").offsetFromUtc(), 7200);
        QVERIFY(!model->recording_datetime("/nowhere").isValid());
    }

    void model_tester()
    {
        QAbstractItemModelTester tester(model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        mode(2);
        abc("10:20");
        model->resort();
        model->gps_datetime_format_changed("hh:mm");
        model->gps_max_time_difference(5, 5);
        model->sort(1, Qt::DescendingOrder);
        model->sort(0, Qt::AscendingOrder);
        mode(3);
        model->set_gpx_track(gpx_track{"T", {point("1", "2", local(10, 21))}});
        mode(4);
        model->clear();
        mode(2);
        add("D", "11:00");
        model->resort();
    }
};

QTEST_MAIN(test_gps_matching)
#include "test_gps_matching.moc"
