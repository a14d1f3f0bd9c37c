// Time and peak memory of loading GPX files: a logger's track of 2 million
// points (about 200 MB), files nested 100,000 and 10 million levels deep,
// one of 6 million prefixed elements never closed, one declaring a million
// entities, one of 40,000 references to a 4,000-character entity, three
// whose document types use parameter entities or attribute lists, and four
// files of about 21 MB: the logger's track, the same track named by entity
// references that expand to as much as the reader accepts, a file of short
// points and one of as many points as entity references can make. The
// files are written at run time under TMPDIR and removed at the end.
//
// Every case runs in a child process of its own, so that its peak resident
// memory is its own: "reader" constructs the GPX reader alone, "window" loads
// the file through the main window (offscreen) and also reports the longest
// time the window's event loop did not run. A child that crashes is reported
// as such.
//
// Usage: bench_gpx_load [points]        (default 2000000)
// Run it through tests/run_test.sh or with TMPDIR on a disk with room for
// the track (about 104 bytes a point).
#include "bench_support.h"
#include "gpx_reader.h"
#include "gpx_samples.h"
#include "main_window.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <malloc.h>
#include <sys/resource.h>

#include <cstdio>
#include <functional>

namespace {

long peak_rss_mb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Processor time (user and system) of this process so far, in ms: on a busy
// machine the time the work itself takes.
long long cpu_ms()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000LL +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
}

int points_of(const QList<gpx_track>& tracks)
{
    int n = 0;
    for (const gpx_track& track : tracks)
        n += track.points.size();
    return n;
}

// A document type of parameter entities: big declares a general entity of
// 100,000 characters, and the lines before it, where the quotes that the
// bytes show pair up otherwise than those the reader sees, end it early to
// a scan of the bytes.
QByteArray parameter_entities(int references, bool misleading_quotes)
{
    QByteArray data("<?xml version=\"1.0\"?>\n<!DOCTYPE gpx [<!ENTITY % big \"<!ENTITY a '" + QByteArray(100000, 'x') +
                    "'>\">\n");
    if (misleading_quotes)
        data += "<!ENTITY % p \"<!ENTITY n '\">\n%p;abc'>\n<!ENTITY z \"']><x>\">\n";
    data += QByteArray("%big;").repeated(references) + "]>\n<gpx><trk><name>&a;</name></trk></gpx>\n";
    return data;
}

QByteArray attribute_list(int attributes, int points)
{
    QByteArray data("<?xml version=\"1.0\"?>\n<!DOCTYPE gpx [<!ATTLIST trkpt");
    for (int i = 0; i < attributes; ++i)
        data += " a" + QByteArray::number(i) + " CDATA #IMPLIED";
    data += ">]>\n<gpx><trk><trkseg>" +
            QByteArray("<trkpt lat=\"47.5\" lon=\"8.5\"><time>2023-05-01T10:00:00Z</time></trkpt>\n").repeated(points) +
            "</trkseg></trk></gpx>\n";
    return data;
}

// The logger's track of points, its name replaced by references to an
// entity of 4,000 characters that expand to nearly twice the file's size,
// as much as the reader accepts.
QByteArray track_named_by_entities(int points)
{
    QByteArray data = gpx_samples::long_track(points);
    const int references = int(2 * data.size() / 4000 * 0.98);
    data.replace("<name>Long log</name>", "<name>" + QByteArray("&big;").repeated(references) + "</name>");
    return data.replace("<gpx ", "<!DOCTYPE gpx [<!ENTITY big \"" + QByteArray(4000, 'x') + "\">]>\n<gpx ");
}

// A track of short points of size bytes, each written out or, with
// entities, as many of them as references to an entity of one point make
// within what the reader accepts.
QByteArray short_points(int size, bool entities)
{
    const QByteArray point = "<trkpt lat='1' lon='2'/>";
    QByteArray data("<?xml version=\"1.0\"?>\n");
    if (entities)
        data += "<!DOCTYPE gpx [<!ENTITY p \"" + point + "\">]>\n";
    data += "<gpx><trk><name>Short</name><trkseg>";
    const int count = entities ? int(2.0 * size / point.size() * 0.98) : size / point.size();
    data += (entities ? QByteArray("&p;") : point).repeated(count);
    data += QByteArray(qMax(0, size - data.size()), ' ') + "</trkseg></trk></gpx>\n";
    return data;
}

// Child: the reader alone.
int run_reader(int argc, char** argv, const QString& path)
{
    QCoreApplication app(argc, argv);
    const long long cpu_start = cpu_ms();
    QElapsedTimer timer;
    timer.start();
    int tracks = 0;
    int points = 0;
    {
        gpx_parser parser(path);
        tracks = parser.tracks.size();
        points = points_of(parser.tracks);
    }
    std::printf("RESULT %lld ms (cpu %lld ms), peak %ld MB, %d track(s), %d point(s)\n",
                static_cast<long long>(timer.elapsed()), cpu_ms() - cpu_start, peak_rss_mb(), tracks, points);
    return 0;
}

