// Reading tags through the bridge with the real ExifTool: start on first
// use, the process's command line, awkward file names, answers that hold
// marker text, queue order, refused input and the shut-down at exit.
#include "exiftool_support.h"
#include "ko/exiftool.h"
#include "test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using exiftool_support::message_capture;

namespace {
QString value(const exif_tag_map& tags, const QString& key)
{
    const auto it = tags.find(key);
    return it == tags.end() ? "<missing>" : it->second;
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

    void first_read_starts_the_bridge()
    {
        QCOMPARE(exiftool_support::exiftool_child_pid(), qint64(0)); // nothing runs before the first request
        const QString path = photo("first.jpg", {"-DateTimeOriginal=2024:05:06 07:08:09"});
        message_capture capture;
        const exif_tag_map tags = ko::exiftool::read_tags(path, false, false);
        QCOMPARE(value(tags, "FileName"), QString("first.jpg"));
        QCOMPARE(value(tags, "DateTimeOriginal"), QString("2024:05:06 07:08:09"));
        QCOMPARE(capture.matching("Worker started"), QStringList{"void ko::exiftool_worker_init(): Worker started: Ok"});
        QVERIFY(exiftool_support::thread_names().contains("Exiftol IO Work"));

        // The eleven arguments as the child got them (fast mode is asked for
        // by the reads of a load, not for every request).
        const qint64 pid = exiftool_support::exiftool_child_pid();
        const QStringList cmdline = exiftool_support::process_cmdline(pid);
        QVERIFY(pid > 0 && cmdline.size() >= 11);
        const QStringList expected{"-stay_open", "1", "-@", "-", "-common_args", "-charset", "filename=utf8",
                                   "-args", "-sort", "-userParam",
                                   "processOwner=" + QCoreApplication::applicationName()};
        QCOMPARE(cmdline.mid(cmdline.size() - 11), expected);

        // Group names, one process for all requests.
        const exif_tag_map grouped = ko::exiftool::read_tags(path, true, false);
        QCOMPARE(value(grouped, "ExifIFD:DateTimeOriginal"), QString("2024:05:06 07:08:09"));
        QVERIFY(grouped.count("FileName") == 0);
        QCOMPARE(ko::exiftool::read_selected_tags(path, {"DateTimeOriginal", "ImageHeight"}),
                 (exif_tag_map{{"DateTimeOriginal", "2024:05:06 07:08:09"}, {"ImageHeight", "48"}}));
        QCOMPARE(capture.count("Worker started"), 1);
        QCOMPARE(exiftool_support::exiftool_child_pid(), pid);
    }

    void awkward_file_names()
    {
        for (const char* name : {"Müller Straße 日本.jpg", "percent %1 %2.jpg", "equals=sign=.jpg", "#hash.jpg",
                                 "-dash.jpg", " leading blank.jpg", "sub dir ü/ä.jpg"}) {
            const QString path = photo(name, {"-DateTimeOriginal=2022:02:02 02:02:02"});
            const exif_tag_map tags = ko::exiftool::read_tags(path, false, false);
            QCOMPARE(value(tags, "FileName"), QFileInfo(path).fileName().trimmed()); // values come trimmed
            QCOMPARE(value(tags, "DateTimeOriginal"), QString("2022:02:02 02:02:02"));
        }
        // Relative names are taken from the working directory.
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir.path());
        const exif_tag_map relative = ko::exiftool::read_tags("-dash.jpg", false, false);
        QDir::setCurrent(old);
        QCOMPARE(value(relative, "FileName"), QString("-dash.jpg"));
    }

