// The GPX reader on files written at test time.
#include "gpx_reader.h"
#include "gpx_samples.h"
#include "stream_capture.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// Defined at the end: moc reads no raw string literals.
static QByteArray full_gpx();

// What the reader makes of the file at path: its lines on standard output,
// then every track with its points, one line each.
static QString describe(const QString& path)
{
    const auto time_text = [](const QDateTime& t) {
        if (!t.isValid())
            return QString("invalid");
        return QString("%1 %2 spec %3 offset %4")
            .arg(t.toMSecsSinceEpoch())
            .arg(t.toString(Qt::ISODateWithMs))
            .arg(int(t.timeSpec()))
            .arg(t.offsetFromUtc());
    };
    test_support::stream_capture capture;
    QString tracks;
    {
        gpx_parser parser(path);
        for (const gpx_track& track : qAsConst(parser.tracks)) {
            tracks += QString("track [%1] %2\n").arg(track.name).arg(track.points.size());
            for (const gpx_point& p : track.points)
                tracks += QString("  [%1] [%2] %3\n").arg(p.lat, p.lon, time_text(p.time));
        }
    }
    return QString::fromLocal8Bit(capture.out().c_str()) + tracks;
}

class test_gpx_reader : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString write(const QString& name, const QByteArray& content)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        file.write(content);
        return path;
    }

