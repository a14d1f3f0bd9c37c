#include "table_data_model.h"

#include "exif_cache.h"

#include <QFileInfo>
#include <QSize>

#include <algorithm>
#include <iterator>
#include <cmath>
#include <iostream>
#include <limits>
#include <utility>
#include <vector>

void sync_entry::swap(sync_entry& other) noexcept
{
    std::swap(marker, other.marker);
    std::swap(path, other.path);
    std::swap(position_text, other.position_text);
    std::swap(pos, other.pos);
    std::swap(time, other.time);
    std::swap(has_gps, other.has_gps);
    std::swap(from_gpx, other.from_gpx);
}

std::ostream& operator<<(std::ostream& stream, const gps_pos& pos)
{
    return stream << pos.lat_text.toStdString() << pos.lat_ref.toStdString() << ' ' << pos.lon_text.toStdString()
                  << pos.lon_ref.toStdString();
}

std::ostream& operator<<(std::ostream& stream, const sync_entry& entry)
{
    return stream << entry.marker.toStdString() << ' ' << entry.path.toStdString() << ' '
                  << entry.time.toString(QStringLiteral("yyyy-MM-ddThh-mm-ss")).toStdString() << "@("
                  << entry.position_text.toStdString() << ") -> (" << entry.pos << ")";
}

bool record_value(const exif_tag_map& map, const QString& key, QString& out)
{
    const auto found = map.find(key);
    if (found == map.end())
        return false;
    out = found->second;
    return true;
}

QString utc_offset_text(float hours)
{
    const float whole = std::trunc(hours);
    const int minutes = static_cast<int>(std::trunc(std::fabs(hours - whole) * 60.0f));
    return QStringLiteral("%1%2:%3")
        .arg(hours >= 0 ? QLatin1Char('+') : QLatin1Char('-'))
        .arg(static_cast<int>(std::fabs(whole)), 2, 10, QLatin1Char('0'))
        .arg(minutes, 2, 10, QLatin1Char('0'));
}

namespace {

int record_int(const exif_tag_map& record, const QString& key)
{
    const auto found = record.find(key);
    return found == record.end() ? 0 : found->second.toInt(nullptr, 10);
}

// Whole seconds of a seconds text such as "56", "56.25" or "56.25Z".
int whole_seconds(const QString& text)
{
    int value = 0;
    int digits = 0;
    for (const QChar c : text) {
        if (!c.isDigit() || c.unicode() > '9')
            break;
        if (++digits > 6)
            return 0;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

// A clock time that local time skips when the clocks go forward is no valid
// local time; a camera not yet set forward wrote it. Read it with the offset
// in force just before the change (the spring gap is an hour, at most a day).
QDateTime in_skipped_local_time(const QDate& date, const QTime& time)
{
    const QDateTime wall(date, time, Qt::UTC);
    for (int minutes = 15; minutes <= 26 * 60; minutes += 15) {
        const QDateTime earlier = wall.addSecs(-60 * minutes);
        const QDateTime before(earlier.date(), earlier.time(), Qt::LocalTime);
        if (before.isValid())
            return QDateTime(date, time, Qt::OffsetFromUTC, before.offsetFromUtc());
    }
    return QDateTime();
}

} // namespace

bool utc_offset_seconds(const QString& zone, int& seconds)
{
    if (zone.size() < 2 || (zone[0] != QLatin1Char('+') && zone[0] != QLatin1Char('-')))
        return false;
    const int sign = zone[0] == QLatin1Char('-') ? -1 : 1;
    QString rest = zone.mid(1);
    QString hours_text;
    QString minutes_text;
    const int colon = rest.indexOf(QLatin1Char(':'));
    if (colon >= 0) {
        hours_text = rest.left(colon);
        minutes_text = rest.mid(colon + 1);
    } else if (rest.size() == 4) {
        hours_text = rest.left(2);
        minutes_text = rest.mid(2);
    } else {
        hours_text = rest;
    }
    bool ok = false;
    const int hours = hours_text.toInt(&ok, 10);
    if (!ok || hours < 0 || hours > 14)
        return false;
    int minutes = 0;
    if (!minutes_text.isEmpty()) {
        minutes = minutes_text.toInt(&ok, 10);
        if (!ok || minutes < 0 || minutes > 59)
            return false;
    }
    seconds = sign * (hours * 3600 + minutes * 60);
    return true;
}

QDateTime record_datetime(const exif_tag_map& record)
{
    QString second_text;
    static const QString k_year = QStringLiteral("rec_year");
    static const QString k_month = QStringLiteral("rec_month");
    static const QString k_day = QStringLiteral("rec_day");
    static const QString k_hour = QStringLiteral("rec_hour");
    static const QString k_minute = QStringLiteral("rec_minute");
    static const QString k_second = QStringLiteral("rec_second");
    static const QString k_zone = QStringLiteral("rec_timezone");
    record_value(record, k_second, second_text);
    const QDate date(record_int(record, k_year), record_int(record, k_month), record_int(record, k_day));
    const QTime time(record_int(record, k_hour), record_int(record, k_minute), whole_seconds(second_text), 0);
    // QDateTime would take an invalid time as midnight.
    if (!date.isValid() || !time.isValid())
        return QDateTime();

    QString zone;
    record_value(record, k_zone, zone);
    int offset = 0;
    if (!zone.isEmpty() && utc_offset_seconds(zone, offset))
        return QDateTime(date, time, Qt::OffsetFromUTC, offset);
    const QDateTime local(date, time, Qt::LocalTime);
    return local.isValid() ? local : in_skipped_local_time(date, time);
}

table_data_model::table_data_model(QObject* parent)
    : QAbstractTableModel(parent), header_font(QStringLiteral("FreeSansBold")), cell_font(QStringLiteral("FreeSans"))
{
    qRegisterMetaType<gps_pos>("gps_pos");
    qRegisterMetaType<Qt::SortOrder>("Qt::SortOrder");
    header_font.setWeight(75);
    header_font.setPointSize(9);
    cell_font.setPointSize(9);
}

table_data_model::~table_data_model() = default;

int table_data_model::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows.size(); }

int table_data_model::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant table_data_model::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= rows.size())
        return QVariant();
    if (role == Qt::FontRole)
        return cell_font;

    const QString& path = rows[index.row()];
    switch (index.column()) {
    case 0:
        if (role == Qt::DisplayRole)
            return QFileInfo(path).fileName();
        if (role == Qt::UserRole)
            return path;
        break;
    case 1: {
        if (role != Qt::DisplayRole && role != Qt::UserRole)
            break;
        const QDateTime time = recording_datetime(path);
        if (role == Qt::UserRole)
            return time;
        const QString text = time.toString(date_format);
        if (text.isEmpty())
            return QStringLiteral("-");
        return text + QStringLiteral("  UTC") + utc_offset_text(static_cast<float>(time.offsetFromUtc()) / 3600.0f);
    }
    case 2: {
        const auto found = cache.constFind(path);
        if (role == Qt::DisplayRole) {
            if (found == cache.constEnd())
                return QStringLiteral("?  -");
            return QStringLiteral("%1  %2").arg(found->marker, found->position_text);
        }
        if (role == Qt::UserRole) {
            if (found == cache.constEnd() || found->has_gps)
                return QVariant();
            // A file whose metadata could not be read is never written.
            const auto store = exif_cache::instance();
            const auto record = store->records.find(path);
            if (record != store->records.end()) {
                const auto failed = record->second.find(QStringLiteral("read_failed"));
                if (failed != record->second.end() && failed->second == QLatin1String("true"))
                    return QVariant();
            }
            return QVariant::fromValue(found->pos);
        }
        break;
    }
    default:
        break;
    }
    return QVariant();
}

