// Component revisions, build constants and the information report text.
#include "build_information.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSysInfo>
#include <QtTest>

class test_build_information : public QObject {
    Q_OBJECT
private slots:
    void components()
    {
        const auto map = component_versions();
        QCOMPARE(map.size(), size_t(3));
        const QRegularExpression hex7("^[0-9a-f]{7}$");
        for (const auto& e : map)
            QVERIFY2(hex7.match(QString::fromStdString(e.second)).hasMatch(), e.second.c_str());
        QCOMPARE(application_revision(), map.at("application"));
        const std::string report = component_report();
        const std::string expected = "Component: application\tVersion: " + map.at("application") +
                                     "\nComponent: ko_infrastructure\tVersion: " + map.at("ko_infrastructure") +
                                     "\nComponent: ko_toolkit\tVersion: " + map.at("ko_toolkit") + "\n";
        QCOMPARE(QString::fromStdString(report), QString::fromStdString(expected));
    }

    void build_constants()
    {
        QVERIFY(QRegularExpression("^gcc Version: \\d+\\.\\d+\\.\\d+\\n$")
                    .match(QString::fromStdString(compiler_line()))
                    .hasMatch());
        QVERIFY(QRegularExpression("^Build: [A-Z][a-z]{2} [ \\d]\\d \\d{4} \\d\\d:\\d\\d:\\d\\d\\n$")
                    .match(QString::fromStdString(build_stamp_line()))
                    .hasMatch());
    }

    void report_lines()
    {
        QCoreApplication::setApplicationName("Orlavo");
        QCoreApplication::setApplicationVersion("2.1.0");
        const QString text = application_information_text({});
        const QStringList lines = text.split('\n');
        QCOMPARE(lines.at(0), "OS: " + QSysInfo::prettyProductName());
        QCOMPARE(lines.at(1), "ABI: " + QSysInfo::buildAbi());
        QVERIFY(lines.at(2).startsWith("gcc Version: "));
        QCOMPARE(lines.at(3), QString());
        QCOMPARE(lines.at(4), QString("Application: Orlavo"));
        QCOMPARE(lines.at(5), QString("Version: 2.1.0"));
        QVERIFY(lines.at(6).startsWith("Build: "));
        QCOMPARE(lines.at(7), QString());
        QVERIFY(lines.at(8).startsWith("Component: application\tVersion: "));
        QVERIFY(lines.at(10).startsWith("Component: ko_toolkit\tVersion: "));
        QVERIFY(text.endsWith(QString::fromStdString(component_report())));

        const QString with_extra = application_information_text({{"b", "2"}, {"a", "1"}});
        QVERIFY(with_extra.startsWith(text));
        QCOMPARE(with_extra.mid(text.size()), QString("\na:\t\t1\nb:\t\t2\n"));
    }
};

QTEST_MAIN(test_build_information)
#include "test_build_information.moc"
