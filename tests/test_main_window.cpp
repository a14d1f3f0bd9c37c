// The real main window, offscreen, with its own settings store and the real
// ExifTool: start state, modes and their settings, loading by every road,
// fixed position, limits, GPX tracks, shortcuts and the settings dialog with
// its legibility.
#include "main_window.h"

#include "dialog_support.h"
#include "drop_area.h"
#include "exif_cache.h"
#include "gpx_reader.h"
#include "settings_dialog.h"
#include "table_data_model.h"
#include "test_support.h"
#include "window_support.h"
#include "writing_support.h"

#include "ko/application.h"
#include "ko/button_dark.h"
#include "ko/combobox.h"
#include "ko/language.h"
#include "ko/lineedit.h"
#include "ko/radio.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFileOpenEvent>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QProgressDialog>
#include <QSettings>
#include <QShortcut>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

using window_support::make_photo;

namespace {

// The contrast ratio of two colours as the web content accessibility
// guidelines define it: 1 for equal colours, 21 for black on white.
double contrast_ratio(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto linear = [](int v) {
            const double s = v / 255.0;
            return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

// Counts the paint events of the object it filters.
class paint_counter : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

class test_main_window : public QObject {
    Q_OBJECT
public:
    ko::application<MainWindow>* app = nullptr;

private:
    QTemporaryDir dir;
    QString photo_a, photo_b, photo_c, clip;

    std::unique_ptr<MainWindow> make_window()
    {
        auto w = std::make_unique<MainWindow>();
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            qWarning("window not exposed");
        return w;
    }

    static int row_of(table_data_model* model, const QString& path)
    {
        for (int r = 0; r < model->rowCount(); ++r)
            if (model->data(model->index(r, 0), Qt::UserRole).toString() == path)
                return r;
        return -1;
    }

    // The position the model would write for path (empty texts: none).
    static gps_pos position_of(table_data_model* model, const QString& path)
    {
        const QVariant v = model->data(model->index(row_of(model, path), 2), Qt::UserRole);
        return v.isValid() ? v.value<gps_pos>() : gps_pos();
    }

    // The marker the "GPS Tag" column shows for path.
    static QString marker_of(table_data_model* model, const QString& path)
    {
        return model->data(model->index(row_of(model, path), 2)).toString().section("  ", 0, 0);
    }

    // Answers the next track dialog with act.
    static void on_track_dialog(std::function<void(QInputDialog*)> act)
    {
        test_support::act_on_modal_later([act](QWidget* modal) {
            if (auto* dialog = qobject_cast<QInputDialog*>(modal))
                act(dialog);
        });
    }

    static void reset_settings()
    {
        QSettings().clear();
        QSettings().sync();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        // A and C carry GPS; B lies between them, nearer to C.
        photo_a = dir.filePath("a.jpg");
        photo_b = dir.filePath("IMG_B.JPG");
        photo_c = dir.filePath("c.jpg");
        QVERIFY(make_photo(photo_a, "2023:05:01 10:00:00", true, 47.5, 8.25));
        QVERIFY(make_photo(photo_b, "2023:05:01 10:40:00"));
        QVERIFY(make_photo(photo_c, "2023:05:01 11:00:00", true, -33.9, -70.6));
        clip = dir.filePath("clip.MOV");
        QFile::copy(photo_b, clip);
        for (const char* name : {"notes.txt", "README", "archive.tar.gz"}) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("not a photo");
        }
    }

    void init() { reset_settings(); }

    void start_state_and_geometry()
    {
        auto w = make_window();
        QVERIFY(!w->sync_button->isEnabled() && !w->undo_button->isEnabled());
        QVERIFY(QSettings().allKeys().isEmpty()); // starting writes nothing
        QCOMPARE(w->minimumSize(), QSize(925, 600));
        // Taller: only the table grows; wider: the drop area stays.
        w->resize(1100, 700);
        QTest::qWait(50);
        QCOMPARE(w->table_view->height(), 297);
        QCOMPARE(w->drop_widget->size(), QSize(300, 300));
    }

    void restoring_each_mode_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("radio");
        QTest::addColumn<int>("mode");
        QTest::newRow("unset") << QVariant() << "closest_radio" << 2;
        QTest::newRow("0 previous") << QVariant(0) << "previous_radio" << 0;
        QTest::newRow("1 following") << QVariant(1) << "following_radio" << 1;
        QTest::newRow("3 fixed") << QVariant(3) << "fixed_position_radio" << 3;
        QTest::newRow("4 gpx") << QVariant(4) << "gpx_radio" << 4;
        QTest::newRow("7 unknown") << QVariant(7) << "closest_radio" << 2;
        QTest::newRow("text") << QVariant("abc") << "closest_radio" << 2;
    }

    void restoring_each_mode()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, radio);
        QFETCH(int, mode);
        if (stored.isValid())
            QSettings().setValue("sync_order", stored);
        auto w = make_window();
        auto* checked = qobject_cast<ko::radio*>(w->mode_group->checkedButton());
        QCOMPARE(checked ? checked->objectName() : QString(), radio);
        QCOMPARE(w->sync_order, mode);
        QCOMPARE(w->table_model->is_fixed_position_mode(), mode == 3);
        QCOMPARE(w->latitude_edit->isEnabled(), mode == 3);
        QCOMPARE(w->photo_limit_edit->isEnabled(), mode <= 2);
        QCOMPARE(w->load_gpx_button->isEnabled(), mode == 4);
        // Restoring writes nothing back.
        QCOMPARE(QSettings().value("sync_order"), stored);
    }

    void radios_select_their_modes_and_store_them()
    {
        auto w = make_window();
        w->photo_limit_edit->setText("0");
        w->load_files({photo_a, photo_b, photo_c});
        QCOMPARE(w->table_model->rowCount(), 3);

        // "previous": B takes A's position, the earlier photo.
        QTest::mouseClick(w->previous_radio, Qt::LeftButton);
        QCOMPARE(QSettings().value("sync_order").toInt(), 0);
        QCOMPARE(position_of(w->table_model, photo_b).lat, QString("47.500000"));
        QCOMPARE(marker_of(w->table_model, photo_b), QString(QChar(0x2191)));
        QCOMPARE(marker_of(w->table_model, photo_a), QString(QChar(0x2190)));

        // "following": C's, the later one.
        QTest::mouseClick(w->following_radio, Qt::LeftButton);
        QCOMPARE(QSettings().value("sync_order").toInt(), 1);
        QCOMPARE(position_of(w->table_model, photo_b).lat, QString("-33.900000"));
        QCOMPARE(marker_of(w->table_model, photo_b), QString(QChar(0x2193)));

        QVERIFY(position_of(w->table_model, photo_a).is_empty()); // own position: nothing to write

        QTest::mouseClick(w->fixed_position_radio, Qt::LeftButton);
        QCOMPARE(QSettings().value("sync_order").toInt(), 3);
        QCOMPARE(marker_of(w->table_model, photo_a), QString("="));
    }

    void loading_filters_and_markers()
    {
        auto w = make_window();
        w->clear_files();
        w->photo_limit_edit->setText("60");
        w->load_files({photo_a, photo_b, dir.filePath("notes.txt"), dir.filePath("README"),
                       dir.filePath("archive.tar.gz"), clip, photo_a});
        QCOMPARE(w->table_model->rowCount(), 3); // a, IMG_B.JPG, clip.MOV; a only once
        QVERIFY(row_of(w->table_model, clip) >= 0);
        QVERIFY(w->sync_button->isEnabled());
        QCOMPARE(marker_of(w->table_model, clip), QString(QChar(0x2191)));

        // Clearing empties list and store.
        w->clear_files();
        QVERIFY(exif_cache::instance()->records.empty() && !w->sync_button->isEnabled());

        // A batch with nothing to load leaves no progress dialog behind.
        w->load_files({});
        QVERIFY(!w->loading_progress->isVisible());
    }

    // A long load moves the progress and repaints the list about ten times
    // a second, not after every file, and shows the whole batch at the end.
    void loading_paces_progress_and_list()
    {
        QTemporaryDir folder;
        QStringList paths;
        for (int i = 0; i < 40; ++i) {
            paths << folder.filePath(QString("p%1.jpg").arg(i));
            QVERIFY(test_support::make_image(paths.last()));
        }
        auto w = make_window();
        w->clear_files();
        auto* bar = w->loading_progress->findChild<QProgressBar*>();
        QVERIFY(bar);
        QList<int> values;
        connect(bar, &QProgressBar::valueChanged, [&values](int value) { values << value; });
        paint_counter paints;
        w->table_view->viewport()->installEventFilter(&paints);

        QElapsedTimer clock;
        clock.start();
        w->load_files(paths);
        const qint64 paces = clock.elapsed() / 100 + 1;

        QCOMPARE(w->table_model->rowCount(), 40);
        QVERIFY(values.contains(40));
        QVERIFY(!w->loading_progress->isVisible());
        QVERIFY2(values.count() <= paces + 3, qPrintable(QString::number(values.count())));
        // A repaint of the list may come as two paint events.
        QVERIFY2(paints.count <= 2 * paces + 4, qPrintable(QString::number(paints.count)));
        QVERIFY(w->table_view->updatesEnabled() && w->table_view->viewport()->updatesEnabled());
        w->clear_files();
    }

    void warning_icon_follows_assignment()
    {
        auto w = make_window();
        w->clear_files();
        w->photo_limit_edit->setText("0");
        w->load_files({photo_b}); // no tagged neighbour
        QVERIFY(w->warning_icon->isVisible());
        w->load_files({photo_c});
        QVERIFY(!w->warning_icon->isVisible());
        w->clear_files();
    }

    void loading_by_drop()
    {
        auto w = make_window();
        w->clear_files();
        QTemporaryDir folder;
        QFile::copy(photo_a, folder.filePath("x.jpg"));
        QDir(folder.path()).mkdir("sub");
        QFile::copy(photo_c, folder.filePath("sub/z.jpg"));
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(folder.path()), QUrl::fromLocalFile(photo_c),
                      QUrl("https://example.org/p.jpg")});
        QDropEvent drop(QPointF(150, 150), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        static_cast<QObject*>(w->drop_widget)->event(&drop);
        // The folder's own files, not its subfolder's; no web address.
        QCOMPARE(w->table_model->row_paths().size(), 2);
        QVERIFY(row_of(w->table_model, folder.filePath("x.jpg")) >= 0 && row_of(w->table_model, photo_c) >= 0);
        w->clear_files();
    }

    void loading_by_file_open_event()
    {
        auto w = make_window();
        w->clear_files();
        app->window = w.get();
        QFileOpenEvent file_event(photo_a);
        QCoreApplication::sendEvent(app, &file_event);
        QCOMPARE(w->table_model->rowCount(), 1);

        QTemporaryDir folder;
        QFile::copy(photo_b, folder.filePath("p.jpg"));
        QFile::copy(dir.filePath("notes.txt"), folder.filePath("n.txt"));
        QFileOpenEvent folder_event(folder.path());
        QCoreApplication::sendEvent(app, &folder_event);
        QCOMPARE(w->table_model->rowCount(), 2);

        // Hidden windows get nothing.
        w->hide();
        QFileOpenEvent hidden(photo_c);
        QCoreApplication::sendEvent(app, &hidden);
        QCOMPARE(w->table_model->rowCount(), 2);
        w->clear_files();
        app->window = nullptr;
    }

    void reading_fixed_coordinates()
    {
        struct ok_case { const char* text; bool lat; double want; };
        const ok_case good[] = {{"46,501221", true, 46.501221}, {"-19", false, -19},
                                {"46°30'0\"S", true, -46.5},    {"8°15'36\"W", false, -8.26},
                                {"46°30,5'", true, 46 + 30.5 / 60}, {"180", false, 180}};
        double v = 0;
        for (const ok_case& c : good) {
            QVERIFY2(read_fixed_coordinate(QString::fromUtf8(c.text), c.lat, v), c.text);
            QVERIFY2(qAbs(v - c.want) < 1e-4, c.text);
        }
        for (const char* bad : {"abc", "46.5N", "", "91", "nan", "46°30'0\"E", "1,234,5"})
            QVERIFY2(!read_fixed_coordinate(QString::fromUtf8(bad), true, v), bad);
        QVERIFY(!read_fixed_coordinate("-180.5", false, v));
        QVERIFY(!read_fixed_coordinate(QString::fromUtf8("8°N"), false, v));
    }

    void fixed_position_in_the_window()
    {
        QSettings().setValue("sync_order", 3);
        auto w = make_window();
        w->clear_files();
        w->load_files({photo_a, photo_b});

        w->latitude_edit->setText("46,501221");
        w->longitude_edit->setText("-19 .178194");
        QVERIFY(w->fixed_position_valid());
        gps_pos p = position_of(w->table_model, photo_b);
        QCOMPARE(p.lat, QString("46.501221"));
        QCOMPARE(p.lon + p.lon_ref, QString("-19.178194W"));
        // Every photo gets it in this mode, also one with its own GPS.
        QCOMPARE(position_of(w->table_model, photo_a).lat, QString("46.501221"));

        // Garbage is no position: the field shows it, nothing stale stays,
        // and no row previews the clearing of its GPS data.
        w->latitude_edit->setText("abc");
        QVERIFY(!w->fixed_position_valid());
        QVERIFY(w->latitude_edit->property("invalid_input").toBool());
        QVERIFY(position_of(w->table_model, photo_b).lat.isEmpty());
        QCOMPARE(w->table_model->data(w->table_model->index(row_of(w->table_model, photo_b), 2)).toString(),
                 QString("?  -"));
        QCOMPARE(marker_of(w->table_model, photo_a), QString(QChar(0x2190)));
        w->latitude_edit->setText("12.5");
        QVERIFY(w->fixed_position_valid());
        QVERIFY(!w->latitude_edit->property("invalid_input").toBool());
        QCOMPARE(position_of(w->table_model, photo_b).lat, QString("12.500000"));

        // Both fields empty send the empty position (deleting), no error.
        w->longitude_edit->clear();
        w->latitude_edit->clear();
        QVERIFY(w->fixed_position_valid());
        QVERIFY(position_of(w->table_model, photo_b).is_empty());

        // A hemisphere given twice, by sign and letter, is refused; so is a
        // pair pasted into one field, the other left empty: half a position.
        const struct {
            const char* lat;
            const char* lon;
            bool lat_invalid, lon_invalid;
        } refused[] = {{"-33°52'S", "151.2", true, false},
                       {"46.5", "-46°30'0\"W", false, true},
                       {"47.3769, 8.5417", "", true, true},
                       {"47°22'37\"N 8°32'30\"E", "", true, true}};
        for (const auto& c : refused) {
            w->latitude_edit->setText(QString::fromUtf8(c.lat));
            w->longitude_edit->setText(QString::fromUtf8(c.lon));
            QVERIFY2(!w->fixed_position_valid(), c.lat);
            QCOMPARE(w->latitude_edit->property("invalid_input").toBool(), c.lat_invalid);
            QCOMPARE(w->longitude_edit->property("invalid_input").toBool(), c.lon_invalid);
            QVERIFY(position_of(w->table_model, photo_b).lat.isEmpty());
        }
        w->clear_files();
    }

    void time_limits()
    {
        QSettings().setValue("sync_order", 0); // previous photo
        auto w = make_window();
        w->clear_files();
        w->load_files({photo_a, photo_b}); // 40 minutes apart
        QVERIFY(position_of(w->table_model, photo_b).is_empty()); // 5 minutes limit
        w->photo_limit_edit->setText("45");
        QCOMPARE(position_of(w->table_model, photo_b).lat, QString("47.500000"));
        w->photo_limit_edit->setText("0"); // no limit
        QCOMPARE(position_of(w->table_model, photo_b).lat, QString("47.500000"));
        // Typing separators or a sign is refused by the validator.
        w->photo_limit_edit->clear();
        QTest::keyClicks(w->photo_limit_edit, "-1.5");
        QCOMPARE(w->photo_limit_edit->text(), QString("15"));
        w->clear_files();
    }

    void gpx_single_and_several_tracks()
    {
        QSettings().setValue("sync_order", 4);
        auto w = make_window();
        w->clear_files();
        w->load_files({photo_b}); // 10:40 local (Europe/Berlin, UTC+2) = 08:40Z

        const QString one = dir.filePath("one.gpx");
        QVERIFY(window_support::write_gpx(
            one, {{"Walk",
                   {{"46.5", "7.5", "2023-05-01T08:41:00Z"},
                    {"46.6", "7.6", "2023-05-01T08:39:00Z"},
                    {"abc", "7.0", "2023-05-01T08:40:00Z"},   // no number
                    {"95", "7.0", "2023-05-01T08:40:00Z"},    // out of range
                    {"46.0", "7.0", ""}}}}));                 // no time
        w->load_gpx_file(one);
        QCOMPARE(marker_of(w->table_model, photo_b), QString("G"));
        gps_pos p = position_of(w->table_model, photo_b);
        QVERIFY2(p.lat == "46.50000000" || p.lat == "46.60000000", qPrintable(p.lat));

        // Several tracks: the dialog offers each, and by default merges them.
        const QString two = dir.filePath("two.gpx");
        QVERIFY(window_support::write_gpx(two, {{"Morning", {{"10", "20", "2023-05-01T08:00:00Z"}}},
                                                {"Noon", {{"30", "40", "2023-05-01T08:40:30Z"},
                                                          {"31", "41", "2023-05-01T12:00:00Z"}}}}));
        QStringList offered;
        on_track_dialog([&offered](QInputDialog* dialog) {
            offered = dialog->comboBoxItems();
            offered << dialog->textValue();
            dialog->accept();
        });
        w->load_gpx_file(two);
        QCOMPARE(offered, QStringList({"Load all tracks", "Morning (1 Points)", "Noon (2 Points)", "Load all tracks"}));
        QCOMPARE(position_of(w->table_model, photo_b).lat, QString("30.00000000"));

        // Choosing one track; cancelling keeps the loaded file.
        w->gpx_limit_edit->setText("0"); // Morning's point is 40 minutes off
        on_track_dialog([](QInputDialog* dialog) {
            dialog->setTextValue("Morning (1 Points)");
            dialog->accept();
        });
        w->load_gpx_file(two);
        QCOMPARE(position_of(w->table_model, photo_b).lat, QString("10.00000000"));
        // Garmin units name every track "ACTIVE LOG": the second of two equal
        // items is the second track; a track without points is not offered.
        const QString garmin = dir.filePath("garmin.gpx");
        QVERIFY(window_support::write_gpx(garmin, {{"ACTIVE LOG", {{"20", "20", "2023-05-01T08:40:00Z"}}},
                                                   {"ACTIVE LOG", {}},
                                                   {"ACTIVE LOG", {{"30", "40", "2023-05-01T08:40:00Z"}}}}));
        on_track_dialog([&offered](QInputDialog* dialog) {
            offered = dialog->comboBoxItems();
            dialog->findChild<QComboBox*>()->setCurrentIndex(2);
            dialog->accept();
        });
        w->load_gpx_file(garmin);
        QCOMPARE(offered.size(), 3);
        QCOMPARE(position_of(w->table_model, photo_b).lat, QString("30.00000000"));
        w->gpx_file_edit->setText("kept");
        on_track_dialog([](QInputDialog* dialog) { dialog->reject(); });
        w->load_gpx_file(two);
        QCOMPARE(w->gpx_file_edit->text(), QString("kept"));

        // No tracks, only tracks without points, or no point with a time and
        // a place: the error box, nothing else changes.
        const QString empty = dir.filePath("empty.gpx");
        QVERIFY(window_support::write_gpx(empty, {}));
        const QString pointless = dir.filePath("pointless.gpx");
        QVERIFY(window_support::write_gpx(pointless, {{"E", {}}}));
        const QString unusable = dir.filePath("unusable.gpx");
        QVERIFY(window_support::write_gpx(
            unusable, {{"Walk", {{"46.5", "7.5", ""}, {"x", "7.6", "2023-05-01T08:40:00Z"}}}}));
        for (const QString& path : {empty, pointless, unusable}) {
            QString shown;
            test_support::act_on_modal_later([&shown](QWidget* modal) {
                if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                    shown = box->windowTitle() + "|" + box->text();
                    box->button(QMessageBox::Ok)->click();
                }
            });
            w->load_gpx_file(path);
            QVERIFY2(shown.startsWith("Error|It looks like there are no tracks"), qPrintable(path));
            QCOMPARE(w->gpx_file_edit->text(), QString("kept"));
            QCOMPARE(position_of(w->table_model, photo_b).lat, QString("30.00000000"));
        }
        w->clear_files();
    }

    // While a GPX file is read the window's events go on, under the
    // operation guard, so that no input starts anything else meanwhile.
    void gpx_loading_keeps_events_running()
    {
        auto w = make_window();
        const QString path = dir.filePath("events.gpx");
        QVERIFY(window_support::write_gpx(path, {{"Walk", {{"46.5", "7.5", "2023-05-01T08:41:00Z"}}}}));
        bool ran = false;
        bool guarded = false;
        QMetaObject::invokeMethod(
            w.get(), [&]() { ran = true; guarded = w->operation_running(); }, Qt::QueuedConnection);
        w->load_gpx_file(path);
        QVERIFY(ran);
        QVERIFY(guarded);
        QVERIFY(!w->operation_running());
        QCOMPARE(w->gpx_file_edit->text(), path);
    }

    void sorting_points_and_cleaning_tracks()
    {
        const QDateTime t = QDateTime::fromString("2023-05-01T10:00:00Z", Qt::ISODate);
        gpx_track track{"t", {{" 46.5 ", "7.25", t}, {"1e3", "0", t}, {"", "0", t}, {"nan", "0", t},
                              {"-90", "-180", t.addSecs(-60)}, {"10", "10", QDateTime()}}};
        QCOMPARE(sanitize_track(track), 4);
        QCOMPARE(track.points.size(), 2);
        QCOMPARE(track.points.at(0).lat, QString("46.50000000"));
        QCOMPARE(track.points.at(1).lon, QString("-180.00000000"));
    }

    void shortcuts()
    {
        auto w = make_window();
        QMap<QString, Qt::ShortcutContext> found;
        for (QShortcut* s : w->findChildren<QShortcut*>())
            found.insert(s->key().toString(), s->context());
        QCOMPARE(found.size(), 7);
        QCOMPARE(found.value("Ctrl+Shift+G"), Qt::ApplicationShortcut);
        QCOMPARE(found.value("Ctrl+Shift+L"), Qt::WindowShortcut);

        // Ctrl+Shift+G: the information report.
        QString report;
        test_support::act_on_modal_later([&report](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                report = box->windowTitle() + "\n" + box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        for (QShortcut* s : w->findChildren<QShortcut*>())
            if (s->key() == QKeySequence("Ctrl+Shift+G"))
                emit s->activated();
        QVERIFY(report.startsWith("Application Information\nOS: "));
        QVERIFY(report.contains("\nApplication: " + QCoreApplication::applicationName() + "\nVersion: 2.1.0\n"));
        QVERIFY(report.contains("Component: ko_toolkit\tVersion: "));
    }

    void settings_dialog()
    {
        QSettings().setValue("lang", "de");
        QCOMPARE(dialog_settings().language_combo->currentText(), QString("Deutsch"));
        QSettings().setValue("lang", "fr");
        dialog_settings dialog;
        QCOMPARE(dialog.language_combo->currentText(), QString("English"));
        QCOMPARE(QSettings().value("lang").toString(), QString("fr")); // building stores nothing
        dialog.language_combo->setCurrentIndex(1);
        QCOMPARE(QSettings().value("lang").toString(), QString("de"));
    }

    // Settings that cannot be written (a folder in place of the file, even for
    // root): said once, naming the file; no restart is promised.
    void unwritable_settings_said_once()
    {
        const QString file = QSettings().fileName();
        QFile::remove(file);
        QVERIFY(QDir().mkpath(file));
        writing_support::box_script boxes({"OK"});
        dialog_settings dialog;
        for (int index : {1, 0, 1})
            dialog.language_combo->setCurrentIndex(index);
        QCOMPARE(ko::confirm_language_change(nullptr, "en"), false);
        QCOMPARE(boxes.titles(), QStringList{"Settings not saved"});
        QVERIFY(boxes.boxes[0].text.endsWith("\n\nSettings file:\n" + file) && QDir().rmdir(file));
    }

    // Every label of the settings dialog as painted: its text (the pixel that
    // stands out most in its rectangle) against what lies behind it (the
    // rectangle's most frequent colour).
    void settings_dialog_labels_are_legible()
    {
        dialog_settings dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QImage image = dialog.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const double scale = double(image.width()) / dialog.width();
        const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
        QVERIFY(labels.size() >= 3);
        for (QLabel* label : labels) {
            const QRect area(label->mapTo(&dialog, QPoint(0, 0)) * scale, label->size() * scale);
            QHash<QRgb, int> frequency;
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    ++frequency[image.pixel(x, y)];
            QRgb behind = 0;
            for (auto it = frequency.cbegin(); it != frequency.cend(); ++it)
                if (it.value() > frequency.value(behind))
                    behind = it.key();
            double best = 1;
            for (auto it = frequency.cbegin(); it != frequency.cend(); ++it)
                best = std::max(best, contrast_ratio(QColor(it.key()), QColor(behind)));
            QVERIFY2(best >= 4.5, qPrintable(QString("%1: %2 to 1 on %3")
                                                 .arg(label->text()).arg(best, 0, 'f', 2)
                                                 .arg(QColor(behind).name())));
        }
    }
};

int main(int argc, char** argv)
{
    QCoreApplication::setOrganizationName("Quenmark");
    QCoreApplication::setApplicationName("Orlavo");
    QCoreApplication::setApplicationVersion("2.1.0");
    ko::application<MainWindow> app(argc, argv);
    test_main_window test;
    test.app = &app;
    return QTest::qExec(&test, argc, argv);
}

#include "test_main_window.moc"
