// The three operations of the main window that change files: writing the
// previewed positions, removing all GPS data, and undoing the last of these.
// Every file is changed in place through ExifTool; before a file is changed
// its current GPS tags are read afresh, group by group, and only files whose
// write succeeded (or may have: a write whose outcome is unknown keeps its
// snapshot) can be undone. An undo writes back exactly what changed, and
// only into a file that the file system tells is the one the change left,
// as it left it.

#include "main_window.h"

#include "exif_cache.h"
#include "progress_pacer.h"
#include "table_data_model.h"

#include "ko/button_dark.h"
#include "ko/message_box.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace {

// The EXIF GPS tags, in this order.
const QStringList& exif_gps_names()
{
    static const QStringList names{
        QStringLiteral("GPSAltitude"),         QStringLiteral("GPSAltitudeRef"),
        QStringLiteral("GPSAreaInformation"),  QStringLiteral("GPSDOP"),
        QStringLiteral("GPSDateStamp"),        QStringLiteral("GPSDestBearing"),
        QStringLiteral("GPSDestBearingRef"),   QStringLiteral("GPSDestDistance"),
        QStringLiteral("GPSDestDistanceRef"),  QStringLiteral("GPSDestLatitude"),
        QStringLiteral("GPSDestLatitudeRef"),  QStringLiteral("GPSDestLongitude"),
        QStringLiteral("GPSDestLongitudeRef"), QStringLiteral("GPSDifferential"),
        QStringLiteral("GPSHPositioningError"), QStringLiteral("GPSImgDirection"),
        QStringLiteral("GPSImgDirectionRef"),  QStringLiteral("GPSLatitude"),
        QStringLiteral("GPSLatitudeRef"),      QStringLiteral("GPSLongitude"),
        QStringLiteral("GPSLongitudeRef"),     QStringLiteral("GPSMapDatum"),
        QStringLiteral("GPSMeasureMode"),      QStringLiteral("GPSProcessingMethod"),
        QStringLiteral("GPSSatellites"),       QStringLiteral("GPSSpeed"),
        QStringLiteral("GPSSpeedRef"),         QStringLiteral("GPSStatus"),
        QStringLiteral("GPSTimeStamp"),        QStringLiteral("GPSTrack"),
        QStringLiteral("GPSTrackRef"),         QStringLiteral("GPSVersionID"),
    };
    return names;
}

// The XMP copies of the position that a removal deletes.
const QStringList& xmp_gps_names()
{
    static const QStringList names{
        QStringLiteral("XMP:GPSLatitude"),
        QStringLiteral("XMP:GPSLongitude"),
        QStringLiteral("XMP:GPSAltitude"),
    };
    return names;
}

// What a fixed position removes besides setting the coordinates: every EXIF
// GPS tag but the coordinates and the version.
const QStringList& fixed_position_cleanup_names()
{
    static const QStringList names = [] {
        const QSet<QString> kept{
            QStringLiteral("GPSLatitude"),  QStringLiteral("GPSLatitudeRef"), QStringLiteral("GPSLongitude"),
            QStringLiteral("GPSLongitudeRef"), QStringLiteral("GPSVersionID"),
        };
        QStringList result;
        for (const QString& name : exif_gps_names())
            if (!kept.contains(name))
                result << name;
        return result;
    }();
    return names;
}

bool record_flag(const QString& path, const QString& key)
{
    const auto store = exif_cache::instance();
    const auto record = store->records.find(path);
    if (record == store->records.end())
        return false;
    const auto value = record->second.find(key);
    return value != record->second.end() && value->second == QLatin1String("true");
}

// A coordinate number as this program writes it: fixed notation, no
// exponent, no trailing zeros (47.5, -8.25, 0).
QString coordinate_text(double value)
{
    QString text = QString::number(value, 'f', 9);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

// Reads one decimal coordinate of a position; false unless it is a finite
// number within +-limit.
bool read_coordinate(const QString& text, double limit, double& value)
{
    bool ok = false;
    value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) && std::fabs(value) <= limit;
}

// The hemisphere letter of a signed coordinate; at exactly 0 the letter the
// position came with, when it is one of the two.
QString hemisphere(double value, const QString& given, const char* positive, const char* negative)
{
    if (value > 0)
        return QString::fromLatin1(positive);
    if (value < 0)
        return QString::fromLatin1(negative);
    if (given == QLatin1String(positive) || given == QLatin1String(negative))
        return given;
    return QString::fromLatin1(positive);
}

