// Reading tags through the bridge with the real ExifTool: start on first
// use, the process's command line, plain and group-qualified reads, awkward
// file names, answers that hold marker text, queue order, refused input and
// the shut-down at application exit.
#include "exiftool_support.h"
#include "ko/exiftool.h"
#include "test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using exiftool_support::message_capture;

namespace {
// The value of key, or a text naming the keys that are there.
QString value_of(const exif_tag_map& tags, const QString& key)
{
    const auto it = tags.find(key);
    if (it != tags.end())
        return it->second;
    QStringList keys;
    for (const auto& entry : tags)
        keys << entry.first;
    return "<no " + key + " in: " + keys.join(", ") + ">";
}
} // namespace

class test_exiftool_read : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    QString photo(const QString& name, const QStringList& tag_args = {})
    {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        if (!test_support::make_image(path))
            return {};
        if (!tag_args.isEmpty() &&
            test_support::run_exiftool(QStringList{"-q", "-overwrite_original"} << tag_args << path) != 0)
            return {};
        return path;
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void nothing_runs_before_the_first_request()
    {
        QCOMPARE(exiftool_support::exiftool_child_pid(), qint64(0));
        QVERIFY(!exiftool_support::thread_names().contains("Exiftol IO Work"));
        ko::exiftool_worker_shutdown(); // nothing to shut down
    }

    void first_read_starts_the_bridge()
    {
        const QString path = photo("first.jpg", {"-DateTimeOriginal=2024:05:06 07:08:09"});
        QVERIFY(!path.isEmpty());
        message_capture capture;
        const exif_tag_map tags = ko::exiftool::read_tags(path, false, false);
        QCOMPARE(tags.at("FileName"), QString("first.jpg"));
        QCOMPARE(tags.at("Directory"), dir.path());
        QCOMPARE(tags.at("DateTimeOriginal"), QString("2024:05:06 07:08:09"));
        QCOMPARE(tags.at("ImageWidth"), QString("64"));
        QCOMPARE(capture.matching("Worker started"), QStringList{"void ko::exiftool_worker_init(): Worker started: Ok"});
        QVERIFY(exiftool_support::thread_names().contains("Exiftol IO Work"));

        // The twelve arguments as the child got them.
        const qint64 pid = exiftool_support::exiftool_child_pid();
        QVERIFY(pid > 0);
        const QStringList cmdline = exiftool_support::process_cmdline(pid);
        QVERIFY(cmdline.size() >= 12);
        const QStringList expected{"-stay_open", "1", "-@", "-", "-common_args", "-charset", "filename=utf8",
                                   "-args", "-sort", "-fast", "-userParam",
                                   "processOwner=" + QCoreApplication::applicationName()};
        QCOMPARE(cmdline.mid(cmdline.size() - 12), expected);

        ko::exiftool::read_tags(path, true, false);
        QCOMPARE(capture.count("Worker started"), 1);
        QCOMPARE(exiftool_support::exiftool_child_pid(), pid);
    }

    void group_names_and_selected_tags()
    {
        const QString path = photo("grouped.jpg", {"-DateTimeOriginal=2023:01:02 03:04:05", "-IPTC:Keywords=k"});
        const exif_tag_map grouped = ko::exiftool::read_tags(path, true, false);
        QCOMPARE(grouped.at("ExifIFD:DateTimeOriginal"), QString("2023:01:02 03:04:05"));
        QCOMPARE(grouped.at("System:FileName"), QString("grouped.jpg"));
        QCOMPARE(grouped.at("IPTC:Keywords"), QString("k"));
        QVERIFY(grouped.count("FileName") == 0);
        for (const auto& entry : grouped)
            QVERIFY2(entry.first.contains(':'), qPrintable(entry.first));

        const exif_tag_map selected = ko::exiftool::read_selected_tags(path, {"DateTimeOriginal", "ImageHeight"});
        QCOMPARE(selected, (exif_tag_map{{"DateTimeOriginal", "2023:01:02 03:04:05"}, {"ImageHeight", "48"}}));
    }

    void request_numbers_and_ownership()
    {
        ko::exif_response* a = ko::exiftool::start_task(QByteArray("-ver\n"));
        ko::exif_response* b = ko::exiftool::start_task(QByteArray("-ver\n"));
        QCOMPARE(b->id, a->id + 1);
        QVERIFY(a->start_ms > 0 && b->start_ms >= a->start_ms);
        QVERIFY(a->parent() && a->parent()->objectName() == "Exiftol IO Worker");
        QVERIFY(a->wait(60000) && b->wait(60000));
        QVERIFY2(QRegularExpression("^\\d+\\.\\d+\n$").match(QString::fromUtf8(a->data())).hasMatch(), a->data());
        QVERIFY(!a->data().contains("{ready"));
    }

    void awkward_file_names()
    {
        const QStringList names{"Müller Straße 日本.jpg", "with  two spaces.jpg", "percent %1 %2.jpg",
                                "equals=sign=.jpg",      "#hash.jpg",            "-dash.jpg",
                                " leading blank.jpg",   "trailing blank.jpg ",  "sub dir ü/ä.jpg"};
        for (const QString& name : names) {
            const QString path = photo(name, {"-DateTimeOriginal=2022:02:02 02:02:02"});
            QVERIFY2(!path.isEmpty(), qPrintable(name));
            const exif_tag_map tags = ko::exiftool::read_tags(path, false, false);
            QCOMPARE(tags.count("FileName"), size_t(1));
            QCOMPARE(tags.at("FileName"), QFileInfo(path).fileName().trimmed()); // values come trimmed
            QCOMPARE(tags.at("DateTimeOriginal"), QString("2022:02:02 02:02:02"));
        }
        // Relative names are taken from the working directory.
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir.path());
        const exif_tag_map relative = ko::exiftool::read_tags("-dash.jpg", false, false);
        QDir::setCurrent(old);
        QCOMPARE(relative.at("FileName"), QString("-dash.jpg"));
    }

    void marker_text_in_paths_and_values()
    {
        // Each marked file's folder, name and comment end in the very marker
        // that its own read waits for: the answer must not be cut there.
        const QString plain = photo("plain.jpg");
        QStringList marked{QString(), QString(), QString()};
        // Every round below sends two requests, so their numbers are known.
        const int next = ko::exiftool::start_task("-ver\n")->id + 1;
        for (int round = 0; round < 3; ++round) {
            const QString marker = QString("{ready%1}").arg(next + 2 * round);
            const QString file = dir.filePath("markers/" + marker + "/" + marker);
            QDir().mkpath(QFileInfo(file).path());
            QVERIFY(test_support::make_image(file, "JPEG"));
            QCOMPARE(test_support::run_exiftool({"-q", "-overwrite_original", "-GPSLatitude=12.5",
                                                 "-GPSLatitudeRef=N", "-Comment=" + marker, file}),
                     0);
            marked[round] = file;
        }
        for (int round = 0; round < 3; ++round) {
            const QString marker = QString("{ready%1}").arg(next + 2 * round);
            const bool grouped = round == 1;
            const exif_tag_map m = ko::exiftool::read_tags(marked[round], grouped, false);
            QCOMPARE(value_of(m, grouped ? "Composite:GPSLatitude" : "GPSLatitude"), QString("12 deg 30' 0.00\" N"));
            QCOMPARE(value_of(m, grouped ? "File:Comment" : "Comment"), marker);
            QCOMPARE(value_of(m, grouped ? "System:FileName" : "FileName"), marker);
            const exif_tag_map p = ko::exiftool::read_tags(plain, false, false);
            QCOMPARE(value_of(p, "FileName"), QString("plain.jpg"));
            QCOMPARE(p.count("GPSLatitude"), size_t(0));
            QCOMPARE(p.count("Comment"), size_t(0));
        }
    }

    void many_queued_requests_keep_their_order()
    {
        QStringList paths;
        for (int i = 0; i < 30; ++i)
            paths << photo(QString("queued%1.jpg").arg(i));
        QList<ko::exif_response*> responses;
        for (const QString& path : paths)
            responses << ko::exiftool::start_task((path + "\n").toUtf8());
        for (int i = 0; i < responses.size(); ++i) {
            QVERIFY(responses[i]->wait(60000));
            const QByteArray answer = responses[i]->data();
            QVERIFY(answer.contains(QString("\n-FileName=queued%1.jpg\n").arg(i).toUtf8()));
        }
    }

    void debug_output_and_missing_file()
    {
        const QString path = photo("debug.jpg");
        message_capture capture;
        const exif_tag_map tags = ko::exiftool::read_tags(path, false, true);
        QVERIFY(!tags.empty());
        const QStringList lines = capture.matching("std::map(", QtDebugMsg);
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines[0].startsWith("\"" + path + "\" std::map(std::pair(\"BitsPerSample\""), qPrintable(lines[0]));
        QVERIFY(lines[0].contains("std::pair(\"FileName\",\"debug.jpg\")"));

        capture.clear();
        const exif_tag_map none = ko::exiftool::read_tags(dir.filePath("missing.jpg"), false, true);
        QVERIFY(none.empty());
        QCOMPARE(capture.matching("std::map"), QStringList{"\"" + dir.filePath("missing.jpg") + "\" std::map()"});
        QVERIFY(exiftool_support::wait_until([&] { return capture.count("exiftool cerr: 'Error: File not found") == 1; },
                                             3000));
    }

    void injected_arguments_are_refused()
    {
        const QString path = photo("victim.jpg");
        const QString sentinel = dir.filePath("sentinel");
        const QString code = QString("-if\nsystem('touch %1') || 1").arg(sentinel);
        const QStringList attempts{path + "\n" + code, path + "\r" + code, path + QChar(0) + "\n" + code,
                                   "\n" + code + "\n" + path};
        message_capture capture;
        ko::exiftool::verbose(true);
        for (const QString& attempt : attempts)
            QVERIFY(ko::exiftool::read_tags(attempt, false, false).empty());
        QVERIFY(ko::exiftool::read_selected_tags(path, {"if\nsystem('touch " + sentinel + "')"}).empty());
        QVERIFY(ko::exiftool::read_selected_tags(path, {"@"}).empty());
        QVERIFY(ko::exiftool::read_selected_tags(path, {"-FileName"}).empty());
        QVERIFY(ko::exiftool::read_selected_tags(path + "\n" + code, {"FileName"}).empty());
        ko::exiftool::verbose(false);
        QCOMPARE(capture.count("Refusing to read", QtWarningMsg), 8);
        QCOMPARE(capture.count("Writing '"), 0); // nothing was sent
        QVERIFY(ko::exiftool::read_tags(path, false, false).size() > 5);
        QVERIFY(!QFile::exists(sentinel));
    }

    // Last: the application quits, which takes the bridge down.
    void quitting_stops_exiftool()
    {
        ko::exiftool::read_tags(photo("last.jpg"), false, false);
        const qint64 pid = exiftool_support::exiftool_child_pid();
        QVERIFY(pid > 0);
        QPointer<ko::exif_response> response = ko::exiftool::start_task("-ver\n");
        QVERIFY(response->wait(60000));

        message_capture capture;
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QElapsedTimer timer;
        timer.start();
        qApp->exec();
        QVERIFY(timer.elapsed() < 5000);
        QVERIFY(!exiftool_support::process_alive(pid));
        QVERIFY(response.isNull()); // responses go with the thread object
        QCOMPARE(capture.count("Process finished on iteration 0"), 1);
        QCOMPARE(capture.matching("Worker shutdown"), QStringList{"static void ko::exiftool::shutdown(): Worker shutdown: Ok"});
        QVERIFY(!exiftool_support::thread_names().contains("Exiftol IO Work"));
    }
};

QTEST_MAIN(test_exiftool_read)
#include "test_exiftool_read.moc"
