#pragma once
// The process-wide store of what is known about the loaded files: the plain
// and the group-qualified ExifTool answer of each file, and the photo record
// derived from them (recording time, IPTC zone, GPS position and flags,
// camera data).

#include "ko/exiftool.h"

#include <QChar>
#include <QString>

#include <map>
#include <memory>

class exif_cache
{
public:
    std::map<QString, exif_tag_map> records;    // derived photo record per path
    std::map<QString, exif_tag_map> tags;       // plain read per path
    std::map<QString, exif_tag_map> group_tags; // read with group names per path

    exif_cache() = default;
    ~exif_cache();
    exif_cache(const exif_cache&) = delete;
    exif_cache& operator=(const exif_cache&) = delete;

    static std::shared_ptr<exif_cache> instance();

    // Reads the file through ExifTool and (re)builds its three entries. When
    // either read yields nothing (every successful read holds at least the
    // file name) the record is marked "read_failed": such a file has no
    // position and must not be written.
    void load(const QString& path);

    // Stores the two answers of path and derives its record from them; load
    // without the reads. An empty answer (plain or grouped) counts as a
    // failed read. "rec_timezone" gets the zone of the recorded clock time
    // ("+05:30"), empty for local time.
    void store(const QString& path, const exif_tag_map& plain, const exif_tag_map& grouped);

    // False when the file's own dates stand in for the date or the time.
    bool parse_datetime(const QString& path, const QString& text);
    void fallback_date(const QString& path);
    void fallback_time(const QString& path);
    void parse_camera(const QString& path, const exif_tag_map& tags);
    void parse_gps(const QString& path, const exif_tag_map& tags);
    void parse_iptc(const QString& path, const exif_tag_map& group_tags);
    void parse_gps_flags(const QString& path, const exif_tag_map& group_tags);

    static QString strip(const QString& text, QChar what);
    static QString strip(const QString& text, const QString& what);

};
