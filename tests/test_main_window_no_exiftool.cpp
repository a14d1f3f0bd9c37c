// Without a usable ExifTool the window says so after every batch, naming
// where it looked, instead of silently listing every file without data.
#include "main_window.h"

#include "dialog_support.h"
#include "table_data_model.h"
#include "test_support.h"

#include "ko/application.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

class test_main_window : public QObject {
    Q_OBJECT
private slots:
    void warned_with_the_location()
    {
        QTemporaryDir dir;
        const QString a = dir.filePath("a.jpg");
        const QString b = dir.filePath("b.jpg");
        QVERIFY(test_support::make_image(a));
        QVERIFY(test_support::make_image(b));

        MainWindow w;
        w.show();
        QCOMPARE(ko::exiftool::executable_path(), QString("/nonexistent/orlavo/exiftool"));

        int boxes = 0;
        QString title, text;
        test_support::act_on_modal_later([&](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                ++boxes;
                title = box->windowTitle();
                text = box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        QElapsedTimer clock;
        clock.start();
        w.load_files({a, b});
        QVERIFY2(clock.elapsed() < 10000, "a missing ExifTool must fail fast");
        QCOMPARE(boxes, 1);
        QCOMPARE(title, QString("ExifTool not available"));
        QVERIFY(text.contains("/nonexistent/orlavo/exiftool"));
        QCOMPARE(w.table_model->rowCount(), 2);
        QVERIFY(!w.operation_running());

        // Every batch that fails for this reason says so again.
        const QString c = dir.filePath("c.jpg");
        QVERIFY(test_support::make_image(c));
        boxes = 0;
        title.clear();
        test_support::act_on_modal_later([&](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                ++boxes;
                title = box->windowTitle();
                box->button(QMessageBox::Ok)->click();
            }
        });
        w.load_files({c});
        QCOMPARE(boxes, 1);
        QCOMPARE(title, QString("ExifTool not available"));
        QCOMPARE(w.table_model->rowCount(), 3);
    }
};

int main(int argc, char** argv)
{
    qputenv("ORLAVO_EXIFTOOL", "/nonexistent/orlavo/exiftool");
    QCoreApplication::setOrganizationName("Quenmark");
    QCoreApplication::setApplicationName("Orlavo");
    ko::application<MainWindow> app(argc, argv);
    test_main_window test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_main_window_no_exiftool.moc"
