// Input during a long operation: with an ExifTool that answers slowly, the
// clicks, drops and file-open events that arrive while files load neither
// run in the middle of the load nor afterwards.
#include "main_window.h"

#include "drop_area.h"
#include "table_data_model.h"
#include "window_support.h"

#include "ko/application.h"
#include "ko/button_dark.h"
#include "ko/exiftool.h"

#include <QFileOpenEvent>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class test_main_window : public QObject {
    Q_OBJECT
public:
    ko::application<MainWindow>* app = nullptr;

private slots:
    void input_during_a_load_is_discarded()
    {
        QTemporaryDir dir;
        QStringList photos;
        for (int i = 0; i < 3; ++i) {
            photos << dir.filePath(QString("p%1.jpg").arg(i));
            QVERIFY(window_support::make_photo(photos.last(), QString("2023:05:01 10:0%1:00").arg(i)));
        }
        const QString other = dir.filePath("other.jpg");
        QVERIFY(window_support::make_photo(other, "2023:05:01 12:00:00"));

        MainWindow w;
        app->window = &w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QSignalSpy cleared(w.clear_button, &QPushButton::clicked);

        bool during = false;
        bool busy_seen = false;
        QTimer::singleShot(200, [&]() {
            during = true;
            busy_seen = w.operation_running();
            // A click through the window system's queue: held back now.
            window_support::queue_window_system_click(w.clear_button);
            // A click delivered at once.
            QTest::mouseClick(w.clear_button, Qt::LeftButton);
            // A file-open event and a drop.
            QFileOpenEvent open_event(other);
            QCoreApplication::sendEvent(app, &open_event);
            QMimeData mime;
            mime.setUrls({QUrl::fromLocalFile(other)});
            QDropEvent drop(QPointF(150, 150), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(w.drop_widget, &drop);
            // And a second load started by code.
            w.load_files({other});
        });
        QElapsedTimer clock;
        clock.start();
        w.load_files(photos);
        QVERIFY2(clock.elapsed() > 600, "the slow ExifTool was not slow");
        QVERIFY(during);
        QVERIFY(busy_seen);
        QVERIFY(!w.operation_running());

        QTest::qWait(300);
        QCOMPARE(cleared.count(), 0);
        QCOMPARE(w.table_model->rowCount(), 3);
        for (int r = 0; r < 3; ++r)
            QVERIFY(w.table_model->data(w.table_model->index(r, 0), Qt::UserRole).toString() != other);

        // The same queued click after the operation does its work: the
        // discarding above was the guard's doing.
        window_support::queue_window_system_click(w.clear_button);
        QTRY_COMPARE_WITH_TIMEOUT(cleared.count(), 1, 2000);
        QCOMPARE(w.table_model->rowCount(), 0);
        app->window = nullptr;
    }
};

int main(int argc, char** argv)
{
    qputenv("ORLAVO_EXIFTOOL", window_support::slow_exiftool().toUtf8());
    qputenv("WINDOW_SLOW_EXIFTOOL_MS", "150");
    QCoreApplication::setOrganizationName("Quenmark");
    QCoreApplication::setApplicationName("Orlavo");
    ko::application<MainWindow> app(argc, argv);
    test_main_window test;
    test.app = &app;
    const int result = QTest::qExec(&test, argc, argv);
    // No event loop ran, so no aboutToQuit: stop ExifTool here.
    ko::exiftool::shutdown();
    return result;
}

#include "test_main_window_busy.moc"
