// The worker and the facade against a fake ExifTool that can misbehave:
// framing of split, long, CRLF and garbled answers, queue order, late and
// missing answers, dying processes and the bounded shut-down.
#include "exiftool_support.h"
#include "ko/exiftool.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
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
    ko::exif_response* submit(const QByteArray& command, qint64 deadline_ms = 0)
    {
        auto* response = new ko::exif_response();
        response->setParent(&responses);
        response->id = next_id++;
        response->deadline_ms = deadline_ms;
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
    QTemporaryDir dir;

    // A file whose name tells the fake what to do (the bridge reads and
    // writes existing regular files only).
    QString file(const QString& name, qint64 size = 0)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || !f.resize(size))
            return {};
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
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
        // It dies only once the next request is surely queued behind it.
        auto* dying = rig.submit("late:300\ndie");
        auto* queued = rig.submit("echo:never");
        QVERIFY(!dying->wait(60000) && !queued->wait(60000));
        QVERIFY(dying->cancelled && queued->cancelled);
        QCOMPARE(capture.count("exiftool exited; requests fail at once from now on.", QtWarningMsg), 1);
        QCOMPARE(capture.count("2 pending request(s) failed", QtWarningMsg), 1);
        QVERIFY(!rig.submit("echo:later")->wait(60000));
        QVERIFY(timer.elapsed() < 30000); // far below the 60 s that any one wait would take

        worker_rig crashing;
        QVERIFY(!crashing.submit("crash")->wait(60000));
        QVERIFY(timer.elapsed() < 45000);
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
        exif_tag_map dup = ko::exiftool::read_tags(file("dup"), false, false);
        QCOMPARE(dup["Dup"], QString("2"));
        QVERIFY(dup.count("NoEquals") == 0 && dup.count("oEquals") == 0);
        QCOMPARE(ko::exiftool::read_tags(file("nul"), false, false), (exif_tag_map{{"Nul", "a"}}));
        // Everything after the first "=" is the value.
        QCOMPARE(ko::exiftool::read_tags(file("echo:a = b=c"), false, false).at("Echo"), QString("a = b=c"));
    }

    void command_lines_through_facade()
    {
        // Relative names go out absolute: never an option or a comment. A
        // load read asks for fast mode, but not for a GIF.
        const QString cwd = QDir::currentPath();
        for (const char* name : {"-dash.jpg", "#hash.jpg", " blank.jpg", "a.GIF"}) {
            QFile f(name);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.close();
        }
        for (const char* name : {"-dash.jpg", "#hash.jpg", " blank.jpg"})
            QCOMPARE(ko::exiftool::read_tags(name, false, false)["Args"], "-fast|" + cwd + "/" + name);
        QCOMPARE(ko::exiftool::read_tags("a.GIF", true, false)["Args"], "-G1|-a|" + cwd + "/a.GIF");
        QCOMPARE(ko::exiftool::read_selected_tags(" blank.jpg", {"FileName"}, true)["Args"],
                 "-ec|-G1|-a|-FileName|" + cwd + "/ blank.jpg");

        message_capture capture;
        ko::exiftool::verbose(true);
        const QString a = file("a.jpg");
        QVERIFY(!ko::exiftool::write_tags(a, {{"GPSLatitude", ""}, {"GPSLatitude#", "47.5"},
                                              {"GPSLatitudeRef", "N"}}));
        ko::exiftool::verbose(false);
        const QStringList writes = capture.matching("Writing '");
        QCOMPARE(writes.size(), 1);
        QVERIFY(writes[0].contains("'\n" + a + "\n-overwrite_original_in_place\n-m\n-GPSLatitude=\n"
                                   "-GPSLatitude#=47.5\n-GPSLatitudeRef=N\n\n-execute"));
        // The fake reports no updated file: the write failed.
        QCOMPARE(capture.count("Failed to execute command on '" + a + "'", QtWarningMsg), 1);
    }

    // A write sent to an ExifTool that then dies may have been carried
    // out; one that never went out was not.
    void dying_through_facade()
    {
        message_capture capture;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(ko::exiftool::read_tags(file("echo:0"), false, false).size() == 1);
        QVERIFY(!ko::exiftool::stopped());
        QCOMPARE(ko::exiftool::write_tags_outcome(file("die"), {{"GPSLatitude", "1"}}), ko::write_outcome::unknown);
        QVERIFY(ko::exiftool::stopped());
        for (int i = 0; i < 50; ++i)
            QVERIFY(ko::exiftool::read_tags(file("echo:1"), true, false).empty());
        QCOMPARE(ko::exiftool::write_tags_outcome(file("a.jpg"), {{"GPSLatitude", "1"}}),
                 ko::write_outcome::not_written);
        QVERIFY(timer.elapsed() < 5000);
        QCOMPARE(capture.count("exiftool exited; requests fail at once from now on."), 1);
        ko::exiftool_worker_shutdown();
        QVERIFY(!ko::exiftool::stopped());
    }

    // A request without an answer in time: its write may still land, so it
    // is reported unknown, nothing more goes into that process, and later
    // requests fail at once. A large file is given time by its size.
    void timed_out_request_stops_the_bridge()
    {
        ko::exiftool::set_request_timeout(300, 1000);
        const QString slow = file("late:700", 1 << 20); // 1 MiB: 1300 ms allowed
        QCOMPARE(ko::exiftool::request_timeout(slow), 1300);
        QCOMPARE(ko::exiftool::read_tags(slow, false, false).at("Late"), QString("700"));

        message_capture capture;
        ko::exiftool::verbose(true);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(ko::exiftool::write_tags_outcome(file("late:900"), {{"GPSLatitude", "1"}}),
                 ko::write_outcome::unknown);
        QVERIFY(timer.elapsed() >= 290 && timer.elapsed() < 3000);
        QVERIFY(ko::exiftool::stopped());
        QCOMPARE(capture.count("exiftool stopped answering: request", QtWarningMsg), 1);
        const int sent = capture.count("Writing '");
        QCOMPARE(sent, 1);

        // Before and after the late answer: nothing is sent, all fails at once.
        timer.restart();
        QVERIFY(ko::exiftool::read_tags(file("echo:1"), false, false).empty());
        QCOMPARE(ko::exiftool::write_tags_outcome(file("b.jpg"), {{"GPSLatitude", "1"}}),
                 ko::write_outcome::not_written);
        QVERIFY(timer.elapsed() < 600); // the two would wait 300 ms each if they were sent
        QVERIFY(exiftool_support::wait_until([&] { return capture.count("after its time-out") == 1; }, 5000));
        QVERIFY(ko::exiftool::read_tags(file("echo:2"), false, false).empty());
        QCOMPARE(capture.count("exiftool stopped answering, request", QtWarningMsg), 3);
        QCOMPARE(capture.count("Writing '"), sent);
        ko::exiftool::verbose(false);
        ko::exiftool_worker_shutdown();
        ko::exiftool::set_request_timeout(60000, 1000);
    }

    // Responses go when answered, timed out and answered late, or at shut-down.
    void responses_are_released()
    {
        const int before = ko::exif_response::alive();
        const auto alive_is = [](int n) {
            return exiftool_support::wait_until([n] { return ko::exif_response::alive() == n; }, 5000);
        };
        ko::exiftool::set_request_timeout(300, 0);
        for (const char* name : {"echo:1", "echo:2", "late:700"})
            ko::exiftool::read_tags(file(name), false, false);
        QVERIFY(alive_is(before));
        ko::exiftool_worker_shutdown();
        ko::exiftool::read_tags(file("hang"), false, false);
        QVERIFY(alive_is(before + 1));
        ko::exiftool_worker_shutdown();
        QCOMPARE(ko::exif_response::alive(), before);
        ko::exiftool::set_request_timeout(60000, 1000);
    }

    // Quitting waits for a request in flight only as long as its caller
    // would have, and not at all for one that has already timed out.
    void quitting_waits_only_for_what_is_left()
    {
        {
            worker_rig rig;
            QVERIFY(rig.started);
            rig.submit("hang", QDateTime::currentMSecsSinceEpoch() + 700);
            QElapsedTimer timer;
            timer.start();
            QVERIFY(rig.shutdown());
            QVERIFY2(timer.elapsed() >= 600 && timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        }
        ko::exiftool::set_request_timeout(300, 0);
        QVERIFY(ko::exiftool::read_tags(file("hang"), false, false).empty());
        QVERIFY(ko::exiftool::stopped());
        QTest::qWait(200);
        QElapsedTimer timer;
        timer.start();
        ko::exiftool_worker_shutdown();
        QVERIFY2(timer.elapsed() < 1500, qPrintable(QString::number(timer.elapsed())));
        ko::exiftool::set_request_timeout(60000, 1000);
    }
};

QTEST_MAIN(test_exiftool_fake)
#include "test_exiftool_fake.moc"
