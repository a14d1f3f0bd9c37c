// The date/time format selector: its buttons, the settings keys it reads
// and writes, and the combined format it offers and signals.
#include "ko/datetime_format_selector.h"
#include "ko/radio.h"

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
    QSettings().setValue("date_format", date);
    QSettings().setValue("time_format", time);
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

    void init() { QSettings().clear(); }

    void defaults_without_stored_values_and_nothing_written()
    {
        ko::datetime_format_selector selector;
        QCOMPARE(checked_buttons(selector), QStringList({"DD.MM.YYYY", "hh:mm:ss"}));
        QCOMPARE(selector.datetime_format(), QString("dd.MM.yyyy - HH:mm:ss"));
        QVERIFY(stored_keys().isEmpty());
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
        QCOMPARE(QSettings().value("date_format").toString(), QString("yyyy-MM-dd"));
        QCOMPARE(QSettings().value("time_format").toString(), QString("HH:mm"));
        // The date set is left alone by a time click, and the reverse.
        QCOMPARE(checked_buttons(selector), QStringList({"YYYY-MM-DD", "hh:mm"}));
        button(selector, "MM/DD/YYYY")->click();
        QCOMPARE(checked_buttons(selector), QStringList({"MM/DD/YYYY", "hh:mm"}));
        QCOMPARE(changed.at(1).at(0).toString(), QString("MM/dd/yyyy - HH:mm"));

        // Clicking the checked button again writes and signals again.
        QSettings().remove("time_format");
        button(selector, "hh:mm")->click();
        QCOMPARE(changed.count(), 3);
        QCOMPARE(QSettings().value("time_format").toString(), QString("HH:mm"));
    }

    // A few representative buttons: the stored choice is picked up again.
    void buttons_store_their_format()
    {
        const QStringList rows[] = {{"DD/MM/YYYY", "date_format", "dd/MM/yyyy"},
                                    {"YYYY.MM.DD", "date_format", "yyyy.MM.dd"},
                                    {"hh:mm:ss", "time_format", "HH:mm:ss"}};
        for (const QStringList& row : rows) {
            {
                ko::datetime_format_selector selector;
                button(selector, row[0])->click();
            }
            QCOMPARE(QSettings().value(row[1]).toString(), row[2]);
            QCOMPARE(stored_keys().size(), 2);
            ko::datetime_format_selector again;
            QVERIFY2(button(again, row[0])->isChecked(), qPrintable(row[0]));
        }
    }
};

QTEST_MAIN(test_datetime_selector)
#include "test_datetime_selector.moc"
