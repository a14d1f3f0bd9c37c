// The worker and the facade against a fake ExifTool that can misbehave:
// framing of split, long, CRLF and garbled answers, queue order, late and
// missing answers, dying processes and the bounded shut-down.
#include "exiftool_support.h"
#include "ko/exiftool.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QThread>
#include <QtTest>

#include <memory>

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
    bool shutdown()
    {
        bool result = false;
        QMetaObject::invokeMethod(worker, "shutdown", Qt::BlockingQueuedConnection, Q_RETURN_ARG(bool, result));
        return result;
    }
    template <typename... Args> void call(const char* slot, Args... args)
    {
        QMetaObject::invokeMethod(worker, slot, Qt::BlockingQueuedConnection, args...);
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

        auto* empty = rig.submit("");
        QVERIFY(empty->wait(5000));
        QVERIFY(empty->data().startsWith("-Args=\n-Program="));

        auto* split = rig.submit("split");
        QVERIFY(split->wait(5000));
        QCOMPARE(split->data(), QByteArray("-Split=1\n"));

        auto* splitcr = rig.submit("splitcr");
        QVERIFY(splitcr->wait(5000));
        QCOMPARE(splitcr->data(), QByteArray("-Split=2\n"));

        auto* crlf = rig.submit("crlf");
        QVERIFY(crlf->wait(5000));
        QCOMPARE(crlf->data(), QByteArray("-Crlf=1\r\n"));

        auto* big = rig.submit("big:20000");
        QVERIFY(big->wait(5000));
        QVERIFY(big->data().size() >= 20000);
        QVERIFY(big->data().endsWith('x' + QByteArray("\n")));
        QVERIFY(!big->data().contains("{ready"));
        QCOMPARE(big->data().count('\n'), big->data().count("-Big"));

        // Marker text inside values, and a line starting with it but going
        // on: neither ends the answer.
        auto* fake = rig.submit("fakemarker");
        QVERIFY(fake->wait(5000));
        const QByteArray marker = QByteArray("{ready") + QByteArray::number(fake->id) + "}";
        QVERIFY(fake->data().contains("-Directory=/photos/" + marker + "\n"));
        QVERIFY(fake->data().endsWith("\n-After=1\n"));

        // Bytes after a marker become the front of the next answer.
        auto* trailing = rig.submit("trailing");
        QVERIFY(trailing->wait(5000));
        QVERIFY(!trailing->data().contains("Trailing"));
        auto* next = rig.submit("echo:next");
        QVERIFY(next->wait(5000));
        QCOMPARE(next->data(), QByteArray("-Trailing=1\n-Echo=next\n"));
    }

    void queue_order_and_request_bytes()
    {
        worker_rig rig;
        QVERIFY(rig.started);
        {
            message_capture capture;
            rig.call("verbose");
            auto* r = rig.submit("echo:v");
            QVERIFY(r->wait(5000));
            const QString expected = QString("bool ko::exiftool_worker::write(const QString&): Writing 'echo:v\n-execute%1\n' to process.")
                                         .arg(r->id);
            QCOMPARE(capture.matching("Writing '"), QStringList{expected});
            rig.call("verbose", Q_ARG(bool, false));
            QVERIFY(rig.submit("echo:quiet")->wait(5000));
            QCOMPARE(capture.count("Writing '"), 1);
        }

        // Many requests queued at once, answered one at a time in order.
        QList<ko::exif_response*> responses;
        responses << rig.submit("late:300");
        for (int i = 0; i < 40; ++i)
            responses << rig.submit("echo:" + QByteArray::number(i));
        for (int i = 1; i <= 40; ++i) {
            QVERIFY(responses[i]->wait(5000));
            QCOMPARE(responses[i]->data(), "-Echo=" + QByteArray::number(i - 1) + "\n");
        }
        QVERIFY(responses[0]->ok());
        QCOMPARE(responses[0]->data(), QByteArray("-Late=300\n"));
    }

    void late_answer_after_time_out()
    {
        worker_rig rig;
        auto* slow = rig.submit("late:600");
        auto* after = rig.submit("echo:after");
        QVERIFY(!slow->wait(100));
        QVERIFY(!after->ok());
        // The next request is written only after the late answer arrived.
        QVERIFY(after->wait(5000));
        QVERIFY(slow->ok());
        QCOMPARE(slow->data(), QByteArray("-Late=600\n"));
        QCOMPARE(after->data(), QByteArray("-Echo=after\n"));
    }

    void standard_error_is_logged()
    {
        message_capture capture;
        worker_rig rig;
        auto* r = rig.submit("stderr:something odd");
        QVERIFY(r->wait(5000));
        QVERIFY(exiftool_support::wait_until([&] { return capture.count("exiftool cerr:") > 0; }, 3000));
        QCOMPARE(capture.matching("exiftool cerr:"), QStringList{"exiftool cerr: 'something odd\n'"});
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
        auto* r = rig.submit("echo:first");
        QVERIFY(r->wait(5000));
        QCOMPARE(r->data(), QByteArray("-Banner=1\n-Echo=first\n"));
    }

    void refused_commands_fail_at_once()
    {
        message_capture capture;
        worker_rig rig;
        auto* nul = rig.submit(QByteArray("a\0b", 3));
        QVERIFY(nul->cancelled);
        QCOMPARE(capture.count("contains a NUL byte", QtWarningMsg), 1);
        // The queue goes on.
        auto* ok = rig.submit("echo:fine");
        QVERIFY(ok->wait(5000));

        // A worker whose process never started writes nothing and fails
        // each request at once instead of letting it time out.
        worker_rig idle(false);
        QElapsedTimer timer;
        timer.start();
        auto* r = idle.submit("echo:x");
        QVERIFY(!r->wait(60000));
        QVERIFY(timer.elapsed() < 1000);
        QCOMPARE(capture.count("Not writing: Process is not running.", QtWarningMsg), 1);
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
        QVERIFY(!dying->wait(60000));
        QVERIFY(!queued->wait(60000));
        QVERIFY(timer.elapsed() < 3000);
        QVERIFY(dying->cancelled && queued->cancelled);
        QCOMPARE(capture.count("exiftool exited; requests fail at once from now on.", QtWarningMsg), 1);
        QCOMPARE(capture.count("2 pending request(s) failed", QtWarningMsg), 1);

        auto* later = rig.submit("echo:later");
        QVERIFY(!later->wait(60000));
        QVERIFY(timer.elapsed() < 3000);
        QCOMPARE(capture.count(QString("exiftool is not running, request %1 failed.").arg(later->id), QtWarningMsg), 1);

        capture.clear();
        QVERIFY(rig.shutdown());
        QCOMPARE(capture.matching("Did "), QStringList{"bool ko::exiftool_worker::shutdown(): Did 0 iterations, state: 0"});

        worker_rig crashing;
        auto* crash = crashing.submit("crash");
        QVERIFY(!crash->wait(60000));
        QVERIFY(timer.elapsed() < 6000);
        QCOMPARE(capture.count("exiftool crashed;", QtWarningMsg), 1);
    }

    void restart_by_name()
    {
        message_capture capture;
        worker_rig rig;
        QVERIFY(rig.submit("echo:1")->wait(5000));
        const qint64 before = exiftool_support::exiftool_child_pid();
        QVERIFY(before > 0);
        bool running = false;
        rig.call("send_restart", Q_RETURN_ARG(bool, running));
        QVERIFY(running);
        const qint64 after = exiftool_support::exiftool_child_pid();
        QVERIFY(after > 0 && after != before);
        auto* r = rig.submit("echo:2");
        QVERIFY(r->wait(5000));
        QCOMPARE(r->data(), QByteArray("-Echo=2\n"));
        QCOMPARE(capture.count("", QtWarningMsg), 0);
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
        QVERIFY(writing->ok());
        QCOMPARE(writing->data(), QByteArray("-Late=1200\n"));
        QVERIFY(queued->cancelled && !queued->ok());
        QCOMPARE(capture.count("Process finished on iteration 0"), 1);
        QCOMPARE(capture.count("Sending termination signal"), 0);
        QCOMPARE(capture.count("Did 0 iterations, state: 0"), 1);
        QCOMPARE(capture.count("pending request(s) failed"), 0);
    }

    void shutdown_of_process_ignoring_close()
    {
        qputenv("FAKE_EXIFTOOL_IGNORE_CLOSE", "1");
        message_capture capture;
        {
            // Idle: 25 iterations of 200 ms, terminate 24 times, then kill.
            worker_rig rig;
            qunsetenv("FAKE_EXIFTOOL_IGNORE_CLOSE");
            QVERIFY(rig.submit("echo:1")->wait(5000));
            const qint64 pid = exiftool_support::exiftool_child_pid();
            QElapsedTimer timer;
            timer.start();
            rig.shutdown();
            QVERIFY(timer.elapsed() >= 4500 && timer.elapsed() < 8000);
            QCOMPARE(capture.count("Sending termination signal to process."), 24);
            QCOMPARE(capture.count("Sending kill signal to process."), 1);
            QCOMPARE(capture.count("Did 25 iterations"), 1);
            QVERIFY(exiftool_support::wait_until([&] { return !exiftool_support::process_alive(pid); }, 3000));
        }
        capture.clear();
        qputenv("FAKE_EXIFTOOL_IGNORE_CLOSE", "1");
        {
            // Busy with a request that never ends: after the bounded wait
            // for it, 5 iterations of 1000 ms.
            worker_rig rig;
            qunsetenv("FAKE_EXIFTOOL_IGNORE_CLOSE");
            rig.worker->in_flight_wait_ms = 300;
            auto* hung = rig.submit("hang");
            QElapsedTimer timer;
            timer.start();
            rig.shutdown();
            QVERIFY(timer.elapsed() >= 4800 && timer.elapsed() < 9000);
            QVERIFY(!hung->ok());
            QCOMPARE(capture.count("Sending termination signal to process."), 4);
            QCOMPARE(capture.count("Sending kill signal to process."), 1);
            QCOMPARE(capture.count("Did 5 iterations"), 1);
        }
    }

    // The facade and the tag parser, with the fake in place of ExifTool.
    void parsing_through_facade()
    {
        message_capture capture;
        exif_tag_map dup = ko::exiftool::read_tags("/x/dup", false, false);
        QCOMPARE(capture.count("Worker started: Ok", QtInfoMsg), 1);
        QCOMPARE(dup["Dup"], QString("2"));
        QCOMPARE(dup[""], QString("empty key"));
        QCOMPARE(dup["Spaced"], QString("in side"));
        QVERIFY(dup.count("Empty") == 1 && dup["Empty"].isEmpty());
        QVERIFY(dup.count("NoEquals") == 0 && dup.count("oEquals") == 0);

        const exif_tag_map crlf = ko::exiftool::read_tags("/x/crlf", false, false);
        QCOMPARE(crlf, (exif_tag_map{{"Crlf", "1"}}));

        const exif_tag_map nul = ko::exiftool::read_tags("/x/nul", false, false);
        QCOMPARE(nul, (exif_tag_map{{"Nul", "a"}}));

        const exif_tag_map eq = ko::exiftool::read_tags("/x/echo:a = b=c", false, false);
        QCOMPARE(eq.at("Echo"), QString("a = b=c"));

        const exif_tag_map fake = ko::exiftool::read_tags("/x/fakemarker", false, false);
        QCOMPARE(fake.at("After"), QString("1"));
        QVERIFY(fake.at("Directory").startsWith("/photos/{ready"));

        QCOMPARE(ko::exiftool::read_tags("/x/big:50000", false, false).size(), size_t((50000 + 100) / 101));
    }

    void command_lines_through_facade()
    {
        exif_tag_map plain = ko::exiftool::read_tags("/p/a b.jpg", false, false);
        QCOMPARE(plain["Args"], QString("/p/a b.jpg"));
        exif_tag_map grouped = ko::exiftool::read_tags("/p/a.jpg", true, false);
        QCOMPARE(grouped["Args"], QString("-G1|-a|/p/a.jpg"));
        exif_tag_map selected = ko::exiftool::read_selected_tags("/p/a.jpg", {"GPSLatitude", "XMP:Rating"});
        QCOMPARE(selected["Args"], QString("-GPSLatitude|-XMP:Rating|/p/a.jpg"));
        // Relative names go out absolute: never an option or a comment.
        const QString cwd = QDir::currentPath();
        QCOMPARE(ko::exiftool::read_tags("-dash.jpg", false, false)["Args"], cwd + "/-dash.jpg");
        QCOMPARE(ko::exiftool::read_tags("#hash.jpg", false, false)["Args"], cwd + "/#hash.jpg");
        QCOMPARE(ko::exiftool::read_tags(" blank.jpg", false, false)["Args"], cwd + "/ blank.jpg");

        exif_tag_map written;
        {
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
        {
            message_capture capture;
            ko::exiftool::verbose(true);
            ko::exiftool::write_software_tags("/p/a.jpg");
            ko::exiftool::verbose(false);
            const QStringList writes = capture.matching("Writing '");
            QCOMPARE(writes.size(), 1);
            QVERIFY(writes[0].indexOf("-CreatorTool=") < writes[0].indexOf("-Software="));
        }
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

        // Not restarted by itself; a shut-down and the next request start a
        // new process, and the request numbers go on.
        capture.clear();
        ko::exiftool_worker_shutdown();
        QCOMPARE(capture.count("static void ko::exiftool::shutdown(): Worker shutdown: Ok", QtInfoMsg), 1);
        ko::exiftool_worker_shutdown(); // a second one does nothing
        QCOMPARE(capture.count("Worker shutdown"), 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(ko::exiftool::read_tags("/x/echo:back", false, false)["Echo"], QString("back"));
        QCOMPARE(capture.count("Worker started: Ok"), 1);
        ko::exiftool_worker_shutdown();
    }
};

QTEST_MAIN(test_exiftool_fake)
#include "test_exiftool_fake.moc"
