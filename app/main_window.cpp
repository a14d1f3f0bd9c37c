#include "main_window.h"

#include "build_information.h"
#include "drop_area.h"
#include "exif_cache.h"
#include "file_names.h"
#include "gps_coordinates.h"
#include "gpx_reader.h"
#include "number_validator.h"
#include "progress_pacer.h"
#include "settings_dialog.h"
#include "table_data_model.h"

#include "ko/fonts.h"
#include "ko/application_log.h"
#include "ko/button_dark.h"
#include "ko/cell_options.h"
#include "ko/datetime_format_selector.h"
#include "ko/dialog_about.h"
#include "ko/input_dialog.h"
#include "ko/language.h"
#include "ko/layout.h"
#include "ko/lineedit.h"
#include "ko/message_box.h"
#include "ko/radio.h"
#include "ko/scrollbars.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileOpenEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QShortcut>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QTableView>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

const QString tooltip_style =
    QStringLiteral("QToolTip{border:1px solid rgb(99,99,99);background-image:none;background-color:rgb(47,47,47);}");

const QString panel_style = QStringLiteral(
    "background-color: rgb(47,47,47); border-style:solid; border-width:3px; "
    "border-image:url(:/gui/panel/border_topless.png) 3 stretch;");

constexpr quint32 icon_highlight = 0xFFF0F0F0u;
constexpr quint32 icon_normal = 0xFF818885u;

// Border colour of a line edit whose text is no valid input.
const QColor invalid_border(210, 70, 60);

void set_column_width(ko::qt::layout* layout, int width)
{
    if (layout->column_widths.size() <= size_t(layout->current_column))
        layout->column_widths.resize(layout->current_column + 1, 0);
    layout->column_widths[layout->current_column] = width;
}

void set_row_height(ko::qt::layout* layout, int height)
{
    if (layout->row_heights.size() <= size_t(layout->current_row))
        layout->row_heights.resize(layout->current_row + 1, 0);
    layout->row_heights[layout->current_row] = height;
}

ko::button_dark* icon_button(const QString& tool_tip, const QString& icon)
{
    auto* button = new ko::button_dark(nullptr);
    button->setToolTip(tool_tip);
    button->set_icon(icon, -1, -1, ko::pixel_argb(icon_highlight), ko::pixel_argb(icon_normal));
    return button;
}

void mark_invalid(ko::lineedit* edit, bool invalid)
{
    if (invalid)
        edit->set_current_border_color(invalid_border);
    else
        edit->reset_border_color();
    edit->setProperty("invalid_input", invalid);
}

} // namespace

// Swallows the user's input while one of the window's long operations runs.
// A close of the main window or its quit shortcut is noted instead and
// carried out when the operation ends.
class input_blocker_filter : public QObject
{
public:
    explicit input_blocker_filter(MainWindow* window)
        : QObject(window)
        , w(window)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (is_quit_key(e))
            w->exit_pending = MainWindow::pending_exit::quit;
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::FileOpen:
            e->ignore();
            return true;
        case QEvent::Close:
            // Closing a window in the middle of writing files is put off;
            // the main window closes once the operation is over.
            if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
                if (watched == w && w->exit_pending == MainWindow::pending_exit::none)
                    w->exit_pending = MainWindow::pending_exit::close;
                e->ignore();
                return true;
            }
            return false;
        default:
            return false;
        }
    }

private:
    static bool is_quit_key(QEvent* e)
    {
        if (e->type() == QEvent::Shortcut)
            return static_cast<QShortcutEvent*>(e)->key() == QKeySequence(QStringLiteral("Ctrl+Q"));
        if (e->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(e);
            return key->key() == Qt::Key_Q && key->modifiers() == Qt::ControlModifier;
        }
        return false;
    }

    MainWindow* w;
};

// ---------------------------------------------------------------- helpers

