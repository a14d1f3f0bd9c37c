// The three operations of the main window that change files: writing the
// previewed positions, removing all GPS data, and undoing the last of these.
// Every file is changed in place through ExifTool; before a file is changed
// its current GPS tags are read afresh, and only files whose write succeeded
// can be undone.

#include "main_window.h"

#include "exif_cache.h"
#include "progress_pacer.h"
#include "table_data_model.h"

#include "ko/button_dark.h"
#include "ko/message_box.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFileInfo>
#include <QProgressDialog>
#include <QSet>

#include <cmath>
#include <vector>

namespace {

// The EXIF GPS tags saved before a file is changed, in this order.
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

// The XMP copies of the position saved for files that carry XMP GPS data.
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

// How many failed files a message names before it only counts the rest.
constexpr int listed_failures = 10;

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

// The file names of paths, one a line, at most listed_failures of them.
QString file_list(const QStringList& paths)
{
    QStringList lines;
    for (int i = 0; i < paths.size() && i < listed_failures; ++i)
        lines << QFileInfo(paths.at(i)).fileName();
    if (paths.size() > listed_failures)
        lines << MainWindow::tr("... and %1 more").arg(paths.size() - listed_failures);
    return lines.join(QLatin1Char('\n'));
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

// Empties the list but for the rows in keep (in their present order), which
// are matched again.
void keep_only_rows(table_data_model* model, const QSet<QString>& keep)
{
    QStringList kept;
    for (const QString& path : model->row_paths())
        if (keep.contains(path))
            kept << path;
    model->clear();
    if (kept.isEmpty())
        return;
    for (const QString& path : qAsConst(kept))
        model->append_row(path, true);
    model->resort();
}

// One row of a sync: where to write, and what.
struct planned_row {
    QString path;
    bool write = false;          // the row has a position to write (or, fixed and empty, to clear)
    bool clear_position = false; // the empty fixed position: the coordinates are deleted
    gps_pos pos;
};

} // namespace

// ---------------------------------------------------------------- snapshot

exif_tag_map MainWindow::gps_tag_map_for_file(const QString& path)
{
    // Read afresh, numerically ("#"), the EXIF tags from the GPS group only:
    // unqualified, ExifTool would answer with an XMP value where the file has
    // no EXIF position. "FileName" is always there for a file it can read, so
    // an empty answer is told from a file without GPS data.
    const QString file_name = QStringLiteral("FileName");
    std::vector<QString> exif_request{file_name};
    for (const QString& name : exif_gps_names())
        exif_request.push_back(QStringLiteral("GPS:") + name + QLatin1Char('#'));
    const exif_tag_map exif = ko::exiftool::read_selected_tags(path, exif_request);
    if (exif.find(file_name) == exif.end()) {
        qWarning("Could not read the GPS tags of '%s' before changing it.", qUtf8Printable(path));
        return {};
    }

    // The XMP copies come in a request of their own: the answer names tags
    // without their group, so they would collide with the EXIF ones.
    std::vector<QString> xmp_request{file_name};
    for (const QString& name : xmp_gps_names())
        xmp_request.push_back(name + QLatin1Char('#'));
    const exif_tag_map xmp = ko::exiftool::read_selected_tags(path, xmp_request);
    if (xmp.find(file_name) == xmp.end()) {
        qWarning("Could not read the XMP GPS tags of '%s' before changing it.", qUtf8Printable(path));
        return {};
    }

    exif_tag_map snapshot;
    for (const QString& name : exif_gps_names()) {
        const QString key = name + QLatin1Char('#');
        const auto found = exif.find(key);
        snapshot[key] = found == exif.end() ? QString() : found->second;
    }

    bool with_xmp = record_flag(path, QStringLiteral("has_xmp_gps"));
    for (const QString& name : xmp_gps_names()) {
        const auto found = xmp.find(name.mid(4) + QLatin1Char('#'));
        if (found != xmp.end() && !found->second.isEmpty())
            with_xmp = true;
    }
    if (with_xmp) {
        for (const QString& name : xmp_gps_names()) {
            const auto found = xmp.find(name.mid(4) + QLatin1Char('#'));
            snapshot[name + QLatin1Char('#')] = found == xmp.end() ? QString() : found->second;
        }
    }

    // A value ExifTool only describes cannot be written back as it was.
    for (const auto& [key, value] : snapshot) {
        if (value.startsWith(QLatin1String("(Binary data ")) || value.startsWith(QLatin1String("(large array"))) {
            qWarning("The tag %s of '%s' cannot be saved for undo; the file is left unchanged.", qUtf8Printable(key),
                     qUtf8Printable(path));
            return {};
        }
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

    if (!begin_operation())
        return;
    undo_button->setEnabled(false);

    syncing_progress->setRange(0, int(plan.size()));
    syncing_progress->setValue(0);
    QCoreApplication::processEvents();
    progress_pacer pacer(syncing_progress);

    QMap<QString, exif_tag_map> undo;
    QSet<QString> written;
    QStringList failed;
    for (size_t r = 0; r < plan.size(); ++r) {
        const planned_row& row = plan[r];
        if (row.write) {
            double lat = 0;
            double lon = 0;
            const bool valid = row.clear_position || (read_coordinate(row.pos.lat, 90.0, lat) &&
                                                      read_coordinate(row.pos.lon, 180.0, lon));
            exif_tag_map snapshot;
            if (!valid)
                qWarning("'%s' has no valid position (%s, %s) and is not written.", qUtf8Printable(row.path),
                         qUtf8Printable(row.pos.lat), qUtf8Printable(row.pos.lon));
            else
                snapshot = gps_tag_map_for_file(row.path);

            if (!snapshot.empty()) {
                exif_tag_map tags;
                const QString lat_text = row.clear_position ? QString() : coordinate_text(lat);
                const QString lon_text = row.clear_position ? QString() : coordinate_text(lon);
                tags[QStringLiteral("GPSLatitude#")] = lat_text;
                tags[QStringLiteral("GPSLatitudeRef")] =
                    row.clear_position ? QString() : hemisphere(lat, row.pos.lat_ref, "N", "S");
                tags[QStringLiteral("GPSLongitude#")] = lon_text;
                tags[QStringLiteral("GPSLongitudeRef")] =
                    row.clear_position ? QString() : hemisphere(lon, row.pos.lon_ref, "E", "W");
                if (snapshot.count(QStringLiteral("XMP:GPSLatitude#"))) {
                    tags[QStringLiteral("XMP:GPSLatitude#")] = lat_text;
                    tags[QStringLiteral("XMP:GPSLongitude#")] = lon_text;
                    if (fixed_mode)
                        tags[QStringLiteral("XMP:GPSAltitude")] = QString();
                }
                if (fixed_mode)
                    for (const QString& name : fixed_position_cleanup_names())
                        tags[name] = QString();

                if (ko::exiftool::write_tags(row.path, tags)) {
                    undo[row.path] = snapshot;
                    written.insert(row.path);
                } else {
                    qWarning("Writing the GPS position of '%s' failed.", qUtf8Printable(row.path));
                }
            }
            if (!written.contains(row.path))
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

    if (failed.isEmpty()) {
        table_model->clear();
    } else {
        // The written rows leave the list; the rest stays, so that a second
        // try matches the failed files as before.
        QSet<QString> keep;
        for (const QString& path : table_model->row_paths())
            if (!written.contains(path))
                keep.insert(path);
        keep_only_rows(table_model, keep);
    }
    sync_button->setEnabled(table_model->rowCount() > 0);
    end_operation();

    if (!failed.isEmpty()) {
        ko::message_box::warning(this, tr("Not all files were written"),
                                 tr("%1 of %2 files could not be written and are still in the list:\n\n%3")
                                     .arg(failed.size())
                                     .arg(to_write)
                                     .arg(file_list(failed)),
                                 QMessageBox::Ok, QMessageBox::NoButton);
    }
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

    if (!begin_operation())
        return;
    undo_button->setEnabled(false);

    syncing_progress->setRange(0, paths.size());
    syncing_progress->setValue(0);
    QCoreApplication::processEvents();
    progress_pacer pacer(syncing_progress);

    exif_tag_map tags;
    tags[QStringLiteral("GPS:all")] = QString();
    for (const QString& name : xmp_gps_names())
        tags[name] = QString();

    QMap<QString, exif_tag_map> undo;
    QStringList failed;
    for (int r = 0; r < paths.size(); ++r) {
        const QString& path = paths.at(r);
        const exif_tag_map snapshot = gps_tag_map_for_file(path);
        if (!snapshot.empty() && ko::exiftool::write_tags(path, tags)) {
            undo[path] = snapshot;
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
    keep_only_rows(table_model, QSet<QString>(failed.cbegin(), failed.cend()));
    undo_button->setEnabled(!undo_map.isEmpty());
    end_operation();

    if (!failed.isEmpty()) {
        ko::message_box::warning(this, tr("Not all files were changed"),
                                 tr("The GPS data of %1 of %2 files could not be removed; they are still in the "
                                    "list:\n\n%3")
                                     .arg(failed.size())
                                     .arg(paths.size())
                                     .arg(file_list(failed)),
                                 QMessageBox::Ok, QMessageBox::NoButton);
    }
}

// ---------------------------------------------------------------- undo

void MainWindow::undo_last_edit()
{
    if (busy || undo_map.isEmpty())
        return;
    if (!begin_operation())
        return;
    undo_button->setEnabled(false);

    const int total = undo_map.size();
    syncing_progress->setRange(0, total);
    syncing_progress->setValue(0);
    QCoreApplication::processEvents();
    progress_pacer pacer(syncing_progress);

    QMap<QString, exif_tag_map> not_restored;
    QStringList restored;
    int done = 0;
    for (auto it = undo_map.cbegin(); it != undo_map.cend(); ++it) {
        if (ko::exiftool::write_tags(it.key(), it.value())) {
            restored << it.key();
        } else {
            qWarning("Restoring the GPS tags of '%s' failed.", qUtf8Printable(it.key()));
            not_restored.insert(it.key(), it.value());
        }
        pacer.step(++done);
    }
    syncing_progress->reset();
    syncing_progress->hide();
    undo_map = not_restored;

    // Restored files that are in the list again show what they now hold.
    const QStringList& listed = table_model->row_paths();
    bool reread = false;
    for (const QString& path : qAsConst(restored)) {
        if (listed.contains(path)) {
            exif_cache::instance()->load(path);
            reread = true;
        }
    }
    if (reread)
        table_model->resort();

    undo_button->setEnabled(!undo_map.isEmpty());
    end_operation();

    if (!not_restored.isEmpty()) {
        ko::message_box::warning(this, tr("Undo incomplete"),
                                 tr("The GPS data of %1 of %2 files could not be restored. Undo stays available "
                                    "for them:\n\n%3")
                                     .arg(not_restored.size())
                                     .arg(total)
                                     .arg(file_list(not_restored.keys())),
                                 QMessageBox::Ok, QMessageBox::NoButton);
    }
}