QVariant table_data_model::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section > 2)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        if (section == 0)
            return tr("Photo");
        if (section == 1)
            return tr("Recording Date");
        return tr("GPS Tag");
    case Qt::SizeHintRole: {
        if (section == 0)
            return QSize(300, 30);
        if (section == 1)
            return QSize(220, 30);
        const QVariant base = QAbstractTableModel::headerData(section, orientation, role);
        QSize size = base.canConvert<QSize>() ? base.toSize() : QSize(-1, 30);
        size.setHeight(30);
        return size;
    }
    case Qt::InitialSortOrderRole:
        return static_cast<int>(Qt::AscendingOrder);
    case Qt::TextAlignmentRole:
        return static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::FontRole:
        return header_font;
    default:
        return QAbstractTableModel::headerData(section, orientation, role);
    }
}

void table_data_model::sort(int column, Qt::SortOrder order)
{
    if (column != 1) {
        emit sort_order_override(sort_column, sort_order);
        return;
    }
    emit layoutAboutToBeChanged();
    {
        // One recording time per row, then a sort on the plain numbers.
        const auto store = exif_cache::instance();
        std::vector<std::pair<qint64, QString>> keyed;
        keyed.reserve(static_cast<std::size_t>(rows.size()));
        for (const QString& path : qAsConst(rows)) {
            const auto record = store->records.find(path);
            keyed.emplace_back(
                row_recording_time(path, record == store->records.end() ? nullptr : &record->second).msecs, path);
        }
        if (order == Qt::AscendingOrder)
            std::sort(keyed.begin(), keyed.end(),
                      [](const auto& a, const auto& b) { return a.first < b.first; });
        else
            std::sort(keyed.begin(), keyed.end(),
                      [](const auto& a, const auto& b) { return b.first < a.first; });
        for (int i = 0; i < rows.size(); ++i)
            rows[i] = std::move(keyed[static_cast<std::size_t>(i)].second);
    }
    emit layoutChanged();
    sort_order = order;
    sort_column = 1;
    rebuild_cache();
}