bool read_fixed_coordinate(const QString& text, bool latitude, double& value)
{
    // In a coordinate a comma is a decimal comma, never a thousands
    // separator, whatever the locale.
    QString dotted = text;
    dotted.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    double v = dotted.toDouble(&ok);
    if (!ok) {
        QLocale locale;
        locale.setNumberOptions(locale.numberOptions() | QLocale::RejectGroupSeparator);
        v = locale.toDouble(text, &ok);
    }
    if (!ok) {
        // Degrees, minutes and seconds, each optional but at least one,
        // with an optional hemisphere letter of the right axis. Degrees are
        // marked by the degree sign or by "deg", as ExifTool prints them.
        static const QRegularExpression dms(
            QStringLiteral("^-?(?:(\\d+(?:[.,]\\d+)?)(?:\u00b0|deg))?(?:(\\d+(?:[.,]\\d+)?)')?"
                           "(?:(\\d+(?:[.,]\\d+)?)\")?([A-Za-z]?)$"),
            QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = dms.match(text);
        if (!m.hasMatch())
            return false;
        if (m.captured(1).isEmpty() && m.captured(2).isEmpty() && m.captured(3).isEmpty())
            return false;
        // A letter gives the hemisphere; with a minus sign as well the text
        // gives it twice, and the two would cancel.
        const QString letter = m.captured(4).toUpper();
        if (!letter.isEmpty()) {
            const QString allowed = latitude ? QStringLiteral("NS") : QStringLiteral("EW");
            if (!allowed.contains(letter) || text.startsWith(QLatin1Char('-')))
                return false;
        }
        v = parse_coordinate_degrees(dotted.toLocal8Bit().toStdString());
    }
    if (!std::isfinite(v) || std::fabs(v) > (latitude ? 90.0 : 180.0))
        return false;
    value = v;
    return true;
}

void sort_points_by_time(QList<gpx_point>& points)
{
    std::sort(points.begin(), points.end(),
              [](const gpx_point& a, const gpx_point& b) { return a.time < b.time; });
}

int sanitize_track(gpx_track& track, const std::function<void()>& tick)
{
    // In place, keeping the order: a track may hold millions of points.
    QList<gpx_point>& points = track.points;
    int kept = 0;
    for (int i = 0; i < points.size(); ++i) {
        if (tick && ((i + 1) & 0xFFFF) == 0)
            tick();
        gpx_point& point = points[i];
        bool lat_ok = false;
        bool lon_ok = false;
        const double lat = point.lat.trimmed().toDouble(&lat_ok);
        const double lon = point.lon.trimmed().toDouble(&lon_ok);
        if (!lat_ok || !lon_ok || !std::isfinite(lat) || !std::isfinite(lon) || std::fabs(lat) > 90.0 ||
            std::fabs(lon) > 180.0 || !point.time.isValid())
            continue;
        point.lat = QString::number(lat, 'f', 8);
        point.lon = QString::number(lon, 'f', 8);
        if (kept != i)
            points[kept] = std::move(point);
        ++kept;
    }
    const int dropped = points.size() - kept;
    points.erase(points.begin() + kept, points.end());
    return dropped;
}

void show_application_information(QWidget* parent, QMap<QString, QString> extra)
{
    ko::message_box::information(parent, QStringLiteral("Application Information"),
                                 application_information_text(extra), QMessageBox::Ok, QMessageBox::NoButton);
}

// ---------------------------------------------------------------- construction

MainWindow::MainWindow(QWidget* parent)
    : ko::main_window(parent)
{
    log = ko::application_log::instance();
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/images/icon.png")));

    auto* log_shortcut = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+L")), this);
    log_shortcut->setContext(Qt::WindowShortcut);
    auto* log_shortcut_2 = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+R")), this);
    log_shortcut_2->setContext(Qt::WindowShortcut);
    if (log) {
        connect(log_shortcut, &QShortcut::activated, log, &ko::application_log::open_log_window);
        connect(log_shortcut_2, &QShortcut::activated, log, &ko::application_log::open_log_window);
    }

    QFontDatabase::addApplicationFont(QStringLiteral(":/images/FreeSans.ttf"));
    QFontDatabase::addApplicationFont(QStringLiteral(":/images/FreeSansBold.ttf"));
    // Both files are family "FreeSans": let the name "FreeSansBold" find the bold face.
    ko::register_fonts();
    QFont font(QStringLiteral("FreeSans"));
    font.setPointSize(9);
    QApplication::setFont(font);

    resize(925, 600);
    setMinimumSize(925, 600);

    auto* central = new QWidget;
    central->setStyleSheet(QStringLiteral("color: rgb(198,213,210);"));
    setCentralWidget(central);
    main_layout = new ko::qt::layout(3, false);
    central->setLayout(main_layout);

    settings_dialog = new dialog_settings;

    build_tool_buttons(main_layout);
    build_header(main_layout);
    build_drop_area(main_layout);
    build_mode_panel(main_layout);
    build_gpx_panel(main_layout);
    build_table_view(main_layout);

    create_loading_progress();
    create_syncing_progress();
    connect_signals();
    build_shortcuts();
    restore_settings();

    input_blocker = new input_blocker_filter(this);

    max_time_difference_changed(QString());
    table_model->resort();
}

MainWindow::~MainWindow()
{
    if (busy)
        qApp->removeEventFilter(input_blocker);
}

void MainWindow::build_tool_buttons(ko::qt::layout* main)
{
    tool_layout = new ko::qt::layout(3, false);
    auto* holder = new QWidget;
    holder->setLayout(tool_layout);
    main->add(ko::qt::cell(holder, ko::qt::height(37),
                           ko::qt::background_style(QStringLiteral("background-color: rgb(47,47,47);")),
                           ko::qt::column_span(3)));
    set_row_height(main, 37);

    settings_button = icon_button(tr("Show settings dialog"), QStringLiteral(":/images/icon_settings.png"));
    about_button = icon_button(tr("Show information about this program"), QStringLiteral(":/images/icon_about.png"));
    help_button = icon_button(tr("Display the help page for this program"), QStringLiteral(":/images/icon_help.png"));
    settings_button->setObjectName(QStringLiteral("settings_button"));
    about_button->setObjectName(QStringLiteral("about_button"));
    help_button->setObjectName(QStringLiteral("help_button"));

    tool_layout->add(ko::qt::cell(settings_button, ko::qt::margin_top(5), ko::qt::margin_left(5),
                                  ko::qt::margin_right(-1), ko::qt::fixed_size(27, 27)));
    tool_layout->add(ko::qt::cell(about_button, ko::qt::margin_top(5), ko::qt::margin_right(5),
                                  ko::qt::margin_left(-1), ko::qt::fixed_size(27, 27)));
    set_column_width(tool_layout, 32);
    tool_layout->add(ko::qt::cell(help_button, ko::qt::margin_top(5), ko::qt::margin_right(5),
                                  ko::qt::margin_left(-1), ko::qt::fixed_size(27, 27)));
    set_column_width(tool_layout, 32);
}

void MainWindow::build_header(ko::qt::layout* main)
{
    header_layout = new ko::qt::layout(4, false);
    auto* holder = new QWidget;
    holder->setLayout(header_layout);
    main->add(ko::qt::cell(
        holder, ko::qt::height(66), ko::qt::style(QStringLiteral("background-color: none; background-image: none")),
        ko::qt::background_style(QStringLiteral("background-color: rgb(47,47,47); background-image: "
                                                "url(:/images/head_medium_dark_without_shadow.png);")),
        ko::qt::column_span(3)));
    set_row_height(main, 66);

    sync_button = new ko::button_dark(nullptr);
    sync_button->setObjectName(QStringLiteral("sync_button"));
    sync_button->setToolTip(tr("Change the GPS coordinates on all loaded images to their preview values"));
    sync_button->set_style(QStringLiteral("header"));
    sync_button->set_icon(QStringLiteral(":/images/header_sync.png"), -1, -1, ko::pixel_argb(icon_highlight),
                          ko::pixel_argb(icon_normal));
    sync_button->setEnabled(false);
    header_layout->add(ko::qt::cell(sync_button, ko::qt::margin_left(300), ko::qt::fixed_size(119, 46),
                                    ko::qt::no_background));
    set_column_width(header_layout, 419);

    undo_button = new ko::button_dark(nullptr);
    undo_button->setObjectName(QStringLiteral("undo_button"));
    undo_button->setToolTip(tr("Undo the last edit of an images GPS coordinates"));
    undo_button->set_style(QStringLiteral("header"));
    undo_button->set_icon(QStringLiteral(":/images/header_undo.png"), -1, -1, ko::pixel_argb(icon_highlight),
                          ko::pixel_argb(icon_normal));
    undo_button->setEnabled(false);
    header_layout->add(ko::qt::cell(undo_button, ko::qt::margin_left(10), ko::qt::margin_right(-1),
                                    ko::qt::fixed_size(52, 46), ko::qt::no_background));

    warning_icon = new QLabel;
    warning_icon->setObjectName(QStringLiteral("warning_icon"));
    warning_icon->setPixmap(QPixmap(QStringLiteral(":/images/warning_yellow.png")));
    warning_icon->setFixedSize(47, 41);
    warning_icon->setVisible(false);
    warning_icon->setStyleSheet(QStringLiteral("QLabel{background:none;} ") + tooltip_style);
    header_layout->add(ko::qt::cell(warning_icon, ko::qt::margin_left(10), ko::qt::margin_right(-1),
                                    ko::qt::fixed_size(47, 46), ko::qt::no_background));

    auto* logo = new QWidget;
    header_layout->add(ko::qt::cell(logo, ko::qt::margin_right(20),
                                    ko::qt::style(QStringLiteral("background-image: url(:/images/logo_header.png);")),
                                    ko::qt::fixed_size(217, 46), ko::qt::no_background));
    set_column_width(header_layout, 237);
}

void MainWindow::build_drop_area(ko::qt::layout* main)
{
    drop_layout = new ko::qt::layout(2, false);
    drop_widget = new drop_files_widget(nullptr);
    drop_widget->setObjectName(QStringLiteral("drop_widget"));
    drop_widget->setLayout(drop_layout);
    drop_widget->setAcceptDrops(true);
    const QString background =
        QStringLiteral("background-color: rgb(0,0,0);background-image: url(:/images/drop_images_gps_%1.png);"
                       "background-repeat: no-repeat;background-position: center center;background-origin: content;")
            .arg(ko::get_language(QStringLiteral("lang")));
    main->add(ko::qt::cell(drop_widget, ko::qt::background_style(background), ko::qt::fixed_size(300, 300)));
    set_column_width(main, 300);
    set_row_height(main, 300);

    clear_button = icon_button(tr("Clear the list of loaded files"), QStringLiteral(":/images/icon_undo.png"));
    clear_button->setObjectName(QStringLiteral("clear_button"));
    load_button = icon_button(tr("Load file(s) from disk"), QStringLiteral(":/images/icon_load.png"));
    load_button->setObjectName(QStringLiteral("load_button"));
    drop_layout->add(ko::qt::cell(clear_button, ko::qt::margin_bottom(-1), ko::qt::margin_top(45),
                                  ko::qt::margin_right(5), ko::qt::margin_left(-1), ko::qt::fixed_size(25, 24)));
    drop_layout->add(ko::qt::cell(load_button, ko::qt::margin_bottom(-1), ko::qt::margin_top(45),
                                  ko::qt::margin_right(-1), ko::qt::margin_left(5), ko::qt::fixed_size(25, 24)));
}

void MainWindow::build_mode_panel(ko::qt::layout* main)
{
    mode_layout = new ko::qt::layout(1, false);
    main->add(mode_layout, ko::qt::background_style(panel_style), ko::qt::fixed_size(220, 300));
    set_column_width(main, 220);

    previous_radio = new ko::radio(nullptr);
    previous_radio->setObjectName(QStringLiteral("previous_radio"));
    previous_radio->setToolTip(tr("Obtain data from the previous GPS-Tagged photo"));
    previous_radio->setStyleSheet(previous_radio->styleSheet() + tooltip_style);
    following_radio = new ko::radio(nullptr);
    following_radio->setObjectName(QStringLiteral("following_radio"));
    following_radio->setToolTip(tr("Obtain data from the following GPS-Tagged photo"));
    following_radio->setStyleSheet(following_radio->styleSheet() + tooltip_style);
    closest_radio = new ko::radio(nullptr);
    closest_radio->setObjectName(QStringLiteral("closest_radio"));
    closest_radio->setToolTip(tr("Obtain data from the closest GPS-Tagged photo"));
    closest_radio->setStyleSheet(closest_radio->styleSheet() + tooltip_style);

    mode_group = new QButtonGroup(nullptr);
    mode_group->addButton(previous_radio);
    mode_group->addButton(following_radio);
    mode_group->addButton(closest_radio);

    photo_limit_edit = new ko::lineedit(nullptr);
    photo_limit_edit->setObjectName(QStringLiteral("photo_limit_edit"));
    photo_limit_edit->setValidator(new number_validator);
    photo_limit_edit->setToolTip(tr("If time difference in minutes between two images is greater than this number no "
                                    "GPS position will be assigned"));
    photo_limit_edit->setFixedWidth(45);
    photo_limit_edit->setText(QStringLiteral("5"));

    following_radio->setChecked(true);

    auto* grid_holder = new QWidget;
    auto* grid = new QGridLayout(grid_holder);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(10);
    grid->setHorizontalSpacing(20);
    grid->setColumnStretch(1, 1);
    auto image = [](const QString& path) {
        auto* label = new QLabel;
        label->setPixmap(QPixmap(path));
        label->setStyleSheet(QStringLiteral("margin-bottom: 13px;"));
        return label;
    };
    grid->addWidget(following_radio, 0, 0);
    grid->addWidget(image(QStringLiteral(":/images/mode_1.png")), 0, 1, Qt::AlignLeft | Qt::AlignBottom);
    grid->addWidget(previous_radio, 1, 0);
    grid->addWidget(image(QStringLiteral(":/images/mode_2.png")), 1, 1, Qt::AlignLeft | Qt::AlignBottom);
    grid->addWidget(closest_radio, 2, 0);
    grid->addWidget(image(QStringLiteral(":/images/mode_3.png")), 2, 1, Qt::AlignLeft | Qt::AlignBottom);
    auto* arrow = new QLabel;
    arrow->setPixmap(QPixmap(
        QStringLiteral(":/images/time_arrow_%1.png").arg(ko::get_language(QStringLiteral("lang")))));
    arrow->setFixedHeight(20);
    grid->addWidget(arrow, 3, 1);

    mode_layout->add(ko::qt::cell(grid_holder, ko::qt::margin_left(25), ko::qt::margin_top(25), ko::qt::height(227)));
    set_row_height(mode_layout, 252);

    auto* limit_row = new QHBoxLayout;
    limit_row->setContentsMargins(25, 0, 0, 0);
    limit_row->setSpacing(8);
    limit_row->addWidget(new QLabel(tr("Max. time diff.")), 0);
    limit_row->addWidget(photo_limit_edit, 1);
    limit_row->addWidget(new QLabel(tr("min.")), 0);
    mode_layout->add(limit_row, ko::qt::margin_bottom(15), ko::qt::height(22));
    set_row_height(mode_layout, 48);
}

void MainWindow::build_gpx_panel(ko::qt::layout* main)
{
    gpx_layout = new ko::qt::layout(1, false);
    main->add(gpx_layout, ko::qt::background_style(panel_style), ko::qt::height(300));

    fixed_position_radio = new ko::radio(nullptr);
    fixed_position_radio->setObjectName(QStringLiteral("fixed_position_radio"));
    fixed_position_radio->setToolTip(tr("Set GPS position of all photos to user specified value"));
    fixed_position_radio->setStyleSheet(fixed_position_radio->styleSheet() + tooltip_style);
    mode_group->addButton(fixed_position_radio);
    latitude_edit = new ko::lineedit(nullptr);
    latitude_edit->setObjectName(QStringLiteral("latitude_edit"));
    longitude_edit = new ko::lineedit(nullptr);
    longitude_edit->setObjectName(QStringLiteral("longitude_edit"));
    gpx_radio = new ko::radio(nullptr);
    gpx_radio->setObjectName(QStringLiteral("gpx_radio"));
    mode_group->addButton(gpx_radio);
    load_gpx_button = new ko::button_dark(nullptr);
    load_gpx_button->setObjectName(QStringLiteral("load_gpx_button"));
    load_gpx_button->set_icon(QStringLiteral(":/images/icon_load.png"), -1, -1, ko::pixel_argb(icon_highlight),
                              ko::pixel_argb(icon_normal));
    gpx_file_edit = new ko::lineedit(nullptr);
    gpx_file_edit->setObjectName(QStringLiteral("gpx_file_edit"));
    gpx_file_edit->setReadOnly(true);
    gpx_limit_edit = new ko::lineedit(nullptr);
    gpx_limit_edit->setObjectName(QStringLiteral("gpx_limit_edit"));
    gpx_limit_edit->setValidator(new number_validator);
    gpx_limit_edit->setToolTip(tr("If time difference in minutes between the image an the nearest gpx data point is "
                                  "greater than this number no GPS position will be assigned"));
    gpx_limit_edit->setFixedWidth(45);
    gpx_limit_edit->setText(QStringLiteral("5"));
    remove_gps_button = new ko::button_dark(tr("Remove GPS data from all files"), nullptr);
    remove_gps_button->setObjectName(QStringLiteral("remove_gps_button"));

    gpx_layout->add(new QWidget);
    set_row_height(gpx_layout, 25);

    fixed_layout = new ko::qt::layout(3, false);
    gpx_layout->add(fixed_layout, ko::qt::margin_right(20), ko::qt::margin_left(20));
    set_row_height(gpx_layout, 105);

    gpx_inner_layout = new ko::qt::layout(3, false);
    gpx_layout->add(gpx_inner_layout, ko::qt::margin_right(20), ko::qt::margin_left(20));

    gpx_layout->add(ko::qt::cell(remove_gps_button, ko::qt::margin_left(53), ko::qt::margin_top(-1),
                                 ko::qt::margin_bottom(17), ko::qt::width(220), ko::qt::height(30)));

    // Fixed position.
    fixed_layout->add(new QWidget);
    set_column_width(fixed_layout, 13);
    fixed_layout->add(ko::qt::cell(new QLabel(tr("Latitude")), ko::qt::margin_left(20)));
    fixed_layout->add(ko::qt::cell(new QLabel(tr("Longitude")), ko::qt::margin_left(20)));
    set_column_width(fixed_layout, 170);
    set_row_height(fixed_layout, 20);
    fixed_layout->add(ko::qt::cell(fixed_position_radio, ko::qt::fixed_size(13, 13)));
    fixed_layout->add(ko::qt::cell(latitude_edit, ko::qt::margin_left(20), ko::qt::height(22)));
    fixed_layout->add(ko::qt::cell(longitude_edit, ko::qt::margin_left(20), ko::qt::height(22)));
    set_row_height(fixed_layout, 24);
    fixed_layout->add(new QWidget);
    fixed_layout->add(ko::qt::cell(new QLabel(tr("e.g. -19.178194\nor 19")),
                                   ko::qt::style(QStringLiteral("color: rgb(99,99,99);")), ko::qt::margin_left(20)));
    fixed_layout->add(ko::qt::cell(new QLabel(tr("e.g. 46.501221\nor 46")),
                                   ko::qt::style(QStringLiteral("color: rgb(99,99,99);")), ko::qt::margin_left(20)));
    set_row_height(fixed_layout, 45);

    // GPX track.
    gpx_inner_layout->add(new QWidget);
    set_column_width(gpx_inner_layout, 13);
    gpx_inner_layout->add(ko::qt::cell(new QLabel(tr("Load GPX")), ko::qt::margin_left(20), ko::qt::column_span(2)));
    set_column_width(gpx_inner_layout, 47);
    set_row_height(gpx_inner_layout, 25);
    gpx_inner_layout->add(ko::qt::cell(gpx_radio, ko::qt::fixed_size(13, 13)));
    gpx_inner_layout->add(ko::qt::cell(load_gpx_button, ko::qt::margin_left(20), ko::qt::fixed_size(23, 22)));
    gpx_inner_layout->add(ko::qt::cell(gpx_file_edit, ko::qt::height(22), ko::qt::margin_left(2)));
    set_column_width(gpx_inner_layout, 293);
    set_row_height(gpx_inner_layout, 35);
    gpx_inner_layout->add(new QWidget);
    set_column_width(gpx_inner_layout, 13);
    auto* limit_row = new QHBoxLayout;
    limit_row->setContentsMargins(0, 0, 0, 0);
    limit_row->setSpacing(8);
    limit_row->addWidget(new QLabel(tr("Max. time diff.")), 0);
    limit_row->addWidget(gpx_limit_edit, 1);
    limit_row->addWidget(new QLabel(tr("min.")), 0);
    gpx_inner_layout->add(limit_row, ko::qt::margin_left(20), ko::qt::column_span(2), ko::qt::height(22));
    set_row_height(gpx_inner_layout, 20);
}

void MainWindow::build_table_view(ko::qt::layout* main)
{
    table_layout = new ko::qt::layout(1, false);
    auto* holder = new QWidget;
    holder->setLayout(table_layout);
    main->add(ko::qt::cell(holder, ko::qt::column_span(3)));

    table_view = new QTableView;
    table_view->setObjectName(QStringLiteral("table_view"));
    table_model = new table_data_model(nullptr);
    table_view->setModel(table_model);
    table_view->setShowGrid(false);
    table_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    table_view->setSortingEnabled(true);
    table_view->setFocusPolicy(Qt::NoFocus);
    table_view->setFrameShape(QFrame::NoFrame);
    table_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_view->setTabKeyNavigation(false);
    table_view->setDropIndicatorShown(false);
    table_view->setAlternatingRowColors(true);
    table_view->setCornerButtonEnabled(false);
    table_view->setSelectionMode(QAbstractItemView::NoSelection);
    table_view->verticalHeader()->hide();
    table_view->setStyleSheet(QStringLiteral(
        "*{  alternate-background-color: rgb(68, 68, 68);  background-color: rgb(38, 38, 38);}QTableView::item {  "
        "padding-left: 1em;  border: 0px;  border-right: 1px solid black;}"));
    table_view->resizeColumnsToContents();
    QHeaderView* header = table_view->horizontalHeader();
    header->setSortIndicator(1, Qt::AscendingOrder);
    header->setSectionResizeMode(0, QHeaderView::Fixed);
    header->setSectionResizeMode(1, QHeaderView::Fixed);
    header->setSectionResizeMode(2, QHeaderView::Stretch);
    QStyle* fusion = QStyleFactory::create(QStringLiteral("fusion"));
    if (fusion)
        fusion->setParent(header);
    header->setStyle(fusion);
    header->setStyleSheet(QStringLiteral("QHeaderView::section {border-width: 3;border-style: solid;border-image:url("
                                         ":/gui/panel/border.png) 3 stretch;padding-left: 1em;}"));
    ko::set_fusion_scrollbars(table_view);
    table_layout->add(ko::qt::cell(table_view, ko::qt::margin_right(0), ko::qt::margin_left(0)));
}

namespace {

QProgressDialog* make_progress(QWidget* parent, const QString& label)
{
    auto* dialog = new QProgressDialog(parent, Qt::WindowFlags());
    QStyle* fusion = QStyleFactory::create(QStringLiteral("fusion"));
    if (fusion)
        fusion->setParent(dialog);
    dialog->setStyle(fusion);
    dialog->setWindowFlags(dialog->windowFlags() & ~Qt::WindowCloseButtonHint & ~Qt::WindowContextHelpButtonHint);
    dialog->setLabelText(label);
    dialog->setCancelButton(nullptr);
    dialog->setMinimumDuration(0);
    dialog->setMinimum(1);
    dialog->setFixedSize(dialog->size());
    dialog->setStyleSheet(QStringLiteral(
        "* {    background-color: rgb(47,47,47);    color: rgb(198,213,210);}QProgressBar {    color: "
        "rgb(198,213,210);    background-color: rgb(47,47,47);    border: 2px solid rgb(55,63,61);    "
        "border-radius: 4px;    text-align: center;}QProgressBar::chunk {    background-color: rgb(91,91,91);    "
        "width: 5px}"));
    auto* bar = new QProgressBar(dialog);
    bar->setFormat(MainWindow::tr("%v of %m"));
    dialog->setBar(bar);
    dialog->hide();
    dialog->close();
    return dialog;
}

} // namespace

void MainWindow::create_loading_progress()
{
    loading_progress = make_progress(this, tr("Loading files"));
    loading_progress->setObjectName(QStringLiteral("loading_progress"));
}

void MainWindow::create_syncing_progress()
{
    syncing_progress = make_progress(this, tr("Syncing GPS data"));
    syncing_progress->setObjectName(QStringLiteral("syncing_progress"));
}

void MainWindow::connect_signals()
{
    connect(settings_button, &QPushButton::clicked, this, &MainWindow::show_settings);
    connect(about_button, &QPushButton::clicked, this, &MainWindow::show_about);
    connect(help_button, &QPushButton::clicked, this, &MainWindow::show_help);
    connect(load_button, &QPushButton::clicked, this, &MainWindow::select_files);
    connect(load_gpx_button, &QPushButton::clicked, this, &MainWindow::load_gpx);
    connect(clear_button, &QPushButton::clicked, this, &MainWindow::clear_files);
    connect(sync_button, &QPushButton::clicked, this, &MainWindow::sync_gps);
    connect(undo_button, &QPushButton::clicked, this, &MainWindow::undo_last_edit);
    connect(drop_widget, &drop_files_widget::files_dropped, this, &MainWindow::load_files);
    connect(table_model, &table_data_model::sort_order_override, this, &MainWindow::on_sort_order_override);
    connect(table_model, &table_data_model::cache_rebuilt, this, &MainWindow::on_cache_rebuilt);
    // Each radio selects the mode its tool tip names: "previous" the nearest
    // earlier tagged photo (mode 0), "following" the nearest later one (1).
    connect(following_radio, &QAbstractButton::clicked, this, [this](bool checked) { mode_selected(1, checked); });
    connect(previous_radio, &QAbstractButton::clicked, this, [this](bool checked) { mode_selected(0, checked); });
    connect(closest_radio, &QAbstractButton::clicked, this, [this](bool checked) { mode_selected(2, checked); });
    connect(fixed_position_radio, &QAbstractButton::clicked, this,
            [this](bool checked) { mode_selected(3, checked); });
    connect(gpx_radio, &QAbstractButton::clicked, this, [this](bool checked) { mode_selected(4, checked); });
    connect(remove_gps_button, &QPushButton::clicked, this, &MainWindow::remove_gps_data);
    connect(latitude_edit, &QLineEdit::textChanged, this, &MainWindow::fixed_position_changed);
    connect(longitude_edit, &QLineEdit::textChanged, this, &MainWindow::fixed_position_changed);
    connect(photo_limit_edit, &QLineEdit::textChanged, this, &MainWindow::max_time_difference_changed);
    connect(gpx_limit_edit, &QLineEdit::textChanged, this, &MainWindow::max_time_difference_changed);
}

void MainWindow::build_shortcuts()
{
    auto* info = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+G")), this);
    info->setContext(Qt::ApplicationShortcut);
    connect(info, &QShortcut::activated, this, [this]() { show_application_information(this, {}); });

    auto* open = new QShortcut(QKeySequence::Open, this);
    open->setContext(Qt::WindowShortcut);
    connect(open, &QShortcut::activated, this, [this]() { emit load_button->clicked(false); });

    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, [this]() { emit help_button->clicked(false); });

    auto* help_2 = new QShortcut(QKeySequence(QStringLiteral("Ctrl+?")), this);
    help_2->setContext(Qt::WindowShortcut);
    connect(help_2, &QShortcut::activated, this, [this]() { emit help_button->clicked(false); });

    auto* quit = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Q")), this);
    quit->setContext(Qt::WindowShortcut);
    connect(quit, &QShortcut::activated, this, [this]() {
        if (!busy)
            QCoreApplication::quit();
    });
}

