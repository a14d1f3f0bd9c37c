// The worker and the facade against a fake ExifTool that can misbehave:
// framing of split, long, CRLF and garbled answers, queue order, late and
// missing answers, dying processes and the bounded shut-down.
#include "exiftool_support.h"
#include "ko/exiftool.h"

#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <QtTest>

using exiftool_support::message_capture;

namespace {

int next_id = 1000;

// One worker on a thread of its own, driven like the facade drives it.
struct worker_rig {
    QThread thread;
    ko::exiftool_worker* worker = nullptr;
    QObject responses;
    bool started = false;

    explicit worker_rig(bool start = true)
    {
        thread.start();
        worker = new ko::exiftool_worker();
        worker->moveToThread(&thread);
        if (start)
            QMetaObject::invokeMethod(worker, "start", Qt::BlockingQueuedConnection, Q_RETURN_ARG(bool, started));
    }
    ~worker_rig()
    {
        QMetaObject::invokeMethod(worker, "deleteLater");
        thread.quit();
        thread.wait(20000);
    }
    ko::exif_response* submit(const QByteArray& command)
    {
        auto* response = new ko::exif_response();
        response->setParent(&responses);
        response->id = next_id++;
        QMetaObject::invokeMethod(worker, "add_task", Qt::BlockingQueuedConnection,
                                  QGenericArgument("exif_response*", &response), Q_ARG(QByteArray, command));
        return response;
    }
    QByteArray answer(const QByteArray& command)
    {
        ko::exif_response* r = submit(command);
        return r->wait(5000) ? r->data() : QByteArray("<no answer>");
    }
    bool shutdown()
    {
        bool ok = false;
        return QMetaObject::invokeMethod(worker, "shutdown", Qt::BlockingQueuedConnection, Q_RETURN_ARG(bool, ok)) && ok;
    }
};

} // namespace

