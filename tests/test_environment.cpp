// The test environment itself: every test program runs with a private home
// and settings store, and the compiled-in fonts are there.
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

class test_environment : public QObject {
    Q_OBJECT
private slots:
    void isolated_home_and_settings()
    {
        const QString home = QDir::homePath();
        QVERIFY2(home.contains("orlavo-test."), qPrintable(home));
        QSettings settings("Quenmark", "Orlavo");
        QVERIFY2(settings.fileName().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")),
                 qPrintable(settings.fileName()));
        QCOMPARE(qEnvironmentVariable("LC_ALL"), QString("C.UTF-8"));
        QVERIFY(!qEnvironmentVariable("TZ").isEmpty());
    }
    void fonts_compiled_in()
    {
        QVERIFY(QFile::exists(":/images/FreeSans.ttf"));
        QVERIFY(QFile::exists(":/images/FreeSansBold.ttf"));
    }
};

QTEST_MAIN(test_environment)
#include "test_environment.moc"
