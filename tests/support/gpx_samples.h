#pragma once
// GPX files for the reader's tests and benchmark, made at run time.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace gpx_samples {

// Files as devices and programs write them (name, content): GPX 1.0 and 1.1,
// several tracks and segments, waypoints, routes, comments, time zones and
// fractions, a byte-order mark, ISO-8859-1, UTF-16 and entities.
QList<QPair<QString, QByteArray>> varied_files();
// What the reader gives for varied_files(), in their order: per file a line
// "== name", the reader's lines on standard output, then each track as a line
// "track [name] count" followed by its points "  [lat] [lon] time".
QString varied_results();

// Files as loggers and everyday programs write them that are not quite
// well-formed XML 1.0 or come in a less common encoding: name, content, the
// track the reader gives ("[name] time lat lon; time lat lon", times in UTC)
// and, for a file that cannot be read to its end, the place named in the log.
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

// A track of one point whose name is references times an entity of length
// characters.
QByteArray entity_expansion(int references, int length);

// Writes a logger's track of points, one a second, in segments of 100,000
// points, about 104 bytes a point. False when the file cannot be written.
bool write_long_track(const QString& path, int points);

} // namespace gpx_samples
