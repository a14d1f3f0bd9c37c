#pragma once
// GPX files for the reader's tests and benchmark, made at run time.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace gpx_samples {

// Files as devices and programs write them (name, content): GPX 1.0 and 1.1,
// several tracks and segments, waypoints, routes, comments, time zones and
// fractions, a byte-order mark, ISO-8859-1 and UTF-16.
QList<QPair<QString, QByteArray>> varied_files();
// What the reader gives for varied_files(), in their order: per file a line
// "== name", the reader's lines on standard output, then each track as a line
// "track [name] count" followed by its points "  [lat] [lon] time".
QString varied_results();

// Files as loggers and everyday programs write them that are not quite
// well-formed XML 1.0 or come in a less common encoding: name, content, the
// track the reader gives ("[name] time lat lon; time lat lon", times in UTC)
// and, for a file that cannot be read to its end, the place named in the log
// ("refused, " and the reason for a file refused whole).
struct lenient_file {
    QString name;
    QByteArray content;
    QString track;
    QString stopped_at;
};
QList<lenient_file> lenient_files();

// One track of one point, followed inside the track by levels nested
// extension elements.
QByteArray deeply_nested(int levels);

// One track of one point, followed inside the track by count prefixed
// elements that are never closed.
QByteArray unclosed_prefixed(int count);

// Writes a logger's track of points, one a second, in segments of 100,000
// points, about 104 bytes a point. False when the file cannot be written.
bool write_long_track(const QString& path, int points);
// The same track in memory, and its points as "time lat lon" (UTC times).
QByteArray long_track(int points);
QStringList long_track_points(int points);

} // namespace gpx_samples
