// Time and peak memory of loading GPX files: a logger's track of 2 million
// points (about 200 MB), files nested 100,000 and 10 million levels deep,
// one of 6 million prefixed elements never closed, one declaring a million
// entities, one of 40,000 references to a 4,000-character entity, three
// whose document types use parameter entities or attribute lists, and four
// files of about 21 MB: the logger's track, the same track named by entity
// references that expand to as much as the reader accepts, a file of short
// points and one of as many points as entity references can make.
//
// Then files whose reading could grow faster than their size, each beside
// the logger's track of the same size (about 104 bytes a point): a name of
// 1,000 references to an entity "a$" (a name of more than letters and
// digits) of 1,000 references to an entity of 1,000 characters (8 KB); a
// point of 40,000 attributes (0.43 MB) and one of 100,000 (1.1 MB); a root
// of 20,000 namespace bindings, after one of the prefix q to GPX 1.1,
// holding a million <q:trk/> (8.5 MB); a comment and an instruction of
// 100 MB before the root, a CDATA section of 100 MB in a track's name and a
// comment of 100 MB in the document type (beside one 100 MB track); 50 MB
// of <trk/> in the root; 100 MB of blanks after "<!DOCTYPE"; a comment of
// 200 MB; a document type inside the root whose entities expand to a
// million characters, referred to 100 times; an entity whose value is
// 200,000 "&#38;" (1 MB); and a root of 90 namespace bindings holding a
// million <q:trk/>. And: two document types, the second declaring what a
// reference to the first's entity expands into, with the references in one
// name or in a thousand; 4,000 document types; a few hundred bytes of
// entities that make 700,000 points or 10,000 tags of 100 attributes; 50 MB
// of references to an entity <wpt/>, of tags of 100 attributes from an
// entity, of tags of 100, 32 and 24 attributes (plain, and all of one local
// name), of undeclared references and of unknown elements at the top
// level; an entity value of 90 MB in 100 MB; a latitude of 13 references to
// an entity of 7 million characters (50 MB); and a character reference of
// 60 and of 250 MB after a bare '&', which the mender reads.
//
// The files are written at run time under TMPDIR, one at a time just before
// their rows run, the big ones a megabyte at a time, and each is removed
// after its row.
//
// Every case runs in a child process of its own, so that its peak resident
// memory is its own: "reader" constructs the GPX reader alone, "window" loads
// the file through the main window (offscreen) and also reports the longest
// time the window's event loop did not run. Before it reads, a child limits
// its address space to 6 GB (RLIMIT_AS), so that a case that would take more
// memory fails with bad_alloc (reported, or a crash) instead of filling the
// machine; a child that has not finished after 10 minutes is killed and
// reported as such, and a child that crashes is reported as such.
//
// Usage: bench_gpx_load [points]        (default 2000000)
// With points 0 the rows of the logger's long track (three through the
// reader, three through the window) are left out and only the other files'
// rows run. Run it through tests/run_test.sh or with TMPDIR on a disk with a
// few GB free (the long track takes about 104 bytes a point).
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

#include <cmath>
#include <cstdio>
#include <functional>
#include <new>

