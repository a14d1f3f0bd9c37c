// Request objects, request framing helpers, the software tags and the
// supported-extension table: everything of the bridge that needs no process.
#include "ko/exiftool.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <string>

Q_DECLARE_METATYPE(ko::exif_error)

class test_exiftool_response : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<ko::exif_error>(); qRegisterMetaType<ko::exif_response*>(); }

    void wait_on_complete_response_emits_nothing()
    {
        ko::exif_response response;
        response.answer = "-A=1\n";
        response.set_done();
        QSignalSpy ready(&response, &ko::exif_response::ready);
        QSignalSpy error(&response, &ko::exif_response::error);
        QSignalSpy finished(&response, &ko::exif_response::finished);
        QVERIFY(response.wait(1000));
        QVERIFY(response.ok());
        QCOMPARE(response.data(), QByteArray("-A=1\n"));
        QCOMPARE(ready.size() + error.size() + finished.size(), 0);
    }

    void zero_time_out()
    {
        ko::exif_response pending;
        QSignalSpy error(&pending, &ko::exif_response::error);
        QSignalSpy finished(&pending, &ko::exif_response::finished);
        QVERIFY(!pending.wait(0));
        QCOMPARE(error.size(), 1);
        QCOMPARE(error.at(0).at(0).value<ko::exif_error>(), ko::exif_error::timeout);
        QCOMPARE(int(ko::exif_error::timeout), 0);
        QCOMPARE(finished.size(), 1);
        QVERIFY(!pending.done);

        ko::exif_response complete;
        complete.set_done();
        QVERIFY(complete.wait(0));
    }

    void time_out_then_late_answer()
    {
        ko::exif_response response;
        QStringList order;
        connect(&response, &ko::exif_response::ready, [&](ko::exif_response* r) {
            QCOMPARE(r, &response);
            order << "ready";
        });
        connect(&response, &ko::exif_response::error, [&] { order << "error"; });
        connect(&response, &ko::exif_response::finished, [&] { order << "finished"; });
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!response.wait(100));
        QVERIFY(timer.elapsed() >= 95);
        QVERIFY(timer.elapsed() < 2000);

        // The answer arrives later, from another thread.
        QThread* late = QThread::create([&] {
            response.answer = "late";
            response.set_done();
        });
        late->start();
        QVERIFY(late->wait(5000));
        delete late;
        QCOMPARE(order, (QStringList{"error", "finished", "ready", "finished"}));
        QVERIFY(response.ok());
        QCOMPARE(response.data(), QByteArray("late"));
    }

    void answer_from_other_thread_ends_wait()
    {
        ko::exif_response response;
        QThread* answering = QThread::create([&] {
            QThread::msleep(50);
            response.answer = QByteArray(5000, 'x');
            response.set_done();
        });
        answering->start();
        QElapsedTimer timer;
        timer.start();
        QVERIFY(response.wait(5000));
        QVERIFY(timer.elapsed() < 2000);
        QCOMPARE(response.data().size(), 5000);
        QVERIFY(answering->wait(5000));
        delete answering;
    }

    void cancelled_response()
    {
        ko::exif_response response;
        QSignalSpy finished(&response, &ko::exif_response::finished);
        response.cancel();
        response.answer = "kept";
        response.set_done();
        response.set_error(ko::exif_error::timeout);
        QCOMPARE(finished.size(), 0);
        QVERIFY(!response.done);
        QVERIFY(!response.ok());
        QCOMPARE(response.data(), QByteArray("kept"));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!response.wait(5000));
        QVERIFY(timer.elapsed() < 1000);
        QCOMPARE(finished.size(), 0);
    }

    void cancel_during_wait()
    {
        ko::exif_response response;
        QTimer::singleShot(50, [&] { response.cancel(); });
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!response.wait(5000));
        QVERIFY(timer.elapsed() < 1000);
    }

    void set_done_twice_and_error_after_done()
    {
        ko::exif_response response;
        QSignalSpy ready(&response, &ko::exif_response::ready);
        QSignalSpy finished(&response, &ko::exif_response::finished);
        response.set_done();
        response.set_done();
        QCOMPARE(ready.size(), 2);
        QCOMPARE(finished.size(), 2);
        response.set_error(ko::exif_error::timeout);
        QVERIFY(!response.ok());
        QCOMPARE(finished.size(), 3);
        response.set_done();
        QVERIFY(response.ok());
    }

    void markers()
    {
        QCOMPARE(ko::exiftool_worker::execute_marker(0), QByteArray("\n-execute0\n"));
        QCOMPARE(ko::exiftool_worker::execute_marker(1234567), QByteArray("\n-execute1234567\n"));
        QCOMPARE(ko::exiftool_worker::output_marker(7), QByteArray("{ready7}\r\n"));
        QCOMPARE(ko::exiftool_worker::output_marker(-3), QByteArray("{ready-3}\r\n"));
    }

    void software_tags()
    {
        QCoreApplication::setOrganizationName("Quenmark");
        QCoreApplication::setApplicationName("Orlavo");
        exif_tag_map tags{{"Software", "old"}, {"Artist", "me"}};
        ko::exiftool::software_tags(tags);
        QCOMPARE(tags.size(), size_t(3));
        QCOMPARE(tags["Software"], QString("Quenmark - Orlavo"));
        QCOMPARE(tags["CreatorTool"], QString("Quenmark - Orlavo"));
        QCOMPARE(tags["Artist"], QString("me"));
        exif_tag_map empty;
        ko::exiftool::software_tags(empty);
        QCOMPARE(empty.size(), size_t(2));
        QCOMPARE(empty.begin()->first, QString("CreatorTool")); // key order of the write block
    }

    void tag_map_order()
    {
        exif_tag_map tags{{"GPSLatitudeRef", "N"}, {"GPSLatitude#", "47.5"}, {"GPSLatitude", ""},
                          {"aperture", "1"}, {"Zoom", "2"}};
        QStringList keys;
        for (const auto& entry : tags)
            keys << entry.first;
        QCOMPARE(keys, (QStringList{"GPSLatitude", "GPSLatitude#", "GPSLatitudeRef", "Zoom", "aperture"}));
    }

    void supported_extensions_table()
    {
        QCOMPARE(supported_extensions.size(), size_t(104));
        auto member = [](const std::string& s) { return supported_extensions.count(s) == 1; };
        QVERIFY(member("jpg") && member("jpeg") && member("jpe"));
        QVERIFY(!member("jp") && !member("JPG") && !member(".jpg") && !member("") && !member("gpx"));
        const QByteArray suffix = QString("TIFF").toLower().toUtf8();
        QVERIFY(supported_extensions.count(std::string_view(suffix.constData(), size_t(suffix.size()))) == 1);

        std::vector<std::string_view> all(supported_extensions.begin(), supported_extensions.end());
        const std::vector<std::string_view> first{"360", "3g2", "3gp", "3gp2", "3gpp"};
        QVERIFY(std::equal(first.begin(), first.end(), all.begin()));
        QCOMPARE(QByteArray(all[102].data(), int(all[102].size())), QByteArray("x3f"));
        QCOMPARE(QByteArray(all[103].data(), int(all[103].size())), QByteArray("xmp"));
        int two = 0, three = 0, four = 0;
        for (size_t i = 0; i < all.size(); ++i) {
            if (i > 0)
                QVERIFY(all[i - 1] < all[i]);
            for (char c : all[i])
                QVERIFY((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'));
            two += all[i].size() == 2;
            three += all[i].size() == 3;
            four += all[i].size() == 4;
        }
        QCOMPARE(two, 3);
        QCOMPARE(three, 83);
        QCOMPARE(four, 18);
        auto pos = [&](std::string_view s) { return std::find(all.begin(), all.end(), s) - all.begin(); };
        QVERIFY(pos("eps") + 1 == pos("eps2") && pos("eps2") < pos("epsf"));
        QVERIFY(pos("tif") + 1 == pos("tiff"));
        QVERIFY(pos("ps") + 1 == pos("ps2") && pos("psd") + 1 == pos("psdt"));
        QVERIFY(member("ai") && member("ps") && member("qt"));
    }
};

QTEST_MAIN(test_exiftool_response)
#include "test_exiftool_response.moc"