// ---------------------------------------------------------------- operation guard

bool MainWindow::begin_operation()
{
    if (busy)
        return false;
    busy = true;
    qApp->installEventFilter(input_blocker);
    return true;
}

void MainWindow::end_operation()
{
    // Input that the window system held back during the operation arrives
    // now, while the blocker still swallows it: nothing typed or clicked
    // meanwhile runs afterwards.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    qApp->removeEventFilter(input_blocker);
    busy = false;
}

void MainWindow::carry_out_pending_exit()
{
    const pending_exit pending = exit_pending;
    exit_pending = pending_exit::none;
    if (busy || pending == pending_exit::none)
        return;
    if (pending == pending_exit::quit)
        QCoreApplication::quit();
    else
        close();
}

// ---------------------------------------------------------------- loading photos

void MainWindow::load_files(QStringList paths, QStringList refused_names, QStringList remote_names)
{
    operation_scope operation(this);
    if (!operation) {
        qInfo("Another operation is running, %d dropped or opened file(s) ignored.",
              int(paths.size() + refused_names.size() + remote_names.size()));
        return;
    }

    const auto supported = [](const QString& path) {
        const QByteArray suffix = QFileInfo(path).suffix().toLower().toUtf8();
        return supported_extensions.count(std::string_view(suffix.constData(), size_t(suffix.size()))) > 0;
    };
    QStringList added;
    // A file on another host is named whatever its type: it may be a folder.
    const QStringList& remote = remote_names;
    QStringList refused;
    for (const QString& name : qAsConst(refused_names))
        if (supported(name))
            refused << name;
    loading_progress->setRange(0, paths.size());
    loading_progress->setValue(0);
    QCoreApplication::processEvents();
    // The list is repainted with the progress, not after every file.
    progress_pacer pacer(loading_progress, table_view);
    // One row per file, whichever name led to it.
    QSet<file_names::file_id> listed;
    for (const QString& row : table_model->row_paths())
        if (const auto id = file_names::id_of(QFile::encodeName(row)))
            listed.insert(*id);
    int i = 0;
    for (const QString& given : qAsConst(paths)) {
        const bool loadable = supported(given);
        const file_names::resolved_path resolved = loadable ? file_names::resolve(given) : file_names::resolved_path();
        if (loadable && resolved.state == file_names::resolved_path::unusable) {
            // The text stands for another name than the file's, which could
            // even be another file's.
            refused << given;
        } else if (loadable && !(resolved.id && listed.contains(*resolved.id))) {
            const int before = table_model->rowCount();
            table_model->add_file(resolved.path, true);
            if (table_model->rowCount() > before)
                added << resolved.path;
            if (resolved.id)
                listed.insert(*resolved.id);
        }
        ++i;
        pacer.step(i);
    }
    table_model->resort();
    sync_button->setEnabled(table_model->rowCount() >= 1);
    // Also after a batch with nothing to load, where the value never reached
    // a maximum of 0.
    loading_progress->reset();
    loading_progress->hide();
    operation.release();

    // One box, a paragraph for each reason with its files.
    QStringList reasons;
    if (!refused.isEmpty()) {
        QStringList lines;
        for (const QString& path : qAsConst(refused))
            lines << QDir::toNativeSeparators(path);
        qWarning("%d file(s) not loaded: the name is no valid UTF-8 or cannot be told from such a name.",
                 int(refused.size()));
        reasons << tr("These files were not loaded: their names are not valid UTF-8 text or cannot be "
                      "told from such names, so they cannot be read or written safely. Rename them "
                      "and load them again.\n\n%1")
                       .arg(lines.join(QLatin1Char('\n')));
    }
    if (!remote.isEmpty()) {
        qWarning("%d file(s) not loaded: the file URL names another host.", int(remote.size()));
        reasons << tr("These files were not loaded: their addresses name another computer, and only files "
                      "on this computer can be loaded. Copy them to this computer and load them from there."
                      "\n\n%1")
                       .arg(remote.join(QLatin1Char('\n')));
    }
    if (!reasons.isEmpty())
        ko::message_box::warning(this, tr("Files not loaded"), reasons.join(QStringLiteral("\n\n")),
                                 QMessageBox::Ok, QMessageBox::NoButton);

    if (!added.isEmpty()) {
        const auto store = exif_cache::instance();
        QStringList unread;
        for (const QString& path : qAsConst(added)) {
            const auto it = store->records.find(path);
            const bool failed = it == store->records.end() ||
                                it->second[QStringLiteral("read_failed")] == QLatin1String("true");
            if (failed)
                unread << path;
        }
        if (!unread.isEmpty())
            report_unread_files(unread, added.size());
    }
}