private slots:
    void tracks_segments_and_waypoints()
    {
        const QString path = write("full.gpx", full_gpx());
        gpx_parser parser(path);
        QCOMPARE(parser.tracks.size(), 3);
        QCOMPARE(parser.tracks[0].name, QString("Morning"));
        QCOMPARE(parser.tracks[1].name, QString("Track 2"));
        QCOMPARE(parser.tracks[2].name, QString("Waypoints"));

        const QList<gpx_point>& points = parser.tracks[0].points;
        QCOMPARE(points.size(), 7);
        QCOMPARE(points[0].lat, QString("47.5"));
        QCOMPARE(points[0].lon, QString("8.25"));
        QCOMPARE(points[0].time, QDateTime(QDate(2023, 5, 1), QTime(10, 20, 30), Qt::UTC));
        QCOMPARE(points[0].time.timeSpec(), Qt::UTC);
        // Pretty-printed time text is trimmed.
        QCOMPARE(points[1].time, QDateTime(QDate(2023, 5, 1), QTime(10, 21, 30), Qt::UTC));
        QCOMPARE(points[2].time.offsetFromUtc(), 7200);
        QCOMPARE(points[2].time.toUTC().time(), QTime(10, 21, 30));
        // A time without zone is UTC, as GPX defines it.
        QCOMPARE(points[3].time, QDateTime(QDate(2023, 5, 1), QTime(10, 30), Qt::UTC));
        QCOMPARE(points[3].time.offsetFromUtc(), 0);
        QCOMPARE(points[4].lon, QString());
        QVERIFY(!points[4].time.isValid());
        QCOMPARE(points[5].lat, QString());
        QVERIFY(!points[5].time.isValid());
        QCOMPARE(points[6].time.time().msec(), 500);

        QCOMPARE(parser.tracks[1].points.size(), 1);
        QCOMPARE(parser.tracks[2].points.size(), 3);
        QVERIFY(!parser.tracks[2].points[0].time.isValid());
        QVERIFY(parser.tracks[2].points[1].time.isValid());
    }

    // Exports of many devices and programs give the same tracks, points,
    // times and messages as they always did.
    void varied_files_as_before()
    {
        QString all;
        for (const auto& file : gpx_samples::varied_files())
            all += "== " + file.first + "\n" + describe(write(file.first, file.second));
        const QStringList actual = all.split('\n');
        const QStringList expected = gpx_samples::varied_results().split('\n');
        for (int i = 0; i < qMin(actual.size(), expected.size()); ++i)
            QCOMPARE(actual[i], expected[i]);
        QCOMPARE(actual.size(), expected.size());
    }

    // Files that are not quite well-formed, or in a less common encoding,
    // give their points and no other; one cut off keeps those before the
    // cut and says where reading stopped; one beyond the limits is refused.
    void lenient_files()
    {
        for (const gpx_samples::lenient_file& file : gpx_samples::lenient_files()) {
            test_support::stream_capture capture;
            QString track;
            {
                gpx_parser parser(write(file.name, file.content));
                for (const gpx_track& t : qAsConst(parser.tracks)) {
                    QStringList points;
                    for (const gpx_point& p : t.points)
                        // An invalid time keeps its fields in Qt: it is named.
                        points << QString("%1 %2 %3").arg(p.time.isValid() ? p.time.toUTC().toString(Qt::ISODate)
                                                                           : "invalid",
                                                          p.lat, p.lon);
                    track += "[" + t.name + "] " + points.join("; ");
                }
            }
            QVERIFY2(track == file.track, qPrintable(file.name + ": " + track));
            const QString log = QString::fromLocal8Bit(capture.out().c_str());
            const int stopped = log.indexOf("read only up to ");
            const int refused = log.indexOf("GPX file refused, ");
            const QString end = refused >= 0 ? "refused, " + log.mid(refused + 18).section(": ", 0, 0)
                                : stopped < 0 ? QString()
                                              : log.mid(stopped + 16, file.stopped_at.size());
            QVERIFY2(end == file.stopped_at, qPrintable(file.name + ": " + end));
        }
    }

    // Nesting deeper than any stack would allow ends neither the program
    // nor the read: the file is refused, with a line naming it.
    void deep_nesting()
    {
        test_support::stream_capture capture;
        const QString path = write("deep.gpx", gpx_samples::deeply_nested(100000));
        gpx_parser parser(path);
        QVERIFY(parser.tracks.isEmpty());
        QVERIFY(capture.out().find("refused") != std::string::npos);
        QVERIFY(capture.out().find(path.toStdString()) != std::string::npos);
    }

    // Past the first 100 unknown elements and nodes at the top level the log
    // only counts them; progress is reported block by block, also through a
    // long comment of which the XML reader is given only the start.
    void unknown_nodes_and_long_comment()
    {
        test_support::stream_capture capture;
        const QString path = write("unknown.gpx", "<gpx><!--" + QByteArray(20 << 20, 'c') + "-->" +
                                                      QByteArray("<u/>").repeated(150) + "<wpt lat='1' lon='2'/></gpx>");
        int calls = 0;
        gpx_parser parser(path, nullptr, [&calls](qint64, qint64) { ++calls; });
        QCOMPARE(parser.tracks.size(), 1);
        QVERIFY2(calls > 20, qPrintable(QString::number(calls)));
        const QString log = QString::fromLocal8Bit(capture.out().c_str());
        QCOMPARE(log.count("Unknown element found: u\n"), 99);
        QVERIFY(log.endsWith("51 more unknown elements and nodes at the top level are not named: " + path + "\n"));
    }

    // Elements with a prefix bound to a GPX namespace are GPX elements;
    // with a prefix bound elsewhere they are not.
    void namespace_prefix()
    {
        test_support::stream_capture capture;
        gpx_parser parser(write(
            "prefixed.gpx",
            "<?xml version=\"1.0\"?>\n<gpx:gpx xmlns:gpx=\"http://www.topografix.com/GPX/1/1\" version=\"1.1\">"
            "<gpx:trk><gpx:name>Prefixed</gpx:name><gpx:trkseg><gpx:trkpt lat=\"47.5\" lon=\"8.5\">"
            "<gpx:time>2023-05-01T10:00:00Z</gpx:time></gpx:trkpt></gpx:trkseg></gpx:trk>"
            "<g:trk xmlns:g=\"http://www.topografix.com/GPX/1/0\"><g:trkseg><g:trkpt lat=\"1\" lon=\"2\"/>"
            "</g:trkseg></g:trk>"
            "<gpx:trk xmlns:gpx=\"urn:other\"/><gpx:wpt lat=\"3\" lon=\"4\"/></gpx:gpx>\n"));
        QCOMPARE(parser.tracks.size(), 3);
        QCOMPARE(parser.tracks[0].name, QString("Prefixed"));
        QCOMPARE(parser.tracks[0].points.size(), 1);
        QCOMPARE(parser.tracks[0].points[0].time, QDateTime(QDate(2023, 5, 1), QTime(10, 0), Qt::UTC));
        QCOMPARE(parser.tracks[1].name, QString("Track 2"));
        QCOMPARE(parser.tracks[1].points.size(), 1);
        QCOMPARE(parser.tracks[2].name, QString("Waypoints"));
        QCOMPARE(capture.out(), std::string("Track is named Prefixed\nTrack is named Track 2\n"
                                            "Unknown element found: gpx:trk\n"));
    }

    void zone_less_time_in_skipped_hour()
    {
        // 02:30 does not exist in Berlin on 26 March 2023; as UTC it does.
        const QDateTime time = gpx_parser::parse_time(" 2023-03-26T02:30:00 ");
        QCOMPARE(time, QDateTime(QDate(2023, 3, 26), QTime(2, 30), Qt::UTC));
        QVERIFY(!gpx_parser::parse_time("").isValid());
        QVERIFY(!gpx_parser::parse_time("yesterday").isValid());
        QCOMPARE(gpx_parser::parse_time("2023-05-01T10:00:00-05:30").offsetFromUtc(), -19800);
    }

    void special_files()
    {
        gpx_parser only_waypoints(write("wpt.gpx", "<gpx><wpt lat='1' lon='2'/></gpx>"));
        QCOMPARE(only_waypoints.tracks.size(), 1);
        QCOMPARE(only_waypoints.tracks[0].name, QString("Waypoints"));

        gpx_parser only_metadata(write("meta.gpx", "<gpx><metadata><time>2023-05-01T10:00:00Z</time></metadata></gpx>"));
        QVERIFY(only_metadata.tracks.isEmpty());

        gpx_parser empty_track(write("empty.gpx", "<gpx><trk><name>E</name></trk></gpx>"));
        QCOMPARE(empty_track.tracks.size(), 1);
        QVERIFY(empty_track.tracks[0].points.isEmpty());

        gpx_parser missing(dir.filePath("missing.gpx"));
        QVERIFY(missing.tracks.isEmpty());

        gpx_parser malformed(write("bad.gpx", "<gpx><trk><name>x</name><trkseg></trk>"));
        QVERIFY(malformed.tracks.isEmpty());

        gpx_parser not_xml(write("binary.gpx", QByteArray("\x00\x01\x02garbage", 10)));
        QVERIFY(not_xml.tracks.isEmpty());
    }
};