// One of the sync's confirmations: Yes (the default) goes on, anything else
// stops.
bool confirm_continue(QWidget* parent, const QString& text, const QString& yes_text, const QString& no_text)
{
    ko::message_box box(QMessageBox::Question, MainWindow::tr("Continue?"), text, QMessageBox::NoButton, parent);
    box.set_buttons(QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    box.button(QMessageBox::Yes)->setText(yes_text);
    box.button(QMessageBox::No)->setText(no_text);
    return box.exec() == QMessageBox::Yes;
}

QString quicktime_text()
{
    return MainWindow::tr("QuickTime GPS coordinates are read only and can't be modified or deleted.\nIf you set GPS "
                          "tags they will be written into EXIF.\nIn most application the EXIF tag is preferred over "
                          "the QuickTime tag.");
}

// One row of a sync: where to write, and what.
struct planned_row {
    QString path;
    bool write = false;          // the row has a position to write (or, fixed and empty, to clear)
    bool clear_position = false; // the empty fixed position: the coordinates are deleted
    gps_pos pos;
};

// The name under which ExifTool writes a tag that a read with group names
// gave as group:name. MIE tags are written through their format's group
// only ("MIE-GPS:GPSLatitude=" is ignored, "MIE:GPSLatitude=" works).
QString write_name(const QString& key)
{
    if (key.startsWith(QLatin1String("MIE-"))) {
        const int colon = key.indexOf(QLatin1Char(':'));
        return QStringLiteral("MIE") + key.mid(colon);
    }
    return key;
}

QString tag_of(const QString& key) { return key.mid(key.indexOf(QLatin1Char(':')) + 1); }

// True when a snapshot holds a position: a latitude, longitude or QuickTime
// coordinates in some group.
bool holds_position(const exif_tag_map& snapshot)
{
    for (const auto& [key, value] : snapshot) {
        const QString tag = tag_of(key);
        if (!value.isEmpty() && (tag == QLatin1String("GPSLatitude") || tag == QLatin1String("GPSLongitude") ||
                                 tag == QLatin1String("GPSCoordinates") || tag == QLatin1String("GPSPosition")))
            return true;
    }
    return false;
}

// What a removal writes into a file: the whole EXIF GPS group and the XMP
// position, and the position (latitude, longitude, altitude) of any other
// group that holds one, such as MIE's.
exif_tag_map removal_tags(const exif_tag_map& snapshot)
{
    exif_tag_map tags;
    tags[QStringLiteral("GPS:all")] = QString();
    for (const QString& name : xmp_gps_names())
        tags[name] = QString();
    for (const auto& [key, value] : snapshot) {
        const QString tag = tag_of(key);
        if (key.startsWith(QLatin1String("GPS:")) || key.startsWith(QLatin1String("XMP")) ||
            (tag != QLatin1String("GPSLatitude") && tag != QLatin1String("GPSLongitude")))
            continue;
        const QString group = write_name(key).section(QLatin1Char(':'), 0, 0);
        for (const char* name : {"GPSLatitude", "GPSLongitude", "GPSAltitude"})
            tags[group + QLatin1Char(':') + QLatin1String(name)] = QString();
    }
    return tags;
}

// How ExifTool keeps the value of a GPS tag, as the undo must know it to
// send it back and to judge what it reads back.
enum class value_kind {
    text,           // kept as it is
    numbers,        // blank-separated numbers, such as rationals
    time,           // the EXIF time stamp: hours, minutes and seconds, split on ':'
    xmp_coordinate, // an XMP latitude or longitude, read as signed degrees
};

value_kind kind_of(const QString& key)
{
    static const QSet<QString> texts{
        QStringLiteral("GPSAreaInformation"), QStringLiteral("GPSDateStamp"),  QStringLiteral("GPSMapDatum"),
        QStringLiteral("GPSMeasureMode"),     QStringLiteral("GPSProcessingMethod"), QStringLiteral("GPSSatellites"),
        QStringLiteral("GPSStatus"),
    };
    static const QSet<QString> coordinates{
        QStringLiteral("GPSLatitude"), QStringLiteral("GPSLongitude"), QStringLiteral("GPSDestLatitude"),
        QStringLiteral("GPSDestLongitude"),
    };
    const QString tag = tag_of(key);
    if (texts.contains(tag) || tag.endsWith(QLatin1String("Ref")))
        return value_kind::text;
    if (tag == QLatin1String("GPSTimeStamp"))
        return value_kind::time;
    if (key.startsWith(QLatin1String("XMP")) && coordinates.contains(tag))
        return value_kind::xmp_coordinate;
    return value_kind::numbers;
}

// A number as ExifTool takes it back: -n gives a small or large one with an
// exponent ("1e-05"), of which ExifTool takes only the "1" where it looks
// for a decimal number, such as in an altitude. So it goes in fixed
// notation, with the digits it has: "1.25e-05" as "0.0000125".
QString fixed_notation(const QString& number)
{
    const int exponent = number.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive);
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (exponent < 0 || !ok || !std::isfinite(value))
        return number;
    const int point = number.indexOf(QLatin1Char('.'));
    const int digits = point < 0 || point > exponent ? 0 : exponent - point - 1;
    return QString::number(value, 'f', std::max(0, digits - number.mid(exponent + 1).toInt()));
}