// Child: the main window's GPX loading, with a 10 ms timer that measures the
// longest pause of the event loop.
int run_window(int argc, char** argv, const QString& path)
{
    bench_support::name_application();
    QApplication app(argc, argv);
    MainWindow window;
    window.show();
    QCoreApplication::processEvents();

    QElapsedTimer since_tick;
    qint64 longest_pause = 0;
    QTimer tick;
    tick.setInterval(10);
    QObject::connect(&tick, &QTimer::timeout, [&]() {
        longest_pause = qMax(longest_pause, since_tick.restart());
    });
    tick.start();

    const long long cpu_start = cpu_ms();
    QElapsedTimer timer;
    timer.start();
    since_tick.start();
    QMetaObject::invokeMethod(&window, "load_gpx_file", Qt::DirectConnection, Q_ARG(QString, path));
    longest_pause = qMax(longest_pause, since_tick.elapsed());
    const qint64 elapsed = timer.elapsed();
    auto* edit = window.findChild<QLineEdit*>(QStringLiteral("gpx_file_edit"));
    const bool loaded = edit && edit->text() == path;
    std::printf("RESULT %lld ms (cpu %lld ms), peak %ld MB, longest event-loop pause %lld ms, %s\n",
                static_cast<long long>(elapsed), cpu_ms() - cpu_start, peak_rss_mb(),
                static_cast<long long>(longest_pause), loaded ? "track loaded" : "no track loaded");
    return 0;
}

void run_case(const QString& mode, const QString& label, const QString& path, const QProcessEnvironment& environment)
{
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--case"), mode, path});
    const bool finished = child.waitForFinished(30 * 60 * 1000);
    QString result;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n'))
        if (line.startsWith("RESULT "))
            result = QString::fromUtf8(line.mid(7));
    if (!finished) {
        child.kill();
        child.waitForFinished();
        result = QStringLiteral("did not finish within 30 minutes");
    } else if (child.exitStatus() == QProcess::CrashExit || result.isEmpty()) {
        result = QStringLiteral("crashed (signal %1)").arg(child.exitCode());
    }
    std::printf("%-8s %-44s %s\n", qUtf8Printable(mode), qUtf8Printable(label), qUtf8Printable(result));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && QByteArray(argv[1]) == "--case") {
        const QString path = QString::fromLocal8Bit(argv[3]);
        return QByteArray(argv[2]) == "window" ? run_window(argc, argv, path) : run_reader(argc, argv, path);
    }

    QCoreApplication app(argc, argv);
    const int points = argc > 1 ? QByteArray(argv[1]).toInt() : 2000000;
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/bench_gpx_load.XXXXXX"));
    if (!dir.isValid() || points <= 0)
        return 1;

    // The window must not touch the user's settings: the children get a
    // home and configuration folder of their own.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QDir(dir.path()).mkpath(QStringLiteral("home/.config"));
    environment.insert(QStringLiteral("HOME"), dir.filePath(QStringLiteral("home")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("home/.config")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    const QString long_track = dir.filePath(QStringLiteral("long.gpx"));
    if (!gpx_samples::write_long_track(long_track, points))
        return 1;
    // Files whose size lies in their nesting or their document type, each
    // made and written in turn: a child would count this process's memory
    // at its start as its own.
    const QList<QPair<QString, std::function<QByteArray()>>> odd_files = {
        {QStringLiteral("100,000 levels deep"), [] { return gpx_samples::deeply_nested(100000); }},
        {QStringLiteral("10 million levels deep"), [] { return gpx_samples::deeply_nested(10000000); }},
        {QStringLiteral("6 million unclosed prefixed elements"), [] { return gpx_samples::unclosed_prefixed(6000000); }},
        {QStringLiteral("1 million entity declarations"), [] { return gpx_samples::many_declarations(1000000); }},
        {QStringLiteral("40,000 x 4,000-char entity"), [] { return gpx_samples::entity_expansion(40000, 4000); }},
        {QStringLiteral("12,000 parameter refs, misleading quotes"), [] { return parameter_entities(12000, true); }},
        {QStringLiteral("8,000 parameter refs"), [] { return parameter_entities(8000, false); }},
        {QStringLiteral("40,000 attributes, 20,000 points"), [] { return attribute_list(40000, 20000); }},
        {QStringLiteral("track, 200,000 points"), [] { return gpx_samples::long_track(200000); }},
        {QStringLiteral("same, name of entity refs"), [] { return track_named_by_entities(200000); }},
        {QStringLiteral("short points"), [] { return short_points(21000000, false); }},
        {QStringLiteral("short points from entity refs"), [] { return short_points(21000000, true); }},
    };
    QStringList odd_paths;
    for (const auto& odd : odd_files) {
        odd_paths << dir.filePath(QStringLiteral("odd%1.gpx").arg(odd_paths.size()));
        QFile file(odd_paths.last());
        const QByteArray content = odd.second();
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            return 1;
    }
    // The heap that made them goes back to the system: the children start
    // as copies of this process.
    malloc_trim(0);

    // The long track three times each: figures on a shared machine vary.
    const QString track_label =
        QStringLiteral("track, %1 points, %2 MB").arg(points).arg(QFileInfo(long_track).size() / 1e6, 0, 'f', 1);
    for (int run = 0; run < 3; ++run)
        run_case(QStringLiteral("reader"), track_label, long_track, environment);
    for (int run = 0; run < 3; ++run)
        run_case(QStringLiteral("window"), track_label, long_track, environment);
    for (int i = 0; i < odd_files.size(); ++i)
        run_case(QStringLiteral("reader"),
                 QStringLiteral("%1, %2 KB").arg(odd_files[i].first).arg(QFileInfo(odd_paths[i]).size() / 1000),
                 odd_paths[i], environment);
    return 0;
}
