#pragma once
// Reader of GPX files: tracks (all segments of one track joined) and the
// waypoints, each point with its coordinate texts and time.

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

struct gpx_point {
    QString lat;    // "lat" attribute text as in the file, empty when missing
    QString lon;    // "lon" attribute text as in the file, empty when missing
    QDateTime time; // invalid without a readable <time>
};

struct gpx_track {
    QString name;
    QList<gpx_point> points;
};

// Reads the whole file in its constructor; the owner then takes `tracks`.
// The file is read as a stream, a block at a time: memory grows with the
// points, not with the nesting or the size of the file. A file that is not
// well-formed XML is read again with its slips mended (stray control
// characters, undeclared entities, bare ampersands, repeated attributes); a
// file that still cannot be read to its end keeps the points before the
// place where reading stopped, and says where. A file whose entity
// references would expand to more text than a few megabytes and than twice
// its own size, whose elements are nested deeper or have more attributes
// than any GPX file's, one of whose items is longer than 128 MB, or whose
// document type comes after its root element's start or holds thousands
// of declarations, parameter entities, attribute lists or an entity of a
// name longer than 64 bytes gives no tracks, and says so. Of a track's name and a
// point's time the first 65,536 characters are kept, and of the tracks
// without points the first 1,000: the others are counted.
class gpx_parser : public QObject
{
    Q_OBJECT
public:
    // Called after every block read from the file with the bytes read so far
    // and the size of the file.
    using progress_function = std::function<void(qint64 done, qint64 total)>;

    explicit gpx_parser(QString path, QObject* parent = nullptr, const progress_function& progress = {});
    ~gpx_parser() override;

    QList<gpx_track> tracks;

    // Reads an ISO 8601 time as GPX means it: blanks around it are ignored
    // and a time without zone is UTC.
    static QDateTime parse_time(const QString& text);
};
