#pragma once
// Helpers for the main-window tests: photos with a recording time and
// optional GPS made with the real ExifTool, GPX files, and mouse clicks that
// travel through the window system's queue like real input.

#include <QDateTime>
#include <QString>
#include <QStringList>

class QWidget;

namespace window_support {

// A JPEG at path with DateTimeOriginal date_time ("2023:05:01 10:00:00") and,
// when has_gps, a position (signed degrees).
bool make_photo(const QString& path, const QString& date_time, bool has_gps = false, double lat = 0,
                double lon = 0);

// One track: name and points as (lat text, lon text, time text) triples.
struct track_spec {
    QString name;
    QList<QStringList> points;
};
bool write_gpx(const QString& path, const QList<track_spec>& tracks);

// Queues a left click at the centre of widget into the window system's
// event queue (asynchronous delivery), as a real mouse would.
void queue_window_system_click(QWidget* widget);

// Path of the fake ExifTool that forwards to the real one, answering every
// request about delay_ms later (environment variable WINDOW_SLOW_EXIFTOOL_MS).
QString slow_exiftool();

} // namespace window_support
