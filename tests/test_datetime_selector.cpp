// The date/time format selector: its buttons, the settings keys it reads
// and writes, and the combined format it offers and signals.
#include "ko/datetime_format_selector.h"
#include "ko/panel.h"
#include "ko/radio.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QVBoxLayout>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

namespace {

ko::radio* button(ko::datetime_format_selector& selector, const QString& text)
{
    for (ko::radio* r : selector.findChildren<ko::radio*>())
        if (r->text() == text)
            return r;
    return nullptr;
}

QStringList checked_buttons(ko::datetime_format_selector& selector)
{
    QStringList out;
    for (ko::radio* r : selector.findChildren<ko::radio*>())
        if (r->isChecked())
            out << r->text();
    out.sort();
    return out;
}

QStringList stored_keys()
{
    QSettings settings;
    settings.sync();
    return settings.allKeys();
}

void store(const QString& date, const QString& time)
{
    QSettings settings;
    settings.setValue("date_format", date);
    settings.setValue("time_format", time);
    settings.sync();
}

} // namespace

class test_datetime_selector : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName("Quenmark");
        QCoreApplication::setApplicationName("Orlavo");
    }

    void init()
    {
        QSettings settings;
        settings.clear();
        settings.sync();
    }

    void defaults_without_stored_values_and_nothing_written()
    {
        ko::datetime_format_selector selector;
        QCOMPARE(checked_buttons(selector), QStringList({"DD.MM.YYYY", "hh:mm:ss"}));
        QCOMPARE(selector.datetime_format(), QString("dd.MM.yyyy - HH:mm:ss"));
        QCOMPARE(selector.date_format(), QString("dd.MM.yyyy"));
        QCOMPARE(selector.time_format(), QString("HH:mm:ss"));
        QVERIFY(stored_keys().isEmpty());
    }

    void layout_of_buttons_and_frame()
    {
        ko::datetime_format_selector selector;
        QCOMPARE(selector.findChildren<ko::radio*>().size(), 9);
        QCOMPARE(selector.findChildren<ko::panel*>().size(), 1);
        const QStringList labels = {"DD/MM/YYYY", "DD-MM-YYYY", "DD.MM.YYYY", "YYYY/MM/DD", "YYYY-MM-DD",
                                    "YYYY.MM.DD", "MM/DD/YYYY", "hh:mm", "hh:mm:ss"};
        for (const QString& text : labels) {
            ko::radio* r = button(selector, text);
            QVERIFY2(r, qPrintable(text));
            QVERIFY(selector.isAncestorOf(r));
        }
        // Headings in the bold face.
        int headings = 0;
        for (QLabel* l : selector.findChildren<QLabel*>()) {
            if (l->text() == "Date Format" || l->text() == "Time Format") {
                ++headings;
                QVERIFY(QFontInfo(l->font()).bold());
                QCOMPARE(QFontInfo(l->font()).family(), QString("FreeSans"));
            }
        }
        QCOMPARE(headings, 2);
    }

    void stored_values_are_taken_as_they_are()
    {
        store("yyyy-MM-dd", "HH:mm");
        {
            ko::datetime_format_selector selector;
            QCOMPARE(checked_buttons(selector), QStringList({"YYYY-MM-DD", "hh:mm"}));
            QCOMPARE(selector.datetime_format(), QString("yyyy-MM-dd - HH:mm"));
        }
        // A text that is no table entry: used unchanged, no date button checked.
        store("d MMMM yyyy %1", "HH:mm:ss");
        ko::datetime_format_selector selector;
        QCOMPARE(checked_buttons(selector), QStringList({"hh:mm:ss"}));
        QCOMPARE(selector.datetime_format(), QString("d MMMM yyyy %1 - HH:mm:ss"));
    }

    void click_writes_both_keys_and_signals()
    {
        store("yyyy-MM-dd", "HH:mm:ss");
        ko::datetime_format_selector selector;
        QSignalSpy changed(&selector, &ko::datetime_format_selector::format_changed);
        button(selector, "hh:mm")->click();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toString(), QString("yyyy-MM-dd - HH:mm"));
        {
            QSettings settings;
            QCOMPARE(settings.value("date_format").toString(), QString("yyyy-MM-dd"));
            QCOMPARE(settings.value("time_format").toString(), QString("HH:mm"));
        }
        // The date set is left alone by a time click, and the reverse.
        QCOMPARE(checked_buttons(selector), QStringList({"YYYY-MM-DD", "hh:mm"}));
        button(selector, "MM/DD/YYYY")->click();
        QCOMPARE(checked_buttons(selector), QStringList({"MM/DD/YYYY", "hh:mm"}));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1).at(0).toString(), QString("MM/dd/yyyy - HH:mm"));
        QCOMPARE(QSettings().value("date_format").toString(), QString("MM/dd/yyyy"));

        // Clicking the checked button again writes and signals again.
        QSettings().remove("time_format");
        button(selector, "hh:mm")->click();
        QCOMPARE(changed.count(), 3);
        QCOMPARE(QSettings().value("time_format").toString(), QString("HH:mm"));
    }

    void every_button_stores_its_format_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("DD/MM/YYYY") << "DD/MM/YYYY" << "date_format" << "dd/MM/yyyy";
        QTest::newRow("DD.MM.YYYY") << "DD.MM.YYYY" << "date_format" << "dd.MM.yyyy";
        QTest::newRow("DD-MM-YYYY") << "DD-MM-YYYY" << "date_format" << "dd-MM-yyyy";
        QTest::newRow("YYYY/MM/DD") << "YYYY/MM/DD" << "date_format" << "yyyy/MM/dd";
        QTest::newRow("YYYY.MM.DD") << "YYYY.MM.DD" << "date_format" << "yyyy.MM.dd";
        QTest::newRow("YYYY-MM-DD") << "YYYY-MM-DD" << "date_format" << "yyyy-MM-dd";
        QTest::newRow("MM/DD/YYYY") << "MM/DD/YYYY" << "date_format" << "MM/dd/yyyy";
        QTest::newRow("hh:mm:ss") << "hh:mm:ss" << "time_format" << "HH:mm:ss";
        QTest::newRow("hh:mm") << "hh:mm" << "time_format" << "HH:mm";
    }
    void every_button_stores_its_format()
    {
        QFETCH(QString, label);
        QFETCH(QString, key);
        QFETCH(QString, value);
        ko::datetime_format_selector selector;
        button(selector, label)->click();
        QCOMPARE(QSettings().value(key).toString(), value);
        QCOMPARE(stored_keys().size(), 2);
        QVERIFY(button(selector, label)->isChecked());
        // A new selector picks the stored choice up.
        ko::datetime_format_selector again;
        QVERIFY(button(again, label)->isChecked());
    }

    // Under a real display, with ORLAVO_SCREENSHOT_DIR set.
    void screenshot()
    {
        const QString out = qEnvironmentVariable("ORLAVO_SCREENSHOT_DIR");
        if (out.isEmpty() || QGuiApplication::platformName() != "xcb")
            QSKIP("screenshots only with ORLAVO_SCREENSHOT_DIR under X");
        QWidget window;
        window.setObjectName("backdrop");
        window.setStyleSheet("#backdrop{background-color:rgb(47,47,47);}");
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(new ko::datetime_format_selector);
        window.move(0, 0);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(500);
        QCOMPARE(QProcess::execute("import", {"-window", "root", out + "/datetime_selector.png"}), 0);
    }
};

QTEST_MAIN(test_datetime_selector)
#include "test_datetime_selector.moc"
