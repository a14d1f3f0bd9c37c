// Writing positions, removing GPS data and undo on the real window with the
// real ExifTool, on files made here; every result is checked with a
// separate exiftool run and the pixels are decoded before and after.
#include "main_window.h"

#include "dialog_support.h"
#include "drop_area.h"
#include "exif_cache.h"
#include "exiftool_support.h"
#include "file_names.h"
#include "gpx_samples.h"
#include "table_data_model.h"
#include "test_support.h"
#include "writing_support.h"

#include "ko/application.h"
#include "ko/button_dark.h"
#include "ko/exiftool.h"
#include "ko/lineedit.h"
#include "ko/radio.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileOpenEvent>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <cstdio>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using writing_support::box_script;
using writing_support::gps_tags;
using writing_support::pixels;
using writing_support::set_tags;

class test_main_window_write : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<MainWindow> w;

    // How the user hands a name to the window.
    enum route { by_drop, by_dialog, by_open_event };

    QString jpeg(const QString& name, const QString& time, const QStringList& tags = {})
    {
        const QString path = dir->filePath(name);
        if (!test_support::make_image(path, "JPEG"))
            return {};
        return set_tags(path, QStringList{"-DateTimeOriginal=2023:05:01 " + time} + tags) ? path : QString();
    }

    void set_mode(int mode) { w->mode_selected(mode, true); }

    void set_fixed(const QString& lat, const QString& lon)
    {
        w->latitude_edit->setText(lat);
        w->longitude_edit->setText(lon);
    }

    QStringList rows() const
    {
        QStringList r = w->table_model->row_paths();
        r.sort();
        return r;
    }

    // Runs act while the message boxes get the answers in turn; what was shown.
    static QList<box_script::box> answering(const QStringList& answers, const std::function<void()>& act)
    {
        box_script boxes(answers);
        act();
        return boxes.boxes;
    }

    QList<box_script::box> sync(const QStringList& answers = {})
    {
        return answering(answers, [this] { w->sync_button->click(); });
    }
    QList<box_script::box> remove(const QStringList& answers)
    {
        return answering(answers, [this] { w->remove_gps_button->click(); });
    }

    // A photo at 47.5 N 8.25 E, and every EXIF and XMP GPS tag.
    const QStringList at_47{"-GPSLatitude#=47.5", "-GPSLatitudeRef=N", "-GPSLongitude#=8.25", "-GPSLongitudeRef=E"};
    static QStringList full_gps()
    {
        return writing_support::all_exif_gps_assignments() + writing_support::xmp_gps_assignments();
    }

    static QMap<QString, QString> as_qmap(const exif_tag_map& map) { return QMap<QString, QString>(map); }

    static void compare_maps(const QMap<QString, QString>& actual, const QMap<QString, QString>& expected)
    {
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QVERIFY2(actual.value(it.key()) == it.value(),
                     qPrintable(QString("%1: %2 instead of %3").arg(it.key(), actual.value(it.key()), it.value())));
        for (auto it = actual.cbegin(); it != actual.cend(); ++it)
            QVERIFY2(expected.contains(it.key()), qPrintable(QString("%1 appeared (%2)").arg(it.key(), it.value())));
    }

    // Every GPS tag of the file, group by group, and its pixels (where Qt
    // can decode the format).
    struct file_state {
        QMap<QString, QString> tags;
        QByteArray pixels;
    };
    static QMap<QString, file_state> states(const QStringList& files)
    {
        QMap<QString, file_state> result;
        for (const QString& f : files)
            result[f] = {gps_tags(f), pixels(f)};
        return result;
    }
    static void compare_states(const QMap<QString, file_state>& actual, const QMap<QString, file_state>& expected)
    {
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            compare_maps(actual[it.key()].tags, it->tags);
            QCOMPARE(actual[it.key()].pixels, it->pixels);
        }
    }
    // The entries of the photo store's three maps: three per listed file.
    static int stored()
    {
        const auto store = exif_cache::instance();
        return int(store->records.size() + store->tags.size() + store->group_tags.size());
    }
    static bool holds_position(const QMap<QString, QString>& tags)
    {
        for (auto it = tags.cbegin(); it != tags.cend(); ++it)
            if (it.key().endsWith(":GPSLatitude") || it.key().endsWith(":GPSLongitude"))
                return true;
        return false;
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        w = std::make_unique<MainWindow>();
        w->show();
        // Each case starts in mode 2 with no limits.
        set_mode(2);
        w->photo_limit_edit->setText(QString());
        w->gpx_limit_edit->setText(QString());
    }

    void cleanup()
    {
        w.reset();
        if (qEnvironmentVariableIsSet("ORLAVO_EXIFTOOL")) {
            ko::exiftool_worker_shutdown();
            qunsetenv("ORLAVO_EXIFTOOL");
            qunsetenv("WINDOW_DYING_EXIFTOOL_BLIND");
        }
        const auto store = exif_cache::instance();
        store->records.clear();
        store->tags.clear();
        store->group_tags.clear();
        dir.reset();
    }

    // The snapshot: read afresh in one request, every GPS tag under the
    // group it was read from, numeric values, "=" in a value kept whole.
    void snapshot_of_a_file()
    {
        const QString full = jpeg("full.jpg", "10:00:00", full_gps());
        const QString bare = jpeg("bare.jpg", "10:00:00");
        const QString xmp_only = jpeg("xmp.jpg", "10:00:00", writing_support::xmp_gps_assignments(1.5, 2.5, 3));
        QVERIFY(!full.isEmpty() && !bare.isEmpty() && !xmp_only.isEmpty());
        w->load_files({full, bare, xmp_only});

        // What the store read at load time no longer counts.
        exif_cache::instance()->tags[full]["GPSLatitude"] = "1 deg 0' 0.00\" N";
        auto snapshot = w->gps_tag_map_for_file(full);
        QVERIFY(snapshot);
        QCOMPARE(as_qmap(*snapshot), gps_tags(full));
        QCOMPARE(int(snapshot->size()), 35);
        QCOMPARE(snapshot->at("GPS:GPSLatitude"), QString("47.5"));
        QCOMPARE(snapshot->at("GPS:GPSProcessingMethod"), QString("GPS=fix"));
        QCOMPARE(snapshot->at("XMP-exif:GPSLongitude"), QString("-20.25"));

        snapshot = w->gps_tag_map_for_file(bare);
        QVERIFY(snapshot && snapshot->empty());

        snapshot = w->gps_tag_map_for_file(xmp_only);
        QVERIFY(snapshot);
        QCOMPARE(as_qmap(*snapshot), gps_tags(xmp_only));
        QCOMPARE(snapshot->count("GPS:GPSLatitude"), size_t(0));

        QFile::remove(bare);
        QVERIFY(!w->gps_tag_map_for_file(bare));
    }

    // A sync writes where it says and an undo puts back every tag in the
    // group it was in: XMP GPS tags beside or instead of EXIF ones, a lone
    // XMP altitude (no XMP position is added for it), MIE's own GPS group.
    void sync_and_undo_keep_every_group()
    {
        const QString ref = jpeg("ref.jpg", "09:00:00", at_47);
        const QString a = jpeg("a.jpg", "10:00:00", {"-XMP-exif:GPSAltitude#=321", "-XMP-exif:GPSImgDirection#=100"});
        const QString p = dir->filePath("p.png");
        const QString t = dir->filePath("t.tif");
        QVERIFY(test_support::make_image(p, "PNG") && set_tags(p, {"-XMP-exif:GPSImgDirection#=45"}));
        QVERIFY(writing_support::write_tiff(t));
        // In a MIE file an unqualified write lands in two groups (as in a
        // CR3 raw file): the undo takes both away.
        const QString n = dir->filePath("n.mie");
        QVERIFY(writing_support::make_mie(n, {"-Artist=me"}));
        QVERIFY(!ref.isEmpty() && !a.isEmpty());
        QStringList files{a, p, t, n};
        auto before = states(files);

        w->load_files({ref, a, p, t, n});
        QCOMPARE(sync().size(), 0);
        QVERIFY(gps_tags(n).contains("MIE-GPS:GPSLatitude") && gps_tags(n).contains("GPS:GPSLatitude"));
        const auto a_after = gps_tags(a);
        QCOMPARE(a_after.value("GPS:GPSLatitude"), QString("47.5"));
        QVERIFY(!a_after.contains("XMP-exif:GPSLatitude") && !a_after.contains("XMP-exif:GPSLongitude"));
        QCOMPARE(a_after.value("XMP-exif:GPSAltitude"), QString("321"));
        QCOMPARE(a_after.value("XMP-exif:GPSImgDirection"), QString("100"));
        QCOMPARE(gps_tags(p).value("XMP-exif:GPSImgDirection"), QString("45"));
        QCOMPARE(w->undo_map.keys(), QStringList({a, n, p, t}));
        w->undo_button->click();
        compare_states(states(files), before);

        // Mode 3 on files with positions of their own deletes the other GPS
        // tags of every group; the undo brings each back into its group.
        const QString b = jpeg("b.jpg", "10:00:00", full_gps() + QStringList{"-XMP-exif:GPSImgDirection#=100"});
        const QString m = dir->filePath("m.mie");
        QVERIFY(writing_support::make_mie(m, at_47 + QStringList{"-GPSAltitude#=300"}));
        QVERIFY(gps_tags(m).contains("MIE-GPS:GPSLatitude"));
        files = QStringList{b, m, p};
        before = states(files);
        w->clear_files();
        w->load_files(files);
        set_mode(3);
        set_fixed("-33.5", "-70.25");
        QCOMPARE(sync({"Continue"}).size(), 1);
        QCOMPARE(gps_tags(b).value("GPS:GPSLatitude"), QString("33.5"));
        QVERIFY(!gps_tags(b).contains("XMP-exif:GPSImgDirection"));
        w->undo_button->click();
        compare_states(states(files), before);
    }

    // After a removal ExifTool reads no position in a file counted as done,
    // MIE's own GPS group included; the undo restores every group.
    void remove_leaves_no_position_and_undo_restores_every_group()
    {
        const QString b = jpeg("b.jpg", "10:00:00", full_gps() + QStringList{"-XMP-exif:GPSImgDirection#=100"});
        const QString m = dir->filePath("m.mie");
        const QString x = dir->filePath("x.png");
        QVERIFY(!b.isEmpty() && writing_support::make_mie(m, at_47));
        QVERIFY(test_support::make_image(x, "PNG") &&
                set_tags(x, writing_support::xmp_gps_assignments() + QStringList{"-XMP-exif:GPSImgDirection#=7"}));
        const QStringList files{b, m, x};
        const auto before = states(files);

        w->load_files(files);
        QCOMPARE(remove({"Yes"}).size(), 1);
        for (const QString& f : files) {
            const auto after = gps_tags(f);
            QVERIFY2(!holds_position(after), qPrintable(f));
            QVERIFY2(!test_support::read_tags_numeric(f).contains("Composite:GPSPosition"), qPrintable(f));
        }
        // The removal leaves the XMP direction, as it leaves all but the
        // XMP position.
        QCOMPARE(gps_tags(b).value("XMP-exif:GPSImgDirection"), QString("100"));
        QCOMPARE(w->table_model->rowCount(), 0);
        w->undo_button->click();
        compare_states(states(files), before);
    }

    // ExifTool's fast mode stops reading a GIF at its first comment: the XMP
    // position behind it is still seen by the load, removed by a removal
    // and brought back by the undo, and a sync can be undone as well.
    void gif_xmp_behind_a_comment()
    {
        const QString g = dir->filePath("g.gif");
        QVERIFY(writing_support::make_gif_with_late_xmp(
            g, {"-XMP:GPSLatitude#=12.5", "-XMP:GPSLongitude#=-3.25", "-XMP-exif:GPSImgDirection#=100"}));
        QString fast;
        QCOMPARE(test_support::run_exiftool({"-fast", "-a", "-G1", "-n", "-gps*", g}, &fast), 0);
        QVERIFY2(!fast.contains("GPS"), "fast mode sees the XMP of the GIF: no case");
        const auto before = states({g});
        QVERIFY(holds_position(before[g].tags) && !before[g].pixels.isEmpty());

        w->load_files({g});
        QCOMPARE(exif_cache::instance()->records[g]["has_xmp_gps"], QString("true"));
        QCOMPARE(remove({"Yes"}).size(), 1);
        QVERIFY(!holds_position(gps_tags(g)));
        w->undo_button->click();
        compare_states(states({g}), before);

        w->load_files({g});
        set_mode(3);
        set_fixed("1.5", "2.5");
        QCOMPARE(sync({"Continue"}).size(), 1);
        QCOMPARE(gps_tags(g).value("XMP-exif:GPSLatitude"), QString("1.5"));
        w->undo_button->click();
        compare_states(states({g}), before);
    }

    // A file reached through a link or ".." is the same file: one row, and
    // its undo restores it.
    void one_row_per_file_whatever_the_path()
    {
        const QString ref = jpeg("ref.jpg", "09:00:00", at_47);
        QVERIFY(QDir(dir->path()).mkdir("sub"));
        const QString a = dir->filePath("sub/a.jpg");
        QVERIFY(QFile::rename(jpeg("a.jpg", "10:00:00"), a));
        QVERIFY(QFile::link(dir->filePath("sub"), dir->filePath("link")));
        const QString hard = dir->filePath("hard.jpg");
        QCOMPARE(::link(QFile::encodeName(a).constData(), QFile::encodeName(hard).constData()), 0);
        const auto before = states({a});

        w->load_files({ref, a, dir->filePath("sub/../sub/a.jpg"), dir->filePath("link/a.jpg")});
        w->load_files({hard});
        QCOMPARE(rows(), QStringList({ref, a}));
        QCOMPARE(sync().size(), 0);
        QCOMPARE(gps_tags(a).value("GPS:GPSLatitude"), QString("47.5"));
        w->undo_button->click();
        compare_states(states({a}), before);
    }

    // A link to a folder whose name is no UTF-8 (beside the folder of the
    // decoded name) and such a file in a dropped folder are refused and
    // named; a valid name that holds U+FFFD is an ordinary file.
    void names_are_checked_where_they_lead()
    {
        const QByteArray root = QFile::encodeName(dir->path()), latin1 = root + "/K\xf6ln";
        QVERIFY(::mkdir(latin1, 0700) == 0 && ::mkdir(root + "/drop", 0700) == 0);
        QVERIFY(QDir().mkdir(QFile::decodeName(latin1)) && ::symlink(latin1, root + "/link") == 0);
        const QString twin = jpeg("K\uFFFDln/a.jpg", "10:00:00"), link = dir->filePath("link/a.jpg");
        const QByteArray raws[] = {latin1 + "/a.jpg", root + "/drop/caf\xe9.jpg"};
        for (const QByteArray& raw : raws)
            QVERIFY(QFile::copy(twin, dir->filePath("c")) && ::rename(QFile::encodeName(dir->filePath("c")), raw) == 0);
        const qint64 size = QFileInfo(twin).size();
        const file_names::listing dropped = file_names::of_urls({QUrl::fromLocalFile(dir->filePath("drop"))});
        QCOMPARE(dropped.refused.size(), 1);
        const QList<QPair<file_names::listing, QString>> cases{
            {{{link}, {}}, link}, {dropped, dropped.refused.value(0)}, {{{twin}, {}}, {}}};
        for (const auto& [given, refused] : cases) {
            const auto boxes = answering({"OK"}, [&] { w->load_files(given.files, given.refused); });
            QCOMPARE(boxes.size(), refused.isEmpty() ? 0 : 1);
            QVERIFY(refused.isEmpty() || (boxes.first().title == "Files not loaded" &&
                                          boxes.first().text.contains(refused)));
        }
        QCOMPARE(rows(), QStringList({twin}));
        set_mode(3);
        set_fixed("47.5", "8.25");
        QCOMPARE(sync().size(), 0);
        QCOMPARE(gps_tags(twin).value("GPS:GPSLatitude"), QString("47.5"));
        // Written in place, a JPEG grows by its GPS directory; the others did not.
        struct stat info;
        for (const QByteArray& raw : raws)
            QVERIFY(::stat(raw, &info) == 0 && info.st_size == size);
    }

    // A Latin-1 name beside the valid name its text decodes to (U+FFFD for
    // the bad byte), and such a valid name alone, by drop (the URL keeps the
    // bytes), file dialog or file-open event (Qt has decoded them). Only the
    // file the user meant is loaded and written; a name that is no UTF-8,
    // or cannot be told from one, is named instead.
    void twin_names_data()
    {
        QTest::addColumn<int>("how");
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QByteArray>("loaded");
        QTest::addColumn<bool>("named");
        const QByteArray latin1("twins/caf\xe9.jpg"), twin("twins/caf\xef\xbf\xbd.jpg");
        QTest::newRow("dropped Latin-1 file") << int(by_drop) << latin1 << QByteArray() << true;
        QTest::newRow("dropped folder") << int(by_drop) << QByteArray("twins") << twin << true;
        QTest::newRow("chosen twin") << int(by_dialog) << twin << QByteArray() << true;
        QTest::newRow("opened twin") << int(by_open_event) << twin << QByteArray() << true;
        QTest::newRow("chosen lone") << int(by_dialog) << QByteArray("lone/caf\xef\xbf\xbd.jpg")
                                     << QByteArray("lone/caf\xef\xbf\xbd.jpg") << false;
    }
    void twin_names()
    {
        QFETCH(int, how);
        QFETCH(QByteArray, target);
        QFETCH(QByteArray, loaded);
        QFETCH(bool, named);
        const QByteArray root = QFile::encodeName(dir->path()) + '/';
        QVERIFY(::mkdir(root + "twins", 0700) == 0 && ::mkdir(root + "lone", 0700) == 0);
        const QByteArray files[] = {"twins/caf\xe9.jpg", "twins/caf\xef\xbf\xbd.jpg", "lone/caf\xef\xbf\xbd.jpg"};
        const QString made = jpeg("made.jpg", "10:00:00");
        for (const QByteArray& file : files)
            QVERIFY(QFile::copy(made, dir->filePath("c")) && ::rename(QFile::encodeName(dir->filePath("c")), root + file) == 0);
        const QString text = QFile::decodeName(root + target);
        const auto boxes = answering({"OK"}, [&] {
            if (how == by_drop) {
                QMimeData mime;
                mime.setUrls({QUrl::fromEncoded("file://" + (root + target).toPercentEncoding("/"))});
                QDropEvent event(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
                static_cast<QObject*>(w->drop_widget)->event(&event);
            } else if (how == by_dialog) {
                // Opened in the folder, so that no file name is typed in yet.
                w->last_image_load_path = QFileInfo(text).absolutePath();
                test_support::act_on_modal_later([text](QWidget* modal) {
                    QTimer::singleShot(5000, modal, &QWidget::close); // when it does not take the name
                    auto* chooser = qobject_cast<QFileDialog*>(modal);
                    QVERIFY(chooser);
                    // Typed, as selectFile() waits for the folder's listing.
                    auto* name = chooser->findChild<QLineEdit*>("fileNameEdit");
                    QVERIFY(name);
                    name->setText(QFileInfo(text).fileName());
                    QMetaObject::invokeMethod(chooser, "accept");
                });
                w->load_button->click();
            } else {
                QFileOpenEvent event(text);
                QCoreApplication::sendEvent(w.get(), &event);
            }
        });
        QCOMPARE(rows(), loaded.isEmpty() ? QStringList() : QStringList({QFile::decodeName(root + loaded)}));
        QCOMPARE(boxes.size(), named ? 1 : 0);
        QVERIFY(!named || (boxes.first().title == "Files not loaded" &&
                           boxes.first().text.count(QFile::decodeName(root + files[0])) == 1));
        set_mode(3);
        set_fixed("47.5", "8.25");
        QCOMPARE(sync().size(), 0);
        // Written in place, a JPEG grows by its GPS directory; the others did not.
        struct stat info;
        for (const QByteArray& file : files)
            QVERIFY2(::stat(root + file, &info) == 0 && (info.st_size != QFileInfo(made).size()) == (file == loaded),
                     file.constData());
        QVERIFY(loaded.isEmpty() || gps_tags(QFile::decodeName(root + loaded)).value("GPS:GPSLatitude") == "47.5");
    }

    // Mode 2: four tags for a photo without XMP GPS, six with it; nothing
    // else changes; undo restores both tag by tag; a second undo is
    // impossible.
    void sync_closest_then_undo()
    {
        const QString a = jpeg("a.jpg", "10:00:00", at_47 + QStringList{"-GPSAltitude#=100"});
        const QString b = jpeg("b.jpg", "10:10:00", {"-GPSAltitude#=5", "-GPSImgDirection#=90"});
        const QString c = jpeg("c.jpg", "10:20:00", {"-XMP:GPSLatitude#=3.5"});
        QVERIFY(!a.isEmpty() && !b.isEmpty() && !c.isEmpty());
        const QByteArray a_bytes = writing_support::contents(a);
        const auto b_before = gps_tags(b);
        const auto c_before = gps_tags(c);
        const QByteArray b_pixels = pixels(b);
        QVERIFY(!b_pixels.isEmpty());

        w->load_files({a, b, c});
        QCOMPARE(sync().size(), 0);

        QCOMPARE(writing_support::contents(a), a_bytes); // own position: not written
        const auto b_after = gps_tags(b);
        QCOMPARE(b_after.value("GPS:GPSLatitude"), QString("47.5"));
        QCOMPARE(b_after.value("GPS:GPSAltitude"), QString("5"));
        QCOMPARE(b_after.value("GPS:GPSImgDirection"), QString("90"));
        QVERIFY(!b_after.contains("XMP-exif:GPSLatitude"));
        const auto c_after = gps_tags(c);
        QCOMPARE(c_after.value("GPS:GPSLatitude"), QString("47.5"));
        QCOMPARE(c_after.value("XMP-exif:GPSLongitude"), QString("8.25"));
        QCOMPARE(pixels(b), b_pixels);

        QCOMPARE(w->undo_map.keys(), QStringList({b, c}));

        w->undo_button->click();
        compare_maps(gps_tags(b), b_before);
        compare_maps(gps_tags(c), c_before);
        QVERIFY(!w->undo_button->isEnabled());

        const QByteArray b_bytes = writing_support::contents(b);
        w->undo_last_edit();
        QCOMPARE(writing_support::contents(b), b_bytes);
    }

    // Mode 3, south and west: 31 entries without XMP GPS, 34 with it; the
    // whole GPS group but the position and version goes; undo restores all
    // 32 EXIF tags and the XMP ones.
    void sync_fixed_south_west_then_undo()
    {
        const QString d = jpeg("d.jpg", "10:00:00", full_gps());
        const QString e = jpeg("e.jpg", "11:00:00", {"-GPSAltitude#=5", "-GPSSpeed#=3", "-GPSSpeedRef=K"});
        QVERIFY(!d.isEmpty() && !e.isEmpty());
        const auto d_before = gps_tags(d);
        const auto e_before = gps_tags(e);
        QCOMPARE(d_before.size(), 35);
        const QByteArray d_pixels = pixels(d);

        w->load_files({d, e});
        set_mode(3);
        set_fixed("-33.5", "-70.25");
        QVERIFY(sync({"Continue"}).value(0).text.startsWith("Some loaded images already had GPS data"));

        const QMap<QString, QString> expected_exif{
            {"GPS:GPSVersionID", "2 3 0 0"}, {"GPS:GPSLatitudeRef", "S"},  {"GPS:GPSLatitude", "33.5"},
            {"GPS:GPSLongitudeRef", "W"},    {"GPS:GPSLongitude", "70.25"},
        };
        QMap<QString, QString> expected_d = expected_exif;
        expected_d.insert("XMP-exif:GPSLatitude", "-33.5");
        expected_d.insert("XMP-exif:GPSLongitude", "-70.25");
        compare_maps(gps_tags(d), expected_d);
        compare_maps(gps_tags(e), expected_exif);
        QCOMPARE(test_support::read_tags_numeric(e).value("Composite:GPSLatitude"), QString("-33.5"));

        w->undo_button->click();
        compare_maps(gps_tags(d), d_before);
        compare_maps(gps_tags(e), e_before);
        QCOMPARE(pixels(d), d_pixels);
    }

    // Typed positions reach the file as typed: a decimal comma under the C
    // locale, full double precision, ExifTool's own print form, both
    // hemispheres.
    void typed_positions_written_as_typed()
    {
        struct typed {
            const char* lat;
            const char* lon;
            double want_lat;
            double want_lon;
        };
        const typed cases[] = {
            {"51.5", "-0,125", 51.5, -0.125},
            {"0,123", "48.1375", 0.123, 48.1375},
            {"46 deg 30' 15.00\" S", "8 deg 15' 36.00\" W", -(46 + 30 / 60.0 + 15 / 3600.0), -8.26},
            {"48.1375", "11 deg 34' 30.00\" E", 48.1375, 11.575},
        };
        // The position travels with six decimals: a rounding beyond half of
        // the last one (as through single precision) is a fault.
        const double tolerance = 0.5e-6 + 1e-9;
        set_mode(3);
        int n = 0;
        for (const typed& c : cases) {
            const QString path = jpeg(QString("typed%1.jpg").arg(++n), "10:00:00");
            QVERIFY(!path.isEmpty());
            w->load_files({path});
            set_fixed(c.lat, c.lon);
            QVERIFY2(w->fixed_position_valid(), c.lat);
            QCOMPARE(sync().size(), 0);
            const QMap<QString, QString> tags = test_support::read_tags_numeric(path);
            const double lat = tags.value("Composite:GPSLatitude").toDouble();
            const double lon = tags.value("Composite:GPSLongitude").toDouble();
            const QString written = QString("%1, %2 written as %3, %4").arg(c.lat, c.lon).arg(lat, 0, 'f', 9).arg(lon, 0, 'f', 9);
            QVERIFY2(qAbs(lat - c.want_lat) < tolerance && qAbs(lon - c.want_lon) < tolerance, qPrintable(written));
            QCOMPARE(tags.value("GPS:GPSLatitudeRef"), QString(c.want_lat < 0 ? "S" : "N"));
            QCOMPARE(tags.value("GPS:GPSLongitudeRef"), QString(c.want_lon < 0 ? "W" : "E"));
        }
    }

    // A video whose position ExifTool reads from QuickTime's 3GPP location:
    // the removal says before that it stays, and names the file after.
    void removal_names_every_quicktime_position()
    {
        const QString v = dir->filePath("loci.mp4");
        QVERIFY(writing_support::make_video(v, {"-metadata", "location=+47.3700+008.5400/"}));
        w->load_files({v});
        const auto boxes = remove({"Yes", "Continue", "OK"});
        QVERIFY(boxes.size() == 3 && boxes[1].text.startsWith("QuickTime GPS coordinates are read only"));
        QCOMPARE(boxes[2].title, QString("Not all files were changed"));
        QCOMPARE(rows(), QStringList{v});
    }

    // Modes 0, 1 and 4, and the confirmations of the sync.
    void sync_other_modes_and_confirmations()
    {
        const QString a = jpeg("a.jpg", "10:00:00", at_47);
        const QString early = jpeg("early.jpg", "09:00:00");
        const QString late = jpeg("late.jpg", "11:00:00");
        QVERIFY(!a.isEmpty() && !early.isEmpty() && !late.isEmpty());
        w->load_files({a, early, late});

        // Mode 0: nothing earlier than "early"; only an explicit answer goes on.
        set_mode(0);
        QCOMPARE(sync({"Select a different assignment mode"}).size(), 1);
        QCOMPARE(sync({"<close>"}).size(), 1);
        QVERIFY(!gps_tags(late).contains("GPS:GPSLatitude"));
        QVERIFY(!w->undo_button->isEnabled());
        QCOMPARE(w->table_model->rowCount(), 3);

        // Going on writes the assigned file and skips the other.
        QCOMPARE(sync({"Continue anyway"}).size(), 1);
        QCOMPARE(gps_tags(late).value("GPS:GPSLatitude"), QString("47.5"));
        QVERIFY(!gps_tags(early).contains("GPS:GPSLatitude"));
        QCOMPARE(w->undo_map.keys(), QStringList({late}));
        QCOMPARE(w->table_model->rowCount(), 0);

        // Mode 1: all assigned, no GPS to overwrite, no QuickTime: no question.
        w->load_files({a, early});
        set_mode(1);
        QCOMPARE(sync().size(), 0);
        QCOMPARE(gps_tags(early).value("GPS:GPSLatitude"), QString("47.5"));
        QCOMPARE(w->undo_map.keys(), QStringList({early}));

        // Mode 4: the position of the nearest track point, written from its
        // numbers.
        const QString f = jpeg("f.jpg", "10:20:00");
        const QString gpx = dir->filePath("track.gpx");
        QFile file(gpx);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<?xml version=\"1.0\"?><gpx version=\"1.1\" creator=\"t\"><trk><name>t</name><trkseg>"
                   "<trkpt lat=\"-12.3456789\" lon=\"-45.6789012\"><time>2023-05-01T08:21:00Z</time></trkpt>"
                   "</trkseg></trk></gpx>");
        file.close();
        w->load_files({f});
        set_mode(4);
        w->load_gpx_file(gpx);
        QCOMPARE(sync().size(), 0);
        const auto f_tags = test_support::read_tags_numeric(f);
        QVERIFY(qAbs(f_tags.value("Composite:GPSLatitude").toDouble() + 12.3456789) < 1e-6);
        QVERIFY(qAbs(f_tags.value("Composite:GPSLongitude").toDouble() + 45.6789012) < 1e-6);
        // The undo now belongs to this sync alone.
        QCOMPARE(w->undo_map.keys(), QStringList({f}));
    }

    // An empty list, an invalid typed position, nothing to write: nothing
    // is written, the list and the last undo stay.
    void nothing_to_write_keeps_list_and_undo()
    {
        QCOMPARE(answering({}, [this] { w->sync_gps(); w->remove_gps_data(); }).size(), 0);
        const QString a = jpeg("a.jpg", "10:00:00");
        const QString b = jpeg("b.jpg", "11:00:00");
        QVERIFY(!a.isEmpty() && !b.isEmpty());
        w->load_files({a});
        set_mode(3);
        set_fixed("91", "7");
        QCOMPARE(sync({"OK"}).value(0).title, QString("Invalid position"));
        QVERIFY(!gps_tags(a).contains("GPS:GPSLatitude"));
        set_fixed("46.5", "7.25");
        w->sync_button->click();
        QCOMPARE(w->undo_map.keys(), QStringList({a}));

        set_mode(2);
        w->load_files({b});
        const QByteArray b_bytes = writing_support::contents(b);
        QCOMPARE(sync().value(0).title, QString("Nothing to write"));
        QCOMPARE(rows(), QStringList({b}));
        QCOMPARE(w->undo_map.keys(), QStringList({a}));
        QCOMPARE(writing_support::contents(b), b_bytes);

        // The earlier sync can still be undone.
        w->undo_button->click();
        QVERIFY(!gps_tags(a).contains("GPS:GPSLatitude"));
    }

    // An empty fixed position deletes coordinates, but only after an
    // explicit question whose default is No.
    void empty_fixed_position_asks_before_deleting()
    {
        const QString a = jpeg("a.jpg", "10:00:00", at_47 + QStringList{"-GPSAltitude#=9"});
        QVERIFY(!a.isEmpty());
        const auto before = gps_tags(a);
        w->load_files({a});
        set_mode(3);
        set_fixed("", "");
        const auto asked = sync({"No"});
        QCOMPARE(asked.size(), 1);
        QVERIFY(asked.first().text.contains("deletes the GPS coordinates"));
        QCOMPARE(asked.first().default_button, QString("No"));
        compare_maps(gps_tags(a), before);
        QCOMPARE(sync({"Yes", "Continue"}).size(), 2);
        const auto cleared = gps_tags(a);
        for (const char* key : {"GPS:GPSLatitude", "GPS:GPSLongitude", "GPS:GPSLatitudeRef", "GPS:GPSAltitude"})
            QVERIFY2(!cleared.contains(key), qPrintable(key));
        w->undo_button->click();
        compare_maps(gps_tags(a), before);
    }

    // Remove, then undo, on JPEG, PNG, TIFF and an MP4 with QuickTime GPS.
    void remove_then_undo_restores_every_format()
    {
        const QString j = jpeg("j.jpg", "10:00:00", full_gps());
        const QString p = dir->filePath("p.png");
        const QString t = dir->filePath("t.tif");
        QVERIFY(test_support::make_image(p, "PNG"));
        QVERIFY(writing_support::write_tiff(t));
        const QStringList position{"-GPSLatitude#=-12.5", "-GPSLatitudeRef=S", "-GPSLongitude#=100.125",
                                   "-GPSLongitudeRef=E", "-GPSAltitude#=3"};
        QVERIFY(set_tags(p, position));
        QVERIFY(set_tags(t, position));
        QStringList files{j, p, t};
        const QString v = dir->filePath("v.mp4");
        const bool with_video = writing_support::make_video(v) && set_tags(v, {"-Keys:GPSCoordinates#=47.5 8.25 100"});
        QVERIFY2(with_video, "the MP4 could not be made");
        files << v;

        QMap<QString, QMap<QString, QString>> before;
        QMap<QString, QByteArray> decoded;
        for (const QString& f : files) {
            before[f] = gps_tags(f);
            QVERIFY2(!before[f].isEmpty(), qPrintable(f));
            decoded[f] = pixels(f);
            if (f != v)
                QVERIFY2(!decoded[f].isEmpty(), qPrintable(f));
        }

        w->load_files(files);
        QCOMPARE(w->table_model->rowCount(), files.size());
        QCOMPARE(w->table_model->has_quicktime_gps(), with_video);
        QCOMPARE(remove({"No"}).size(), 1);
        for (const QString& f : files)
            compare_maps(gps_tags(f), before[f]);

        // The read-only QuickTime coordinates stay: that file is named and
        // kept in the list.
        const auto boxes = remove(with_video ? QStringList{"Yes", "Continue", "OK"} : QStringList{"Yes"});
        QCOMPARE(boxes.size(), with_video ? 3 : 1);
        if (with_video) {
            QVERIFY(boxes.last().text.startsWith("The GPS data of 1 of 4 files could not be removed"));
            QVERIFY(boxes.last().text.endsWith("\n\nv.mp4"));
            QCOMPARE(rows(), QStringList{v});
        }
        for (const QString& f : files) {
            const auto after = gps_tags(f);
            if (f == v)
                compare_maps(after, {{"Keys:GPSCoordinates", before[v].value("Keys:GPSCoordinates")}});
            else
                compare_maps(after, {});
            QCOMPARE(pixels(f), decoded[f]);
        }
        QCOMPARE(w->undo_map.size(), files.size());

        w->undo_button->click();
        for (const QString& f : files) {
            compare_maps(gps_tags(f), before[f]);
            QCOMPARE(pixels(f), decoded[f]);
        }
        QVERIFY(!w->undo_button->isEnabled());
    }

    // An MP4 with QuickTime GPS: the sync asks, writes GPS tags beside the
    // read-only QuickTime ones, and undo takes them away again.
    void sync_video_with_quicktime_gps()
    {
        const QString v = dir->filePath("v.mp4");
        QVERIFY2(writing_support::make_video(v), "the MP4 could not be made");
        QVERIFY(set_tags(v, {"-Keys:GPSCoordinates#=47.5 8.25 100"}));
        const auto before = gps_tags(v);
        w->load_files({v});
        set_mode(3);
        set_fixed("10.5", "20.25");
        QVERIFY(sync({"Continue", "Continue"}).value(1).text.startsWith("QuickTime GPS coordinates are read only"));
        const auto after = gps_tags(v);
        QCOMPARE(after.value("Keys:GPSCoordinates"), before.value("Keys:GPSCoordinates"));
        QVERIFY(after.size() > before.size());
        w->undo_button->click();
        compare_maps(gps_tags(v), before);
    }

    // Files that vanish, break or cannot hold GPS after loading: named in
    // one warning, kept in the list, left out of the undo. The photo store
    // keeps only the listed files.
    void failed_writes_are_reported_and_kept()
    {
        const QString good = jpeg("good.jpg", "10:00:00");
        const QString missing = jpeg("missing.jpg", "10:01:00");
        const QString broken = jpeg("broken.jpg", "10:02:00");
        const QString portable = dir->filePath("plain.ppm");
        QVERIFY(!good.isEmpty() && !missing.isEmpty() && !broken.isEmpty());
        QVERIFY(test_support::make_image(portable, "PPM"));
        w->load_files({good, missing, broken, portable});
        QCOMPARE(w->table_model->rowCount(), 4);

        QVERIFY(QFile::remove(missing));
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write("this is no longer a JPEG\n") > 0);
        file.close();
        const QByteArray portable_bytes = writing_support::contents(portable);

        set_mode(3);
        set_fixed("1.5", "2.5");
        const QString text = sync({"OK"}).value(0).text;
        QVERIFY2(text.startsWith("3 of 4 files could not be written"), qPrintable(text));
        QVERIFY(text.contains("missing.jpg") && text.contains("broken.jpg") && text.contains("plain.ppm"));
        QVERIFY(!text.contains("good.jpg"));
        QCOMPARE(gps_tags(good).value("GPS:GPSLatitude"), QString("1.5"));
        QCOMPARE(writing_support::contents(portable), portable_bytes);
        QCOMPARE(writing_support::contents(broken), QByteArray("this is no longer a JPEG\n"));
        QStringList expected{missing, broken, portable};
        expected.sort();
        QCOMPARE(rows(), expected);
        QCOMPARE(stored(), 3 * expected.size());
        QCOMPARE(w->undo_map.keys(), QStringList({good}));

        // A retry in which everything fails keeps the earlier undo.
        QVERIFY(sync({"OK"}).value(0).text.startsWith("3 of 3 files"));
        QCOMPARE(w->undo_map.keys(), QStringList({good}));
        QVERIFY(w->undo_button->isEnabled());

        // Remove: the files it cannot read stay listed; the PPM has nothing
        // to remove and counts as done.
        QVERIFY(remove({"Yes", "OK"}).value(1).text.contains("2 of 3 files"));
        expected.removeOne(portable);
        QCOMPARE(rows(), expected);
        QCOMPARE(stored(), 3 * expected.size());
        QCOMPARE(w->undo_map.keys(), QStringList({portable}));
        w->clear_button->click();
        QCOMPARE(stored(), 0);
    }

    // An undo whose write fails keeps that file's entry and the button.
    void failed_undo_stays_available()
    {
        const QString a = jpeg("a.jpg", "10:00:00");
        const QString b = jpeg("b.jpg", "10:01:00", {"-GPSAltitude#=4"});
        QVERIFY(!a.isEmpty() && !b.isEmpty());
        const auto b_before = gps_tags(b);
        w->load_files({a, b});
        set_mode(3);
        set_fixed("5", "6");
        w->sync_button->click();
        QCOMPARE(w->undo_map.size(), 2);

        // ExifTool writes nothing where its temporary file is in the way.
        const QString blocker = a + "_exiftool_tmp";
        QVERIFY(QDir().mkdir(blocker));
        const QString text = answering({"OK"}, [this] { w->undo_button->click(); }).value(0).text;
        QVERIFY2(text.startsWith("The GPS data of 1 of 2 files could not be restored") && text.endsWith("\n\na.jpg"),
                 qPrintable(text));
        compare_maps(gps_tags(b), b_before);
        QCOMPARE(w->undo_map.keys(), QStringList({a}));
        QVERIFY(w->undo_button->isEnabled());

        // Once the way is clear, the undo completes.
        QVERIFY(QDir().rmdir(blocker));
        QCOMPARE(answering({"OK"}, [this] { w->undo_button->click(); }).size(), 1);
        QVERIFY(!gps_tags(a).contains("GPS:GPSLatitude"));
        QVERIFY(!w->undo_button->isEnabled());
    }

    // Undo after a fixed-position sync or a removal gives back byte for byte
    // a lone GPS version, text tags with line breaks and leading blanks,
    // Latin-1 text and an empty text tag.
    void undo_is_exact()
    {
        const auto exact = [](const QString& path) {
            QString out;
            test_support::run_exiftool({"-j", "-b", "-a", "-G1", "-gps*", path}, &out);
            return out;
        };
        for (const bool removal : {false, true}) {
            cleanup();
            init();
            const QString v = jpeg("v.jpg", "10:00:00", {"-GPSVersionID#=2 3 0 0"});
            const QString t = jpeg("t.jpg", "10:00:00",
                                   {"-GPSAreaInformation#=Zurich\nOld Town", "-GPSProcessingMethod#=  GPS",
                                    "-XMP-exif:GPSProcessingMethod=  GPS\n", "-XMP-exif:GPSAreaInformation= a\n b"});
            const QString l = jpeg("l.jpg", "10:00:00", {"-ec", "-GPSMapDatum=caf\\xe9", "-GPSAreaInformation^="});
            const auto before = states({v, t, l});
            const QString t_before = exact(t);
            const QString l_before = exact(l);
            QVERIFY(t_before.contains("\"Zurich\\nOld Town\"") && t_before.contains("\"  GPS\\n\""));
            QVERIFY(l_before.contains("\"GPS:GPSMapDatum\": \"base64:Y2Fm6Q==\"") &&
                    l_before.contains("\"GPS:GPSAreaInformation\": \"\""));
            w->load_files({v, t, l});
            set_mode(3);
            set_fixed("47.5", "8.25");
            QCOMPARE((removal ? remove({"Yes"}) : sync()).size(), int(removal));
            QCOMPARE(holds_position(gps_tags(v)), !removal);
            w->undo_button->click();
            compare_states(states({v, t, l}), before);
            QCOMPARE(exact(t), t_before);
            QCOMPARE(exact(l), l_before);
        }
    }

    // Values ExifTool will not write, patched into the file's bytes (words
    // of rationals, or XMP text, which takes its room from the padding).
    // A camera without a fix stores 0/0 rationals, which ExifTool reads as ""
    // (coordinates) or "undef" (altitude) and cannot write back: the undo
    // deletes the coordinates the change wrote, names them and the altitude
    // it could not give back, and is not offered again for them; so for a
    // lone 1/0 altitude ("inf"), of which nothing can be written, and for XMP
    // altitudes written back as other numbers, which are deleted. A value it
    // gives back at its own precision is not named: a rational, the seconds
    // of a time, an XMP coordinate near 0, and an altitude that -n reads with
    // exponent.
    void undo_of_unwritable_values_data()
    {
        QTest::addColumn<QStringList>("tags");
        QTest::addColumn<QByteArrayList>("patches"); // from, to, ...
        QTest::addColumn<QStringList>("reads");      // tag=value, once patched
        QTest::addColumn<QStringList>("near");       // given back within 1e-5
        QTest::addColumn<QStringList>("gone");
        QTest::addColumn<QString>("named");
        const auto words = [](const QVector<quint32>& words) {
            QByteArray bytes;
            for (const quint32 word : words)
                for (int shift = 24; shift >= 0; shift -= 8)
                    bytes += char((word >> shift) & 0xff);
            return bytes;
        };
        // numerator, denominator: degrees, minutes, seconds; altitude; direction
        QTest::newRow("0/0 rationals")
            << QStringList{"-GPSLatitude#=11.5", "-GPSLatitudeRef=N", "-GPSLongitude#=22.5", "-GPSLongitudeRef=E",
                           "-GPSAltitude#=33", "-GPSImgDirection#=77"}
            << QByteArrayList{words({11, 1, 30, 1, 0, 1}), words({11, 1, 30, 1, 0, 0}), words({22, 1, 30, 1, 0, 1}),
                              words({0, 0, 0, 0, 0, 0}), words({33, 1}), words({0, 0}), words({77, 1}),
                              words({12345678, 10000})}
            << QStringList{"GPS:GPSLatitude=", "GPS:GPSAltitude=undef", "GPS:GPSImgDirection=1234.5678"}
            << QStringList{"GPS:GPSImgDirection"} << QStringList{"GPS:GPSLatitude", "GPS:GPSLongitude", "GPS:GPSAltitude"}
            << "zero.jpg: GPS:GPSAltitude, GPS:GPSLatitude, GPS:GPSLongitude";
        QTest::newRow("lone 1/0 altitude")
            << QStringList{"-GPSAltitude#=4321", "-GPSVersionID="} << QByteArrayList{words({4321, 1}), words({1, 0})}
            << QStringList{"GPS:GPSAltitude=inf"} << QStringList() << QStringList{"GPS:GPSAltitude"}
            << "zero.jpg: GPS:GPSAltitude";
        // An XMP altitude written as given, then stored as it reads.
        for (const char* given_stored_reads : {"5,-5/1,-5", "12,12 m,12 m", "9,99999999999/1,99999999999"}) {
            const QList<QByteArray> v = QByteArray(given_stored_reads).split(',');
            QTest::newRow("XMP altitude " + v[1]) << QStringList{"-XMP:GPSLatitude#=1.5", "-XMP:GPSLongitude#=2.5",
                                                                 "-XMP:GPSAltitude#=" + v[0]}
                << QByteArrayList{"GPSAltitude>" + v[0] + "/1<", "GPSAltitude>" + v[1] + "<"}
                << QStringList{"XMP-exif:GPSAltitude=" + v[2]} << QStringList() << QStringList{"XMP-exif:GPSAltitude"}
                << "back as other numbers than before, so they were deleted. A second undo would fare no better:"
                   "\n\nzero.jpg: XMP-exif:GPSAltitude";
        }
        QTest::newRow("time to 4 decimals")
            << QStringList{"-GPSTimeStamp#=10:20:01"}
            << QByteArrayList{words({10, 1, 20, 1, 1, 1}), words({10, 1, 20, 1, 15331, 10000})}
            << QStringList{"GPS:GPSTimeStamp=10:20:01.5331"} << QStringList{"GPS:GPSTimeStamp"} << QStringList()
            << QString();
        QTest::newRow("XMP longitude near 0")
            << QStringList{"-XMP:GPSLongitude#=-0.0015"} << QByteArrayList{"0,0.09W", "0,0.09000012345W"}
            << QStringList{"XMP-exif:GPSLongitude=-0.0015000020575"} << QStringList{"XMP-exif:GPSLongitude"}
            << QStringList() << QString();
        QTest::newRow("altitude 1e-05") << QStringList{"-GPSAltitude#=0.00001"} << QByteArrayList()
                                        << QStringList{"GPS:GPSAltitude=1e-05"} << QStringList() << QStringList()
                                        << QString();
    }
    void undo_of_unwritable_values()
    {
        QFETCH(QStringList, tags);
        QFETCH(QByteArrayList, patches);
        QFETCH(QStringList, reads);
        QFETCH(QStringList, near);
        QFETCH(QStringList, gone);
        QFETCH(QString, named);
        for (const bool removal : {false, true}) {
            cleanup();
            init();
            const QString z = jpeg("zero.jpg", "10:00:00", tags);
            QVERIFY(!z.isEmpty());
            QByteArray bytes = writing_support::contents(z);
            for (int i = 0; i + 1 < patches.size(); i += 2) {
                const int at = bytes.indexOf(patches[i]);
                QVERIFY(at > 0);
                bytes.replace(at, patches[i].size(), patches[i + 1]);
                bytes.remove(bytes.indexOf(QByteArray(100, ' ')), patches[i + 1].size() - patches[i].size());
            }
            QFile file(z);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
            file.close();
            const auto before = gps_tags(z);
            for (const QString& read : reads)
                QCOMPARE(before.value(read.section('=', 0, 0), "absent"), read.section('=', 1));
            const QByteArray pixels_before = pixels(z);

            w->load_files({z});
            set_mode(3);
            set_fixed("12.5", "13.5");
            // Asked first: the removal always, the sync over an XMP position.
            const int asked = int(removal || w->table_model->had_gps());
            QCOMPARE((removal ? remove({"Yes"}) : sync({"Continue"})).size(), asked);
            const QList<box_script::box> shown = answering({"OK"}, [this] { w->undo_button->click(); });

            auto expected = before;
            auto after = gps_tags(z);
            for (const QString& tag : gone)
                expected.remove(tag);
            for (const QString& tag : near) {
                const QString then = expected.take(tag), now = after.take(tag);
                QVERIFY2(then.section(':', 0, -2) == now.section(':', 0, -2) &&
                             qAbs(then.section(':', -1).toDouble() - now.section(':', -1).toDouble()) < 1e-5,
                         qPrintable(tag + ": " + now));
            }
            compare_maps(after, expected);
            QCOMPARE(pixels(z), pixels_before);
            QCOMPARE(shown.size(), int(!named.isEmpty()));
            QVERIFY2(named.isEmpty() || (shown[0].title == "Undo incomplete" && shown[0].text.endsWith(named)),
                     qPrintable(shown.value(0).text));
            QVERIFY(w->undo_map.isEmpty() && !w->undo_button->isEnabled());
        }
    }

    // A file that is not the one the change left, as it left it, is left
    // exactly as it is, named, and no longer offered for undo; the files
    // beside it are undone. Another program runs in the folder in between.
    void undo_leaves_files_changed_since_data()
    {
        QTest::addColumn<bool>("removal");
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QStringList>("named");
        QTest::addColumn<bool>("gone");
        const QStringList c{"c.jpg"};
        const QString write = "exiftool -overwrite_original -GPSAltitude#=999 -GPSMapDatum=TOKYO c.jpg";
        QTest::newRow("sync, another program's write") << false << QStringList{write} << c << false;
        QTest::newRow("removal, another program's write") << true << QStringList{write} << c << false;
        QTest::newRow("sync, XMP:Rating written in place")
            << false << QStringList{"exiftool -overwrite_original_in_place -XMP:Rating=3 c.jpg"} << c << false;
        QTest::newRow("sync, another photo moved there") << false << QStringList{"mv other.jpg c.jpg"} << c << false;
        QTest::newRow("removal, another photo copied over") << true << QStringList{"cp other.jpg c.jpg"} << c << false;
        QTest::newRow("removal, a link to a photo never loaded")
            << true << QStringList{"rm c.jpg", "ln -s n.jpg c.jpg"} << c << false;
        QTest::newRow("sync, names swapped")
            << false << QStringList{"mv c.jpg t.jpg", "mv d.jpg c.jpg", "mv t.jpg d.jpg"} << QStringList{"c.jpg", "d.jpg"}
            << false;
        QTest::newRow("sync, deleted") << false << QStringList{"rm c.jpg"} << c << true;
    }
    void undo_leaves_files_changed_since()
    {
        QFETCH(bool, removal);
        QFETCH(QStringList, commands);
        QFETCH(QStringList, named);
        QFETCH(bool, gone);
        QStringList loaded, left{jpeg("n.jpg", "11:00:00")};
        for (const char* name : {"c.jpg", "d.jpg", "u.jpg"})
            loaded << jpeg(name, "10:00:00", at_47 + QStringList{"-GPSAltitude#=5"});
        QVERIFY(!(loaded + left).contains(QString()) && !jpeg("other.jpg", "12:00:00", {"-GPSLatitude#=30"}).isEmpty());
        const auto before = states(loaded);
        w->load_files(loaded);
        set_mode(3);
        set_fixed("1.5", "2.5");
        QCOMPARE((removal ? remove({"Yes"}) : sync({"Continue"})).size(), 1);
        for (const QString& command : commands)
            QVERIFY2(test_support::run_program(command.section(' ', 0, 0), command.section(' ', 1).split(' '),
                                               dir->path()) == 0,
                     qPrintable(command));
        for (const QString& name : named)
            if (!gone)
                left << dir->filePath(name);
        const auto as_left = states(left);

        const auto shown = answering({"OK"}, [this] { w->undo_button->click(); });
        const QString text = gone ? "%1 of 3 files are no longer there: they were deleted, moved or renamed since "
                                    "the last sync or removal. Undo is no longer offered for them:\n\n%2"
                                  : "%1 of 3 files were changed since the last sync or removal and were left as "
                                    "they are. Undo is no longer offered for them:\n\n%2";
        QVERIFY(shown.size() == 1 && shown[0].title == "Undo incomplete");
        QCOMPARE(shown[0].text, text.arg(named.size()).arg(named.join('\n')));
        compare_states(states(left), as_left);
        for (const QString& path : loaded)
            if (!named.contains(QFileInfo(path).fileName()))
                compare_states(states({path}), {{path, before[path]}});
        QVERIFY(!gone || !QFileInfo::exists(dir->filePath(named[0])));
        QVERIFY(w->undo_map.isEmpty() && !w->undo_button->isEnabled());
    }

    // A read that fails right after a write: a removal that ExifTool did is
    // not called failed and can be undone; an undo whose read-back fails may
    // have restored the file, and the next one says it is back. One file:
    // "1 of 1 file", in English and German.
    void read_after_a_write_fails()
    {
        const QStringList english{
            "ExifTool removed the GPS data of 1 of 1 file, but it could not be read afterwards to check that no "
            "position is left. It is still in the list:\n\na.jpg",
            "The GPS data of 1 of 1 file may have been restored: ExifTool wrote it, but the file could not be read "
            "back. Undo stays available for it:\n\na.jpg",
            "The GPS data of 1 of 1 file that the last undo left for another try is now as before the last sync or "
            "removal:\n\na.jpg"};
        for (const bool in_german : {false, true}) {
            cleanup();
            init();
            QTranslator german; // before the program's English while it exists
            QVERIFY(!in_german || (german.load(":/translations/de") && QCoreApplication::installTranslator(&german)));
            const QString a = jpeg("a.jpg", "10:00:00", at_47);
            const auto before = gps_tags(a);
            w->load_files({a});
            ko::exiftool_worker_shutdown();
            qputenv("ORLAVO_EXIFTOOL", ORLAVO_TEST_FAKES_DIR "/window_dying_exiftool.pl");
            qputenv("WINDOW_DYING_EXIFTOOL_BLIND", "1");
            QStringList texts{remove({"Yes", "OK"}).value(1).text};
            QVERIFY(!a.isEmpty() && !holds_position(gps_tags(a)) && rows() == QStringList({a}));
            texts << answering({"OK"}, [this] { w->undo_button->click(); }).value(0).text;
            compare_maps(gps_tags(a), before);
            QCOMPARE(w->undo_map.keys(), QStringList({a}));
            texts << answering({"OK"}, [this] { w->undo_button->click(); }).value(0).text;
            QVERIFY(w->undo_map.isEmpty());
            for (int i = 0; i < english.size(); ++i)
                QVERIFY2(in_german ? texts[i].contains(QRegularExpression("1 von 1 Datei\\b")) : texts[i] == english[i],
                         qPrintable(texts[i]));
        }
    }

    // The snapshot is what the file holds just before the change, also when
    // it changed after loading; clearing the list keeps the undo; an undone
    // file that is listed again shows what it now holds.
    void undo_restores_the_state_just_before()
    {
        const QString a = jpeg("a.jpg", "10:00:00", {"-GPSLatitude#=1", "-GPSLatitudeRef=N", "-GPSLongitude#=2",
                                                     "-GPSLongitudeRef=E"});
        QVERIFY(!a.isEmpty());
        w->load_files({a});
        QVERIFY(set_tags(a, {"-GPSLatitude#=3.25", "-GPSLongitude#=4.75", "-GPSAltitude#=12"}));
        const auto before = gps_tags(a);
        remove({"Yes"});
        QVERIFY(gps_tags(a).isEmpty());
        w->clear_files();
        QVERIFY(w->undo_button->isEnabled());

        // Listed again while its GPS data is gone, then undone.
        w->load_files({a});
        QCOMPARE(w->table_model->data(w->table_model->index(0, 2)).toString(), QString("?  -"));
        w->undo_button->click();
        compare_maps(gps_tags(a), before);
        QVERIFY(w->table_model->data(w->table_model->index(0, 2)).toString().contains("3.25"));
    }

    // Closing the window or Ctrl+Q while files load or are written waits
    // for the operation, which runs to its end, and is then carried out.
    void close_and_quit_wait_for_the_operation()
    {
        const QString ref = jpeg("ref.jpg", "09:00:00", at_47);
        const QString a = jpeg("a.jpg", "10:00:00");
        QVERIFY(!ref.isEmpty() && !a.isEmpty());

        const QString track = dir->filePath("track.gpx");
        QVERIFY(gpx_samples::write_long_track(track, 20000));
        for (const bool gpx : {false, true}) {
            w->show();
            bool busy_at_close = false;
            QTimer::singleShot(0, w.get(), [this, &busy_at_close] {
                busy_at_close = w->operation_running();
                w->close();
            });
            gpx ? w->load_gpx_file(track) : w->load_files({ref, a});
            QVERIFY(busy_at_close);
            QVERIFY(!w->isVisible());
        }
        QCOMPARE(w->table_model->rowCount(), 2);

        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        bool busy_at_quit = false;
        bool synced = false;
        QTimer::singleShot(0, w.get(), [this, &busy_at_quit, &synced] {
            QTimer::singleShot(0, w.get(), [this, &busy_at_quit] {
                busy_at_quit = w->operation_running();
                QTest::keyClick(w.get(), Qt::Key_Q, Qt::ControlModifier);
            });
            w->sync_button->click();
            synced = true;
        });
        // The quit ends the application's event loop, from which the sync
        // was started, once the sync is over. (Last case: ExifTool stops.)
        QTimer::singleShot(20000, qApp, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(synced && busy_at_quit);
        QCOMPARE(gps_tags(a).value("GPS:GPSLatitude"), QString("47.5"));
        QCOMPARE(w->undo_map.keys(), QStringList({a}));
    }
};

int main(int argc, char** argv)
{
    QCoreApplication::setOrganizationName("Quenmark");
    QCoreApplication::setApplicationName("Orlavo");
    ko::application<MainWindow> app(argc, argv);
    if (!writing_support::install_english())
        return 1;
    test_main_window_write test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_main_window_write.moc"