    void marker_text_in_paths_and_values()
    {
        // Each marked file's folder, name and comment hold the very marker
        // its own read waits for: the answer must not be cut there, nor its
        // GPS lines glued onto the next file's answer.
        const QString plain = photo("plain.jpg");
        const int next = ko::exiftool::start_task("-ver\n")->id + 1; // each round sends two requests
        QStringList marked;
        for (int round = 0; round < 2; ++round) {
            const QString marker = QString("{ready%1}").arg(next + 2 * round);
            marked << photo("markers/" + marker + "/" + marker + ".jpg", {"-GPSLatitude=12.5", "-GPSLatitudeRef=N",
                                                                 "-Comment=" + marker});
            QVERIFY(!marked.last().isEmpty());
        }
        for (int round = 0; round < 2; ++round) {
            const QString marker = QString("{ready%1}").arg(next + 2 * round);
            const bool grouped = round == 1;
            const exif_tag_map m = ko::exiftool::read_tags(marked[round], grouped, false);
            QCOMPARE(value(m, grouped ? "Composite:GPSLatitude" : "GPSLatitude"), QString("12 deg 30' 0.00\" N"));
            QCOMPARE(value(m, grouped ? "File:Comment" : "Comment"), marker);
            const exif_tag_map p = ko::exiftool::read_tags(plain, false, false);
            QCOMPARE(value(p, "FileName"), QString("plain.jpg"));
            QVERIFY(p.count("GPSLatitude") == 0 && p.count("Comment") == 0);
        }
    }

    // A selected read gives a value whole, NUL and all; escaped, it keeps
    // the bytes that are not UTF-8 too.
    void selected_values_keep_every_byte()
    {
        const QString path = photo("bytes.jpg", {"-ec", "-Comment=a\\x00b\\\\", "-GPSMapDatum=caf\\xe9"});
        const struct {
            const char* tag;
            ko::tag_values form;
            QString value;
        } cases[] = {
            {"Comment", ko::tag_values::text, QString::fromUtf8("a\0b\\", 4)},
            {"Comment", ko::tag_values::escaped, "a\\x00b\\\\"},
            {"GPSMapDatum", ko::tag_values::escaped, "caf\\xe9"},
        };
        for (const auto& c : cases)
            QCOMPARE(value(ko::exiftool::read_selected_tags(path, {c.tag}, false, c.form), c.tag), c.value);
    }

    void many_queued_requests_keep_their_order()
    {
        QList<ko::exif_response*> responses;
        for (int i = 0; i < 30; ++i)
            responses << ko::exiftool::start_task((photo(QString("queued%1.jpg").arg(i)) + "\n").toUtf8());
        for (int i = 0; i < responses.size(); ++i) {
            QVERIFY(responses[i]->wait(60000));
            QVERIFY(responses[i]->data().contains(QString("\n-FileName=queued%1.jpg\n").arg(i).toUtf8()));
        }
    }

    void injected_arguments_are_refused()
    {
        const QString path = photo("victim.jpg");
        const QString sentinel = dir.filePath("sentinel");
        const QString code = QString("-if\nsystem('touch %1') || 1").arg(sentinel);
        message_capture capture;
        ko::exiftool::verbose(true);
        for (const QString& attempt : {path + "\n" + code, path + "\r" + code, path + QChar(0) + "\n" + code})
            QVERIFY(ko::exiftool::read_tags(attempt, false, false).empty());
        QVERIFY(ko::exiftool::read_selected_tags(path, {"if\nsystem('touch " + sentinel + "')"}).empty());
        QVERIFY(ko::exiftool::read_selected_tags(path, {"-FileName"}).empty());
        ko::exiftool::verbose(false);
        QCOMPARE(capture.count("Refusing to read", QtWarningMsg), 5);
        QCOMPARE(capture.count("Writing '"), 0); // nothing was sent
        QVERIFY(ko::exiftool::read_tags(path, false, false).size() > 5);
        QVERIFY(!QFile::exists(sentinel));
    }

    // Last: the application quits, which takes the bridge down.
    void quitting_stops_exiftool()
    {
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
        // A response that its caller still holds stays until it is released.
        QVERIFY(!response.isNull() && response->ok());
        ko::exiftool::release(response);
        QVERIFY(response.isNull());
        QCOMPARE(capture.count("Process finished on iteration 0"), 1);
        QVERIFY(exiftool_support::wait_until(
            [] { return !exiftool_support::thread_names().contains("Exiftol IO Work"); }, 2000));
    }
};

QTEST_MAIN(test_exiftool_read)
#include "test_exiftool_read.moc"