void MainWindow::warn_exiftool_missing()
{
    const QString where = ko::exiftool::executable_path();
    qWarning("ExifTool could not be used (looked for at '%s'); no metadata was read.", qUtf8Printable(where));
    ko::message_box::warning(
        this, tr("ExifTool not available"),
        tr("ExifTool could not be started or has stopped, so no metadata can be read and no GPS data can be "
           "written.\n\nExifTool was looked for at:\n%1")
            .arg(QDir::toNativeSeparators(where)),
        QMessageBox::Ok, QMessageBox::NoButton);
}

void MainWindow::report_unread_files(const QStringList& unread, int total)
{
    if (ko::exiftool::stopped()) {
        warn_exiftool_missing();
        return;
    }
    report_incomplete(tr("Not all files were read"),
                      {{QT_TR_N_NOOP("The metadata of %1 of %n files could not be read, so they get no GPS position "
                                     "and are not written:\n\n%2"),
                        unread}},
                      total);
}

void MainWindow::select_files()
{
    if (busy)
        return;
    QString filter = tr("All supported files ") + QStringLiteral("(");
    for (const std::string_view& extension : supported_extensions)
        filter += QStringLiteral("*.%1 ").arg(QString::fromUtf8(extension.data(), int(extension.size())));
    filter.chop(1);
    filter += QStringLiteral(")");
    const QStringList chosen =
        QFileDialog::getOpenFileNames(this, tr("Select files"), last_image_load_path, filter);
    if (chosen.isEmpty())
        return;
    last_image_load_path = QFileInfo(chosen.first()).absolutePath();
    save_settings();
    const file_names::listing checked = file_names::unambiguous(chosen);
    load_files(checked.files, checked.refused);
}