// Writes a tag of a snapshot back as it was, numerically, every number in
// fixed notation. "-Tag#=" would delete a tag whose value was empty:
// "-Tag#^=" writes the empty value, but only into a text tag; for a number
// that reads "" (0/0 rationals) ExifTool skips it with a warning and would
// leave what the change wrote. So the tag is deleted first, in the same
// request: ExifTool keeps the last assignment of a tag that it can convert,
// the empty text where it can, else the deletion. (The map sends "Tag"
// before "Tag#^".)
void put_restored(exif_tag_map& tags, const QString& key, const QString& value)
{
    if (value.isEmpty()) {
        tags[write_name(key)] = QString();
        tags[write_name(key) + QLatin1String("#^")] = QString();
    } else if (kind_of(key) == value_kind::text) {
        tags[write_name(key) + QLatin1Char('#')] = value;
    } else {
        QStringList numbers = value.split(QLatin1Char(' '));
        for (QString& number : numbers)
            number = fixed_notation(number);
        tags[write_name(key) + QLatin1Char('#')] = numbers.join(QLatin1Char(' '));
    }
}

// What brings a file from its tags now back to its tags then: every tag of
// then whose value differs, into its own group; every tag that was not there
// then is deleted from the group it is in now. Nothing else is touched.
exif_tag_map restore_tags(const exif_tag_map& then, const exif_tag_map& now)
{
    exif_tag_map tags;
    bool touches_gps = false;
    for (const auto& [key, value] : then) {
        const auto current = now.find(key);
        if (current != now.end() && current->second == value)
            continue;
        put_restored(tags, key, value);
        touches_gps = touches_gps || key.startsWith(QLatin1String("GPS:"));
    }
    for (const auto& [key, value] : now) {
        if (then.find(key) == then.end()) {
            tags[write_name(key)] = QString();
            touches_gps = touches_gps || key.startsWith(QLatin1String("GPS:"));
        }
    }
    // ExifTool gives a GPS directory it creates a version tag of its own, and
    // drops a directory whose last other tags it deletes, version and all: the
    // version is written as it was in the same request.
    const QString version = QStringLiteral("GPS:GPSVersionID");
    const auto then_version = then.find(version);
    if (touches_gps && then_version == then.end())
        tags[version] = QString();
    else if (touches_gps)
        put_restored(tags, version, then_version->second);
    return tags;
}

// The numbers of a value of the given kind (not text); nothing unless every
// part is a finite number.
std::optional<std::vector<double>> numbers_of(value_kind kind, const QString& value)
{
    std::vector<double> numbers;
    for (const QString& part : value.split(QLatin1Char(kind == value_kind::time ? ':' : ' '))) {
        bool ok = false;
        numbers.push_back(part.toDouble(&ok));
        if (!ok || !std::isfinite(numbers.back()))
            return std::nullopt;
    }
    return numbers;
}

// Whether a value of a snapshot is a number that ExifTool may not write
// back: one that is none, such as the "inf" of n/0 or the "undef" of 0/0.
bool unwritable_number(const QString& key, const QString& value)
{
    const value_kind kind = kind_of(key);
    return kind != value_kind::text && !value.isEmpty() && !numbers_of(kind, value);
}

// Whether two values of the tag key that ExifTool gave with -n are the same:
// the same text, or the same numbers as far as ExifTool keeps them.
bool same_value(const QString& key, const QString& a, const QString& b)
{
    if (a == b)
        return true;
    const value_kind kind = kind_of(key);
    if (kind == value_kind::text)
        return false;
    const auto xs = numbers_of(kind, a);
    const auto ys = numbers_of(kind, b);
    if (!xs || !ys || xs->size() != ys->size())
        return false;
    if (kind == value_kind::time) {
        // Hours, minutes and seconds are written as rationals within 1e-8 of
        // them, and read back whole, whole and to 9 decimals: the seconds
        // (under 60) come back within 6e-7 s, here allowed twice that.
        // Compared as seconds of the day, as seconds that come back as
        // 60.000000000 are read as the next minute.
        const auto seconds = [](const std::vector<double>& t) { return (t[0] * 60 + t[1]) * 60 + t[2]; };
        return xs->size() == 3 && std::fabs(seconds(*xs) - seconds(*ys)) <= 60 * 2e-8 + 1e-9;
    }
    for (size_t i = 0; i < xs->size(); ++i) {
        const double x = xs->at(i);
        const double y = ys->at(i);
        // An XMP coordinate is written as degrees and minutes to 8 decimals,
        // within 0.5e-8 minute of it, whatever its size: it may differ by
        // up to one unit of the 8th decimal of a minute, 1e-8 / 60 degree.
        // Other numbers are written as rationals within 1e-8 of them, and
        // read back to 10 digits (1234.5678 as 1234.567797).
        const double bound =
            kind == value_kind::xmp_coordinate ? 1e-8 / 60 : 2e-8 * std::max(std::fabs(x), std::fabs(y));
        if (std::fabs(x - y) > bound)
            return false;
    }
    return true;
}

// The tags in which a file now differs from its snapshot: changed, missing
// or added. A tag that read "" and is missing differs too: it is a number
// that ExifTool could not write back (0/0 rationals) and had to delete.
QStringList differing_tags(const exif_tag_map& then, const exif_tag_map& now)
{
    QStringList names;
    for (const auto& [key, value] : then) {
        const auto current = now.find(key);
        if (current == now.end() || !same_value(key, current->second, value))
            names << key;
    }
    for (const auto& [key, value] : now)
        if (then.find(key) == then.end())
            names << key;
    names.sort();
    return names;
}

