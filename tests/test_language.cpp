// The language setting, the restart prompt (only "Quit now" quits), the help
// page (its URL captured instead of starting a browser) and the translations.
#include "ko/language.h"
#include "child_support.h"
#include "dialog_support.h"
#include "test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QtTest>

#include <iostream>

namespace {

void set_identity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Quenmark"));
    QCoreApplication::setApplicationName(QStringLiteral("Orlavo"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.1.0"));
}

void store_language(const QString& code)
{
    QSettings settings;
    if (code.isEmpty())
        settings.remove(QStringLiteral("lang"));
    else
        settings.setValue(QStringLiteral("lang"), code);
    settings.sync();
}

QString read_file(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

class url_catcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class test_language : public QObject {
    Q_OBJECT
    url_catcher catcher;

private slots:
    void initTestCase()
    {
        set_identity();
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    void init() { store_language(QString()); }

    void language_codes_and_stored_code()
    {
        QCOMPARE(ko::language_code(QLocale(QLocale::Korean)), QString("kr"));
        QCOMPARE(ko::language_code(QLocale(QLocale::Italian)), QString());
        QCOMPARE(ko::language_code(QLocale(QLocale::German, QLocale::Austria)), QString("de"));
        store_language("xx"); // a stored code is taken unchecked
        QCOMPARE(ko::get_language("lang"), QString("xx"));
        QCOMPARE(ko::get_language("no_such_key_here"), QString("en")); // C.UTF-8 system
    }

    void system_language_decides_when_nothing_is_stored_data()
    {
        QTest::addColumn<QString>("lang_env");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("austrian system") << "de_AT.UTF-8" << "" << "de";
        QTest::newRow("french system, French has a code") << "fr_FR.UTF-8" << "" << "en";
        QTest::newRow("stored en on german system") << "de_DE.UTF-8" << "en" << "en";
    }
    void system_language_decides_when_nothing_is_stored()
    {
        QFETCH(QString, lang_env);
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        store_language(stored);
        const auto r = test_support::run_child("get_language", {{"LANG", lang_env}},
                                               {"LC_ALL", "LC_NUMERIC", "LC_MESSAGES", "LANGUAGE"});
        QVERIFY(r.finished && !r.crashed);
        QCOMPARE(r.standard_output.trimmed(), "language=" + expected);
    }

    void unchanged_language_asks_nothing()
    {
        store_language("de");
        bool asked = false;
        QTimer probe;
        connect(&probe, &QTimer::timeout, [&] { asked = asked || QApplication::activeModalWidget(); });
        probe.start(5);
        QCOMPARE(ko::confirm_language_change(nullptr, "de"), false);
        QTest::qWait(50);
        QVERIFY(!asked);
    }

    // Escape and closing the prompt must not quit with unsaved work.
    void only_quit_now_quits_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("exit_code");
        // The child's event loop ends with 0 when quit is called, else with 5
        // from its own timer once the prompt is over.
        QTest::newRow("quit now") << "prompt_quit_now" << "result=true" << 0;
        QTest::newRow("escape") << "prompt_escape" << "result=false" << 5;
        QTest::newRow("window closed") << "prompt_close" << "result=false" << 5;
        QTest::newRow("continue working") << "prompt_continue" << "result=false" << 5;
    }
    void only_quit_now_quits()
    {
        QFETCH(QString, mode);
        QFETCH(QString, answer);
        QFETCH(int, exit_code);
        const auto r = test_support::run_child(mode);
        QVERIFY(r.finished && !r.crashed);
        QVERIFY2(r.standard_output.contains(answer), qPrintable(r.standard_output + r.standard_error));
        QCOMPARE(r.exit_code, exit_code);
    }

    void help_page_per_language_in_users_folder()
    {
        for (const QString& code : {QString("de"), QString("xx"), QString("../help/index_de")}) {
            store_language(code); // unknown codes, and codes that look like paths, give English
            catcher.urls.clear();
            QVERIFY(ko::open_help(":/help/index_%1.html"));
            const QString path = ko::help_folder() + (code == "de" ? "/orlavo_help_de.html" : "/orlavo_help_en.html");
            QVERIFY(path.startsWith(QDir::homePath() + "/"));
            QCOMPARE(catcher.urls, QList<QUrl>({QUrl::fromLocalFile(path)}));
            QVERIFY(!catcher.urls.at(0).toString().startsWith("file:////"));
            const QString page = read_file(path);
            QVERIFY(page.contains(code == "de" ? "<title>Hilfe" : "<title>Help"));
            QVERIFY(page.contains(code == "de" ? "Strg" : "Ctrl"));
        }
        // A stale page is written again.
        const QString path = ko::help_folder() + "/orlavo_help_en.html", page = read_file(path);
        QFile stale(path);
        QVERIFY(stale.open(QIODevice::WriteOnly | QIODevice::Truncate) && stale.write("stale") == 5);
        stale.close();
        QVERIFY(ko::open_help(":/help/index_%1.html"));
        QCOMPARE(read_file(path), page);
    }

    void help_page_failures_open_nothing()
    {
        catcher.urls.clear();
        QTest::ignoreMessage(QtWarningMsg, "Could not open help file for language \"en\" with template "
                                           "\":/help/missing_%1.html\" resulting in \":/help/missing_en.html\"");
        QVERIFY(!ko::open_help(":/help/missing_%1.html"));

        // The help folder's place is taken by a file: the page cannot be
        // written, and no stale or missing page is opened.
        const QString folder = ko::help_folder();
        QDir(folder).removeRecursively();
        QFile blocker(folder);
        QVERIFY(QDir().mkpath(QFileInfo(folder).absolutePath()) && blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Could not write help page"));
        QVERIFY(!ko::open_help(":/help/index_%1.html"));
        QVERIFY(catcher.urls.isEmpty());
        QFile::remove(folder);
    }

    void toolkit_translations_load()
    {
        for (const char* code : {"de", "es", "fr", "it"}) {
            QTranslator t;
            QVERIFY2(t.load(QString(":/translations/toolkit_") + code), qPrintable(code));
            QVERIFY(!t.translate("QObject", "Quit now").isEmpty());
        }
        QTranslator german;
        QVERIFY(german.load(":/translations/toolkit_de"));
        QCoreApplication::installTranslator(&german);
        QCOMPARE(QCoreApplication::translate("ko::application_log", "Clear log"), QString("Protokoll leeren"));
        store_language("de");
        QString no_text;
        test_support::act_on_modal_later([&](QWidget* w) {
            auto* box = static_cast<QMessageBox*>(w);
            no_text = box->button(QMessageBox::No)->text();
            box->button(QMessageBox::Yes)->click();
        });
        QCOMPARE(ko::confirm_language_change(nullptr, "en"), false);
        QCOMPARE(no_text, QString("Jetzt beenden"));
        QCoreApplication::removeTranslator(&german);
    }
};

static int run_child(const QString& mode, int argc, char** argv)
{
    set_identity();
    QApplication app(argc, argv);
    if (mode == "get_language") {
        std::cout << "language=" << ko::get_language("lang").toStdString() << std::endl;
        return 0;
    }

    // Without a window of its own the program would end with the prompt closing.
    QWidget main_window;
    main_window.show();
    store_language("de");
    QTimer::singleShot(0, &app, [mode] {
        if (mode == "prompt_quit_now" || mode == "prompt_continue")
            test_support::click_button_later(mode == "prompt_quit_now" ? "Quit now" : "Continue working");
        else
            test_support::act_on_modal_later([mode](QWidget* w) {
                mode == "prompt_escape" ? QTest::keyClick(w, Qt::Key_Escape) : void(w->close());
            });
        const bool quit = ko::confirm_language_change(nullptr, "en");
        std::cout << "result=" << (quit ? "true" : "false") << std::endl;
        QTimer::singleShot(200, [] { QCoreApplication::exit(5); });
    });
    QTimer::singleShot(10000, &app, [] { QCoreApplication::exit(9); });
    return app.exec();
}

int main(int argc, char** argv)
{
    if (test_support::is_child(argc, argv))
        return run_child(test_support::child_mode(argc, argv), argc, argv);
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    test_language tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "test_language.moc"