bool MainWindow::event(QEvent* e)
{
    if (e->type() == QEvent::FileOpen) {
        if (busy)
            return true;
        const file_names::listing found = file_names::of_paths({static_cast<QFileOpenEvent*>(e)->file()});
        load_files(found.files, found.refused);
        return true;
    }
    return ko::main_window::event(e);
}

void MainWindow::clear_files()
{
    if (busy)
        return;
    table_model->clear();
    sync_button->setEnabled(false);
}

// ---------------------------------------------------------------- GPX tracks

void MainWindow::load_gpx()
{
    if (busy)
        return;
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Select gpx file"), last_gpx_load_path, tr("GPX files (*.gpx)"));
    if (path.isEmpty())
        return;
    load_gpx_file(path);
}

void MainWindow::load_gpx_file(const QString& path)
{
    last_gpx_load_path = QFileInfo(path).absolutePath();
    save_settings();

    // While a long file is read and checked the window keeps painting and,
    // after a moment, shows how far the reading got.
    operation_scope operation(this);
    if (!operation)
        return;
    QList<gpx_track> tracks;
    {
        QElapsedTimer clock;
        clock.start();
        bool shown = false;
        const auto progress = [this, &clock, &shown](qint64 done, qint64 total) {
            if (!shown && clock.elapsed() >= 300) {
                shown = true;
                loading_progress->setRange(0, 100);
                loading_progress->setValue(0);
            }
            if (shown && total > 0)
                loading_progress->setValue(int(done * 100 / total));
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 50);
        };
        {
            gpx_parser parser(path, nullptr, progress);
            tracks = parser.tracks;
        }
        int dropped = 0;
        const auto tick = []() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 50); };
        // A track without a point that has a time and valid coordinates,
        // an empty one included, gives no position: it counts as no track.
        for (auto track = tracks.begin(); track != tracks.end();) {
            dropped += sanitize_track(*track, tick);
            track = track->points.isEmpty() ? tracks.erase(track) : track + 1;
        }
        if (dropped > 0)
            qWarning("%d point(s) of '%s' without valid coordinates or time were dropped.", dropped,
                     qUtf8Printable(path));
        loading_progress->reset();
        loading_progress->hide();
    }
    operation.release();

    if (tracks.isEmpty()) {
        ko::message_box::warning(
            this, tr("Error"),
            tr("It looks like there are no tracks in the selected gpx file. Please select a different one."),
            QMessageBox::Ok, QMessageBox::NoButton);
        return;
    }

    gpx_track chosen;
    if (tracks.size() == 1) {
        chosen = tracks.first();
    } else {
        QStringList items;
        items << tr("Load all tracks");
        for (const gpx_track& track : qAsConst(tracks))
            items << track.name + tr(" (%1 Points)").arg(track.points.size());
        bool ok = false;
        // Chosen by position: devices give every track the same name.
        int index = -1;
        ko::input_get_item(this, tr("Select track"),
                           tr("There are multiple tracks inside the selected gpx file. Please select one."), items, 0,
                           false, &ok, Qt::WindowFlags(), Qt::ImhNone, &index);
        if (!ok || index < 0)
            return;
        if (index == 0) {
            chosen.name = tr("Merged Track");
            for (const gpx_track& track : qAsConst(tracks))
                chosen.points += track.points;
            sort_points_by_time(chosen.points);
        } else {
            chosen = tracks.at(index - 1);
        }
    }
    gpx_file_edit->setText(path);
    table_model->set_gpx_track(chosen);
}

