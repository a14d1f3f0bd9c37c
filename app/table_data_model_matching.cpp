// The matching of table_data_model: gives every loaded file the position of
// a GPS-tagged neighbour in time (or the fixed position) and fills the cache.

#include "exif_cache.h"
#include "gps_coordinates.h"
#include "table_data_model.h"

#include <algorithm>
#include <iterator>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <vector>

namespace {

struct marker_texts {
    QString own = QString(QChar(0x2190));   // "←"
    QString up = QString(QChar(0x2191));    // "↑"
    QString down = QString(QChar(0x2193));  // "↓"
    QString gpx = QStringLiteral("G");
    QString fixed = QStringLiteral("=");
    QString none = QStringLiteral("?");
};

const marker_texts& markers()
{
    static const marker_texts texts;
    return texts;
}

const QString k_true = QStringLiteral("true");

bool is_true(const exif_tag_map& record, const QString& key)
{
    const auto found = record.find(key);
    return found != record.end() && found->second == k_true;
}

QString value_of(const exif_tag_map& record, const QString& key)
{
    const auto found = record.find(key);
    return found == record.end() ? QString() : found->second;
}

// A latitude/longitude pair usable as the source of a position.
bool usable_coordinates(const QString& lat_text, const QString& lon_text)
{
    bool lat_ok = false;
    bool lon_ok = false;
    const double lat = lat_text.trimmed().toDouble(&lat_ok);
    const double lon = lon_text.trimmed().toDouble(&lon_ok);
    return lat_ok && lon_ok && lat >= -90.0 && lat <= 90.0 && lon >= -180.0 && lon <= 180.0;
}

// One element of the working list: a photo row or a track point, with its
// time as a number so that sorting and distances need no date arithmetic.
struct work_item {
    qint64 msecs = 0;
    int photo = -1;       // index into the photo entries, or -1 for a track point
    int point = -1;       // index into the track points
    bool tagged = false;  // has_gps: keeps its own position
    bool source = false;  // tagged, with a valid time and usable coordinates
    bool target = false;  // untagged, readable and with a valid time: can get a position
};

// QDateTime::secsTo of two valid times, as a non-negative distance.
qint64 distance_seconds(const work_item& a, const work_item& b)
{
    return std::llabs((b.msecs - a.msecs) / 1000);
}

bool within(bool limit_on, int minutes, qint64 distance)
{
    return !limit_on || !(static_cast<qint64>(minutes) * 60 < distance);
}

} // namespace

void table_data_model::index_track()
{
    track_keys.clear();
    track_keys.reserve(static_cast<std::size_t>(track_points.size()));
    for (int p = 0; p < track_points.size(); ++p) {
        const gpx_point& point = track_points.at(p);
        const bool valid_time = point.time.isValid();
        track_keys.push_back({valid_time ? point.time.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min(), p,
                              valid_time && usable_coordinates(point.lat, point.lon)});
    }
    std::sort(track_keys.begin(), track_keys.end(),
              [](const track_key& a, const track_key& b) { return a.msecs < b.msecs; });
}

