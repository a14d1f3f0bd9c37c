#include "gpx_reader.h"

#include <QDomDocument>
#include <QDomElement>
#include <QFile>

#include <iostream>

gpx_parser::gpx_parser(QString path, QObject* parent) : QObject(parent)
{
    QDomDocument document(QStringLiteral("gpx"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    if (!document.setContent(&file, false)) {
        file.close();
        return;
    }
    file.close();

    gpx_track waypoints;
    waypoints.name = tr("Waypoints");
    int track_counter = 0;

    for (QDomNode node = document.documentElement().firstChild(); !node.isNull(); node = node.nextSibling()) {
        if (!node.isElement()) {
            std::cout << "Unknown node type found: " << static_cast<int>(node.nodeType())
                      << " node name is: " << node.nodeName().toLocal8Bit().constData() << std::endl;
            continue;
        }
        const QDomElement element = node.toElement();
        if (element.isNull()) {
            std::cout << "Could not convert node to element. nodeType indicates this should be possible... "
                      << node.nodeName().toLocal8Bit().constData() << std::endl;
            continue;
        }
        const QString tag = element.tagName();
        if (tag == QLatin1String("trk")) {
            ++track_counter;
            gpx_track track;
            const QDomElement name = element.firstChildElement(QStringLiteral("name"));
            track.name = name.isNull() ? QStringLiteral("Track %1").arg(track_counter) : name.text();
            std::cout << "Track is named " << track.name.toLocal8Bit().constData() << std::endl;
            for (QDomElement segment = element.firstChildElement(QStringLiteral("trkseg")); !segment.isNull();
                 segment = segment.nextSiblingElement(QStringLiteral("trkseg"))) {
                for (QDomElement point = segment.firstChildElement(QStringLiteral("trkpt")); !point.isNull();
                     point = point.nextSiblingElement(QStringLiteral("trkpt")))
                    track.points.append(read_point(point));
            }
            tracks.append(track);
        } else if (tag == QLatin1String("wpt")) {
            waypoints.points.append(read_point(element));
        } else if (tag == QLatin1String("metadata")) {
            // nothing of it is used
        } else {
            std::cout << "Unknown element found: " << tag.toLocal8Bit().constData() << std::endl;
        }
    }

    if (!waypoints.points.isEmpty())
        tracks.append(waypoints);
}

gpx_parser::~gpx_parser() = default;

QDateTime gpx_parser::parse_time(const QString& text)
{
    QString iso = text.trimmed();
    // Mark a zone-less time as UTC before parsing: read as local time, a time
    // in the hour skipped by a daylight-saving change would be shifted.
    const int t = iso.indexOf(QLatin1Char('T'));
    const bool has_zone = iso.endsWith(QLatin1Char('Z'), Qt::CaseInsensitive) ||
                          (t >= 0 && (iso.indexOf(QLatin1Char('+'), t) >= 0 || iso.indexOf(QLatin1Char('-'), t) >= 0));
    if (t >= 0 && !has_zone)
        iso += QLatin1Char('Z');
    QDateTime time = QDateTime::fromString(iso, Qt::ISODate);
    if (time.isValid() && time.timeSpec() == Qt::LocalTime)
        time.setTimeSpec(Qt::UTC);
    return time;
}

gpx_point gpx_parser::read_point(const QDomElement& element)
{
    gpx_point point;
    point.lat = element.attribute(QStringLiteral("lat"));
    point.lon = element.attribute(QStringLiteral("lon"));
    const QDomElement time = element.firstChildElement(QStringLiteral("time"));
    if (!time.isNull())
        point.time = parse_time(time.text());
    return point;
}
