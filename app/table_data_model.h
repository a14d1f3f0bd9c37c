#pragma once
// The table of loaded files: one row per file with its name, recording time
// and GPS tag, sorted by recording time, and the match cache that gives every
// file its preview position in the current assignment mode.

#include "gpx_reader.h"
#include "ko/exiftool.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QFont>
#include <QHash>
#include <QMap>
#include <QMetaType>
#include <QSet>
#include <QString>
#include <QStringList>

#include <iosfwd>
#include <vector>

// One GPS position as six texts; all empty means no position.
struct gps_pos {
    QString lat_text; // latitude as shown by its source
    QString lat_ref;  // "N" or "S"
    QString lon_text; // longitude as shown by its source
    QString lon_ref;  // "E" or "W"
    QString lat;      // signed decimal latitude
    QString lon;      // signed decimal longitude

    bool is_empty() const
    {
        return lat_text.isEmpty() && lat_ref.isEmpty() && lon_text.isEmpty() && lon_ref.isEmpty() &&
               lat.isEmpty() && lon.isEmpty();
    }
};
Q_DECLARE_METATYPE(gps_pos)

// One entry of the match cache.
struct sync_entry {
    QString marker;        // sign before the position in the "GPS Tag" column
    QString path;          // file path; empty for a GPX point
    QString position_text; // position as shown in the "GPS Tag" column
    gps_pos pos;           // position the file gets or has
    QDateTime time;        // recording time, or time of the GPX point
    bool has_gps = false;  // carries a position of its own (own GPS or GPX point)
    bool from_gpx = false; // the position comes from a GPX point

    void swap(sync_entry& other) noexcept;
};

std::ostream& operator<<(std::ostream& stream, const gps_pos& pos);
std::ostream& operator<<(std::ostream& stream, const sync_entry& entry);

// False when key is not in map, else copies its value into out.
bool record_value(const exif_tag_map& map, const QString& key, QString& out);

// "+05:30" and the like for a UTC offset in hours.
QString utc_offset_text(float hours);

// Offset of a zone text "+05:30", "-0530" or "+02" in seconds; false when the
// text is not a zone.
bool utc_offset_seconds(const QString& zone, int& seconds);

// Recording time of a photo record: the "rec_" fields (whole seconds) at the
// zone "rec_timezone" when the record has one, else in local time. Invalid
// when a field is out of range.
QDateTime record_datetime(const exif_tag_map& record);

class table_data_model : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit table_data_model(QObject* parent = nullptr);
    ~table_data_model() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    void add_file(const QString& path, bool notify);
    void add_files(const QStringList& paths);
    // Adds a row for a file whose record the photo store already holds,
    // without reading the file (add_file without the read).
    void append_row(const QString& path, bool notify = true);
    // Empties the list; the photo store forgets the files no longer listed.
    void clear();
    // Empties the list but for the rows in keep (in their present order),
    // which are matched again; the store forgets the other files.
    void keep_rows(const QSet<QString>& keep);
    void resort();
    void set_gpx_track(const gpx_track& track);

    bool all_assigned() const { return all_assigned_flag; }
    bool had_gps() const { return had_gps_flag; }
    bool is_fixed_position_mode() const { return sync_order == 3; }
    bool has_quicktime_gps() const { return quicktime_flag; }

    QDateTime recording_datetime(const QString& path) const;

    // Matches every file against the GPS-tagged entries in the current mode
    // and refills the cache; emits dataChanged and cache_rebuilt.
    void rebuild_cache();

    // Read by the tests and the benchmark.
    const QStringList& row_paths() const { return rows; }
    const QMap<QString, sync_entry>& match_cache() const { return cache; }

signals:
    void sort_order_override(int column, Qt::SortOrder order);
    void cache_rebuilt(int assigned, int not_assigned, int total_entries);

public slots:
    void gps_sync_order_changed(int order);
    void gps_set_pos_changed(gps_pos set_pos);
    // No fixed position is in force (the typed one is not valid): in the
    // fixed-position mode the files keep their own position or get none.
    void gps_no_fixed_pos();
    void gps_max_time_difference(int minutes_closest, int minutes_gpx);
    void gps_datetime_format_changed(QString format);

private:
    QStringList rows;
    QSet<QString> row_set; // the paths of rows, for the duplicate test
    Qt::SortOrder sort_order = Qt::AscendingOrder;
    int sort_column = 1;
    int sync_order = 0;
    QFont header_font;
    QFont cell_font;
    QMap<QString, sync_entry> cache;
    bool all_assigned_flag = false;
    bool had_gps_flag = false;
    gps_pos fixed_pos;
    bool fixed_pos_in_force = true;
    bool photo_limit_on = false;
    bool gpx_limit_on = false;
    int photo_limit_minutes = -1;
    int gpx_limit_minutes = -1;
    QString date_format;
    bool gpx_loaded = false;
    bool quicktime_flag = false;
    QString track_name;
    QList<gpx_point> track_points;

    // The track points in time order, with their times as numbers and
    // whether each can be the source of a position; built once per track.
    struct track_key {
        qint64 msecs;
        int point;
        bool source;
    };
    std::vector<track_key> track_keys;
    void index_track();

    // A row's recording time and its number for sorting and matching, with
    // the record texts it was made of. Local times cost a time-zone look-up
    // each (a file system call): while a resort runs (its sort and both
    // rebuilds) each row's time is derived once and kept in resort_times. A
    // file added since the last resort has its time derived right after its
    // read (added_times), which the next resort takes over as long as the
    // record still holds the same texts.
    struct row_time {
        QDateTime time;
        qint64 msecs = 0;
        QStringList fields;
        bool checked = false; // known to fit the record during this resort
    };
    static row_time derive_time(const exif_tag_map* record);
    row_time row_recording_time(const QString& path, const exif_tag_map* record) const;
    QHash<QString, row_time>* resort_times = nullptr;
    QHash<QString, row_time> added_times;
};
