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
// place where reading stopped, and says where. A file that has more than
// one document type or one after its root element's start, whose document
// type declares entities or attribute lists, uses parameter entities or is
// longer than any GPX file's, whose elements are nested deeper or have more
// attributes than any GPX file's, or one of whose items is longer than
// 128 MB gives no tracks, and says so. Of a track's name and a point's time
// the first 65,536 characters are kept, of the tracks without points the
// first 1,000 and of the messages on unknown nodes at the top level the
// first 100: the others are counted.
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
