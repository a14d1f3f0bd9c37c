#pragma once
// Reader of GPX files: tracks (all segments of one track joined) and the
// waypoints, each point with its coordinate texts and time.

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

class QDomElement;

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
class gpx_parser : public QObject
{
    Q_OBJECT
public:
    explicit gpx_parser(QString path, QObject* parent = nullptr);
    ~gpx_parser() override;

    QList<gpx_track> tracks;

    // Reads an ISO 8601 time as GPX means it: blanks around it are ignored
    // and a time without zone is UTC.
    static QDateTime parse_time(const QString& text);

private:
    static gpx_point read_point(const QDomElement& element);
};