static QByteArray full_gpx()
{
    return QByteArray(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.1\" creator=\"test\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
        "  <!-- a comment -->\n"
        "  <metadata><name>ignored</name></metadata>\n"
        "  <wpt lat=\"47.1\" lon=\"8.1\"><name>W1</name></wpt>\n"
        "  <trk>\n"
        "    <name>Morning</name>\n"
        "    <trkseg>\n"
        "      <trkpt lat=\"47.5\" lon=\"8.25\"><ele>400</ele><time>2023-05-01T10:20:30Z</time></trkpt>\n"
        "      <trkpt lat=\"47.6\" lon=\"8.26\"><time>\n"
        "          2023-05-01T10:21:30Z\n"
        "        </time></trkpt>\n"
        "      <trkpt lat=\"47.7\" lon=\"8.27\"><time>2023-05-01T12:21:30+02:00</time></trkpt>\n"
        "    </trkseg>\n"
        "    <trkseg>\n"
        "      <trkpt lat=\"1\" lon=\"2\"><time>2023-05-01T10:30:00</time></trkpt>\n"
        "      <trkpt lat=\"3\"><time>not a time</time></trkpt>\n"
        "      <trkpt lon=\"4\"/>\n"
        "      <trkpt lat=\"5\" lon=\"6\"><time>2023-05-01T10:40:00.500Z</time></trkpt>\n"
        "    </trkseg>\n"
        "  </trk>\n"
        "  <rte><name>route</name></rte>\n"
        "  <trk><trkseg><trkpt lat=\"9\" lon=\"9\"/></trkseg></trk>\n"
        "  <wpt lat=\"47.2\" lon=\"8.2\"><time>2023-05-01T09:00:00Z</time></wpt>\n"
        "  <wpt lat=\"47.3\" lon=\"8.3\"/>\n"
        "</gpx>\n"
        "\n");
}

QTEST_GUILESS_MAIN(test_gpx_reader)
#include "test_gpx_reader.moc"
