#include "exif_cache.h"

#include "table_data_model.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <iostream>
#include <limits>

namespace {

const QString k_true = QStringLiteral("true");
const QString k_false = QStringLiteral("false");

QString two_digits(int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

// Creation time of the file as Qt reports it: the birth time where the file
// system keeps one, else the time of the last status change.
QDateTime file_created(const QString& path)
{
    const QFileInfo info(path);
    QDateTime time = info.birthTime();
    if (!time.isValid())
        time = info.metadataChangeTime();
    return time.toLocalTime();
}

// "Group:Tag" split at its first colon; a key without group yields an empty group.
void split_key(const QString& key, QStringRef& group, QStringRef& name)
{
    const int colon = key.indexOf(QLatin1Char(':'));
    if (colon < 0) {
        group = QStringRef();
        name = QStringRef(&key);
        return;
    }
    group = key.leftRef(colon);
    name = key.midRef(colon + 1);
}

bool is_empty_date(const QString& date) { return date == QLatin1String("0000:00:00"); }

// The zone written after the clock time of a date-time text, as in
// "2024:06:01 10:00:00+05:30", "...10:00:00-03:00" or "...10:00:00Z"; empty
// when there is none or it is not a zone.
QString zone_in_value(const QString& text)
{
    const int blank = text.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return QString();
    const QString time = text.mid(blank + 1).trimmed();
    if (time.endsWith(QLatin1Char('Z'), Qt::CaseInsensitive))
        return QStringLiteral("+00:00");
    int sign = time.indexOf(QLatin1Char('+'));
    if (sign < 0)
        sign = time.indexOf(QLatin1Char('-'));
    int seconds = 0;
    if (sign < 0 || !utc_offset_seconds(time.mid(sign), seconds))
        return QString();
    return time.mid(sign);
}

// A zone text as recorded ("+05:30", "Z"), or empty when it is none.
QString valid_zone(const QString& zone)
{
    const QString text = zone.trimmed();
    if (text.compare(QLatin1String("Z"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("+00:00");
    int seconds = 0;
    return utc_offset_seconds(text, seconds) ? text : QString();
}

// ExifTool made sense of the file's content: it reports no error (as for an
// empty file or an unknown or broken format) and found an image or a video,
// or another supported type, whatever the name says (a text file named .jpg
// is text; a WebP or BigTIFF under a photo's name is still a photo).
bool content_readable(const exif_tag_map& plain)
{
    if (plain.count(QStringLiteral("Error")))
        return false;
    const auto type = plain.find(QStringLiteral("FileTypeExtension"));
    if (type == plain.end())
        return true;
    const auto mime = plain.find(QStringLiteral("MIMEType"));
    if (mime != plain.end() && (mime->second.startsWith(QLatin1String("image/")) ||
                                mime->second.startsWith(QLatin1String("video/"))))
        return true;
    const QByteArray extension = type->second.trimmed().toLower().toUtf8();
    return supported_extensions.count(std::string_view(extension.constData(), std::size_t(extension.size()))) > 0;
}

bool is_quicktime_group(const QStringRef& group)
{
    return group == QLatin1String("QuickTime") || group == QLatin1String("Keys") ||
           group == QLatin1String("UserData") || group == QLatin1String("ItemList");
}

// Whether a tag is one of the positions a video keeps in its QuickTime
// metadata, which no removal of GPS data takes away: the ISO 6709
// coordinates of any group ("Keys", "UserData", "ItemList"), the 3GPP
// location of "UserData", and the ISO 6709 text ffmpeg and many phones store
// under the plain key "location" ("Keys:Location", "+47.3700+008.5400/").
bool is_quicktime_position(const QStringRef& group, const QStringRef& name, const QString& value)
{
    if (group.isEmpty() || group == QLatin1String("Composite"))
        return false;
    if (name == QLatin1String("GPSCoordinates"))
        return true;
    if (!is_quicktime_group(group))
        return false;
    if (name == QLatin1String("LocationInformation"))
        return true;
    static const QRegularExpression iso6709(QStringLiteral("^[+-]\\d"));
    return name == QLatin1String("Location") && iso6709.match(value).hasMatch();
}

// The recording time a video keeps in its own metadata: a creation date
// that carries a zone, else the QuickTime "CreateDate", which QuickTime
// stores in UTC. Empty when the file has neither.
QString video_recording_time(const exif_tag_map& grouped, QString& zone)
{
    QString create_date;
    QStringRef group;
    QStringRef name;
    for (const auto& entry : grouped) {
        split_key(entry.first, group, name);
        if (!is_quicktime_group(group))
            continue;
        if (name == QLatin1String("CreationDate") && !zone_in_value(entry.second).isEmpty()) {
            zone.clear();
            return entry.second;
        }
        if (name == QLatin1String("CreateDate") && group == QLatin1String("QuickTime"))
            create_date = entry.second;
    }
    if (create_date.isEmpty() || create_date.startsWith(QLatin1String("0000:00:00")))
        return QString();
    zone = zone_in_value(create_date).isEmpty() ? QStringLiteral("+00:00") : QString();
    return create_date;
}

} // namespace

exif_cache::~exif_cache()
{
    group_tags.clear();
    tags.clear();
    records.clear();
}

std::shared_ptr<exif_cache> exif_cache::instance()
{
    static const std::shared_ptr<exif_cache> store = std::make_shared<exif_cache>();
    return store;
}

void exif_cache::load(const QString& path)
{
    const exif_tag_map plain = ko::exiftool::read_tags(path, false, false);
    // After a failed read ExifTool is dead or hung: do not wait for it twice.
    const exif_tag_map grouped = plain.empty() ? exif_tag_map() : ko::exiftool::read_tags(path, true, false);
    store(path, plain, grouped);
}

void exif_cache::store(const QString& path, const exif_tag_map& plain, const exif_tag_map& grouped)
{
    tags[path] = plain;
    group_tags[path] = grouped;
    exif_tag_map& record = records[path];

    // Every successful read holds at least the file name. Without the
    // grouped answer the IPTC zone and the video dates are unknown, so a
    // half-failed read counts as a failed one; so does content that
    // ExifTool could not read.
    const bool failed = plain.empty() || grouped.empty() || !content_readable(plain);
    const exif_tag_map none;
    const exif_tag_map& used_plain = failed ? none : plain;
    const exif_tag_map& used_grouped = failed ? none : grouped;

    QString when;
    QString zone;
    if (failed) {
        std::cout << "Error[" << path.toUtf8().constData()
                  << "]: Can't read metadata, the file gets no GPS position and is not written" << std::endl;
    } else {
        record_value(plain, QStringLiteral("DateTimeOriginal"), when);
        if (when.isEmpty())
            when = video_recording_time(grouped, zone);
    }
    const bool from_metadata = parse_datetime(path, when);
    parse_camera(path, used_plain);
    parse_gps(path, used_plain);
    parse_iptc(path, used_grouped);
    parse_gps_flags(path, used_grouped);

    // The zone of the recorded clock time: the one written in the value,
    // else the camera's EXIF "OffsetTimeOriginal", else the IPTC zone (which
    // programs often fill in later with the zone of the computer they run
    // on); none (local time) for the file's own dates.
    if (from_metadata) {
        if (zone.isEmpty())
            zone = zone_in_value(when);
        QString offset;
        if (zone.isEmpty() && record_value(plain, QStringLiteral("OffsetTimeOriginal"), offset))
            zone = valid_zone(offset);
        if (zone.isEmpty())
            zone = valid_zone(record[QStringLiteral("iptc_timezone")]);
    } else {
        zone.clear();
    }
    record[QStringLiteral("rec_timezone")] = zone;
    record[QStringLiteral("read_failed")] = failed ? k_true : k_false;
    record[QStringLiteral("has_data")] = k_true;
}

bool exif_cache::parse_datetime(const QString& path, const QString& text)
{
    const QByteArray file = path.toUtf8();
    if (text.count(QLatin1Char(' ')) != 1) {
        if (!text.isEmpty())
            std::cout << "Error[" << file.constData() << "]: Can't parse exif recording date/time '"
                      << text.toUtf8().constData() << "'" << std::endl;
        fallback_date(path);
        fallback_time(path);
        return false;
    }
    const int blank = text.indexOf(QLatin1Char(' '));
    const QString date = text.left(blank);
    QString time = text.mid(blank + 1);

    // Cameras without a set clock write a date of zeros: no date at all.
    if (is_empty_date(date)) {
        fallback_date(path);
        fallback_time(path);
        return false;
    }

    bool complete = true;
    exif_tag_map& record = records[path];
    if (date.count(QLatin1Char(':')) == 2) {
        const QStringList parts = date.split(QLatin1Char(':'));
        if (parts[0].isEmpty() || parts[1].isEmpty() || parts[2].isEmpty()) {
            std::cout << "Error[" << file.constData() << "]: Can't parse exif recording date '"
                      << date.toUtf8().constData() << "'" << std::endl;
            fallback_date(path);
            complete = false;
        } else {
            record[QStringLiteral("rec_year")] = parts[0];
            record[QStringLiteral("rec_month")] = parts[1];
            record[QStringLiteral("rec_day")] = parts[2];
        }
    }

    const int plus = time.indexOf(QLatin1Char('+'));
    if (plus >= 0)
        time = time.left(plus);
    const int minus = time.indexOf(QLatin1Char('-'));
    if (minus >= 0)
        time = time.left(minus);

    // Hours and minutes alone, as XMP allows, are that minute's start.
    if (time.count(QLatin1Char(':')) == 1) {
        if (time.endsWith(QLatin1Char('Z'), Qt::CaseInsensitive))
            time.chop(1);
        time += QStringLiteral(":00");
    }
    if (time.count(QLatin1Char(':')) == 2) {
        const QStringList parts = time.split(QLatin1Char(':'));
        if (parts[0].isEmpty() || parts[1].isEmpty() || parts[2].isEmpty()) {
            std::cout << "Error[" << file.constData() << "]: Can't parse exif recording time '"
                      << time.toUtf8().constData() << "'" << std::endl;
            fallback_time(path);
            complete = false;
        } else {
            record[QStringLiteral("rec_hour")] = parts[0];
            record[QStringLiteral("rec_minute")] = parts[1];
            record[QStringLiteral("rec_second")] = parts[2];
        }
    }
    return complete;
}

void exif_cache::fallback_date(const QString& path)
{
    const QDate date = file_created(path).date();
    exif_tag_map& record = records[path];
    record[QStringLiteral("rec_year")] = QString::number(date.year());
    record[QStringLiteral("rec_month")] = two_digits(date.month());
    record[QStringLiteral("rec_day")] = two_digits(date.day());
}

void exif_cache::fallback_time(const QString& path)
{
    const QTime time = file_created(path).time();
    exif_tag_map& record = records[path];
    record[QStringLiteral("rec_hour")] = two_digits(time.hour());
    record[QStringLiteral("rec_minute")] = two_digits(time.minute());
    record[QStringLiteral("rec_second")] = two_digits(time.second());
}

void exif_cache::parse_camera(const QString& path, const exif_tag_map& tags)
{
    exif_tag_map& record = records[path];
    static const char* const keys[] = {"fstop",  "iso",     "focal_length", "lens",
                                       "camera", "image_w", "image_h",      "rating",
                                       "shutter_speed_decimal", "shutter_speed_fractional", "orientation"};
    for (const char* key : keys)
        record[QString::fromLatin1(key)] = QString();

    QString value;
    if (record_value(tags, QStringLiteral("FNumber"), value))
        record[QStringLiteral("fstop")] = strip(strip(strip(value, QChar('f')), QChar('F')), QChar(' '));
    if (record_value(tags, QStringLiteral("ISO"), value))
        record[QStringLiteral("iso")] = value;
    if (record_value(tags, QStringLiteral("FocalLength"), value))
        record[QStringLiteral("focal_length")] = strip(strip(value, QStringLiteral("mm")), QChar(' '));
    if (record_value(tags, QStringLiteral("Model"), value))
        record[QStringLiteral("camera")] = value;
    if (record_value(tags, QStringLiteral("LensModel"), value))
        record[QStringLiteral("lens")] = value;
    else if (record_value(tags, QStringLiteral("Lens"), value))
        record[QStringLiteral("lens")] = value;

    bool exif_size = false;
    if (record_value(tags, QStringLiteral("ExifImageWidth"), value) && !value.isEmpty()) {
        record[QStringLiteral("image_w")] = value;
        exif_size = true;
    }
    if (record_value(tags, QStringLiteral("ExifImageHeight"), value) && !value.isEmpty()) {
        record[QStringLiteral("image_h")] = value;
        exif_size = true;
    }
    if (!exif_size) {
        if (record_value(tags, QStringLiteral("ImageWidth"), value))
            record[QStringLiteral("image_w")] = value;
        if (record_value(tags, QStringLiteral("ImageHeight"), value))
            record[QStringLiteral("image_h")] = value;
    }

    if (record_value(tags, QStringLiteral("Rating"), value))
        record[QStringLiteral("rating")] = value;

    if (record_value(tags, QStringLiteral("ShutterSpeed"), value)) {
        const QStringList parts = value.split(QLatin1Char('/'));
        if (parts.size() >= 2) {
            const float numerator = static_cast<float>(parts[0].toInt());
            const int divisor = parts[1].toInt();
            float speed;
            if (divisor != 0)
                speed = numerator / static_cast<float>(divisor);
            else if (numerator == 0)
                speed = std::numeric_limits<float>::quiet_NaN();
            else
                speed = numerator > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
            record[QStringLiteral("shutter_speed_decimal")] = QString::number(speed, 'g', 6);
        }
        record[QStringLiteral("shutter_speed_fractional")] = value;
    }

    if (record_value(tags, QStringLiteral("Orientation"), value))
        record[QStringLiteral("orientation")] = value;
}

void exif_cache::parse_gps(const QString& path, const exif_tag_map& tags)
{
    exif_tag_map& record = records[path];
    for (const char* key : {"gps_lat", "gps_lat_ref", "gps_lon", "gps_lon_ref", "has_gps_position", "gps_numerical"})
        record[QString::fromLatin1(key)] = QString();

    QString position;
    if (!record_value(tags, QStringLiteral("GPSPosition"), position) || position == QLatin1String("-"))
        return;

    // Only a position with both numbers counts; a row never shows an empty
    // one of its own.
    const QStringList parts = position.split(QLatin1Char(','));
    if (parts.size() != 2)
        return;

    QString texts[2];
    QString refs[2];
    for (int i = 0; i < 2; ++i) {
        const QStringList tokens = parts[i].trimmed().split(QLatin1Char(' '));
        // ExifTool prints: degrees, "deg", minutes', seconds", letter. EXIF
        // GPS without its Ref tags comes without the letter: the numbers are
        // read, and the hemisphere stays unknown (empty reference).
        if (tokens.size() < 4)
            return;
        const double degrees = tokens[0].toDouble();
        const double minutes = strip(tokens[2], QChar('\'')).toDouble();
        const double seconds = strip(tokens[3], QChar('"')).toDouble();
        double value = degrees + minutes / 60.0 + seconds / 3600.0;
        const QString ref = tokens.size() > 4 ? tokens[4] : QString();
        if (!ref.isEmpty() && ref != QLatin1String(i == 0 ? "N" : "E"))
            value = -value;
        texts[i] = QString::number(value, 'f', 6).replace(QLatin1Char(','), QLatin1Char('.'));
        refs[i] = ref;
    }
    record[QStringLiteral("has_gps_position")] = k_true;
    record[QStringLiteral("gps_lat")] = texts[0];
    record[QStringLiteral("gps_lat_ref")] = refs[0];
    record[QStringLiteral("gps_lon")] = texts[1];
    record[QStringLiteral("gps_lon_ref")] = refs[1];
    record[QStringLiteral("gps_numerical")] = texts[0] + QStringLiteral(", ") + texts[1];
}

void exif_cache::parse_iptc(const QString& path, const exif_tag_map& group_tags)
{
    exif_tag_map& record = records[path];
    record[QStringLiteral("has_iptc_date")] = k_false;
    record[QStringLiteral("has_iptc_time")] = k_false;
    record[QStringLiteral("iptc_timezone")] = QString();

    QString value;
    if (record_value(group_tags, QStringLiteral("IPTC:DateCreated"), value))
        record[QStringLiteral("has_iptc_date")] = k_true;
    if (record_value(group_tags, QStringLiteral("IPTC:TimeCreated"), value)) {
        record[QStringLiteral("has_iptc_time")] = k_true;
        int sign = value.indexOf(QLatin1Char('+'));
        if (sign < 0)
            sign = value.indexOf(QLatin1Char('-'));
        if (sign >= 0)
            record[QStringLiteral("iptc_timezone")] = value.mid(sign);
    }
}

void exif_cache::parse_gps_flags(const QString& path, const exif_tag_map& group_tags)
{
    bool xmp = false;
    bool quicktime = false;
    QStringRef group;
    QStringRef name;
    for (const auto& entry : group_tags) {
        if (entry.second.isEmpty())
            continue;
        split_key(entry.first, group, name);
        // ExifTool names the family-1 groups "XMP-exif", "XMP-drone-dji" and
        // the like, and the QuickTime ones "Keys", "UserData", "ItemList", ...
        if (name == QLatin1String("GPSLatitude") && group.startsWith(QLatin1String("XMP")))
            xmp = true;
        else if (is_quicktime_position(group, name, entry.second))
            quicktime = true;
    }
    exif_tag_map& record = records[path];
    record[QStringLiteral("has_xmp_gps")] = xmp ? k_true : k_false;
    record[QStringLiteral("has_quicktime_gps")] = quicktime ? k_true : k_false;
}


QString exif_cache::strip(const QString& text, QChar what)
{
    QString result = text;
    if (result.startsWith(what))
        result.remove(0, 1);
    if (result.endsWith(what))
        result.chop(1);
    return result;
}

QString exif_cache::strip(const QString& text, const QString& what)
{
    QString result = text;
    if (what.isEmpty())
        return result;
    if (result.startsWith(what))
        result.remove(0, what.size());
    if (result.endsWith(what))
        result.chop(what.size());
    return result;
}
