// The limit fields' validator alone and inside a line edit.
#include "number_validator.h"

#include <QLineEdit>
#include <QtTest>

class test_number_validator : public QObject {
    Q_OBJECT
private:
    QValidator::State check(const QString& input)
    {
        number_validator v;
        QString text = input;
        int pos = text.size();
        return v.validate(text, pos);
    }

private slots:
    void states()
    {
        QCOMPARE(check("15"), QValidator::Acceptable);
        QCOMPARE(check("0"), QValidator::Acceptable);
        QCOMPARE(check(""), QValidator::Intermediate);
        QCOMPARE(check("1.5"), QValidator::Invalid);
        QCOMPARE(check("1,5"), QValidator::Invalid);
        QCOMPARE(check("1,000"), QValidator::Invalid);
        QCOMPARE(check("-5"), QValidator::Invalid);
        QCOMPARE(check("abc"), QValidator::Invalid);
    }

    void range_fits_seconds_in_an_int()
    {
        QCOMPARE(number_validator::max_minutes, 35791394);
        QCOMPARE(check(QString::number(number_validator::max_minutes)), QValidator::Acceptable);
        QCOMPARE(check(QString::number(number_validator::max_minutes + 1)), QValidator::Invalid);
        QCOMPARE(check("99999999999"), QValidator::Invalid);
        QVERIFY(qint64(number_validator::max_minutes) * 60 <= std::numeric_limits<int>::max());
    }

    void fixup_removes_separators()
    {
        number_validator v;
        QString text = "1.000";
        v.fixup(text);
        QCOMPARE(text, QString("1000"));
        text = "2,5";
        v.fixup(text);
        QCOMPARE(text, QString("25"));
    }

    void typing_into_a_field()
    {
        QLineEdit edit;
        number_validator v;
        edit.setValidator(&v);
        edit.show();
        QTest::keyClicks(&edit, "1.5");
        QCOMPARE(edit.text(), QString("15"));
        edit.clear();
        QTest::keyClicks(&edit, "-3");
        QCOMPARE(edit.text(), QString("3"));
        edit.clear();
        QTest::keyClicks(&edit, "40000000");
        QCOMPARE(edit.text(), QString("4000000"));
    }
};

QTEST_MAIN(test_number_validator)
#include "test_number_validator.moc"
