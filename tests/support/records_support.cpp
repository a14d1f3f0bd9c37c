#include "records_support.h"

#include "exif_cache.h"

#include <cmath>

namespace records_support {

static QString dms(double value, const char* positive, const char* negative)
{
    const double magnitude = std::fabs(value);
    int degrees = static_cast<int>(magnitude);
    int minutes = static_cast<int>((magnitude - degrees) * 60);
    double seconds = ((magnitude - degrees) * 60 - minutes) * 60;
    if (seconds > 59.995) {
        seconds = 0;
        if (++minutes == 60) {
            minutes = 0;
            ++degrees;
        }
    }
    return QStringLiteral("%1 deg %2' %3\" %4")
        .arg(degrees)
        .arg(minutes)
        .arg(seconds, 0, 'f', 2)
        .arg(QLatin1String(value < 0 ? negative : positive));
}

QString gps_position_text(double lat, double lon)
{
    return dms(lat, "N", "S") + QStringLiteral(", ") + dms(lon, "E", "W");
}

void add_photo(const QString& path, const QString& date_time, bool has_position, double lat, double lon,
               const QString& zone)
{
    exif_tag_map plain{{"FileName", path}};
    exif_tag_map grouped{{"System:FileName", path}};
    if (!date_time.isEmpty()) {
        plain["DateTimeOriginal"] = date_time;
        grouped["ExifIFD:DateTimeOriginal"] = date_time;
    }
    if (has_position)
        plain["GPSPosition"] = gps_position_text(lat, lon);
    if (!zone.isEmpty())
        grouped["IPTC:TimeCreated"] = date_time.mid(date_time.indexOf(' ') + 1) + zone;
    exif_cache::instance()->store(path, plain, grouped);
}

void clear_store()
{
    const auto store = exif_cache::instance();
    store->records.clear();
    store->tags.clear();
    store->group_tags.clear();
}

} // namespace records_support
