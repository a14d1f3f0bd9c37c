// The application base: the message handler (prefixes, streams, the dropped
// libpng line, context suffix, the hook, one lock for all threads, the fatal
// box that never blocks a headless run), the application object's hand-over
// of file-open events and the proxy style.
#include "ko/application.h"
#include "ko/main_window.h"
#include "ko/message_handler.h"
#include "ko/proxy_style.h"
#include "dialog_support.h"
#include "stream_capture.h"

#include <QDir>
#include <QAbstractButton>
#include <QFileOpenEvent>
#include <QMessageBox>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <thread>
#include <vector>

using test_support::stream_capture;

namespace {

class probe_window : public ko::main_window {
public:
    int file_open_events = 0;
    int other_events_from_app = 0;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::FileOpen) {
            ++file_open_events;
            return true;
        }
        if (e->type() == QEvent::MetaCall || e->type() == QEvent::Timer)
            ++other_events_from_app;
        return ko::main_window::event(e);
    }
};

using probe_application = ko::application<probe_window>;

bool fatal_box_before_application = true;

QStringList lines_of(const std::string& text)
{
    return QString::fromStdString(text).split('\n', Qt::SkipEmptyParts);
}

} // namespace

class test_application_base : public QObject {
    Q_OBJECT
private slots:
    void init() { ko::install_message_handler(true, false); }
    void cleanup()
    {
        ko::set_message_hook({});
        ko::install_message_handler(false, false);
    }

    void levels_streams_and_the_dropped_libpng_line()
    {
        stream_capture capture;
        qDebug("one %d", 1);
        qInfo("two");
        qWarning("three");
        qCritical("four");
        QCOMPARE(lines_of(capture.out()), QStringList({"Debug: one 1", "Info: two", "Warning: three"}));
        QCOMPARE(lines_of(capture.err()), QStringList({"Critical: four"}));

        // Only the exact libpng sRGB line is dropped.
        stream_capture png;
        qWarning("libpng warning: iCCP: known incorrect sRGB profile");
        qWarning("libpng warning: iCCP: known incorrect sRGB profile.");
        QCOMPARE(lines_of(png.out()), QStringList({"Warning: libpng warning: iCCP: known incorrect sRGB profile."}));
    }

    void context_suffix_and_hook()
    {
        ko::install_message_handler(true, true);
        QStringList hooked;
        ko::set_message_hook([&](const QString& line) { hooked << line; });
        stream_capture capture;
        const QMessageLogContext full("src/thing.cpp", 42, "void thing(int)", "default");
        const QMessageLogContext no_function("src/thing.cpp", 42, nullptr, "default");
        ko::message_handler(QtWarningMsg, full, QString::fromUtf8("Grüße"));
        ko::message_handler(QtWarningMsg, no_function, "bare");
        QCOMPARE(lines_of(capture.out()),
                 QStringList({QString::fromUtf8("Warning: Grüße (src/thing.cpp:42, void thing(int))"), "Warning: bare"}));
        // The hook gets the line without the context.
        QCOMPARE(hooked.first(), QString::fromUtf8("Warning: Grüße\n"));
    }

    void fatal_is_written_and_never_blocks_headless()
    {
        // Before the application exists there is nothing to show a box with.
        QVERIFY(!fatal_box_before_application);
        // Offscreen has no display: the box would wait forever for a click.
        // With a real display (run under Xvfb) the box is shown and answered.
        const QString platform = QGuiApplication::platformName();
        const bool headless = platform == "offscreen" || platform == "minimal";
        QCOMPARE(ko::fatal_message_box_possible(), !headless);
        QString box_text;
        if (!headless)
            test_support::act_on_modal_later([&](QWidget* w) {
                box_text = qobject_cast<QMessageBox*>(w)->text();
                qobject_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
            });
        stream_capture capture;
        const QMessageLogContext context;
        ko::message_handler(QtFatalMsg, context, "disk on fire");
        QVERIFY(headless || box_text.endsWith("terminated:\ndisk on fire"));
        QCOMPARE(capture.err(), std::string("Fatal: disk on fire\n"));

        // From another thread: written, no box either.
        bool possible_there = true;
        std::thread worker([&] {
            possible_there = ko::fatal_message_box_possible();
            ko::message_handler(QtFatalMsg, context, "worker fire");
        });
        worker.join();
        QVERIFY(!possible_there);
        QCOMPARE(capture.err(), std::string("Fatal: disk on fire\nFatal: worker fire\n"));
    }

