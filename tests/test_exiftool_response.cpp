// Request objects: waiting, time-outs, late answers, cancelling, and the
// parts of the bridge that need no process.
#include "ko/exiftool.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

Q_DECLARE_METATYPE(ko::exif_error)

class test_exiftool_response : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<ko::exif_error>(); qRegisterMetaType<ko::exif_response*>(); }

    void time_out_then_late_answer_from_other_thread()
    {
        ko::exif_response response;
        QStringList order;
        connect(&response, &ko::exif_response::ready, [&](ko::exif_response* r) {
            QCOMPARE(r, &response);
            order << "ready";
        });
        connect(&response, &ko::exif_response::error, [&](ko::exif_error e) {
            QCOMPARE(e, ko::exif_error::timeout);
            order << "error";
        });
        connect(&response, &ko::exif_response::finished, [&] { order << "finished"; });
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!response.wait(100));
        QVERIFY(timer.elapsed() >= 95 && timer.elapsed() < 2000);

        QThread* late = QThread::create([&] {
            response.answer = QByteArray(5000, 'x');
            response.set_done();
        });
        late->start();
        QVERIFY(late->wait(5000));
        delete late;
        QCOMPARE(order, (QStringList{"error", "finished", "ready", "finished"}));
        QVERIFY(response.ok());
        QCOMPARE(response.data().size(), 5000);
        order.clear();
        QVERIFY(response.wait(0)); // already done: no signals
        QVERIFY(order.isEmpty());
    }

    void cancelled_response_fails_at_once()
    {
        ko::exif_response response;
        QSignalSpy finished(&response, &ko::exif_response::finished);
        response.cancel();
        response.answer = "kept";
        response.set_done();
        QVERIFY(!response.ok());
        QCOMPARE(response.data(), QByteArray("kept"));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!response.wait(5000));
        QVERIFY(timer.elapsed() < 1000);
        QCOMPARE(finished.size(), 0);

        // Cancelled while someone waits: the wait ends.
        ko::exif_response waited;
        QTimer::singleShot(50, [&] { waited.cancel(); });
        timer.restart();
        QVERIFY(!waited.wait(5000));
        QVERIFY(timer.elapsed() < 1000);
    }

    void software_tags_and_extensions()
    {
        QCoreApplication::setOrganizationName("Quenmark");
        QCoreApplication::setApplicationName("Orlavo");
        exif_tag_map tags{{"Software", "old"}, {"Artist", "me"}};
        ko::exiftool::software_tags(tags);
        QCOMPARE(tags, (exif_tag_map{{"Artist", "me"}, {"CreatorTool", "Quenmark - Orlavo"},
                                     {"Software", "Quenmark - Orlavo"}}));

        auto member = [](const char* s) { return supported_extensions.count(s) == 1; };
        QVERIFY(member("jpg") && member("jpe") && member("tiff") && member("xmp") && member("3gp"));
        QVERIFY(!member("jp") && !member("JPG") && !member(".jpg") && !member("") && !member("gpx"));
    }
};

QTEST_MAIN(test_exiftool_response)
#include "test_exiftool_response.moc"