// Where a file of the undo stands since its stamp was taken: the same file
// as it was left, changed (or another file, or no stamp was taken), gone,
// or not known (stat() failed otherwise, so the undo tries again later).
enum class since_change { same, changed, gone, unknown };

since_change file_since_change(const QString& path, const QByteArray& name, const std::optional<file_stamp>& stamp)
{
    int error = 0;
    const std::optional<file_stamp> now = stamp_of(name, error);
    if (now)
        return stamp && *stamp == *now ? since_change::same : since_change::changed;
    if (no_such_file(error))
        return since_change::gone;
    qWarning("Could not check '%s' before restoring its GPS tags: %s.", qUtf8Printable(path), std::strerror(error));
    return since_change::unknown;
}

// The stamp of a file right after a write into it, which an undo requires
// unchanged. Without one the undo leaves the file alone.
std::optional<file_stamp> stamp_after_write(const QString& path, const QByteArray& name)
{
    int error = 0;
    std::optional<file_stamp> stamp = stamp_of(name, error);
    if (!stamp)
        qWarning("Could not take the state of '%s' after writing it (%s); an undo will not write into it.",
                 qUtf8Printable(path), std::strerror(error));
    return stamp;
}

} // namespace

// ---------------------------------------------------------------- messages

QString MainWindow::file_list(const QStringList& paths, const QMap<QString, QStringList>& details)
{
    // How many files a message names before it only counts the rest.
    const int listed = 10;
    QStringList lines;
    for (int i = 0; i < paths.size() && i < listed; ++i) {
        const auto detail = details.find(paths.at(i));
        lines << QFileInfo(paths.at(i)).fileName() +
                     (detail == details.end() ? QString() : QStringLiteral(": ") + detail->join(QStringLiteral(", ")));
    }
    if (paths.size() > listed)
        lines << tr("... and %1 more").arg(paths.size() - listed);
    return lines.join(QLatin1Char('\n'));
}

void MainWindow::report_incomplete(const QString& title, const std::vector<file_group>& groups, int total,
                                   QMessageBox::Icon icon)
{
    QStringList parts;
    for (const file_group& group : groups)
        if (!group.paths.isEmpty())
            parts << tr(group.text, nullptr, total)
                         .arg(QString::number(group.paths.size()), file_list(group.paths, group.details));
    if (parts.isEmpty())
        return;
    ko::message_box::show(this, icon, title, parts.join(QStringLiteral("\n\n")), QMessageBox::Ok,
                          QMessageBox::NoButton);
    if (ko::exiftool::stopped())
        warn_exiftool_missing();
}

// ---------------------------------------------------------------- snapshot

MainWindow::undo_entry MainWindow::entry_after_write(const QString& path, const exif_tag_map& snapshot)
{
    undo_entry entry{snapshot, QFile::encodeName(path), std::nullopt};
    entry.stamp = stamp_after_write(path, entry.name);
    return entry;
}

std::optional<exif_tag_map> MainWindow::gps_tag_map_for_file(const QString& path, gps_read when)
{
    // One read of every tag named GPS... in every group, numerically ("#"),
    // keyed by the group it came from. "FileName" is always there for a file
    // that ExifTool can read, so a failed read is told from a file without
    // GPS data. The values stay escaped, so that text that is not UTF-8 keeps
    // its bytes.
    const exif_tag_map read = ko::exiftool::read_selected_tags(
        path, {QStringLiteral("FileName"), QStringLiteral("GPS*#")}, true, ko::tag_values::escaped);
    if (read.find(QStringLiteral("System:FileName")) == read.end()) {
        const char* moment = "";
        switch (when) {
        case gps_read::before_change: moment = "before changing it"; break;
        case gps_read::after_change: moment = "after changing it"; break;
        case gps_read::before_restore: moment = "before restoring them"; break;
        case gps_read::after_restore: moment = "after restoring them"; break;
        }
        qWarning("Could not read the GPS tags of '%s' %s.", qUtf8Printable(path), moment);
        return std::nullopt;
    }
    exif_tag_map snapshot;
    for (const auto& [key, value] : read) {
        const int colon = key.indexOf(QLatin1Char(':'));
        // Composite tags are ExifTool's own conclusions, not stored in the file.
        if (colon <= 0 || !key.endsWith(QLatin1Char('#')) || key.startsWith(QLatin1String("Composite:")))
            continue;
        // A value ExifTool only describes cannot be written back as it was.
        if (value.startsWith(QLatin1String("(Binary data ")) || value.startsWith(QLatin1String("(large array"))) {
            qWarning("The tag %s of '%s' cannot be saved for undo; the file is left unchanged.", qUtf8Printable(key),
                     qUtf8Printable(path));
            return std::nullopt;
        }
        snapshot[key.chopped(1)] = value;
    }
    return snapshot;
}