    void threads_write_whole_lines_under_one_lock()
    {
        stream_capture capture;
        constexpr int threads = 4, per_thread = 300;
        std::vector<std::thread> workers;
        for (int t = 0; t < threads; ++t)
            workers.emplace_back([t] {
                for (int i = 0; i < per_thread; ++i)
                    qWarning("thread %d message %d with some padding text", t, i);
            });
        for (auto& w : workers)
            w.join();
        // Whole lines only: every line is one message.
        const QStringList lines = lines_of(capture.out());
        QCOMPARE(lines.size(), threads * per_thread);
        QCOMPARE(lines.filter(QRegularExpression("^Warning: thread \\d message \\d+ with some padding text$")), lines);

        // The handler waits for the same mutex that others can take.
        std::atomic<bool> done{false};
        std::unique_lock<std::mutex> lock(ko::message_output_mutex());
        std::thread writer([&] {
            qWarning("after unlock");
            done = true;
        });
        QThread::msleep(100);
        QVERIFY(!done);
        lock.unlock();
        writer.join();
        QVERIFY(done);
        QVERIFY(capture.out().find("Warning: after unlock\n") != std::string::npos);
    }

    void file_open_reaches_only_a_visible_window()
    {
        auto* app = static_cast<probe_application*>(qApp);
        auto* window = new probe_window;
        app->window = window;

        QFileOpenEvent hidden_event("/tmp/a.jpg"), shown_event("/tmp/b.jpg");
        QCoreApplication::sendEvent(app, &hidden_event);
        window->show();
        QCoreApplication::sendEvent(app, &shown_event);
        QCOMPARE(window->file_open_events, 1);

        // Calls and timers aimed at the application run once, and the window
        // does not see them.
        int queued_runs = 0, timer_runs = 0;
        QMetaObject::invokeMethod(app, [&] { ++queued_runs; }, Qt::QueuedConnection);
        QTimer::singleShot(0, app, [&] { ++timer_runs; });
        QTRY_COMPARE_WITH_TIMEOUT(timer_runs + queued_runs, 2, 2000);
        QTest::qWait(50);
        QCOMPARE(timer_runs + queued_runs, 2);
        QCOMPARE(window->other_events_from_app, 0);

        delete window;
        QVERIFY(app->window.isNull());
        QFileOpenEvent after_event("/tmp/c.jpg");
        QCoreApplication::sendEvent(app, &after_event); // nothing to hand it to, no crash
    }

    void proxy_style_slider_jumps_to_the_click()
    {
        QApplication::setStyle(new ko::proxy_style);
        QSlider slider(Qt::Horizontal);
        slider.setRange(0, 100);
        slider.resize(200, 24);
        slider.show();
        QVERIFY(QTest::qWaitForWindowExposed(&slider));
        QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(150, 12));
        QVERIFY2(slider.value() > 60 && slider.value() < 90, qPrintable(QString::number(slider.value())));
    }

    void device_global_configuration_from_public()
    {
        // Runs last: it switches the process to INI settings under PUBLIC.
        QCoreApplication::setOrganizationName("Quenmark");
        QCoreApplication::setApplicationName("Orlavo");
        QTemporaryDir dir;
        qputenv("PUBLIC", QFile::encodeName(dir.path()));
        ko::use_device_global_configuration(); // no file yet: nothing changes
        QVERIFY(!QSettings().fileName().startsWith(dir.path()));
        QVERIFY(QDir(dir.path()).mkpath("Quenmark"));
        QFile ini(dir.path() + "/Quenmark/Orlavo.ini");
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[General]\nlang=de\n");
        ini.close();
        ko::use_device_global_configuration();
        QCOMPARE(QSettings().value("lang").toString(), QString("de"));
    }
};

int main(int argc, char** argv)
{
    fatal_box_before_application = ko::fatal_message_box_possible();
    probe_application app(argc, argv);
    test_application_base tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "test_application_base.moc"