class test_exiftool_fake : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qRegisterMetaType<ko::exif_response*>("exif_response*");
        qputenv("ORLAVO_EXIFTOOL", exiftool_support::fake_exiftool().toUtf8());
        QVERIFY(QFileInfo(exiftool_support::fake_exiftool()).isExecutable());
    }

    void framing()
    {
        worker_rig rig;
        QVERIFY(rig.started);
        QCOMPARE(rig.answer("split"), QByteArray("-Split=1\n"));   // marker split over two reads
        QCOMPARE(rig.answer("splitcr"), QByteArray("-Split=2\n")); // split between CR and LF
        QCOMPARE(rig.answer("crlf"), QByteArray("-Crlf=1\r\n"));

        const QByteArray big = rig.answer("big:20000");
        QVERIFY(big.size() >= 20000 && big.endsWith("x\n") && !big.contains("{ready"));
        QCOMPARE(big.count('\n'), big.count("-Big"));

        // Marker text inside values, and a line starting with it but going
        // on: neither ends the answer.
        auto* fake = rig.submit("fakemarker");
        QVERIFY(fake->wait(5000));
        const QByteArray marker = "{ready" + QByteArray::number(fake->id) + "}";
        QVERIFY(fake->data().contains("-Directory=/photos/" + marker + "\n"));
        QVERIFY(fake->data().endsWith("\n-After=1\n"));

        // Bytes after a marker become the front of the next answer.
        QVERIFY(!rig.answer("trailing").contains("Trailing"));
        QCOMPARE(rig.answer("echo:next"), QByteArray("-Trailing=1\n-Echo=next\n"));
    }

    void queue_order_and_late_answers()
    {
        worker_rig rig;
        QList<ko::exif_response*> responses;
        responses << rig.submit("late:300");
        for (int i = 0; i < 40; ++i)
            responses << rig.submit("echo:" + QByteArray::number(i));
        for (int i = 1; i <= 40; ++i) {
            QVERIFY(responses[i]->wait(5000));
            QCOMPARE(responses[i]->data(), "-Echo=" + QByteArray::number(i - 1) + "\n");
        }
        QCOMPARE(responses[0]->data(), QByteArray("-Late=300\n"));

        // A request that timed out still gets its answer, and the next one
        // is written only after it.
        auto* slow = rig.submit("late:600");
        auto* after = rig.submit("echo:after");
        QVERIFY(!slow->wait(100) && !after->ok());
        QVERIFY(after->wait(5000));
        QCOMPARE(slow->data(), QByteArray("-Late=600\n"));
        QCOMPARE(after->data(), QByteArray("-Echo=after\n"));
    }

    void output_before_first_request()
    {
        qputenv("FAKE_EXIFTOOL_BANNER", "-Banner=1\n");
        message_capture capture;
        worker_rig rig;
        qunsetenv("FAKE_EXIFTOOL_BANNER");
        QVERIFY(exiftool_support::wait_until(
            [&] { return capture.count("Got expected output marker but the command queue is empty?", QtCriticalMsg) > 0; },
            3000));
        QCOMPARE(rig.answer("echo:first"), QByteArray("-Banner=1\n-Echo=first\n"));
    }

    void refused_command_fails_at_once()
    {
        message_capture capture;
        worker_rig rig;
        QVERIFY(rig.submit(QByteArray("a\0b", 3))->cancelled);
        QCOMPARE(capture.count("contains a NUL byte", QtWarningMsg), 1);
        QCOMPARE(rig.answer("echo:fine"), QByteArray("-Echo=fine\n")); // the queue goes on
    }

    void dying_process_fails_requests_at_once()
    {
        message_capture capture;
        worker_rig rig;
        QVERIFY(rig.submit("echo:warm-up")->wait(5000));
        QElapsedTimer timer;
        timer.start();
        auto* dying = rig.submit("die");
        auto* queued = rig.submit("echo:never");
        QVERIFY(!dying->wait(60000) && !queued->wait(60000));
        QVERIFY(dying->cancelled && queued->cancelled);
        QCOMPARE(capture.count("exiftool exited; requests fail at once from now on.", QtWarningMsg), 1);
        QCOMPARE(capture.count("2 pending request(s) failed", QtWarningMsg), 1);
        QVERIFY(!rig.submit("echo:later")->wait(60000));
        QVERIFY(timer.elapsed() < 3000);

        worker_rig crashing;
        QVERIFY(!crashing.submit("crash")->wait(60000));
        QVERIFY(timer.elapsed() < 6000);
        QCOMPARE(capture.count("exiftool crashed;", QtWarningMsg), 1);
    }

    void shutdown_waits_for_request_in_flight()
    {
        message_capture capture;
        worker_rig rig;
        auto* writing = rig.submit("late:1200");
        auto* queued = rig.submit("echo:queued");
        QElapsedTimer timer;
        timer.start();
        QVERIFY(rig.shutdown());
        QVERIFY(timer.elapsed() >= 1000);
        QCOMPARE(writing->data(), QByteArray("-Late=1200\n"));
        QVERIFY(writing->ok() && queued->cancelled && !queued->ok());
        QCOMPARE(capture.count("Process finished on iteration 0"), 1);
        QCOMPARE(capture.count("Sending termination signal"), 0);
    }

    void shutdown_of_process_ignoring_close()
    {
        message_capture capture;
        // Idle: 25 iterations of 200 ms, terminate 24 times, then kill.
        // Busy with a request that never ends: after the bounded wait for
        // it, 5 iterations of 1000 ms.
        struct round { bool busy; int terms; int iterations; int min_ms; int max_ms; };
        for (const round& r : {round{false, 24, 25, 4500, 8000}, round{true, 4, 5, 4800, 9000}}) {
            capture.clear();
            qputenv("FAKE_EXIFTOOL_IGNORE_CLOSE", "1");
            worker_rig rig;
            qunsetenv("FAKE_EXIFTOOL_IGNORE_CLOSE");
            rig.worker->in_flight_wait_ms = 300;
            ko::exif_response* hung = r.busy ? rig.submit("hang") : nullptr;
            if (!r.busy)
                QVERIFY(rig.submit("echo:1")->wait(5000));
            const qint64 pid = exiftool_support::exiftool_child_pid();
            QElapsedTimer timer;
            timer.start();
            rig.shutdown();
            QVERIFY2(timer.elapsed() >= r.min_ms && timer.elapsed() < r.max_ms, qPrintable(QString::number(timer.elapsed())));
            QVERIFY(!hung || !hung->ok());
            QCOMPARE(capture.count("Sending termination signal to process."), r.terms);
            QCOMPARE(capture.count("Sending kill signal to process."), 1);
            QCOMPARE(capture.count(QString("Did %1 iterations").arg(r.iterations)), 1);
            QVERIFY(exiftool_support::wait_until([&] { return !exiftool_support::process_alive(pid); }, 3000));
        }
    }

    // The facade and the tag parser, with the fake in place of ExifTool.
    void parsing_through_facade()
    {
        exif_tag_map dup = ko::exiftool::read_tags("/x/dup", false, false);
        QCOMPARE(dup["Dup"], QString("2"));
        QVERIFY(dup.count("NoEquals") == 0 && dup.count("oEquals") == 0);
        QCOMPARE(ko::exiftool::read_tags("/x/nul", false, false), (exif_tag_map{{"Nul", "a"}}));
        // Everything after the first "=" is the value.
        QCOMPARE(ko::exiftool::read_tags("/x/echo:a = b=c", false, false).at("Echo"), QString("a = b=c"));
    }

    void command_lines_through_facade()
    {
        // Relative names go out absolute: never an option or a comment. A
        // load read asks for fast mode, but not for a GIF.
        const QString cwd = QDir::currentPath();
        for (const char* name : {"-dash.jpg", "#hash.jpg", " blank.jpg"})
            QCOMPARE(ko::exiftool::read_tags(name, false, false)["Args"], "-fast|" + cwd + "/" + name);
        QCOMPARE(ko::exiftool::read_tags("/p/a.GIF", true, false)["Args"], QString("-G1|-a|/p/a.GIF"));
        QCOMPARE(ko::exiftool::read_selected_tags("/p/a.jpg", {"FileName"}, true)["Args"],
                 QString("-G1|-a|-FileName|/p/a.jpg"));

        message_capture capture;
        ko::exiftool::verbose(true);
        QVERIFY(!ko::exiftool::write_tags("/p/a.jpg", {{"GPSLatitude", ""}, {"GPSLatitude#", "47.5"},
                                                        {"GPSLatitudeRef", "N"}}));
        ko::exiftool::verbose(false);
        const QStringList writes = capture.matching("Writing '");
        QCOMPARE(writes.size(), 1);
        QVERIFY(writes[0].contains("'\n/p/a.jpg\n-overwrite_original_in_place\n-m\n-GPSLatitude=\n"
                                   "-GPSLatitude#=47.5\n-GPSLatitudeRef=N\n\n-execute"));
        // The fake reports no updated file: the write failed.
        QCOMPARE(capture.count("Failed to execute command on '/p/a.jpg'", QtWarningMsg), 1);
    }

    void dying_through_facade()
    {
        message_capture capture;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(ko::exiftool::read_tags("/x/die", false, false).empty());
        for (int i = 0; i < 50; ++i)
            QVERIFY(ko::exiftool::read_tags("/x/echo:1", true, false).empty());
        QVERIFY(!ko::exiftool::write_tags("/x/a.jpg", {{"GPSLatitude", "1"}}));
        QVERIFY(timer.elapsed() < 5000);
        QCOMPARE(capture.count("exiftool exited; requests fail at once from now on."), 1);
        ko::exiftool_worker_shutdown();
    }
};

QTEST_MAIN(test_exiftool_fake)
#include "test_exiftool_fake.moc"