// ---------------------------------------------------------------- sync

void MainWindow::sync_gps()
{
    if (busy || table_model->rowCount() == 0)
        return;

    const bool fixed_mode = table_model->is_fixed_position_mode();
    if (fixed_mode && !fixed_position_valid()) {
        ko::message_box::warning(this, tr("Invalid position"),
                                 tr("The fixed position is not a valid pair of coordinates. Please correct the "
                                    "latitude or longitude first."),
                                 QMessageBox::Ok, QMessageBox::NoButton);
        return;
    }

    const int row_count = table_model->rowCount();
    std::vector<planned_row> plan;
    plan.reserve(size_t(row_count));
    int to_write = 0;
    bool clears_positions = false;
    for (int r = 0; r < row_count; ++r) {
        planned_row row;
        row.path = table_model->data(table_model->index(r, 0), Qt::UserRole).toString();
        const QVariant position = table_model->data(table_model->index(r, 2), Qt::UserRole);
        if (position.isValid() && position.canConvert<gps_pos>()) {
            row.pos = position.value<gps_pos>();
            if (!row.pos.is_empty()) {
                row.write = true;
            } else if (fixed_mode) {
                // The empty fixed position clears the coordinates.
                row.write = true;
                row.clear_position = true;
                clears_positions = true;
            }
        }
        if (row.write)
            ++to_write;
        plan.push_back(row);
    }

    if (to_write == 0) {
        ko::message_box::information(this, tr("Nothing to write"),
                                     tr("None of the loaded files got a GPS position in the current assignment "
                                        "mode, so nothing was written. The list and the last undo are kept."),
                                     QMessageBox::Ok, QMessageBox::NoButton);
        return;
    }

    if (clears_positions &&
        ko::message_box::question(this, tr("Confirm"),
                                  tr("The fixed position is empty: this deletes the GPS coordinates of all currently "
                                     "loaded (%1) images. Do you really want to continue?")
                                      .arg(row_count),
                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    if (!table_model->all_assigned() &&
        !confirm_continue(this, tr("Could not assign a GPS position to all files using the current assignment mode"),
                          tr("Continue anyway"), tr("Select a different assignment mode")))
        return;
    if (table_model->had_gps() &&
        !confirm_continue(this, tr("Some loaded images already had GPS data which would be overwritten"),
                          tr("Continue"), tr("Abort")))
        return;
    if (table_model->has_quicktime_gps() && !confirm_continue(this, quicktime_text(), tr("Continue"), tr("Abort")))
        return;

    operation_scope operation(this);
    if (!operation)
        return;
    undo_button->setEnabled(false);

    syncing_progress->setRange(0, int(plan.size()));
    syncing_progress->setValue(0);
    QCoreApplication::processEvents();
    progress_pacer pacer(syncing_progress);

    QMap<QString, undo_entry> undo;
    QSet<QString> written;
    QStringList failed;
    QStringList uncertain;
    for (size_t r = 0; r < plan.size(); ++r) {
        const planned_row& row = plan[r];
        if (row.write) {
            double lat = 0;
            double lon = 0;
            const bool valid = row.clear_position || (read_coordinate(row.pos.lat, 90.0, lat) &&
                                                      read_coordinate(row.pos.lon, 180.0, lon));
            std::optional<exif_tag_map> snapshot;
            if (!valid)
                qWarning("'%s' has no valid position (%s, %s) and is not written.", qUtf8Printable(row.path),
                         qUtf8Printable(row.pos.lat), qUtf8Printable(row.pos.lon));
            else
                snapshot = gps_tag_map_for_file(row.path);

            if (snapshot) {
                exif_tag_map tags;
                const QString lat_text = row.clear_position ? QString() : coordinate_text(lat);
                const QString lon_text = row.clear_position ? QString() : coordinate_text(lon);
                tags[QStringLiteral("GPSLatitude#")] = lat_text;
                tags[QStringLiteral("GPSLatitudeRef")] =
                    row.clear_position ? QString() : hemisphere(lat, row.pos.lat_ref, "N", "S");
                tags[QStringLiteral("GPSLongitude#")] = lon_text;
                tags[QStringLiteral("GPSLongitudeRef")] =
                    row.clear_position ? QString() : hemisphere(lon, row.pos.lon_ref, "E", "W");
                if (record_flag(row.path, QStringLiteral("has_xmp_gps"))) {
                    tags[QStringLiteral("XMP:GPSLatitude#")] = lat_text;
                    tags[QStringLiteral("XMP:GPSLongitude#")] = lon_text;
                    if (fixed_mode)
                        tags[QStringLiteral("XMP:GPSAltitude")] = QString();
                }
                if (fixed_mode)
                    for (const QString& name : fixed_position_cleanup_names())
                        tags[name] = QString();

                const ko::write_outcome outcome = ko::exiftool::write_tags_outcome(row.path, tags);
                // A write whose fate is unknown keeps its snapshot: restoring
                // it is right whether or not the write landed.
                if (outcome != ko::write_outcome::not_written)
                    undo[row.path] = entry_after_write(row.path, *snapshot);
                if (outcome == ko::write_outcome::written) {
                    written.insert(row.path);
                } else if (outcome == ko::write_outcome::unknown) {
                    uncertain << row.path;
                    qWarning("'%s' may have been written: ExifTool stopped before it confirmed the write.",
                             qUtf8Printable(row.path));
                } else {
                    qWarning("Writing the GPS position of '%s' failed.", qUtf8Printable(row.path));
                }
            }
            if (!written.contains(row.path) && !uncertain.contains(row.path))
                failed << row.path;
        }
        pacer.step(int(r) + 1);
    }
    syncing_progress->reset();
    syncing_progress->hide();

    // Nothing written: the last undo still describes the files as they are.
    if (!undo.isEmpty())
        undo_map = undo;
    undo_button->setEnabled(!undo_map.isEmpty());

    if (failed.isEmpty() && uncertain.isEmpty()) {
        table_model->clear();
    } else {
        // The written rows leave the list; the rest stays, so that a second
        // try matches the failed files as before.
        QSet<QString> keep;
        for (const QString& path : table_model->row_paths())
            if (!written.contains(path))
                keep.insert(path);
        table_model->keep_rows(keep);
    }
    sync_button->setEnabled(table_model->rowCount() > 0);
    operation.release();

    report_incomplete(tr("Not all files were written"),
                      {{QT_TR_N_NOOP("%1 of %n files could not be written and are still in the list:\n\n%2"), failed},
                       {QT_TR_N_NOOP("%1 of %n files may have been written: ExifTool stopped before it confirmed the "
                                     "write. They are still in the list:\n\n%2"),
                        uncertain}},
                      to_write);
}

// ---------------------------------------------------------------- remove

void MainWindow::remove_gps_data()
{
    if (busy || table_model->rowCount() == 0)
        return;

    const int row_count = table_model->rowCount();
    if (ko::message_box::question(
            this, tr("Confirm"),
            tr("Do you really want to delete all GPS information from all currently loaded (%1) images?")
                .arg(row_count),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton) != QMessageBox::Yes)
        return;
    if (table_model->has_quicktime_gps() &&
        ko::message_box::question_yes_no(this, tr("Confirm"), quicktime_text(), tr("Continue"), tr("Abort"),
                                         QMessageBox::NoButton) != QMessageBox::Yes)
        return;

    QStringList paths;
    for (int r = 0; r < row_count; ++r)
        paths << table_model->data(table_model->index(r, 0), Qt::UserRole).toString();

    operation_scope operation(this);
    if (!operation)
        return;
    undo_button->setEnabled(false);

    syncing_progress->setRange(0, paths.size());
    syncing_progress->setValue(0);
    QCoreApplication::processEvents();
    progress_pacer pacer(syncing_progress);

    QMap<QString, undo_entry> undo;
    QStringList failed;
    QStringList uncertain;
    QStringList unchecked;
    for (int r = 0; r < paths.size(); ++r) {
        const QString& path = paths.at(r);
        const std::optional<exif_tag_map> snapshot = gps_tag_map_for_file(path);
        const ko::write_outcome outcome = snapshot ? ko::exiftool::write_tags_outcome(path, removal_tags(*snapshot))
                                                   : ko::write_outcome::not_written;
        if (outcome != ko::write_outcome::not_written)
            undo[path] = entry_after_write(path, *snapshot);
        if (outcome == ko::write_outcome::written) {
            // Done only when ExifTool finds no position in the file any more
            // (read-only QuickTime coordinates, for one, stay; so do the
            // QuickTime positions not named GPS..., which the read after
            // cannot see). A file that held none has none now. One that
            // cannot be read now had its position removed by ExifTool's
            // word, but whether one is left is not known: it is named as
            // such, stays in the list and can be undone.
            const std::optional<exif_tag_map> after =
                holds_position(*snapshot) ? gps_tag_map_for_file(path, gps_read::after_change) : exif_tag_map();
            if (record_flag(path, QStringLiteral("has_quicktime_gps")) || (after && holds_position(*after))) {
                qWarning("A GPS position remains in '%s' after removing its GPS data.", qUtf8Printable(path));
                failed << path;
            } else if (!after) {
                unchecked << path;
            }
        } else if (outcome == ko::write_outcome::unknown) {
            qWarning("The GPS data of '%s' may have been removed: ExifTool stopped before it confirmed it.",
                     qUtf8Printable(path));
            uncertain << path;
        } else {
            qWarning("Removing the GPS data of '%s' failed.", qUtf8Printable(path));
            failed << path;
        }
        pacer.step(r + 1);
    }
    syncing_progress->reset();
    syncing_progress->hide();

    if (!undo.isEmpty())
        undo_map = undo;
    table_model->keep_rows(QSet<QString>(failed.cbegin(), failed.cend()) +
                           QSet<QString>(uncertain.cbegin(), uncertain.cend()) +
                           QSet<QString>(unchecked.cbegin(), unchecked.cend()));
    undo_button->setEnabled(!undo_map.isEmpty());
    operation.release();

    report_incomplete(
        tr("Not all files were changed"),
        {{QT_TR_N_NOOP("The GPS data of %1 of %n files could not be removed; they are still in the list:\n\n%2"),
          failed},
         {QT_TR_N_NOOP("The GPS data of %1 of %n files may have been removed: ExifTool stopped before it confirmed "
                       "it. They are still in the list:\n\n%2"),
          uncertain},
         {QT_TR_N_NOOP("ExifTool removed the GPS data of %1 of %n files, but they could not be read afterwards to "
                       "check that no position is left. They are still in the list:\n\n%2"),
          unchecked}},
        paths.size());
}

// ---------------------------------------------------------------- undo

void MainWindow::undo_last_edit()
{
    if (busy || undo_map.isEmpty())
        return;
    operation_scope operation(this);
    if (!operation)
        return;
    undo_button->setEnabled(false);

    const int total = undo_map.size();
    syncing_progress->setRange(0, total);
    syncing_progress->setValue(0);
    QCoreApplication::processEvents();
    progress_pacer pacer(syncing_progress);

    QMap<QString, undo_entry> not_restored;
    QStringList restored;
    QStringList failed;
    QStringList uncertain;
    // Written, but the read-back failed: they may have been restored.
    QStringList unchecked;
    // Restored by this undo after an earlier one left them.
    QStringList restored_now;
    // Files that are not the one the change left, as it left it: another
    // program wrote into them, or put another file or a link in their place.
    QStringList changed;
    // Files that are no longer there: deleted, moved or renamed.
    QStringList gone;
    // Some tags do not read as before though the file was written, or the
    // write failed and what differs are numbers that are none: ExifTool
    // refused their values, and would refuse them again.
    QStringList refused;
    QMap<QString, QStringList> refused_tags;
    // Numbers that ExifTool wrote back as other numbers, and that were
    // deleted for it.
    QStringList renumbered;
    QMap<QString, QStringList> renumbered_tags;
    int done = 0;
    for (auto it = undo_map.cbegin(); it != undo_map.cend(); ++it) {
        const QString& path = it.key();
        const undo_entry& entry = it.value();
        const exif_tag_map& then = entry.tags;
        // Only into the very file the change left, as it left it: the file
        // system tells, at no cost to ExifTool. Only what changed since the
        // snapshot is written back, so what the file holds is read again
        // (under -m ExifTool skips a value it cannot convert with a warning
        // and still counts the file as updated); a read changes no stamp,
        // and the stamp is compared once more right before the write.
        std::optional<exif_tag_map> now;
        since_change since = file_since_change(path, entry.name, entry.stamp);
        if (since == since_change::same) {
            now = gps_tag_map_for_file(path, gps_read::before_restore);
            since = file_since_change(path, entry.name, entry.stamp);
        }
        if (since == since_change::changed || since == since_change::gone) {
            qWarning(since == since_change::gone
                         ? "'%s' is no longer there; its GPS tags are not restored."
                         : "'%s' was changed since the last sync or removal; it is left as it is.",
                     qUtf8Printable(path));
            (since == since_change::gone ? gone : changed) << path;
            pacer.step(++done);
            continue;
        }
        if (since == since_change::unknown)
            now.reset();
        const exif_tag_map tags = now ? restore_tags(then, *now) : exif_tag_map();
        const bool writes = !tags.empty();
        ko::write_outcome outcome = !now    ? ko::write_outcome::not_written
                                    : writes ? ko::exiftool::write_tags_outcome(path, tags, ko::tag_values::escaped)
                                             : ko::write_outcome::written;
        std::optional<exif_tag_map> after;
        if (tags.empty())
            after = now;
        else if (now && outcome != ko::write_outcome::unknown)
            after = gps_tag_map_for_file(path, gps_read::after_restore);
        QStringList differing = after ? differing_tags(then, *after) : QStringList();
        // ExifTool counts a request of which it refused every value as a
        // failed write (a lone "inf" altitude, say, with no version to delete
        // beside it); the read-back tells it from a write that failed.
        const bool only_refusable = std::all_of(differing.cbegin(), differing.cend(), [&](const QString& key) {
            const auto value = then.find(key);
            return value != then.end() && unwritable_number(key, value->second);
        });
        // What still differs then is what ExifTool does not give back.
        bool settled = after && !differing.isEmpty() && (outcome == ko::write_outcome::written || only_refusable);

        QStringList other_numbers;
        if (settled) {
            // But no tag is left holding another number than before. Of an
            // altitude ExifTool keeps the unsigned number (5 of -5), of
            // "12 m" the 12, of a rational at most 2147483647; where it
            // refuses a value, the file keeps what the change wrote. Such
            // tags are deleted, in one more request, and read once more.
            exif_tag_map target = *after;
            for (const QString& key : qAsConst(differing)) {
                const auto value = target.find(key);
                if (kind_of(key) == value_kind::text || value == target.end() || value->second.isEmpty() ||
                    then.find(key) == then.end())
                    continue;
                // Changed by the write, it was written as another number;
                // else ExifTool refused it.
                const auto before = now->find(key);
                if (before == now->end() || before->second != value->second)
                    other_numbers << key;
                target.erase(value);
            }
            if (target.size() != after->size()) {
                outcome = ko::exiftool::write_tags_outcome(path, restore_tags(target, *after), ko::tag_values::escaped);
                after = outcome == ko::write_outcome::unknown ? std::optional<exif_tag_map>()
                                                              : gps_tag_map_for_file(path, gps_read::after_restore);
                settled = outcome == ko::write_outcome::written && after && differing_tags(target, *after).isEmpty();
                differing = after ? differing_tags(then, *after) : QStringList();
            }
        }

        if (after && differing.isEmpty()) {
            restored << path;
            if (entry.retried)
                restored_now << path;
        } else if (settled) {
            QStringList not_written_back = differing;
            for (const QString& key : qAsConst(other_numbers))
                not_written_back.removeOne(key);
            if (!not_written_back.isEmpty()) {
                qWarning("The GPS tags %s of '%s' do not read as before: ExifTool refused their values.",
                         qUtf8Printable(not_written_back.join(QStringLiteral(", "))), qUtf8Printable(path));
                refused << path;
                refused_tags.insert(path, not_written_back);
            }
            if (!other_numbers.isEmpty()) {
                qWarning("The GPS tags %s of '%s' were written back as other numbers, and are deleted.",
                         qUtf8Printable(other_numbers.join(QStringLiteral(", "))), qUtf8Printable(path));
                renumbered << path;
                renumbered_tags.insert(path, other_numbers);
            }
        } else {
            // Writing the snapshot again is harmless: undo stays available.
            if (outcome == ko::write_outcome::unknown) {
                qWarning("The GPS tags of '%s' may have been restored: ExifTool stopped before it confirmed it.",
                         qUtf8Printable(path));
                uncertain << path;
            } else if (outcome == ko::write_outcome::written && !after) {
                qWarning("The GPS tags of '%s' may have been restored: they could not be read back.",
                         qUtf8Printable(path));
                unchecked << path;
            } else {
                qWarning("Restoring the GPS tags of '%s' failed.", qUtf8Printable(path));
                failed << path;
            }
            undo_entry left = entry;
            left.retried = true;
            // The next undo expects the file as this one left it.
            if (writes)
                left.stamp = stamp_after_write(path, left.name);
            not_restored.insert(path, left);
        }
        pacer.step(++done);
    }
    syncing_progress->reset();
    syncing_progress->hide();
    undo_map = not_restored;

    // Files written back that are in the list again show what they now hold.
    const QStringList& listed = table_model->row_paths();
    bool reread = false;
    for (const QString& path : QSet<QString>(restored.cbegin(), restored.cend()) +
                                   QSet<QString>(refused.cbegin(), refused.cend()) +
                                   QSet<QString>(renumbered.cbegin(), renumbered.cend())) {
        if (listed.contains(path)) {
            exif_cache::instance()->load(path);
            reread = true;
        }
    }
    if (reread)
        table_model->resort();

    undo_button->setEnabled(!undo_map.isEmpty());
    operation.release();

    // When every file is back as before nothing is said, unless an earlier
    // undo told of some of them that they were not, or might not be: these
    // are named as restored now.
    const bool complete = restored.size() == total;
    report_incomplete(
        complete ? tr("Undo done") : tr("Undo incomplete"),
        {{QT_TR_N_NOOP("The GPS data of %1 of %n files could not be restored. Undo stays available for "
                       "them:\n\n%2"),
          failed},
         {QT_TR_N_NOOP("The GPS data of %1 of %n files may have been restored: ExifTool stopped before it "
                       "confirmed it. Undo stays available for them:\n\n%2"),
          uncertain},
         {QT_TR_N_NOOP("The GPS data of %1 of %n files may have been restored: ExifTool wrote it, but the files "
                       "could not be read back. Undo stays available for them:\n\n%2"),
          unchecked},
         {QT_TR_N_NOOP("%1 of %n files were changed since the last sync or removal and were left as they are. "
                       "Undo is no longer offered for them:\n\n%2"),
          changed},
         {QT_TR_N_NOOP("%1 of %n files are no longer there: they were deleted, moved or renamed since the last "
                       "sync or removal. Undo is no longer offered for them:\n\n%2"),
          gone},
         {QT_TR_N_NOOP("%1 of %n files do not hold all their GPS tags as before: ExifTool could not write back "
                       "the tags named here. A second undo would fare no better:\n\n%2"),
          refused, refused_tags},
         {QT_TR_N_NOOP("In %1 of %n files ExifTool wrote the tags named here back as other numbers than before, "
                       "so they were deleted. A second undo would fare no better:\n\n%2"),
          renumbered, renumbered_tags},
         {QT_TR_N_NOOP("The GPS data of %1 of %n files that the last undo left for another try is now as before "
                       "the last sync or removal:\n\n%2"),
          restored_now}},
        total, complete ? QMessageBox::Information : QMessageBox::Warning);
}