// Writing, removing and undo: main_window_write.cpp.

// ---------------------------------------------------------------- mode, position, limits

ko::radio* MainWindow::radio_of_mode(int mode) const
{
    switch (mode) {
    case 0:
        return previous_radio;
    case 1:
        return following_radio;
    case 2:
        return closest_radio;
    case 3:
        return fixed_position_radio;
    case 4:
        return gpx_radio;
    default:
        return nullptr;
    }
}

void MainWindow::mode_selected(int mode, bool checked)
{
    if (checked) {
        table_model->gps_sync_order_changed(mode);
        sync_order = mode;
        save_settings();
    }
    update_mode_controls();
}

void MainWindow::update_mode_controls()
{
    latitude_edit->setEnabled(sync_order == 3);
    longitude_edit->setEnabled(sync_order == 3);
    photo_limit_edit->setEnabled(unsigned(sync_order) <= 2u);
    gpx_limit_edit->setEnabled(sync_order == 4);
    gpx_file_edit->setEnabled(sync_order == 4);
    load_gpx_button->setEnabled(sync_order == 4);
}

void MainWindow::fixed_position_changed(const QString&)
{
    QString lat_text = latitude_edit->text();
    QString lon_text = longitude_edit->text();
    lat_text.remove(QLatin1Char(' '));
    lon_text.remove(QLatin1Char(' '));
    // Only both fields empty make the empty position, which clears the
    // coordinates; one of them empty is half a position, as invalid as a
    // wrong text (a pair pasted into one field, for one).
    if (lat_text.isEmpty() && lon_text.isEmpty()) {
        fixed_position_ok = true;
        mark_invalid(latitude_edit, false);
        mark_invalid(longitude_edit, false);
        table_model->gps_set_pos_changed(gps_pos());
        return;
    }
    double latitude = 0;
    double longitude = 0;
    const bool lat_ok = !lat_text.isEmpty() && read_fixed_coordinate(lat_text, true, latitude);
    const bool lon_ok = !lon_text.isEmpty() && read_fixed_coordinate(lon_text, false, longitude);
    mark_invalid(latitude_edit, !lat_ok);
    mark_invalid(longitude_edit, !lon_ok);
    if (!lat_ok || !lon_ok) {
        // No earlier position stays in force behind a field showing
        // something else; the sync refuses while the text is invalid.
        fixed_position_ok = false;
        table_model->gps_no_fixed_pos();
        return;
    }
    fixed_position_ok = true;
    gps_pos position;
    const QString lat_dms = coordinate_to_dms(float(latitude), true);
    const QString lon_dms = coordinate_to_dms(float(longitude), false);
    position.lat_text = lat_dms.left(lat_dms.size() - 1);
    position.lat_ref = lat_dms.right(1);
    position.lon_text = lon_dms.left(lon_dms.size() - 1);
    position.lon_ref = lon_dms.right(1);
    position.lat = QString::number(latitude, 'f', 6);
    position.lon = QString::number(longitude, 'f', 6);
    table_model->gps_set_pos_changed(position);
}

