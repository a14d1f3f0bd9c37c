#pragma once
// The application's main window: the drop area and file dialog that load
// photos, the assignment mode with its fixed position and time limits, GPX
// tracks, the file list with the previewed positions, and the buttons that
// write, remove and undo GPS data.

#include "file_stamp.h"

#include "ko/exiftool.h"
#include "ko/main_window.h"

#include <QMap>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QButtonGroup;
class QLabel;
class QProgressDialog;
class QTableView;
class dialog_settings;
class drop_files_widget;
struct gpx_track;
class table_data_model;
struct gpx_point;

namespace ko {
class application_log;
class button_dark;
class lineedit;
class radio;
namespace qt {
class layout;
}
} // namespace ko

// Shows the application information report (system, build, components and
// the extra entries) in a message box.
void show_application_information(QWidget* parent, QMap<QString, QString> extra);

// Sorts points by ascending time.
void sort_points_by_time(QList<gpx_point>& points);

// Drops the points of track whose coordinates are not finite numbers within
// +-90 / +-180 or whose time is invalid, and writes the coordinates of the
// others as the program's own number texts. Returns how many were dropped.
// tick, when given, is called after every 65,536 points.
int sanitize_track(gpx_track& track, const std::function<void()>& tick = {});

// Reads one typed fixed-position coordinate (blanks already removed): a
// number with point or decimal comma, or degrees/minutes/seconds with an
// optional hemisphere letter (N/S for a latitude, E/W for a longitude).
// False when the text is no such coordinate or out of range.
bool read_fixed_coordinate(const QString& text, bool latitude, double& value);

class MainWindow : public ko::main_window
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    bool event(QEvent* e) override;

    // True while loading, syncing, removing or undoing runs.
    bool operation_running() const { return busy; }
    // False while the typed fixed position is no valid coordinate pair.
    bool fixed_position_valid() const { return fixed_position_ok; }

    // When the GPS tags of a file are read: the warning of a failed read says so.
    enum class gps_read { before_change, after_change, before_restore, after_restore };

    // The GPS tags of path as they are now on disk, read afresh for undo:
    // every tag named GPS... in every group but Composite, keyed
    // "Group:Tag" (as "GPS:GPSLatitude", "XMP-exif:GPSImgDirection") with
    // its numeric value. Nothing when the file cannot be read.
    std::optional<exif_tag_map> gps_tag_map_for_file(const QString& path, gps_read when = gps_read::before_change);

public slots:
    // Loads the supported files of paths; the supported ones of
    // refused_names, names that cannot be loaded by their text, are named in
    // one warning together with the paths found to be such names here, and
    // in it, for their own reason, those of remote_names, files on another host.
    void load_files(QStringList paths, QStringList refused_names = QStringList(),
                    QStringList remote_names = QStringList());

private slots:
    void select_files();
    void clear_files();
    void load_gpx();
    void load_gpx_file(const QString& path);
    void sync_gps();
    void remove_gps_data();
    void undo_last_edit();
    void mode_selected(int mode, bool checked);
    void update_mode_controls();
    void fixed_position_changed(const QString& text);
    void max_time_difference_changed(const QString& text);
    void on_sort_order_override(int column, Qt::SortOrder order);
    void on_cache_rebuilt(int assigned, int unassigned, int total);
    void show_settings();
    void show_help();
    void show_about();
    void set_warning(bool visible, const QString& tool_tip);

