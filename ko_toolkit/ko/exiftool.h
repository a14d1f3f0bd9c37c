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
#include <QSet>
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

// What became of a write: done, certainly not done (refused, never sent, or
// ExifTool reported the file not updated), or unknown (sent, but ExifTool
// died or stopped answering before it said what it did).
enum class write_outcome { written, not_written, unknown };

// How the values of a tag map are meant: as text, or as ExifTool's "-ec"
// option prints them (C escapes, "\\" for a backslash), with every byte
// that is not UTF-8 written as "\xHH". The escaped form keeps every byte
// of a value, also of text that is not UTF-8 (such as Latin-1 in EXIF).
enum class tag_values { text, escaped };

// One request to ExifTool. Created by exiftool::start_task; lives until its
// caller hands it back (exiftool::release), before or after the bridge shut
// down.
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

    // How many responses exist in the process.
    static int alive();

    int id = 0;
    std::atomic<bool> done{false};
    std::atomic<bool> cancelled{false};
    QByteArray answer;
    qint64 start_ms = 0;
    // When its caller gives up on it (ms since the epoch; 0: not known).
    // Set before the worker sees the response.
    qint64 deadline_ms = 0;
    // Set by the worker once the request went out to ExifTool: from then on
    // ExifTool may act on it, answered or not.
    std::atomic<bool> sent{false};
    // Its caller is done with it (worker thread only).
    bool released = false;

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

    // The wait on a request in flight before shutdown closes the process,
    // for a request without a deadline of its own.
    int in_flight_wait_ms = 60000;

private slots:
    bool send_restart();
    void read_output();
    void execute_task();

public slots:
    bool start();
    bool shutdown();
    void add_task(exif_response* response, const QByteArray& data);
    // The caller of response got no answer in time. Unless the answer has
    // come meanwhile, ExifTool is taken as stopped: nothing more is sent.
    void request_timed_out(exif_response* response);
    // The caller of response is done with it: it is deleted now, or once
    // it has left the queue.
    void release(exif_response* response);
    void verbose(bool value = true);
    void do_ping(bool value = true);

private:
    friend class exiftool;

    bool write(const QString& text);
    void log_stderr();
    void process_ended(const char* reason);
    void fail_all(const char* reason);
    static void fail_response(exif_response* response);
    // response has left the queue: deleted when its caller is done with it.
    void retire(exif_response* response);
    // Fails the queued tasks from index first on and takes them out.
    void fail_tasks_from(int first);
    bool find_marker(int& position, int& length);

    QProcess* process;
    QIODevice::OpenMode open_mode;
    std::atomic<bool> verbose_enabled{false};
    std::atomic<bool> ping_enabled{false};
    QList<QPair<ko::exif_response*, QByteArray>> tasks;
    // Every response handed to add_task and not deleted yet; shutdown gives
    // those that their callers still hold up to them.
    QSet<ko::exif_response*> responses;
    bool busy = false;
    QByteArray ready_marker;
    QByteArray output;
    // Where in output the search for ready_marker goes on: every occurrence
    // before it has been looked at and is not the marker.
    int marker_scan_from = 0;

    bool process_failed = false; // the process failed to start, exited or crashed
    bool stalled = false;        // a request timed out: the process gets nothing more
    bool stopping = false;       // shutdown is under way: send nothing new
    // process_failed or stalled, readable from other threads
    // (ko::exiftool::stopped).
    std::atomic<bool> failed_flag{false};
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
    // The same, for a caller that gives up after timeout_ms.
    static exif_response* start_task(const QByteArray& data, int timeout_ms);
    // The caller is done with response (from start_task): it is deleted,
    // at once or, while ExifTool may still answer it, once the answer has
    // come or the bridge shuts down.
    static void release(exif_response* response);
    static void shutdown();
    static void verbose(bool value);
    static void ping(bool value);

    // Where ExifTool is taken from: $ORLAVO_EXIFTOOL, else "exiftool" beside
    // the application, else "exiftool" on PATH; the path beside the
    // application when none exists.
    static QString executable_path();

    // True once ExifTool failed to start, exited, crashed or stopped
    // answering: from then on every request fails at once.
    static bool stopped();

    // How long a read or write of path is waited for: base_ms, plus ms_per_mib
    // for every MiB of the file, so that rewriting a large video on a slow
    // disk is not given up while ExifTool is still at it. A request without
    // an answer in that time stops the bridge (see stopped()).
    static int request_timeout(const QString& path);
    static void set_request_timeout(int base_ms, int ms_per_mib); // defaults 60000, 1000

    // Tags of one file. args is the path of the file; group_names asks for
    // "Group:Tag" keys (-G1); debug logs the result. Empty map on failure.
    // Load reads run in ExifTool's fast mode (but for GIFs); nothing else does.
    static exif_tag_map read_tags(const QString& args, bool group_names, bool debug);
    // The listed tags of one file, in full (not in fast mode); group_names as
    // for read_tags. Values come exactly as stored: line breaks and leading
    // or trailing blanks kept, not trimmed; as text or escaped.
    static exif_tag_map read_selected_tags(const QString& file, const std::vector<QString>& tag_names,
                                           bool group_names = false, tag_values values = tag_values::text);

    // Writes tags into file in place (an empty value deletes the tag, but
    // under a key ending in "^" is written as the empty text); a
    // value may hold any text, line breaks and leading blanks included. True
    // only when ExifTool reports the file updated (for a pure delete: updated
    // or unchanged).
    static bool write_tags(const QString& file, const exif_tag_map& tags);
    // The same write, telling a failed write from one whose fate is unknown;
    // the values as text or escaped (as read_selected_tags gives them).
    static write_outcome write_tags_outcome(const QString& file, const exif_tag_map& tags,
                                            tag_values values = tag_values::text);
    static void software_tags(exif_tag_map& tags);
    static bool write_software_tags(const QString& file);

    // Copy of tags without catalogued, look and thumbnail/layout tags; also
    // without "FileName" and "Directory" unless keep_file_location.
    static exif_tag_map strip_catalogue_tags(const exif_tag_map& tags, bool keep_file_location);

private:
    exiftool() = default;
};

} // namespace ko