namespace {

// What a child may take: address space, and time before it is killed.
constexpr rlim_t child_address_space = rlim_t(6) << 30;
constexpr int child_minutes = 10;

void limit_address_space()
{
    rlimit limit{};
    limit.rlim_cur = child_address_space;
    limit.rlim_max = child_address_space;
    if (setrlimit(RLIMIT_AS, &limit) != 0)
        std::perror("setrlimit");
}

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

// A track of one point whose document type declares count entities.
QByteArray many_declarations(int count)
{
    QByteArray data("<?xml version=\"1.0\"?>\n<!DOCTYPE gpx [\n");
    data.reserve(data.size() + count * 24 + 256);
    for (int i = 0; i < count; ++i)
        data += "<!ENTITY e" + QByteArray::number(i) + " \"x\">\n";
    data += "]>\n<gpx version=\"1.1\"><trk><name>Declared</name><trkseg><trkpt lat=\"47.5\" lon=\"8.5\">"
            "<time>2023-05-01T10:00:00Z</time></trkpt></trkseg></trk></gpx>\n";
    return data;
}

// A track of one point whose name is references times an entity of length
// characters.
QByteArray entity_expansion(int references, int length)
{
    QByteArray data("<?xml version=\"1.0\"?>\n<!DOCTYPE gpx [<!ENTITY big \"" + QByteArray(length, 'x') +
                    "\">]>\n<gpx version=\"1.1\"><trk><name>");
    data += QByteArray("&big;").repeated(references);
    data += "</name><trkseg><trkpt lat=\"47.5\" lon=\"8.5\"><time>2023-05-01T10:00:00Z</time></trkpt>"
            "</trkseg></trk></gpx>\n";
    return data;
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

// Where write_bulk puts its chunks.
const QByteArray bulk_marker = "@BULK@";

// Writes around with bulk_marker replaced by count times chunk, a chunk at a
// time, so that the file is never whole in memory.
bool write_bulk(const QString& path, const QByteArray& around, const QByteArray& chunk, qint64 count)
{
    const int at = around.indexOf(bulk_marker);
    QFile file(path);
    if (at < 0 || !file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(around.left(at)) != at)
        return false;
    for (qint64 i = 0; i < count; ++i)
        if (file.write(chunk) != chunk.size())
            return false;
    const QByteArray rest = around.mid(at + bulk_marker.size());
    return file.write(rest) == rest.size() && file.flush();
}

bool write_content(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size() &&
           file.flush();
}

// The logger's track of three points, with prolog after the XML declaration
// and the track's name replaced by name.
QByteArray small_track(const QByteArray& prolog, const QByteArray& name = "Long log")
{
    QByteArray data = gpx_samples::long_track(3);
    data.replace("<name>Long log</name>", "<name>" + name + "</name>");
    return data.insert(data.indexOf('\n') + 1, prolog);
}

// How many points the logger's track needs to be about size bytes long.
int track_points_for(qint64 size)
{
    static const qint64 empty = gpx_samples::long_track(0).size();
    static const double per_point = (gpx_samples::long_track(10000).size() - empty) / 10000.0;
    return qMax(1, int(std::lround((size - empty) / per_point)));
}

// A name of references times an entity a$ of inner references to an entity
// of length characters, references times inner times length characters in
// all; the reader's scan of the text does not take "a$" for a name.
QByteArray entities_named_otherwise(int references, int inner, int length)
{
    return small_track("<!DOCTYPE gpx [<!ENTITY b \"" + QByteArray(length, 'x') + "\"><!ENTITY a$ \"" +
                           QByteArray("&b;").repeated(inner) + "\">]>\n",
                       QByteArray("&a$;").repeated(references));
}

// Five points, the third of which has attributes attributes besides lat and
// lon.
QByteArray many_attributes(int attributes)
{
    QByteArray more;
    for (int i = 0; i < attributes; ++i)
        more += " a" + QByteArray::number(i) + "=\"1\"";
    QByteArray data = gpx_samples::long_track(5);
    int at = 0;
    for (int i = 0; i < 3; ++i)
        at = data.indexOf("<trkpt ", at) + 1;
    return data.insert(data.indexOf('>', at), more);
}

// The root binds q to GPX 1.1 and then prefixes p0 ... to namespaces of
// their own, and holds tracks times <q:trk/> before the logger's small track.
QByteArray many_bindings(int bindings, int tracks)
{
    QByteArray root = " xmlns:q=\"http://www.topografix.com/GPX/1/1\"";
    for (int i = 0; i < bindings; ++i)
        root += " xmlns:p" + QByteArray::number(i) + "=\"urn:x:" + QByteArray::number(i) + "\"";
    QByteArray data = gpx_samples::long_track(3);
    data.insert(data.indexOf('>', data.indexOf("<gpx ")), root);
    return data.insert(data.indexOf(" <trk>"), QByteArray("<q:trk/>").repeated(tracks) + "\n");
}

// About 1 MB of lines of text, none of which ends a comment, an instruction
// or a CDATA section.
QByteArray text_chunk()
{
    return QByteArray("the quick brown fox jumps over the lazy dog 01234\n").repeated(20000);
}

// A file of about megabytes MB of text_chunk() in around.
bool write_long_item(const QString& path, const QByteArray& around, int megabytes)
{
    const QByteArray chunk = text_chunk();
    return write_bulk(path, around, chunk, qint64(megabytes) * 1000000 / chunk.size());
}

// About megabytes MB of <trk/> in the root, before the logger's small track.
bool write_empty_tracks(const QString& path, int megabytes)
{
    const QByteArray chunk = QByteArray("<trk/>").repeated(1000000 / 6);
    QByteArray around = gpx_samples::long_track(3);
    around.insert(around.indexOf(" <trk>"), bulk_marker + "\n");
    return write_bulk(path, around, chunk, qint64(megabytes) * 1000000 / chunk.size());
}

// Entities e0 of length characters and e1 to e<levels>, each ten
// references to the one before: the last expands to length * 10^levels.
QByteArray nested_entities(int levels, int length)
{
    QByteArray subset = "<!ENTITY e0 \"" + QByteArray(length, 'x') + "\">";
    for (int i = 1; i <= levels; ++i)
        subset += "<!ENTITY e" + QByteArray::number(i) + " \"" +
                  ("&e" + QByteArray::number(i - 1) + ";").repeated(10) + "\">";
    return subset;
}

// A root element that holds a document type of entities nested levels
// deep, ten references each, to an entity of ten characters, and a track
// whose name holds references times the outermost entity.
QByteArray doctype_in_root(int levels, int references)
{
    const QByteArray subset = nested_entities(levels, 10);
    QByteArray data = gpx_samples::long_track(3);
    return data.insert(data.indexOf('>', data.indexOf("<gpx ")) + 1,
                       "<!DOCTYPE d [" + subset + "]><trk><name>" +
                           ("&e" + QByteArray::number(levels) + ";<b/>").repeated(references) + "</name></trk>");
}

// A tag of attributes attributes: plain ones (a0, a1, ...), or all of one
// local name under prefixes of their own (p0:a, p1:a, ...).
QByteArray tag_of_attributes(int attributes, bool one_local_name)
{
    QByteArray tag = "<x";
    for (int i = 0; i < attributes; ++i)
        tag += (one_local_name ? " p" + QByteArray::number(i) + ":a" : " a" + QByteArray::number(i)) + "=''";
    return tag + "/>\n";
}

// Two document types: the first declares a as a reference to b, which only
// the second declares, as 6 million characters; then 1,000 references to a,
// in one track's name or each in a name of its own.
QByteArray second_doctype(bool one_name)
{
    const QByteArray references = one_name ? "<trk><name>" + QByteArray("&a;").repeated(1000) + "</name></trk>"
                                           : QByteArray("<trk><name>&a;</name></trk>").repeated(1000);
    return small_track("<!DOCTYPE gpx [<!ENTITY a \"&b;\">]>\n<!DOCTYPE gpx [" + nested_entities(5, 60) +
                           "<!ENTITY b \"&e5;\">]>\n")
        .replace("<trk>", references + "<trk>");
}

// count document types, each declaring an entity of its own.
QByteArray many_doctypes(int count)
{
    QByteArray doctypes;
    for (int i = 0; i < count; ++i)
        doctypes += "<!DOCTYPE gpx [<!ENTITY e" + QByteArray::number(i) + " \"x\">]>\n";
    return small_track(doctypes);
}

// A few hundred bytes of entities that expand into markup: 700,000 points,
// or 10,000 tags of 100 attributes each.
QByteArray points_from_entities()
{
    return small_track("<!DOCTYPE gpx [<!ENTITY p \"<trkpt/>\">" + nested_entities(4, 1).replace("x", "&p;") +
                           "]>\n")
        .replace("<trkseg>", "<trkseg>" + QByteArray("&e4;").repeated(70));
}
QByteArray attribute_tags_from_entities()
{
    return small_track("<!DOCTYPE gpx [<!ENTITY t \"" + tag_of_attributes(100, false).trimmed() + "\">" +
                       nested_entities(4, 1).replace("x", "&t;") + "]>\n")
        .replace("<trkseg>", "<trkseg><extensions>&e4;</extensions>");
}

// About megabytes MB of chunk in a point's extensions, in the root (top
// level) or, with a document type, after it.
bool write_repeated(const QString& path, int megabytes, const QByteArray& chunk, bool top_level = false,
                    const QByteArray& doctype = QByteArray())
{
    const QByteArray repeated = chunk.repeated(qMax(1, 100000 / chunk.size()));
    QByteArray around = small_track(doctype);
    if (top_level)
        around.insert(around.indexOf(" <trk>"), bulk_marker);
    else
        around.insert(around.indexOf("<ele>"), "<extensions>" + bulk_marker + "</extensions>");
    return write_bulk(path, around, repeated, qint64(megabytes) * 1000000 / repeated.size());
}

// The logger's track of about megabytes MB whose first point's latitude is
// references times an entity of length characters.
bool write_lat_of_references(const QString& path, int megabytes, int references, int length)
{
    QByteArray data = gpx_samples::long_track(track_points_for(qint64(megabytes) * 1000000));
    data.replace(data.indexOf("lat=\"") + 5, 11, QByteArray("&e;").repeated(references));
    data.insert(data.indexOf('\n') + 1, "<!DOCTYPE gpx [<!ENTITY e \"" + QByteArray(length, '4') + "\">]>\n");
    return write_content(path, data);
}

// A track whose second point has a description of a character reference
// with about megabytes MB of leading zeros, after a bare '&' in the first
// point's: a file read again with its slips mended.
bool write_long_character_reference(const QString& path, int megabytes)
{
    QByteArray around = small_track("");
    around.insert(around.indexOf("<ele>"), "<desc>Fish & Chips</desc>");
    around.insert(around.indexOf("<ele>", around.indexOf("</trkpt>")), "<desc>&#" + bulk_marker + "65;</desc>");
    return write_bulk(path, around, QByteArray(1000000, '0'), megabytes);
}

// Child: the reader alone.
int run_reader(int argc, char** argv, const QString& path)
{
    QCoreApplication app(argc, argv);
    limit_address_space();
    const long long cpu_start = cpu_ms();
    QElapsedTimer timer;
    timer.start();
    int tracks = 0;
    int points = 0;
    try {
        gpx_parser parser(path);
        tracks = parser.tracks.size();
        points = points_of(parser.tracks);
    } catch (const std::bad_alloc&) {
        std::printf("RESULT out of memory (bad_alloc) after %lld ms (cpu %lld ms), peak %ld MB\n",
                    static_cast<long long>(timer.elapsed()), cpu_ms() - cpu_start, peak_rss_mb());
        return 0;
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

    limit_address_space();
    const long long cpu_start = cpu_ms();
    QElapsedTimer timer;
    timer.start();
    since_tick.start();
    try {
        QMetaObject::invokeMethod(&window, "load_gpx_file", Qt::DirectConnection, Q_ARG(QString, path));
    } catch (const std::bad_alloc&) {
        std::printf("RESULT out of memory (bad_alloc) after %lld ms (cpu %lld ms), peak %ld MB\n",
                    static_cast<long long>(timer.elapsed()), cpu_ms() - cpu_start, peak_rss_mb());
        return 0;
    }
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
    QElapsedTimer timer;
    timer.start();
    const bool finished = child.waitForFinished(child_minutes * 60 * 1000);
    QString result;
    for (const QByteArray& line : child.readAllStandardOutput().split('\n'))
        if (line.startsWith("RESULT "))
            result = QString::fromUtf8(line.mid(7));
    if (!finished) {
        child.kill();
        child.waitForFinished();
        result = QStringLiteral("did not finish within %1 minutes").arg(child_minutes);
    } else if (child.exitStatus() == QProcess::CrashExit || result.isEmpty()) {
        result = QStringLiteral("crashed (%1 %2) after %3 ms%4")
                     .arg(child.exitStatus() == QProcess::CrashExit ? QStringLiteral("signal")
                                                                     : QStringLiteral("exit code"))
                     .arg(child.exitCode())
                     .arg(timer.elapsed())
                     .arg(child.readAllStandardError().contains("bad_alloc") ? QStringLiteral(", bad_alloc")
                                                                              : QString());
    }
    std::printf("%-8s %-52s %s\n", qUtf8Printable(mode), qUtf8Printable(label), qUtf8Printable(result));
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
    bool number = true;
    const int points = argc > 1 ? QByteArray(argv[1]).toInt(&number) : 2000000;
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/bench_gpx_load.XXXXXX"));
    if (!dir.isValid() || !number || points < 0 || argc > 2) {
        std::fprintf(stderr, "usage: bench_gpx_load [points]   (0 leaves the long track out)\n");
        return 1;
    }

    // The window must not touch the user's settings: the children get a
    // home and configuration folder of their own.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QDir(dir.path()).mkpath(QStringLiteral("home/.config"));
    environment.insert(QStringLiteral("HOME"), dir.filePath(QStringLiteral("home")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("home/.config")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const QString reader = QStringLiteral("reader");

    if (points > 0) {
        const QString long_track = dir.filePath(QStringLiteral("long.gpx"));
        if (!gpx_samples::write_long_track(long_track, points))
            return 1;
        // The long track three times each: figures on a shared machine vary.
        const QString track_label =
            QStringLiteral("track, %1 points, %2 MB").arg(points).arg(QFileInfo(long_track).size() / 1e6, 0, 'f', 1);
        for (int run = 0; run < 3; ++run)
            run_case(reader, track_label, long_track, environment);
        for (int run = 0; run < 3; ++run)
            run_case(QStringLiteral("window"), track_label, long_track, environment);
        QFile::remove(long_track);
    }

    // The other files, each made and written just before its row and
    // removed after it: a child would count this process's memory at its
    // start as its own, and the big ones together would fill a small disk.
    // A row marked "beside" follows the logger's track of its size, once for
    // the rows of one size that follow each other.
    using writer = std::function<bool(const QString&)>;
    const auto in_memory = [](const std::function<QByteArray()>& make) -> writer {
        return [make](const QString& path) { return write_content(path, make()); };
    };
    struct odd_file {
        QString label;
        writer write;
        bool beside;
    };
    const QByteArray long_comment_around = small_track("<!--" + bulk_marker + "-->\n");
    const QByteArray long_instruction_around = small_track("<?note " + bulk_marker + "?>\n");
    const QByteArray long_cdata_around = small_track("", "<![CDATA[" + bulk_marker + "]]>");
    const QByteArray doctype_comment_around = small_track("<!DOCTYPE gpx [<!--" + bulk_marker + "-->]>\n");
    const QByteArray doctype_blanks_around = small_track("<!DOCTYPE" + bulk_marker + "gpx>\n");
    // 50 MB of tags of count attributes, plain or all of one local name.
    const auto tags = [](int count, bool one_local_name) {
        return odd_file{QStringLiteral("50 MB, tags of %1 attributes%2")
                            .arg(count)
                            .arg(one_local_name ? QStringLiteral(" of one local name") : QString()),
                        [count, one_local_name](const QString& path) {
                            return write_repeated(path, 50, tag_of_attributes(count, one_local_name));
                        },
                        false};
    };
    const QList<odd_file> odd_files = {
        {QStringLiteral("100,000 levels deep"), in_memory([] { return gpx_samples::deeply_nested(100000); }), false},
        {QStringLiteral("10 million levels deep"), in_memory([] { return gpx_samples::deeply_nested(10000000); }),
         false},
        {QStringLiteral("6 million unclosed prefixed elements"),
         in_memory([] { return gpx_samples::unclosed_prefixed(6000000); }), false},
        {QStringLiteral("1 million entity declarations"),
         in_memory([] { return many_declarations(1000000); }), false},
        {QStringLiteral("40,000 x 4,000-char entity"), in_memory([] { return entity_expansion(40000, 4000); }),
         false},
        {QStringLiteral("12,000 parameter refs, misleading quotes"), in_memory([] { return parameter_entities(12000, true); }),
         false},
        {QStringLiteral("8,000 parameter refs"), in_memory([] { return parameter_entities(8000, false); }), false},
        {QStringLiteral("40,000 attributes, 20,000 points"), in_memory([] { return attribute_list(40000, 20000); }), false},
        {QStringLiteral("track, 200,000 points"), in_memory([] { return gpx_samples::long_track(200000); }), false},
        {QStringLiteral("same, name of entity refs"), in_memory([] { return track_named_by_entities(200000); }), false},
        {QStringLiteral("short points"), in_memory([] { return short_points(21000000, false); }), false},
        {QStringLiteral("short points from entity refs"), in_memory([] { return short_points(21000000, true); }), false},
        {QStringLiteral("name of 1,000 &a$; (each 1,000 &b;)"),
         in_memory([] { return entities_named_otherwise(1000, 1000, 1000); }), true},
        {QStringLiteral("40,000 attributes on one trkpt"), in_memory([] { return many_attributes(40000); }), true},
        {QStringLiteral("100,000 attributes on one trkpt"), in_memory([] { return many_attributes(100000); }), true},
        {QStringLiteral("20,000 xmlns bindings, 1 million <q:trk/>"),
         in_memory([] { return many_bindings(20000, 1000000); }), true},
        {QStringLiteral("100 MB comment before the root"),
         [&](const QString& path) { return write_long_item(path, long_comment_around, 100); }, true},
        {QStringLiteral("100 MB instruction before the root"),
         [&](const QString& path) { return write_long_item(path, long_instruction_around, 100); }, false},
        {QStringLiteral("100 MB CDATA section in a track's name"),
         [&](const QString& path) { return write_long_item(path, long_cdata_around, 100); }, false},
        {QStringLiteral("100 MB comment in the document type"),
         [&](const QString& path) { return write_long_item(path, doctype_comment_around, 100); }, false},
        {QStringLiteral("50 MB of <trk/>"), [](const QString& path) { return write_empty_tracks(path, 50); }, true},
        // Found by reading the XML reader.
        {QStringLiteral("100 MB of blanks after <!DOCTYPE"),
         [&](const QString& path) { return write_bulk(path, doctype_blanks_around, QByteArray(1000000, ' '), 100); },
         true},
        {QStringLiteral("200 MB comment before the root"),
         [&](const QString& path) { return write_long_item(path, long_comment_around, 200); }, true},
        {QStringLiteral("document type in the root, 100 x 1 M chars"), in_memory([] { return doctype_in_root(5, 100); }),
         true},
        {QStringLiteral("entity value of 200,000 &#38;"),
         in_memory([] { return small_track("<!DOCTYPE gpx [<!ENTITY e \"" + QByteArray("&#38;").repeated(200000) + "\">]>\n"); }),
         true},
        {QStringLiteral("90 xmlns bindings, 1 million <q:trk/>"), in_memory([] { return many_bindings(90, 1000000); }),
         true},
        // Found in review: a second document type, entities that the
        // expansion budget let through, tags of many attributes, messages
        // for every node at the top level, long items and references.
        {QStringLiteral("2nd document type, 1,000 &a; in one name"), in_memory([] { return second_doctype(true); }),
         true},
        {QStringLiteral("2nd document type, 1,000 &a; in 1,000 names"), in_memory([] { return second_doctype(false); }),
         true},
        {QStringLiteral("4,000 document types"), in_memory([] { return many_doctypes(4000); }), true},
        {QStringLiteral("entities making 700,000 points"), in_memory(points_from_entities), true},
        {QStringLiteral("entities making 10,000 tags of 100 attributes"), in_memory(attribute_tags_from_entities),
         true},
        {QStringLiteral("50 MB of references to <wpt/>"),
         [](const QString& path) {
             return write_repeated(path, 50, "&w;\n", true, "<!DOCTYPE gpx [<!ENTITY w \"<wpt/>\">]>\n");
         },
         true},
        {QStringLiteral("50 MB, tags of 100 attributes from an entity"),
         [](const QString& path) {
             return write_repeated(path, 50, "&t;\n" + QByteArray(900, ' '), false,
                                   "<!DOCTYPE gpx [<!ENTITY t \"" + tag_of_attributes(100, false).trimmed() + "\">]>\n");
         },
         false},
        tags(100, true), tags(100, false), tags(32, true), tags(32, false), tags(24, true), tags(24, false),
        {QStringLiteral("50 MB of undeclared references at the top level"),
         [](const QString& path) {
             return write_repeated(path, 50, "&u;", true, "<!DOCTYPE gpx SYSTEM \"gpx.dtd\">\n");
         },
         false},
        {QStringLiteral("50 MB of unknown elements at the top level"),
         [](const QString& path) { return write_repeated(path, 50, "<u/>", true); }, false},
        {QStringLiteral("entity value of 90 MB in 100 MB"),
         [](const QString& path) {
             QByteArray around = gpx_samples::long_track(track_points_for(10000000));
             around.insert(around.indexOf('\n') + 1, "<!DOCTYPE gpx [<!ENTITY e \"" + bulk_marker + "\">]>\n");
             return write_bulk(path, around, QByteArray(1000000, 'v'), 90);
         },
         true},
        {QStringLiteral("one lat of 13 references to 7 M characters, 50 MB"),
         [](const QString& path) { return write_lat_of_references(path, 50, 13, 7000000); }, true},
        {QStringLiteral("character reference of 60 MB after a bare &"),
         [](const QString& path) { return write_long_character_reference(path, 60); }, true},
        {QStringLiteral("character reference of 250 MB after a bare &"),
         [](const QString& path) { return write_long_character_reference(path, 250); }, true},
    };
    const QString odd_path = dir.filePath(QStringLiteral("odd.gpx"));
    const QString ordinary_path = dir.filePath(QStringLiteral("ordinary.gpx"));
    const auto size_label = [](const QString& label, const QString& path) {
        return QStringLiteral("%1, %2 KB").arg(label).arg(QFileInfo(path).size() / 1000);
    };
    for (const odd_file& odd : odd_files) {
        if (!odd.write(odd_path))
            return 1;
        if (odd.beside) {
            const int track_points = track_points_for(QFileInfo(odd_path).size());
            if (!gpx_samples::write_long_track(ordinary_path, track_points))
                return 1;
            // The heap that made them goes back to the system: the children
            // start as copies of this process.
            malloc_trim(0);
            run_case(reader, size_label(QStringLiteral("beside: track, %1 points").arg(track_points), ordinary_path),
                     ordinary_path, environment);
            QFile::remove(ordinary_path);
        }
        malloc_trim(0);
        run_case(reader, size_label(odd.label, odd_path), odd_path, environment);
        QFile::remove(odd_path);
    }
    return 0;
}
