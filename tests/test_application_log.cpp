// The application-log window: the stream tees (exact text, NUL bytes, long
// texts, many threads, no deadlock between the tied streams), collecting
// while hidden, plain-text display, the filter, tabs, the console, clearing,
// the saved log and its failures, the network report, and a clean exit with
// the window open.
#include "ko/application_log.h"
#include "ko/message_handler.h"
#include "child_support.h"
#include "dialog_support.h"
#include "test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <iostream>
#include <sstream>
#include <thread>
#include <vector>

namespace {

const QString app_name = QStringLiteral("Orlavo");
const QString dashes(80, QLatin1Char('-'));

void set_identity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Quenmark"));
    QCoreApplication::setApplicationName(app_name);
    QCoreApplication::setApplicationVersion(QStringLiteral("2.1.0"));
}

bool wait_until(const std::function<bool()>& condition, int timeout_ms = 3000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeout_ms)
            return false;
        QTest::qWait(10);
    }
    return true;
}

QPushButton* button_named(QWidget* window, const QString& text)
{
    for (QPushButton* b : window->findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

// Runs f on a thread of its own; false when it did not end in time (a
// deadlock), in which case the process is ended rather than left hanging.
bool finishes_in_time(std::function<void()> f, int timeout_ms = 20000)
{
    auto done = std::async(std::launch::async, std::move(f));
    if (done.wait_for(std::chrono::milliseconds(timeout_ms)) == std::future_status::ready)
        return true;
    std::fprintf(stderr, "deadlock: writers did not finish\n");
    std::_Exit(3);
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
        QVERIFY(!ko::application_log::instance());
        ko::application_log::create(qApp);
        log = ko::application_log::instance();
        QVERIFY(log);
        ko::application_log::create(qApp);
        QCOMPARE(ko::application_log::instance(), log);
        QVERIFY(!log->window()->isVisible());
        QVERIFY(!log->window()->testAttribute(Qt::WA_QuitOnClose));
        QCOMPARE(log->window()->windowTitle(), QString("Application Log"));
    }

    void tee_passes_every_byte_on_and_restores_the_stream()
    {
        std::ostringstream target;
        std::ostringstream sink;
        std::ostream captured(sink.rdbuf());
        std::mutex mutex;
        std::string long_text;
        for (int i = 0; i < 20000; ++i)
            long_text += "line " + std::to_string(i) + " \xc3\xbc\n";
        const std::string with_nul("before\0after\n", 13);
        {
            ko::copy_streambuf<char> tee(&target, &captured, mutex);
            QVERIFY(captured.rdbuf() == &tee);
            captured << "abc" << 42 << '\n';
            captured.write(with_nul.data(), std::streamsize(with_nul.size()));
            captured.put('x');
            captured << std::flush;
            captured << long_text;
        }
        QVERIFY(captured.rdbuf() == sink.rdbuf());
        const std::string expected = "abc42\n" + with_nul + "x" + long_text;
        QCOMPARE(target.str().size(), expected.size());
        QVERIFY(target.str() == expected);
        QVERIFY(sink.str() == expected);
    }

    void tee_keeps_lines_of_many_threads_whole()
    {
        std::ostringstream target;
        std::ostringstream sink;
        std::ostream captured(sink.rdbuf());
        std::mutex mutex;
        const int threads = 8, lines = 2000;
        {
            ko::copy_streambuf<char> tee(&target, &captured, mutex);
            std::vector<std::thread> workers;
            for (int t = 0; t < threads; ++t) {
                workers.emplace_back([&captured, t]() {
                    for (int n = 0; n < lines; ++n) {
                        const std::string line = "thread " + std::to_string(t) + " line " + std::to_string(n)
                                                 + std::string(std::size_t(n % 50), '.') + "\n";
                        // In three pieces, as the message handler writes
                        // prefix, text and line end.
                        std::streambuf* buffer = captured.rdbuf();
                        buffer->sputn(line.data(), 7);
                        buffer->sputn(line.data() + 7, std::streamsize(line.size()) - 8);
                        buffer->sputc('\n');
                    }
                });
            }
            for (auto& w : workers)
                w.join();
            // What a thread leaves without a line end is passed on when it ends.
            std::thread([&captured] { captured.rdbuf()->sputn("unfinished", 10); }).join();
            QVERIFY(target.str().size() >= 10);
            QCOMPARE(target.str().substr(target.str().size() - 10), std::string("unfinished"));
            target << "\n";
            sink << "\n";
        }
        for (const std::string& text : {target.str(), sink.str()}) {
            QStringList got = QString::fromStdString(text).split('\n', Qt::SkipEmptyParts);
            QCOMPARE(got.size(), threads * lines + 1);
            QCOMPARE(got.takeLast(), QString("unfinished"));
            const QRegularExpression whole("^thread (\\d) line (\\d+)(\\.*)$");
            QSet<QString> seen;
            for (const QString& line : got) {
                const auto m = whole.match(line);
                QVERIFY2(m.hasMatch(), qPrintable(line));
                QCOMPARE(m.captured(3).size(), m.captured(2).toInt() % 50);
                seen.insert(line);
            }
            QCOMPARE(seen.size(), threads * lines);
        }
    }

    // Must run before anything shows the window.
    void output_waits_while_hidden_and_arrives_in_order()
    {
        QVERIFY(!log->window()->isVisible());
        for (int i = 0; i < 300; ++i)
            std::cout << "hidden line " << i << std::endl;
        qInfo("hidden info");
        std::cerr << "hidden error" << std::endl;
        QTest::qWait(300);
        QVERIFY(!app_text().contains("hidden line"));

        log->open_log_window();
        QVERIFY(log->window()->isVisible());
        QVERIFY(wait_until([&] { return app_text().contains("hidden error\n"); }, 1000));
        const QString text = app_text();
        int last = -1;
        for (int i = 0; i < 300; ++i) {
            const int at = text.indexOf(QString("hidden line %1\n").arg(i));
            QVERIFY2(at > last, qPrintable(QString::number(i)));
            last = at;
        }
        QVERIFY(text.indexOf("Info: hidden info\n") > last);
        QVERIFY(text.indexOf("hidden error\n") > text.indexOf("Info: hidden info\n"));
        QCOMPARE(app_view()->toPlainText(), text.left(app_view()->toPlainText().size()));
    }

    void threads_writing_both_streams_neither_deadlock_nor_garble()
    {
        show_app_tab();
        const int threads = 6, lines = 300;
        QVERIFY(finishes_in_time([] {
            std::vector<std::thread> workers;
            for (int t = 0; t < threads; ++t) {
                workers.emplace_back([t]() {
                    for (int n = 0; n < lines; ++n) {
                        if (n % 3 == 0)
                            qWarning("worker %d message %d", t, n);
                        else if (n % 3 == 1)
                            std::cerr << std::string("worker " + std::to_string(t) + " error " + std::to_string(n) + "\n");
                        else
                            std::cout << std::string("worker " + std::to_string(t) + " output " + std::to_string(n) + "\n");
                    }
                });
            }
            for (auto& w : workers)
                w.join();
        }));
        std::cout << "threads done" << std::endl;
        QVERIFY(wait_until([&] { return app_text().contains("threads done\n"); }));
        const QRegularExpression whole("^(Warning: worker \\d message \\d+|worker \\d error \\d+|worker \\d output \\d+)$");
        int count = 0;
        for (const QString& line : app_text().split('\n', Qt::SkipEmptyParts)) {
            if (!line.contains("worker"))
                continue;
            QVERIFY2(whole.match(line).hasMatch(), qPrintable(line));
            ++count;
        }
        QCOMPARE(count, threads * lines);
    }

    void nul_bytes_and_split_characters_survive()
    {
        show_app_tab();
        std::cout.write("nul[\0]end\n", 10);
        std::cout << "Gr\xc3" << std::flush;
        QTest::qWait(250); // a drain runs between the two halves of the character
        std::cout << "\xbc\xc3\x9f" "e\n" << std::flush;
        QVERIFY(wait_until([&] { return app_text().contains(QString::fromUtf8("\xc3\x9f" "e\n")); }));
        QVERIFY(app_text().contains(QString::fromUtf8("nul[") + QChar(0) + QString("]end\n")));
        QVERIFY2(app_text().contains(QString::fromUtf8("Grüße\n")), qPrintable(app_text().mid(app_text().indexOf("nul[")).toUtf8().toHex()));
        QVERIFY(!app_text().contains(QChar::ReplacementCharacter));
    }

    void html_looking_lines_are_shown_as_text()
    {
        show_app_tab();
        const QString line = "Loading <b>.jpg <img src=\"probe.png\"> &amp; <a href=\"x\">link</a>";
        std::cout << line.toStdString() << std::endl;
        QVERIFY(wait_until([&] { return app_text().contains(line); }));
        QVERIFY(app_view()->toPlainText().contains(line));
        log->filter_line()->setText("probe.png");
        QCOMPARE(app_view()->toPlainText(), line + "\n");
        log->filter_line()->clear();
        QVERIFY(app_view()->toPlainText().contains(line));
    }

    void filter_and_tabs()
    {
        log->open_log_window();
        QMetaObject::invokeMethod(log, "add_data", Q_ARG(QString, "Filtering"),
                                  Q_ARG(QString, "ExifTool started\nnothing here\n\nreading EXIF data\n"));
        ko::application_log::log_channel& c = log->channel("Filtering");
        QVERIFY(c.view);
        QCOMPARE(log->tabs()->tabText(c.tab_index), QString("Filtering"));
        QVERIFY(!log->tabs()->tabBar()->isHidden());

        // Desktops may add accelerators to tab titles; the tab still finds its channel.
        log->tabs()->setTabText(c.tab_index, "&Filtering");
        log->tabs()->setCurrentWidget(app_view());
        log->tabs()->setCurrentWidget(c.view);
        log->filter_line()->setText("exif");
        QCOMPARE(c.view->toPlainText(), QString("ExifTool started\nreading EXIF data\n"));

        // Text added under a filter is filtered too.
        log->add_data("Filtering", "more Exif\nother\n");
        QCOMPARE(c.view->toPlainText(), QString("ExifTool started\nreading EXIF data\nmore Exif\n"));

        for (int i = 0; i < 200; ++i)
            log->add_data("Filtering", QString("padding %1\n").arg(i));
        log->filter_line()->clear();
        QCOMPARE(c.view->toPlainText(), c.text);
        QCOMPARE(c.view->verticalScrollBar()->value(), c.view->verticalScrollBar()->maximum());
    }

    void console_command_matching()
    {
        QString probe_argument = "<none>";
        log->add_command("Probe", [&](QString a) { probe_argument = a; });
        log->add_command("pro", [](QString) {});
        log->add_command("secret", [](QString) {}, true);
        log->add_command("HELP", [&](QString) { probe_argument = "replaced help ran"; });

        QCOMPARE(log->command_for("help"), QString("help"));
        QCOMPARE(log->command_for("HeLp me please"), QString("help"));
        QCOMPARE(log->command_for("hel"), QString());
        QCOMPARE(log->command_for(" help"), QString());
        QCOMPARE(log->command_for("probe"), QString("probe"));
        QCOMPARE(log->command_for("prob"), QString("pro"));
        QCOMPARE(log->command_for("PROx"), QString("pro"));
        QCOMPARE(log->command_for(""), QString());

        show_app_tab();
        QLineEdit* line = log->filter_line();
        line->setText("PROBE Some Arg ");
        QTest::keyClick(line, Qt::Key_Return);
        QCOMPARE(probe_argument, QString(" Some Arg "));
        QCOMPARE(line->text(), QString());

        line->setText("nothing matches");
        QTest::keyClick(line, Qt::Key_Return);
        QCOMPARE(line->text(), QString("nothing matches"));
        line->clear();

        line->setText("Help extra words");
        QTest::keyClick(line, Qt::Key_Return);
        QCOMPARE(line->text(), QString());
        QVERIFY(wait_until([&] { return app_text().contains("List of commands:\n"); }));
        QVERIFY(wait_until([&] { return app_text().contains("    probe\n"); }));
        QStringList listing = app_text().mid(app_text().lastIndexOf("List of commands:\n")).split('\n');
        while (listing.size() > 1 && !listing.last().startsWith("    "))
            listing.removeLast();
        QCOMPARE(listing, QStringList({"List of commands:", "    help", "    pro", "    probe"}));
        QCOMPARE(probe_argument, QString(" Some Arg "));
    }

    void clear_log_asks_first()
    {
        log->open_log_window();
        log->add_data("Clearing", "keep me unless asked\n");
        QPushButton* clear = button_named(log->window(), "Clear log");
        QVERIFY(clear);

        QString title;
        test_support::act_on_modal_later([&](QWidget* w) {
            title = w->windowTitle();
            static_cast<QMessageBox*>(w)->button(QMessageBox::No)->click();
        });
        clear->click();
        QCOMPARE(title, QString("Clear application logs"));
        QCOMPARE(log->channel("Clearing").text, QString("keep me unless asked\n"));

        test_support::click_button_later("Yes");
        clear->click();
        QCOMPARE(log->channel("Clearing").text, QString());
        QCOMPARE(log->channel("Clearing").view->toPlainText(), QString());
        QCOMPARE(app_text(), QString());
        QVERIFY(log->tabs()->indexOf(log->channel("Clearing").view) >= 0);
    }

    void system_report_sections()
    {
        log->add_data(app_name, "application line\n");
        log->add_data("Test", "test line\n");
        const QString report = log->system_report();

        QString expected = "Application: Orlavo (2.1.0)\nInstalled at: " + QCoreApplication::applicationDirPath() + "\n";
        QVERIFY(report.startsWith(expected + "Date: "));
        const int after_date = report.indexOf('\n', expected.size()) + 1;
        QVERIFY(after_date > 0);
        QString body = dashes + "\n" + ko::application_log::network_report() + dashes + "\n\n" + app_text();
        const QStringList names = {"Clearing", "Filtering", "Test"};
        for (const QString& name : names)
            body += "\n\n" + dashes + "\nApplication: " + name + "\n" + log->channel(name).text;
        QCOMPARE(report.mid(after_date), body);
        QVERIFY(report.contains("\n\n" + dashes + "\nApplication: Test\ntest line\n"));
    }

    void network_report_lists_loopback()
    {
        const QString report = ko::application_log::network_report();
        const QStringList lines = report.split('\n');
        const int at = lines.indexOf(QRegularExpression("^Interface: lo \\(lo\\) HW: .*"));
        QVERIFY2(at >= 0, qPrintable(report));
        const QString flags = lines.value(at + 1);
        QVERIFY(flags.startsWith('\t'));
        const QStringList order = {"IsUp", "IsRunning", "CanBroadcast", "IsLoopBack", "IsPointToPoint", "CanMulticast"};
        int previous = -1;
        for (const QString& f : flags.mid(1).split('|')) {
            QVERIFY2(order.indexOf(f) > previous, qPrintable(flags));
            previous = order.indexOf(f);
        }
        QVERIFY(flags.contains("IsLoopBack"));
        QVERIFY(report.contains("\tAddress: 127.0.0.1/8\n"));
        QVERIFY(report.endsWith('\n'));

        log->open_log_window();
        QPushButton* button = button_named(log->window(), "Network report");
        QVERIFY(button);
        button->click();
        QTextEdit* shown = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle() == "Network report")
                shown = qobject_cast<QTextEdit*>(w);
        QVERIFY(shown);
        QCOMPARE(shown->toPlainText(), report.left(report.size()));
        QVERIFY(shown->isReadOnly());
        QCOMPARE(shown->windowModality(), Qt::ApplicationModal);
        QPointer<QTextEdit> guard(shown);
        shown->close();
        QVERIFY(wait_until([&] { return guard.isNull(); }));
    }

    void saved_log_goes_to_desktop_or_home()
    {
        const QString home = QDir::homePath();
        const QString desktop = home + "/Desktop";
        QDir(desktop).removeRecursively();
        QCOMPARE(ko::application_log::log_folder(), home);

        log->add_data(app_name, QString::fromUtf8("saved \xe2\x82\xac line\n"));
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        const QString path = log->save_log();
        const qint64 after = QDateTime::currentSecsSinceEpoch();
        QFileInfo info(path);
        QCOMPARE(info.absolutePath(), home);
        const auto m = QRegularExpression("^Orlavo Log (\\d+)\\.log$").match(info.fileName());
        QVERIFY2(m.hasMatch(), qPrintable(info.fileName()));
        QVERIFY(m.captured(1).toLongLong() >= before && m.captured(1).toLongLong() <= after);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(!bytes.startsWith("\xef\xbb\xbf"));
        const QString text = QString::fromUtf8(bytes);
        QVERIFY(text.startsWith("Application: Orlavo (2.1.0)\n"));
        QCOMPARE(text.count(dashes + "\n"), 2 + 3);
        QVERIFY(text.contains(QString::fromUtf8("saved \xe2\x82\xac line\n")));

        QVERIFY(QDir().mkpath(desktop));
        QCOMPARE(ko::application_log::log_folder(), desktop);
        QString confirmation;
        test_support::act_on_modal_later([&](QWidget* w) {
            confirmation = w->windowTitle() + "|" + static_cast<QMessageBox*>(w)->text();
            static_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
        });
        button_named(log->window(), "Save to disk")->click();
        QVERIFY2(confirmation.startsWith("Application logs saved|The application logs were saved to\n" + desktop
                                         + "/Orlavo Log "),
                 qPrintable(confirmation));
        const QString saved = confirmation.section('\n', 1);
        QVERIFY(QFile::exists(saved));
    }

    void failed_saves_are_reported_not_confirmed()
    {
        QString shown;
        auto answer_warning = [&]() {
            shown.clear();
            test_support::act_on_modal_later([&](QWidget* w) {
                shown = w->windowTitle() + "|" + static_cast<QMessageBox*>(w)->text();
                static_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
            });
        };

        const QString missing = QDir::homePath() + "/no such folder/x.log";
        answer_warning();
        QCOMPARE(log->save_log_to(missing), QString());
        QCOMPARE(shown, "Failed to save application logs|Can't save the application logs to\n" + missing
                            + "\n\nYou might not have write permission or the disk might be full.");
        QVERIFY(!QFile::exists(missing));

        // A device that takes the open but not the data: the failure shows up
        // when the text is written or flushed, and must not count as saved.
        if (QFile::exists("/dev/full")) {
            answer_warning();
            QCOMPARE(log->save_log_to("/dev/full"), QString());
            QVERIFY2(shown.startsWith("Failed to save application logs|"), qPrintable(shown));
            QVERIFY(shown.contains("/dev/full"));
        }
    }

    void exits_cleanly_with_the_window_open()
    {
        for (const QString& mode : {QString("exit_with_log_window"), QString("destroy_without_exec")}) {
            const test_support::child_result r = test_support::run_child(mode);
            QVERIFY2(r.finished, qPrintable(mode));
            QVERIFY2(!r.crashed, qPrintable(mode + ": " + r.standard_error));
            QCOMPARE(r.exit_code, 0);
            QVERIFY2(r.standard_output.contains("Warning: child is running\n"), qPrintable(r.standard_output));
            QVERIFY2(r.standard_output.contains("after the application object\n"), qPrintable(r.standard_output));
            if (mode == "exit_with_log_window")
                QVERIFY2(r.standard_output.contains("streams restored, window deleted\n"),
                         qPrintable(r.standard_output));
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
            const bool restored = !dynamic_cast<ko::copy_streambuf<char>*>(std::cout.rdbuf())
                                  && !dynamic_cast<ko::copy_streambuf<char>*>(std::cerr.rdbuf());
            const bool deleted = !ko::application_log::instance()->window();
            if (restored && deleted)
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
