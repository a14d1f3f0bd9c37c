// Coordinate texts: the tolerant number reader, the typed-coordinate reader
// and the degree/minute/second printer.
#include "gps_coordinates.h"

#include <QtTest>

#include <cmath>
#include <string>

class test_gps_coordinates : public QObject {
    Q_OBJECT
private slots:
    void number_separators_and_exponents_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("point decimal, comma thousands") << "1,234.56" << 1234.56;
        QTest::newRow("comma decimal, point thousands") << "1.234,56" << 1234.56;
        QTest::newRow("comma thousands twice") << "1,234,567" << 1234567.0;
        QTest::newRow("point thousands twice") << "1.234.567" << 1234567.0;
        QTest::newRow("comma decimal") << "1,5" << 1.5;
        QTest::newRow("one separator is decimal") << "1,500" << 1.5;
        QTest::newRow("exponent") << "1.5e3" << 1500.0;
        QTest::newRow("negative exponent") << "1.5e-3" << 0.0015;
        QTest::newRow("letters skipped") << "12abc3" << 123.0;
        QTest::newRow("equal separators with fraction-looking end") << "1,234,5" << 12345.0;
        QTest::newRow("negative") << "-12.5" << -12.5;
        // "e" outside digits is a letter, not an exponent.
        QTest::newRow("word with e") << "46 deg" << 46.0;
        QTest::newRow("e after blank") << "3 e5" << 35.0;
    }
    void number_separators_and_exponents()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        const double value = parse_number(text.toStdString(), -99);
        QVERIFY2(std::fabs(value - expected) < 1e-9 * std::max(1.0, std::fabs(expected)),
                 qPrintable(QString::number(value, 'g', 17)));
    }

    void number_fallback_and_long_input()
    {
        QCOMPARE(parse_number("", 7.0), 7.0);
        QCOMPARE(parse_number("abc", -1.0), -1.0);
        // Over- and underflow give a number or the fallback, never a crash.
        const double huge = parse_number(std::string(5000, '9'), 0);
        QVERIFY(std::isinf(huge) || huge > 1e300);
        QVERIFY(std::isfinite(parse_number("1e99999999999999999999", 0)) ||
                std::isinf(parse_number("1e99999999999999999999", 0)));
        QCOMPARE(parse_number("1e-99999999999", 5), 0.0);
        const std::string zeros = "1." + std::string(4000, '0') + "1";
        QVERIFY(!std::isnan(parse_number(zeros, 0)));
        (void)parse_coordinate(std::string(100000, '7') + "\xB0" + std::string(100000, '8') + "'");
    }

    void typed_coordinates_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("north") << QByteArray("46\xB0" "30'0\"") << 46.5;
        QTest::newRow("lower-case s") << QByteArray("46\xB0" "30'0\"s") << -46.5;
        QTest::newRow("minus and S cancel") << QByteArray("-46\xB0" "30'0\"S") << 46.5;
        QTest::newRow("minus") << QByteArray("  -46\xB0" "30'0\"") << -46.5;
        QTest::newRow("bare number is not read") << QByteArray("19") << 0.0;
        QTest::newRow("blank before letter") << QByteArray("46\xB0" "30'0\" S") << -46.5;
        QTest::newRow("blank after letter") << QByteArray("8\xB0" "15'0\"W ") << -8.25;
        QTest::newRow("seconds") << QByteArray("8\xB0" "15'36\"E") << 8.26;
        QTest::newRow("UTF-8 degree sign") << QByteArray("46\xC2\xB0" "30'0\" S") << -46.5;
        QTest::newRow("ExifTool deg") << QByteArray("46 deg 30' 0\" N") << 46.5;
        QTest::newRow("ExifTool deg south") << QByteArray("46 deg 30' 0.00\" S") << -46.5;
        QTest::newRow("decimal comma minutes") << QByteArray("10\xB0" "7,5'") << 10.125;
    }
    void typed_coordinates()
    {
        QFETCH(QByteArray, text);
        QFETCH(double, expected);
        const float value = parse_coordinate(text.toStdString());
        QVERIFY2(std::fabs(value - expected) < 1e-5, qPrintable(QString::number(value, 'g', 9)));
    }

    void degree_minute_second_text()
    {
        const QString degree(QChar(0x00B0));
        QCOMPARE(coordinate_to_dms(47.5f, true), "47" + degree + "30'0\"N");
        QCOMPARE(coordinate_to_dms(-19.25f, true), "-19" + degree + "-15'0\"S");
        QCOMPARE(coordinate_to_dms(-47.5f, false), "-47" + degree + "-30'0\"W");
        QVERIFY(coordinate_to_dms(0.0f, false).endsWith('W'));
        QVERIFY(coordinate_to_dms(0.0f, true).endsWith('S'));
        QVERIFY(coordinate_to_dms(8.25f, false).endsWith('E'));
        // The letter helper agrees with the printer.
        for (float v : {-90.0f, -0.5f, 0.0f, 0.25f, 179.9f}) {
            QCOMPARE(hemisphere_letter(v, true), coordinate_to_dms(v, true).back());
            QCOMPARE(hemisphere_letter(v, false), coordinate_to_dms(v, false).back());
        }
        // Round trip through the reader.
        const QString text = coordinate_to_dms(46.5f, true);
        QCOMPARE(parse_coordinate(text.toLatin1().toStdString()), 46.5f);
    }
};

QTEST_APPLESS_MAIN(test_gps_coordinates)
#include "test_gps_coordinates.moc"