void table_data_model::add_file(const QString& path, bool notify)
{
    if (row_set.contains(path))
        return;
    // The read runs the event loop: do it before the rows change.
    const auto store = exif_cache::instance();
    store->load(path);
    const auto record = store->records.find(path);
    added_times.insert(path, derive_time(record == store->records.end() ? nullptr : &record->second));
    append_row(path, notify);
}

void table_data_model::append_row(const QString& path, bool notify)
{
    if (row_set.contains(path))
        return;
    row_set.insert(path);
    const int n = rows.size();
    if (notify)
        beginInsertRows(QModelIndex(), n, n);
    rows.append(path);
    if (notify)
        endInsertRows();
}

void table_data_model::add_files(const QStringList& paths)
{
    for (const QString& path : paths)
        add_file(path, true);
    resort();
}

void table_data_model::clear()
{
    keep_rows({});
}

void table_data_model::keep_rows(const QSet<QString>& keep)
{
    QStringList kept;
    for (const QString& path : qAsConst(rows))
        if (keep.contains(path))
            kept << path;
    beginResetModel();
    rows.clear();
    row_set.clear();
    added_times.clear();
    endResetModel();
    cache.clear();
    emit cache_rebuilt(0, 0, 0);

    const QSet<QString> listed(kept.cbegin(), kept.cend());
    const auto store = exif_cache::instance();
    for (auto* map : {&store->records, &store->tags, &store->group_tags}) {
        for (auto it = map->begin(); it != map->end();)
            it = listed.contains(it->first) ? std::next(it) : map->erase(it);
    }
    if (kept.isEmpty())
        return;
    for (const QString& path : qAsConst(kept))
        append_row(path, true);
    resort();
}

void table_data_model::resort()
{
    QHash<QString, row_time> times;
    times.swap(added_times);
    times.reserve(rows.size());
    resort_times = &times;
    sort(sort_column, sort_order);
    gps_sync_order_changed(sync_order);
    resort_times = nullptr;
}

namespace {

// The record texts that record_datetime reads.
QStringList time_fields(const exif_tag_map* record)
{
    static const QString keys[] = {QStringLiteral("rec_year"),   QStringLiteral("rec_month"),
                                   QStringLiteral("rec_day"),    QStringLiteral("rec_hour"),
                                   QStringLiteral("rec_minute"), QStringLiteral("rec_second"),
                                   QStringLiteral("rec_timezone")};
    QStringList fields;
    if (!record)
        return fields;
    fields.reserve(7);
    for (const QString& key : keys) {
        const auto found = record->find(key);
        fields << (found == record->end() ? QString() : found->second);
    }
    return fields;
}

} // namespace

table_data_model::row_time table_data_model::derive_time(const exif_tag_map* record)
{
    row_time result;
    if (record)
        result.time = record_datetime(*record);
    result.msecs = result.time.isValid() ? result.time.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
    result.fields = time_fields(record);
    return result;
}

table_data_model::row_time table_data_model::row_recording_time(const QString& path,
                                                                const exif_tag_map* record) const
{
    if (resort_times) {
        const auto found = resort_times->find(path);
        if (found != resort_times->end()) {
            if (found->checked)
                return *found;
            if (found->fields == time_fields(record)) {
                found->checked = true;
                return *found;
            }
            resort_times->erase(found);
        }
    }
    row_time result = derive_time(record);
    if (resort_times) {
        result.checked = true;
        resort_times->insert(path, result);
    }
    return result;
}

void table_data_model::set_gpx_track(const gpx_track& track)
{
    gpx_loaded = true;
    track_name = track.name;
    track_points = track.points;
    index_track();
    rebuild_cache();
}

QDateTime table_data_model::recording_datetime(const QString& path) const
{
    const auto store = exif_cache::instance();
    const auto record = store->records.find(path);
    if (record == store->records.end())
        return record_datetime(exif_tag_map());
    return record_datetime(record->second);
}

void table_data_model::gps_sync_order_changed(int order)
{
    std::cout << "Sync order changed to " << order << std::endl;
    emit layoutAboutToBeChanged();
    sync_order = order;
    rebuild_cache();
    emit layoutChanged();
}

void table_data_model::gps_set_pos_changed(gps_pos set_pos)
{
    fixed_pos = set_pos;
    fixed_pos_in_force = true;
    rebuild_cache();
    emit layoutChanged();
}

void table_data_model::gps_no_fixed_pos()
{
    fixed_pos = gps_pos();
    fixed_pos_in_force = false;
    rebuild_cache();
    emit layoutChanged();
}

void table_data_model::gps_max_time_difference(int minutes_closest, int minutes_gpx)
{
    photo_limit_minutes = minutes_closest;
    photo_limit_on = minutes_closest > 0;
    gpx_limit_minutes = minutes_gpx;
    gpx_limit_on = minutes_gpx > 0;
    rebuild_cache();
    emit layoutChanged();
}

void table_data_model::gps_datetime_format_changed(QString format)
{
    date_format = format;
    emit layoutChanged();
}
