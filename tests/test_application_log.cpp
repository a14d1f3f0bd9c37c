// The application-log window: the stream tees (exact text, NUL bytes, many
// threads, no deadlock), plain-text display, filter, console, saved log and
// its failures, network report, and a clean exit with the window open.
#include "ko/application_log.h"
#include "ko/message_handler.h"
#include "child_support.h"
#include "dialog_support.h"
#include "test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextEdit>
#include <QtTest>

#include <chrono>
#include <cstdio>
#include <future>
#include <iostream>
#include <sstream>
#include <thread>

namespace {

const QString app_name = QStringLiteral("Orlavo");
const QString dashes(80, QLatin1Char('-'));

void set_identity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Quenmark"));
    QCoreApplication::setApplicationName(app_name);
    QCoreApplication::setApplicationVersion(QStringLiteral("2.1.0"));
}

QPushButton* button_named(QWidget* window, const QString& text)
{
    for (QPushButton* b : window->findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

// Runs f on a thread of its own; a deadlock ends the process rather than hanging.
bool finishes_in_time(std::function<void()> f, int timeout_ms = 20000)
{
    auto done = std::async(std::launch::async, std::move(f));
    if (done.wait_for(std::chrono::milliseconds(timeout_ms)) == std::future_status::ready)
        return true;
    std::fprintf(stderr, "deadlock: writers did not finish\n");
    std::_Exit(3);
}

// The text of the message box the next modal dialog is, answered with OK.
void read_box_later(QString& shown)
{
    shown.clear();
    test_support::act_on_modal_later([&shown](QWidget* w) {
        shown = w->windowTitle() + "|" + static_cast<QMessageBox*>(w)->text();
        static_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
    });
}

} // namespace

class test_application_log : public QObject {
    Q_OBJECT

    ko::application_log* log = nullptr;

    QString app_text() { return log->channel(app_name).text; }
    QTextEdit* app_view() { return log->channel(app_name).view; }
    void show_app_tab()
    {
        log->open_log_window();
        log->tabs()->setCurrentWidget(app_view());
        log->filter_line()->clear();
    }

private slots:
    void initTestCase()
    {
        set_identity();
        ko::install_message_handler(true, false);
        ko::application_log::create(qApp);
        log = ko::application_log::instance();
        QVERIFY(log);
        QVERIFY(!log->window()->isVisible());
    }

    void tee_passes_every_byte_on_and_restores_the_stream()
    {
        std::ostringstream target, sink;
        std::ostream captured(sink.rdbuf());
        std::mutex mutex;
        std::string long_text;
        for (int i = 0; i < 20000; ++i)
            long_text += "line " + std::to_string(i) + " \xc3\xbc\n";
        const std::string with_nul("before\0after\n", 13);
        {
            ko::copy_streambuf<char> tee(&target, &captured, mutex);
            captured << "abc" << 42 << '\n';
            captured.write(with_nul.data(), std::streamsize(with_nul.size()));
            captured << std::flush << long_text;
        }
        QVERIFY(captured.rdbuf() == sink.rdbuf());
        const std::string expected = "abc42\n" + with_nul + long_text;
        QVERIFY(target.str() == expected);
        QVERIFY(sink.str() == expected);
    }

    // Must run before anything shows the window.
    void output_waits_while_hidden_and_arrives_in_order()
    {
        for (int i = 0; i < 300; ++i)
            std::cout << "hidden line " << i << std::endl;
        qInfo("hidden info");
        std::cerr << "hidden error" << std::endl;
        QTest::qWait(300);
        QVERIFY(!app_text().contains("hidden line"));

        log->open_log_window();
        QTRY_VERIFY_WITH_TIMEOUT(app_text().contains("hidden error\n"), 1000);
        const QString text = app_text();
        QCOMPARE(text.count("hidden line "), 300);
        QVERIFY(text.indexOf("hidden line 0\n") < text.indexOf("hidden line 299\n"));
        QVERIFY(text.indexOf("hidden line 299\n") < text.indexOf("Info: hidden info\n"));
        QVERIFY(text.indexOf("Info: hidden info\n") < text.indexOf("hidden error\n"));
    }

    // While closed, the window keeps only the newest output and says so.
    void output_held_while_closed_is_bounded()
    {
        log->window()->hide();
        log->closed_limit_bytes = 16 * 1024;
        const int before = app_text().size();
        for (int i = 0; i < 600; ++i)
            std::cout << "held line " << i << ' ' << std::string(64, 'x') << '\n';
        show_app_tab();
        QTRY_VERIFY_WITH_TIMEOUT(app_text().contains("held line 599 "), 1000);
        const QString added = app_text().mid(before);
        QVERIFY(added.size() <= 16 * 1024 && added.startsWith("[Older lines were dropped: while this window is "
                                                              "closed, it keeps only the last 16 KB of output.]\n"));
        log->closed_limit_bytes = 4 * 1024 * 1024;
    }

    void threads_writing_both_streams_neither_deadlock_nor_garble_lines()
    {
        show_app_tab();
        const int threads = 8, lines = 250;
        QVERIFY(finishes_in_time([] {
            std::vector<std::thread> workers;
            for (int t = 0; t < threads; ++t) {
                workers.emplace_back([t]() {
                    // Each line in pieces; std::cerr flushes after every one.
                    for (int n = 0; n < lines; ++n) {
                        if (n % 3 == 0)
                            qWarning("worker %d message %d", t, n);
                        else
                            (n % 3 == 1 ? std::cerr : std::cout)
                                << "worker " << t << (n % 3 == 1 ? " error " : " output ") << n << '\n';
                    }
                });
            }
            for (auto& w : workers)
                w.join();
            // What a thread leaves without a line end is passed on when it ends.
            std::thread([] { std::cout << "unfinished"; }).join();
        }));
        std::cout << " threads done" << std::endl;
        QTRY_VERIFY(app_text().contains("unfinished threads done\n"));
        const QRegularExpression whole("^(Warning: worker \\d message|worker \\d error|worker \\d output) \\d+$");
        const QStringList got = app_text().split('\n').filter("worker");
        QCOMPARE(got.size(), threads * lines);
        for (const QString& line : got)
            QVERIFY2(whole.match(line).hasMatch(), qPrintable(line));
    }

    void nul_bytes_split_characters_and_html_shown_as_text()
    {
        show_app_tab();
        std::cout.write("nul[\0]end\n", 10);
        // Past the pending limit a line is passed on unfinished, here inside a character.
        std::cout << std::string(ko::copy_streambuf<char>::line_limit, '.') + "Gr\xc3" << std::flush;
        QTest::qWait(250); // a drain runs between the two halves of the character
        std::cout << "\xbc\xc3\x9f" "e\n" << std::flush;
        QTRY_VERIFY(app_text().contains(QString::fromUtf8("\xc3\x9f" "e\n")));
        QVERIFY(app_text().contains(QString::fromUtf8("nul[") + QChar(0) + QString("]end\n")));
        QVERIFY(app_text().contains(QString::fromUtf8("Grüße\n")));
        QVERIFY(!app_text().contains(QChar::ReplacementCharacter));

        const QString line = "Loading <b>.jpg <img src=\"probe.png\"> &amp; <a href=\"x\">link</a>";
        std::cout << line.toStdString() << std::endl;
        QTRY_VERIFY(app_text().contains(line));
        log->filter_line()->setText("probe.png");
        QCOMPARE(app_view()->toPlainText(), line + "\n");
        log->filter_line()->clear();
    }

    void filter_tabs_and_clearing()
    {
        log->open_log_window();
        log->add_data("Filtering", "ExifTool started\nnothing here\n\nreading EXIF data\n");
        ko::application_log::log_channel& c = log->channel("Filtering");
        QVERIFY(c.view);
        // Desktops may add accelerators to tab titles; the tab still finds its channel.
        log->tabs()->setTabText(c.tab_index, "&Filtering");
        log->tabs()->setCurrentWidget(app_view());
        log->tabs()->setCurrentWidget(c.view);
        log->filter_line()->setText("exif");
        QCOMPARE(c.view->toPlainText(), QString("ExifTool started\nreading EXIF data\n"));
        log->add_data("Filtering", "more Exif\nother\n"); // filtered as it arrives
        QCOMPARE(c.view->toPlainText(), QString("ExifTool started\nreading EXIF data\nmore Exif\n"));
        log->filter_line()->clear();
        QCOMPARE(c.view->toPlainText(), c.text);

        // Clearing asks first, and empties every channel but keeps its tab.
        QPushButton* clear = button_named(log->window(), "Clear log");
        QVERIFY(clear);
        test_support::click_button_later("No");
        clear->click();
        QVERIFY(c.text.startsWith("ExifTool started\n"));
        test_support::click_button_later("Yes");
        clear->click();
        QVERIFY(c.text.isEmpty() && c.view->toPlainText().isEmpty() && app_text().isEmpty());
        QCOMPARE(log->tabs()->indexOf(c.view), c.tab_index);
    }

    void console_command_matching()
    {
        QString probe_argument = "<none>";
        log->add_command("Probe", [&](QString a) { probe_argument = a; });
        log->add_command("pro", [](QString) {});
        log->add_command("secret", [](QString) {}, true);
        const QList<QPair<QString, QString>> cases{{"HeLp me please", "help"}, {"hel", ""}, {" help", ""},
                                                   {"probe", "probe"}, {"PROx", "pro"}, {"", ""}};
        for (const auto& c : cases)
            QVERIFY2(log->command_for(c.first) == c.second, qPrintable(c.first));

        show_app_tab();
        QLineEdit* line = log->filter_line();
        line->setText("PROBE Some Arg ");
        QTest::keyClick(line, Qt::Key_Return);
        QCOMPARE(probe_argument, QString(" Some Arg "));
        QCOMPARE(line->text(), QString());
        line->setText("nothing matches"); // kept for another try
        QTest::keyClick(line, Qt::Key_Return);
        QCOMPARE(line->text(), QString("nothing matches"));

        line->setText("Help");
        QTest::keyClick(line, Qt::Key_Return);
        QTRY_VERIFY(app_text().contains("List of commands:\n    help\n    pro\n    probe\n"));
        QVERIFY(!app_text().contains("secret"));
    }

    void report_sections_and_loopback()
    {
        log->add_data(app_name, "application line\n");
        log->add_data("Test", "test line\n");
        const QString network = ko::application_log::network_report();
        QVERIFY2(network.contains(QRegularExpression("(^|\n)Interface: lo \\(lo\\) HW: .*\n\t[^\n]*IsLoopBack")),
                 qPrintable(network));
        QVERIFY(network.contains("\tAddress: 127.0.0.1/8\n"));

        const QString report = log->system_report();
        const QString head = "Application: Orlavo (2.1.0)\nInstalled at: " + QCoreApplication::applicationDirPath() + "\n";
        QVERIFY(report.startsWith(head + "Date: "));
        QString body = dashes + "\n" + network + dashes + "\n\n" + app_text();
        for (const QString& name : QStringList{"Filtering", "Test"})
            body += "\n\n" + dashes + "\nApplication: " + name + "\n" + log->channel(name).text;
        QCOMPARE(report.mid(report.indexOf('\n', head.size()) + 1), body);
    }

    void saved_log_goes_to_desktop_or_home_and_failures_are_reported()
    {
        const QString home = QDir::homePath();
        const QString desktop = home + "/Desktop";
        QDir(desktop).removeRecursively();
        log->add_data(app_name, QString::fromUtf8("saved \xe2\x82\xac line\n"));
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        const QString path = log->save_log();
        const QFileInfo info(path);
        QCOMPARE(info.absolutePath(), home); // no desktop folder
        const auto m = QRegularExpression("^Orlavo Log (\\d+)\\.log$").match(info.fileName());
        QVERIFY2(m.hasMatch(), qPrintable(info.fileName()));
        QVERIFY(m.captured(1).toLongLong() >= before && m.captured(1).toLongLong() <= QDateTime::currentSecsSinceEpoch());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY(text.startsWith("Application: Orlavo (2.1.0)\n"));
        QVERIFY(text.contains(QString::fromUtf8("saved \xe2\x82\xac line\n")));

        QVERIFY(QDir().mkpath(desktop));
        QString shown;
        read_box_later(shown);
        button_named(log->window(), "Save to disk")->click();
        QVERIFY2(shown.startsWith("Application logs saved|The application logs were saved to\n" + desktop + "/Orlavo Log "),
                 qPrintable(shown));
        QVERIFY(QFile::exists(shown.section('\n', 1)));

        const QString missing = QDir::homePath() + "/no such folder/x.log";
        read_box_later(shown);
        QCOMPARE(log->save_log_to(missing), QString());
        QCOMPARE(shown, "Failed to save application logs|Can't save the application logs to\n" + missing
                            + "\n\nYou might not have write permission or the disk might be full.");
        // A device that takes the open but not the data: the failure shows up
        // when the text is written or flushed, and must not count as saved.
        if (QFile::exists("/dev/full")) {
            read_box_later(shown);
            QCOMPARE(log->save_log_to("/dev/full"), QString());
            QVERIFY2(shown.startsWith("Failed to save application logs|"), qPrintable(shown));
        }
    }

    // The window used to outlive the application object: a crash at every exit.
    void exits_cleanly_with_the_window_open()
    {
        for (const QString& mode : {QString("exit_with_log_window"), QString("destroy_without_exec")}) {
            const test_support::child_result r = test_support::run_child(mode);
            QVERIFY2(r.finished && !r.crashed, qPrintable(mode + ": " + r.standard_error));
            QCOMPARE(r.exit_code, 0);
            QVERIFY2(r.standard_output.contains("Warning: child is running\n"), qPrintable(r.standard_output));
            QVERIFY2(r.standard_output.contains("after the application object\n"), qPrintable(r.standard_output));
            if (mode == "exit_with_log_window")
                QVERIFY2(r.standard_output.contains("streams restored, window deleted\n"), qPrintable(r.standard_output));
        }
    }
};

// Child modes: a program with the log window open that ends through its
// event loop (the main window closes), or whose application object goes
// without the loop ever having run.
static int run_child(const QString& mode, int argc, char** argv)
{
    set_identity();
    ko::install_message_handler(true, false);
    {
        QApplication app(argc, argv);
        ko::application_log::create(&app);
        ko::application_log::instance()->open_log_window();
        qWarning("child is running");
        if (mode == "exit_with_log_window") {
            QWidget main_window;
            main_window.setAttribute(Qt::WA_DeleteOnClose, false);
            main_window.show();
            QTimer::singleShot(300, &main_window, &QWidget::close);
            QTimer::singleShot(10000, &app, [] { QCoreApplication::exit(7); });
            const int rc = app.exec();
            if (rc != 0)
                return rc;
            if (!dynamic_cast<ko::copy_streambuf<char>*>(std::cout.rdbuf())
                && !dynamic_cast<ko::copy_streambuf<char>*>(std::cerr.rdbuf()) && !ko::application_log::instance()->window())
                std::cout << "streams restored, window deleted" << std::endl;
        } else {
            QTest::qWait(200);
        }
    }
    std::cout << "after the application object" << std::endl;
    return 0;
}

int main(int argc, char** argv)
{
    if (test_support::is_child(argc, argv))
        return run_child(test_support::child_mode(argc, argv), argc, argv);
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    test_application_log tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "test_application_log.moc"