void table_data_model::rebuild_cache()
{
    const marker_texts& marks = markers();

    // 1.
    cache.clear();
    quicktime_flag = false;
    all_assigned_flag = true;
    had_gps_flag = false;

    // 2. The store is read in place; nothing changes it during the rebuild.
    const auto store = exif_cache::instance();
    const auto& records = store->records;

    // 3. Photo entries.
    const int row_count = rows.size();
    std::vector<sync_entry> photos(static_cast<std::size_t>(row_count));
    std::vector<work_item> items;
    std::vector<bool> unreadable(static_cast<std::size_t>(row_count), false);
    const bool with_track = sync_order == 4 && gpx_loaded;
    items.reserve(static_cast<std::size_t>(row_count) + (with_track ? static_cast<std::size_t>(track_points.size()) : 0));

    static const QString k_has_gps = QStringLiteral("has_gps_position");
    static const QString k_lat = QStringLiteral("gps_lat");
    static const QString k_lat_ref = QStringLiteral("gps_lat_ref");
    static const QString k_lon = QStringLiteral("gps_lon");
    static const QString k_lon_ref = QStringLiteral("gps_lon_ref");
    static const QString k_numerical = QStringLiteral("gps_numerical");
    static const QString k_quicktime = QStringLiteral("has_quicktime_gps");
    static const QString k_failed = QStringLiteral("read_failed");

    for (int r = 0; r < row_count; ++r) {
        sync_entry& entry = photos[static_cast<std::size_t>(r)];
        entry.path = rows[r];
        work_item item;
        item.photo = r;
        bool readable = true;
        qint64 msecs = std::numeric_limits<qint64>::min();
        const auto found = records.find(entry.path);
        if (found != records.end()) {
            const exif_tag_map& record = found->second;
            const row_time time = row_recording_time(entry.path, &record);
            entry.time = time.time;
            msecs = time.msecs;
            readable = !is_true(record, k_failed);
            if (is_true(record, k_has_gps)) {
                entry.marker = marks.own;
                entry.pos.lat_text = value_of(record, k_lat);
                entry.pos.lat_ref = value_of(record, k_lat_ref);
                entry.pos.lon_text = value_of(record, k_lon);
                entry.pos.lon_ref = value_of(record, k_lon_ref);
                entry.pos.lat = entry.pos.lat_text;
                entry.pos.lon = entry.pos.lon_text;
                entry.position_text = value_of(record, k_numerical);
                entry.has_gps = true;
            }
            if (is_true(record, k_quicktime))
                quicktime_flag = true;
        }
        const bool valid_time = entry.time.isValid();
        item.msecs = msecs;
        item.tagged = entry.has_gps;
        // A position without its hemispheres (EXIF GPS without the Ref tags)
        // stays the file's own but is given to no other file.
        item.source = entry.has_gps && valid_time && usable_coordinates(entry.pos.lat, entry.pos.lon) &&
                      !entry.pos.lat_ref.isEmpty() && !entry.pos.lon_ref.isEmpty();
        item.target = !entry.has_gps && readable && valid_time;
        unreadable[static_cast<std::size_t>(r)] = !readable;
        items.push_back(item);
    }

    // 5. to 7. The working list ascending in time (invalid times first). At
    // equal times the GPS-tagged entries go first, so that a carry pass
    // (forwards in mode 0, backwards in mode 1) meets them before the
    // untagged ones of the same time.
    const bool backwards = sync_order == 1;
    const auto earlier = [backwards](const work_item& a, const work_item& b) {
        if (a.msecs != b.msecs)
            return a.msecs < b.msecs;
        return backwards ? (!a.tagged && b.tagged) : (a.tagged && !b.tagged);
    };
    std::sort(items.begin(), items.end(), earlier);

    // 4. Track points, already in time order: merged in. Points without a
    // time or without numeric coordinates are entries too, but never the
    // source of a position.
    if (with_track && !track_keys.empty()) {
        std::vector<work_item> points;
        points.reserve(track_keys.size());
        for (const track_key& key : track_keys) {
            work_item item;
            item.msecs = key.msecs;
            item.point = key.point;
            item.tagged = true;
            item.source = key.source;
            points.push_back(item);
        }
        std::vector<work_item> merged;
        merged.reserve(items.size() + points.size());
        std::merge(items.begin(), items.end(), points.begin(), points.end(), std::back_inserter(merged), earlier);
        items.swap(merged);
    }

    const bool ascending = sort_order == Qt::AscendingOrder;
    const QString& earlier_marker = ascending ? marks.up : marks.down;
    const QString& later_marker = ascending ? marks.down : marks.up;

    auto point_position = [this](int index, gps_pos& pos, QString& text) {
        const gpx_point& point = track_points.at(index);
        pos.lat_text = point.lat;
        pos.lat_ref = hemisphere_letter(point.lat.toFloat(), true);
        pos.lon_text = point.lon;
        pos.lon_ref = hemisphere_letter(point.lon.toFloat(), false);
        pos.lat = point.lat;
        pos.lon = point.lon;
        text = point.lat + QStringLiteral(", ") + point.lon;
    };
    // Copies the position of a source item into a photo entry.
    auto take = [&](sync_entry& entry, const work_item& from, const QString& side_marker) {
        if (from.photo >= 0) {
            const sync_entry& source = photos[static_cast<std::size_t>(from.photo)];
            entry.pos = source.pos;
            entry.position_text = source.position_text;
            entry.from_gpx = source.from_gpx;
        } else {
            point_position(from.point, entry.pos, entry.position_text);
            entry.from_gpx = true;
        }
        entry.marker = entry.from_gpx ? marks.gpx : side_marker;
    };
    auto none = [&](sync_entry& entry) {
        entry.marker = marks.none;
        entry.position_text = QStringLiteral("-");
        entry.pos = gps_pos();
        all_assigned_flag = false;
    };

    // 8. Match by mode.
    int assigned = 0;
    int not_assigned = 0;
    int total_entries = 0;
    const int n = static_cast<int>(items.size());

    switch (sync_order) {
    case 0:
    case 1: {
        const QString& side_marker = sync_order == 0 ? earlier_marker : later_marker;
        const work_item* kept = nullptr;
        for (int k = 0; k < n; ++k) {
            const work_item& item = items[static_cast<std::size_t>(backwards ? n - 1 - k : k)];
            ++total_entries;
            if (item.tagged) {
                if (item.source)
                    kept = &item;
                continue;
            }
            sync_entry& entry = photos[static_cast<std::size_t>(item.photo)];
            if (item.target && kept && within(photo_limit_on, photo_limit_minutes, distance_seconds(*kept, item))) {
                take(entry, *kept, side_marker);
                ++assigned;
            } else {
                none(entry);
                ++not_assigned;
            }
        }
        break;
    }
    case 2:
    case 4: {
        const bool limit_on = sync_order == 4 ? gpx_limit_on : photo_limit_on;
        const int limit_minutes = sync_order == 4 ? gpx_limit_minutes : photo_limit_minutes;
        // Nearest source at or before / at or after every position, in two
        // linear passes: the whole match stays linear after the sort.
        std::vector<int> previous(static_cast<std::size_t>(n), -1);
        std::vector<int> next(static_cast<std::size_t>(n), -1);
        int last = -1;
        for (int i = 0; i < n; ++i) {
            if (items[static_cast<std::size_t>(i)].source)
                last = i;
            previous[static_cast<std::size_t>(i)] = last;
        }
        last = -1;
        for (int i = n - 1; i >= 0; --i) {
            if (items[static_cast<std::size_t>(i)].source)
                last = i;
            next[static_cast<std::size_t>(i)] = last;
        }
        for (int i = 0; i < n; ++i) {
            const work_item& item = items[static_cast<std::size_t>(i)];
            ++total_entries;
            if (item.tagged)
                continue;
            sync_entry& entry = photos[static_cast<std::size_t>(item.photo)];
            if (!item.target) {
                none(entry);
                ++not_assigned;
                continue;
            }
            const int before = previous[static_cast<std::size_t>(i)];
            const int after = next[static_cast<std::size_t>(i)];
            qint64 before_distance = 0;
            qint64 after_distance = 0;
            bool has_before = false;
            bool has_after = false;
            if (before >= 0) {
                before_distance = distance_seconds(items[static_cast<std::size_t>(before)], item);
                has_before = within(limit_on, limit_minutes, before_distance);
            }
            if (after >= 0) {
                after_distance = distance_seconds(item, items[static_cast<std::size_t>(after)]);
                has_after = within(limit_on, limit_minutes, after_distance);
            }
            if (!has_before && !has_after) {
                none(entry);
                ++not_assigned;
            } else if (has_before && (!has_after || before_distance < after_distance)) {
                take(entry, items[static_cast<std::size_t>(before)], earlier_marker);
                ++assigned;
            } else {
                take(entry, items[static_cast<std::size_t>(after)], later_marker);
                ++assigned;
            }
        }
        break;
    }
    case 3: {
        const QString text = fixed_pos.lat_text.isEmpty() && fixed_pos.lon_text.isEmpty()
                                 ? tr("Clear GPS data")
                                 : fixed_pos.lat + QStringLiteral(", ") + fixed_pos.lon;
        for (int i = 0; i < n; ++i) {
            const work_item& item = items[static_cast<std::size_t>(i)];
            ++total_entries;
            sync_entry& entry = photos[static_cast<std::size_t>(item.photo)];
            // Without a position in force a file keeps its own position, if
            // it has one, and gets none.
            if (!fixed_pos_in_force && entry.has_gps)
                continue;
            if (!fixed_pos_in_force || unreadable[static_cast<std::size_t>(item.photo)]) {
                none(entry);
                ++not_assigned;
                continue;
            }
            if (entry.has_gps) {
                entry.has_gps = false;
                had_gps_flag = true;
            }
            entry.marker = marks.fixed;
            entry.pos = fixed_pos;
            entry.position_text = text;
            ++assigned;
        }
        break;
    }
    default:
        std::cerr << "Unknown sync_order " << sync_order << std::endl;
        // Nothing was matched: the files are not all assigned.
        all_assigned_flag = row_count == 0;
        break;
    }

    // 10. The photo entries, and the last track point of the list under the
    // empty path.
    for (sync_entry& entry : photos)
        cache.insert(entry.path, std::move(entry));
    if (with_track && !track_points.isEmpty()) {
        // The list runs in table order: in a descending table it ends with
        // the earliest point.
        int last_point = -1;
        if (ascending) {
            for (int i = n - 1; i >= 0 && last_point < 0; --i)
                last_point = items[static_cast<std::size_t>(i)].point;
        } else {
            for (int i = 0; i < n && last_point < 0; ++i)
                last_point = items[static_cast<std::size_t>(i)].point;
        }
        sync_entry entry;
        point_position(last_point, entry.pos, entry.position_text);
        entry.time = track_points.at(last_point).time;
        entry.has_gps = true;
        entry.from_gpx = true;
        cache.insert(QString(), entry);
    }

    // 11.
    if (row_count > 0)
        emit dataChanged(index(0, 0), index(row_count - 1, 2), {});
    emit cache_rebuilt(assigned, not_assigned, total_entries);
}