private:
    friend class test_main_window;
    friend class test_main_window_write;
    friend class operation_scope;
    friend class input_blocker_filter;

    void build_tool_buttons(ko::qt::layout* main);
    void build_header(ko::qt::layout* main);
    void build_drop_area(ko::qt::layout* main);
    void build_mode_panel(ko::qt::layout* main);
    void build_gpx_panel(ko::qt::layout* main);
    void build_table_view(ko::qt::layout* main);
    void create_loading_progress();
    void create_syncing_progress();
    void connect_signals();
    void build_shortcuts();
    void save_settings();
    void restore_settings();
    ko::radio* radio_of_mode(int mode) const;

    // The one guard of the long operations: while it is held every user
    // input, drop and file-open event is swallowed, and what was held back
    // meanwhile is discarded when it ends.
    bool begin_operation();
    void end_operation();

    // A close of the window or Ctrl+Q that came while an operation ran: the
    // operation's scope carries it out at its very end.
    enum class pending_exit { none, close, quit };
    pending_exit exit_pending = pending_exit::none;
    void carry_out_pending_exit();

    // Tells the user that ExifTool cannot be started or has stopped, naming
    // where it was looked for.
    void warn_exiftool_missing();
    // After a batch in which files could not be read (of total added): the
    // warning above when ExifTool is the reason, else the files by name.
    void report_unread_files(const QStringList& unread, int total);
    // The file names of paths, one a line, each with its details (such as
    // tag names) when it has some; past the first ten only a count.
    static QString file_list(const QStringList& paths, const QMap<QString, QStringList>& details = {});
    // One group of files of such a warning: its text and its files, each
    // with the details (such as tag names) it has in this group. The text
    // is the source of a translation with plural forms by the total,
    // "%1 of %n files ...:\n\n%2" (marked with QT_TR_N_NOOP).
    struct file_group {
        const char* text;
        QStringList paths;
        QMap<QString, QStringList> details{};
    };
    // The warning after an operation that did not change every file: for each
    // group of files that is not empty, its text, filled with their count,
    // the total and their names with details; then, when ExifTool has
    // stopped, the warning that says so. Information instead of a warning
    // where every group tells of files that are done.
    void report_incomplete(const QString& title, const std::vector<file_group>& groups, int total,
                           QMessageBox::Icon icon = QMessageBox::Warning);

    ko::button_dark* settings_button = nullptr;
    ko::button_dark* about_button = nullptr;
    ko::button_dark* help_button = nullptr;
    ko::button_dark* sync_button = nullptr;
    ko::button_dark* undo_button = nullptr;
    ko::button_dark* clear_button = nullptr;
    ko::button_dark* load_button = nullptr;
    QLabel* warning_icon = nullptr;
    ko::radio* following_radio = nullptr;
    ko::radio* previous_radio = nullptr;
    ko::radio* closest_radio = nullptr;
    ko::radio* fixed_position_radio = nullptr;
    ko::radio* gpx_radio = nullptr;
    QButtonGroup* mode_group = nullptr;
    ko::lineedit* latitude_edit = nullptr;
    ko::lineedit* longitude_edit = nullptr;
    ko::lineedit* photo_limit_edit = nullptr;
    ko::lineedit* gpx_limit_edit = nullptr;
    ko::button_dark* load_gpx_button = nullptr;
    ko::lineedit* gpx_file_edit = nullptr;
    ko::button_dark* remove_gps_button = nullptr;
    QTableView* table_view = nullptr;
    table_data_model* table_model = nullptr;
    drop_files_widget* drop_widget = nullptr;
    ko::qt::layout* main_layout = nullptr;
    ko::qt::layout* tool_layout = nullptr;
    ko::qt::layout* header_layout = nullptr;
    ko::qt::layout* drop_layout = nullptr;
    ko::qt::layout* mode_layout = nullptr;
    ko::qt::layout* gpx_layout = nullptr;
    ko::qt::layout* fixed_layout = nullptr;
    ko::qt::layout* gpx_inner_layout = nullptr;
    ko::qt::layout* table_layout = nullptr;
    QProgressDialog* loading_progress = nullptr;
    QProgressDialog* syncing_progress = nullptr;
    // What the undo keeps of a file that the last sync or removal wrote, or
    // may have written: its GPS tags before the change, its name as the
    // file system has it, and its stamp right after the change (or after an
    // undo that left it here), none when that could not be taken. An undo
    // writes only into a file whose stamp is unchanged.
    struct undo_entry {
        exif_tag_map tags;
        QByteArray name;
        std::optional<file_stamp> stamp;
        bool retried = false; // an undo left it here
    };
    QMap<QString, undo_entry> undo_map;
    // The entry of a file just written (or maybe written), with its stamp.
    static undo_entry entry_after_write(const QString& path, const exif_tag_map& snapshot);
    dialog_settings* settings_dialog = nullptr;
    QString last_image_load_path;
    QString last_gpx_load_path;
    int sync_order = 0;
    ko::application_log* log = nullptr;

    bool busy = false;
    bool fixed_position_ok = true;
    QObject* input_blocker = nullptr;
};

// Holds the window's operation guard for one scope: every long operation
// runs inside one. release() gives the user's input back (for the closing
// messages of the operation); when the scope ends, a close or quit that came
// while the guard was held is carried out.
class operation_scope
{
public:
    explicit operation_scope(MainWindow* window)
        : w(window)
        , held(window->begin_operation())
        , owner(held)
    {
    }
    ~operation_scope()
    {
        release();
        if (owner)
            w->carry_out_pending_exit();
    }
    operation_scope(const operation_scope&) = delete;
    operation_scope& operator=(const operation_scope&) = delete;
    explicit operator bool() const { return held; }
    void release()
    {
        if (held)
            w->end_operation();
        held = false;
    }

private:
    MainWindow* w;
    bool held;
    bool owner; // this scope took the guard, so the exit is its to carry out
};
