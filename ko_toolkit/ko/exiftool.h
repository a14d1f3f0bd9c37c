#pragma once
// The ExifTool bridge: one persistent ExifTool process, driven in stay-open
// mode from a worker thread of its own. Callers use the static interface of
// ko::exiftool (read_tags, write_tags); every request is one numbered command
// block whose answer ends at its numbered "{readyN}" marker.

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QObject>
#include <QPair>
#include <QProcess>
#include <QString>

#include <atomic>
#include <map>
#include <set>
#include <string_view>
#include <vector>

// ExifTool tag name to value, ordered by QString's operator< (UTF-16 code
// units by value, case-sensitive, locale-independent). Also the key order of
// the tag lines in a write block.
using exif_tag_map = std::map<QString, QString>;

// The 104 lower-case file extensions (without dot) that the application
// accepts, in ascending byte order. Entries view string literals.
// Membership: supported_extensions.count(std::string_view(bytes.constData(), bytes.size())).
extern const std::set<std::string_view> supported_extensions;

// Catalogue of ExifTool tag names (ascending byte order) and the three
// file-date tag names; both view string literals.
extern const std::vector<std::string_view> exiftool_tag_names;
extern const std::vector<std::string_view> file_date_tags;

namespace ko {

enum class exif_error : qint32 {
    timeout = 0,        // the waiting caller ran out of time
    process_failed = 1, // ExifTool is not running (never started, exited or crashed)
};

// One request to ExifTool. Created by exiftool::start_task, owned by the
// worker thread object until the bridge shuts down.
class exif_response : public QObject
{
    Q_OBJECT
public:
    exif_response();
    ~exif_response() override;

    // Complete the response (done, ready, finished) unless it was cancelled.
    void set_done();
    // Fail it (not done, error, finished) unless it was cancelled.
    void set_error(ko::exif_error code);
    bool ok() const;
    QByteArray data() const;
    void cancel();
    // Runs the calling thread's events (user input excluded) in slices of
    // 10 ms until the response is complete or cancelled, or ms have passed.
    // The result equals ok() when it returns.
    bool wait(int ms);

    int id = 0;
    std::atomic<bool> done{false};
    std::atomic<bool> cancelled{false};
    QByteArray answer;
    qint64 start_ms = 0;

signals:
    void ready(ko::exif_response* request);
    void error(ko::exif_error code);
    void finished();
};

class exiftool_child_process;

// Owns the ExifTool child process and its request queue; lives on the
// worker thread.
class exiftool_worker : public QObject
{
    Q_OBJECT
public:
    exiftool_worker();
    ~exiftool_worker() override;

    static QByteArray execute_marker(int id);
    static QByteArray output_marker(int id);

    // Upper bound for the wait on a request in flight before shutdown
    // closes the process (the request time-out of the callers).
    int in_flight_wait_ms = 60000;

private slots:
    bool send_restart();
    void read_output();
    void execute_task();

public slots:
    bool start();
    bool shutdown();
    void add_task(exif_response* response, const QByteArray& data);
    void verbose(bool value = true);
    void do_ping(bool value = true);

private:
    friend class exiftool;

    bool write(const QString& text);
    void log_stderr();
    void process_ended(const char* reason);
    void fail_all(const char* reason);
    static void fail_response(exif_response* response);
    bool find_marker(int& position, int& length) const;

    QProcess* process;
    QIODevice::OpenMode open_mode;
    std::atomic<bool> verbose_enabled{false};
    std::atomic<bool> ping_enabled{false};
    QList<QPair<ko::exif_response*, QByteArray>> tasks;
    bool busy = false;
    QByteArray ready_marker;
    QByteArray output;

    bool process_failed = false; // the process failed to start, exited or crashed
    bool stopping = false;       // shutdown is under way: send nothing new
};

void exiftool_worker_init();
void exiftool_worker_shutdown();

// Static interface of the bridge; never instantiated.
class exiftool : public QObject
{
    Q_OBJECT
public:
    ~exiftool() override;

    static exif_response* start_task(const QByteArray& data);
    static void shutdown();
    static void verbose(bool value);
    static void ping(bool value);

    // Where ExifTool is taken from: $ORLAVO_EXIFTOOL, else "exiftool" beside
    // the application, else "exiftool" on PATH; the path beside the
    // application when none exists.
    static QString executable_path();

    // Tags of one file. args is the path of the file; group_names asks for
    // "Group:Tag" keys (-G1); debug logs the result. Empty map on failure.
    // Load reads run in ExifTool's fast mode (but for GIFs); nothing else does.
    static exif_tag_map read_tags(const QString& args, bool group_names, bool debug);
    // The listed tags of one file, in full (not in fast mode); group_names as
    // for read_tags.
    static exif_tag_map read_selected_tags(const QString& file, const std::vector<QString>& tag_names,
                                           bool group_names = false);

    // Writes tags into file in place (an empty value deletes the tag). True
    // only when ExifTool reports the file updated (for a pure delete: updated
    // or unchanged).
    static bool write_tags(const QString& file, const exif_tag_map& tags);
    static void software_tags(exif_tag_map& tags);
    static bool write_software_tags(const QString& file);

    // Copy of tags without catalogued, look and thumbnail/layout tags; also
    // without "FileName" and "Directory" unless keep_file_location.
    static exif_tag_map strip_catalogue_tags(const exif_tag_map& tags, bool keep_file_location);

private:
    exiftool() = default;
};

} // namespace ko
