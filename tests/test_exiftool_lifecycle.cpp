// Life of the bridge as a whole: finding the executable, a missing
// ExifTool, a shut-down with a write in flight, and no ExifTool left behind by a crashed application.
#include "exiftool_support.h"
#include "ko/exiftool.h"
#include "test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <sys/types.h>

using exiftool_support::message_capture;

class test_exiftool_lifecycle : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    static void reset_bridge()
    {
        ko::exiftool_worker_shutdown();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Runs program with only child_mode selected; its output and error.
    static QString run_child(const QString& program, const QString& mode, QProcessEnvironment env)
    {
        QProcess child;
        env.insert("ORLAVO_BRIDGE_CHILD", mode);
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(program, {"child_mode"});
        if (!child.waitForFinished(30000)) {
            child.kill();
            child.waitForFinished(2000);
            return "<child did not finish>";
        }
        return QString::fromUtf8(child.readAllStandardOutput());
    }

    static QString value_after(const QString& text, const QString& key)
    {
        for (const QString& line : text.split('\n'))
            if (line.startsWith(key))
                return line.mid(key.size()).trimmed();
        return {};
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }
    void cleanup()
    {
        qunsetenv("ORLAVO_EXIFTOOL");
        reset_bridge();
    }

    // Work of a sub-invocation; skipped in a normal run.
    void child_mode()
    {
        const QString mode = qEnvironmentVariable("ORLAVO_BRIDGE_CHILD");
        if (mode.isEmpty())
            QSKIP("only run as a sub-invocation");
        if (mode == "crash") {
            const exif_tag_map tags = ko::exiftool::read_tags(qEnvironmentVariable("ORLAVO_BRIDGE_FILE"), false, false);
            std::printf("FILE=%s\nEXIFTOOL_PID=%lld\n", tags.count("FileName") ? "read" : "failed",
                        exiftool_support::exiftool_child_pid());
            std::fflush(stdout);
            std::raise(SIGKILL);
        }
        QFile echo(QDir::current().filePath("echo")); // the bridge reads existing files only
        if (!echo.open(QIODevice::WriteOnly))
            return;
        echo.close();
        const exif_tag_map tags = ko::exiftool::read_tags(echo.fileName(), false, false);
        std::printf("PROGRAM=%s\n", tags.count("Program") ? qPrintable(tags.at("Program")) : "");
        std::fflush(stdout);
    }

    void missing_executable_fails_fast()
    {
        qputenv("ORLAVO_EXIFTOOL", "/nonexistent/tools/exiftool");
        QVERIFY(test_support::make_image(dir.filePath("a.jpg")));
        message_capture capture;
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 100; ++i)
            QVERIFY(ko::exiftool::read_tags(dir.filePath("a.jpg"), i % 2 == 1, false).empty());
        QVERIFY(!ko::exiftool::write_tags(dir.filePath("a.jpg"), {{"GPSLatitude", "1"}}));
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));

        QCOMPARE(capture.matching("does not exist", QtCriticalMsg),
                 QStringList{"exiftool: Executable '/nonexistent/tools/exiftool' does not exist..."});
        QCOMPARE(capture.count("bool ko::exiftool_worker::start(): Could not start exiftool: ", QtWarningMsg), 1);
        QCOMPARE(capture.matching("Worker started"), QStringList{"void ko::exiftool_worker_init(): Worker started: Failed"});
        QCOMPARE(capture.count("exiftool is not running, request", QtWarningMsg), 101); // one line per refused request
    }

    void executable_lookup_order()
    {
        // The environment variable, then an exiftool beside the program,
        // then the one on PATH.
        const QString on_path = dir.filePath("on_path"), app_dir = dir.filePath("app");
        const QString copy = app_dir + "/orlavo_copy";
        QVERIFY(QDir().mkpath(on_path) && QDir().mkpath(app_dir));
        QVERIFY(QFile::link(exiftool_support::fake_exiftool(), on_path + "/exiftool"));
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), copy));
        QVERIFY(QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::ExeOwner));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("ORLAVO_EXIFTOOL");
        env.insert("PATH", on_path + ":" + env.value("PATH"));
        QCOMPARE(value_after(run_child(copy, "lookup", env), "PROGRAM="), on_path + "/exiftool");
        QVERIFY(QFile::link(exiftool_support::fake_exiftool(), app_dir + "/exiftool"));
        QCOMPARE(value_after(run_child(copy, "lookup", env), "PROGRAM="), app_dir + "/exiftool");
        env.insert("ORLAVO_EXIFTOOL", on_path + "/exiftool");
        QCOMPARE(value_after(run_child(copy, "lookup", env), "PROGRAM="), on_path + "/exiftool");

    }

    void shutdown_lets_a_write_finish()
    {
        const QString path = dir.filePath("in flight.jpg");
        QVERIFY(test_support::make_image(path, "JPEG", 2000, 1500));
        const QByteArray block = ("\n" + path + "\n-overwrite_original_in_place\n-m\n-GPSLatitude=33\n-GPSLatitudeRef=N\n").toUtf8();
        ko::exiftool::read_tags(path, false, false);
        ko::exif_response* response = ko::exiftool::start_task(block);
        message_capture capture;
        ko::exiftool_worker_shutdown(); // right away, the write still in flight
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // The worker is gone; the answer stays with its caller until released.
        QVERIFY(response->ok());
        QVERIFY(response->data().contains("1 image files updated"));
        ko::exiftool::release(response);
        QCOMPARE(ko::exif_response::alive(), 0); // each deleted once
        QCOMPARE(capture.count("Sending termination signal"), 0);
        QCOMPARE(test_support::read_plain_tags_numeric(path).value("GPSLatitude"), QString("33"));
        QVERIFY(!QImage(path).isNull());
    }

    void crashed_application_leaves_no_exiftool()
    {
        const QString path = dir.filePath("crash.jpg");
        QVERIFY(test_support::make_image(path));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("ORLAVO_EXIFTOOL");
        env.insert("ORLAVO_BRIDGE_FILE", path);
        const QString out = run_child(QCoreApplication::applicationFilePath(), "crash", env);
        QCOMPARE(value_after(out, "FILE="), QString("read"));
        const qint64 pid = value_after(out, "EXIFTOOL_PID=").toLongLong();
        QVERIFY2(pid > 0, qPrintable(out));
        const bool gone = exiftool_support::wait_until([&] { return !exiftool_support::process_alive(pid); }, 5000);
        if (!gone)
            ::kill(pid_t(pid), SIGKILL); // leave nothing behind
        QVERIFY(gone);
    }
};

QTEST_MAIN(test_exiftool_lifecycle)
#include "test_exiftool_lifecycle.moc"