void MainWindow::max_time_difference_changed(const QString&)
{
    auto limit = [](const QString& text) {
        bool ok = false;
        const int value = text.toInt(&ok, 10);
        if (!ok || value <= 0)
            return -1;
        return std::min(value, number_validator::max_minutes);
    };
    table_model->gps_max_time_difference(limit(photo_limit_edit->text()), limit(gpx_limit_edit->text()));
}

void MainWindow::save_settings()
{
    QSettings settings;
    settings.setValue(QStringLiteral("last_image_load_path"), last_image_load_path);
    settings.setValue(QStringLiteral("last_gpx_load_path"), last_gpx_load_path);
    settings.setValue(QStringLiteral("sync_order"), sync_order);
    ko::settings_saved(settings, this);
}

void MainWindow::restore_settings()
{
    QSettings settings;
    last_image_load_path =
        settings
            .value(QStringLiteral("last_image_load_path"),
                   QStandardPaths::writableLocation(QStandardPaths::PicturesLocation))
            .toString();
    last_gpx_load_path =
        settings
            .value(QStringLiteral("last_gpx_load_path"),
                   QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .toString();
    bool ok = false;
    const int stored = settings.value(QStringLiteral("sync_order"), 2).toInt(&ok);
    if (!ok || stored < 0 || stored > 4) {
        qWarning("Stored assignment mode '%s' is unknown, using mode 2.",
                 qUtf8Printable(settings.value(QStringLiteral("sync_order")).toString()));
        sync_order = 2;
    } else {
        sync_order = stored;
    }
    radio_of_mode(sync_order)->setChecked(true);
    update_mode_controls();
    table_model->gps_sync_order_changed(sync_order);
    table_model->gps_datetime_format_changed(settings_dialog->format_selector->datetime_format());
}

void MainWindow::on_sort_order_override(int column, Qt::SortOrder order)
{
    table_view->horizontalHeader()->setSortIndicator(column, order);
}

void MainWindow::on_cache_rebuilt(int assigned, int unassigned, int total)
{
    warning_icon->setVisible(assigned == 0 && unassigned >= 1 && total != 0);
    warning_icon->setToolTip(tr("There are no images with assigned GPS coordinate.\n\nIf you are sure the GPS source "
                                "belongs to the loaded photos,please consult the manual."));
}

void MainWindow::set_warning(bool visible, const QString& tool_tip)
{
    warning_icon->setVisible(visible);
    warning_icon->setToolTip(tool_tip);
}

void MainWindow::show_settings()
{
    if (busy)
        return;
    const QString language = ko::get_language(QStringLiteral("lang"));
    settings_dialog->exec();
    table_model->gps_datetime_format_changed(settings_dialog->format_selector->datetime_format());
    ko::confirm_language_change(this, language);
}

void MainWindow::show_help()
{
    ko::open_help(QStringLiteral(":/help/index_%1.html"));
}

void MainWindow::show_about()
{
    ko::dialog_about dialog(this, true, QStringLiteral("#logobg{ background-image:url(:/images/Head.png);}"), 97, 10);
    dialog.default_3rdparty_libs(true, false);
    ko::exec_centered(&dialog, this);
}
