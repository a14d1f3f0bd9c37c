// The ExifTool bridge: request objects, the worker that owns the ExifTool
// process and its queue, and the static facade that runs the worker on a
// thread of its own.

#include "ko/exiftool.h"
#include "ko/exiftool_answer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageLogger>
#include <QMetaObject>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <climits>
#include <csignal>
#include <cstring>
#include <sys/prctl.h>
#include <unistd.h>

// Messages of the bridge carry no source location.
#define KO_BRIDGE_DEBUG QMessageLogger().debug
#define KO_BRIDGE_INFO QMessageLogger().info
#define KO_BRIDGE_WARNING QMessageLogger().warning
#define KO_BRIDGE_CRITICAL QMessageLogger().critical

namespace {

const char* const sig_worker_start = "bool ko::exiftool_worker::start()";
const char* const sig_worker_restart = "bool ko::exiftool_worker::send_restart()";
const char* const sig_worker_shutdown = "bool ko::exiftool_worker::shutdown()";
const char* const sig_worker_write = "bool ko::exiftool_worker::write(const QString&)";
const char* const sig_worker_read_output = "void ko::exiftool_worker::read_output()";
const char* const sig_worker_add_task = "void ko::exiftool_worker::add_task(exif_response*, const QByteArray&)";
const char* const sig_worker_process_ended = "void ko::exiftool_worker::process_ended(const char*)";
const char* const sig_worker_fail_all = "void ko::exiftool_worker::fail_all(const char*)";
const char* const sig_worker_timed_out = "void ko::exiftool_worker::request_timed_out(exif_response*)";
const char* const sig_init = "void ko::exiftool_worker_init()";
const char* const sig_start_task = "static ko::exif_response* ko::exiftool::start_task(const QByteArray&)";
const char* const sig_shutdown = "static void ko::exiftool::shutdown()";
const char* const sig_read_tags = "static exif_tag_map ko::exiftool::read_tags(const QString&, bool, bool)";
const char* const sig_read_selected_tags =
    "static exif_tag_map ko::exiftool::read_selected_tags(const QString&, const std::vector<QString>&, bool)";
const char* const sig_write_tags = "static bool ko::exiftool::write_tags(const QString&, const exif_tag_map&)";

const int default_timeout_ms = 60000;
std::atomic<int> base_timeout_ms{default_timeout_ms};
std::atomic<int> timeout_ms_per_mib{1000};
const char* const close_command = "-stay_open\n0\n";

// Process-wide state of the bridge, used from the GUI thread only (the
// counter excepted).
QThread* worker_thread = nullptr;
ko::exiftool_worker* worker = nullptr;
std::atomic<qint32> request_counter{0};

// ExifTool reads one argument per line: a line feed or carriage return
// would split a text into further arguments, and a NUL ends the command.
bool is_single_argument(const QString& text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar(0))
            return false;
    }
    return true;
}

// Paths go to ExifTool absolute, so that no file name is read as an option
// ("-..."), a comment ("#...") or loses leading blanks.
QString absolute_path(const QString& path)
{
    if (path.isEmpty())
        return path;
    return QFileInfo(path).absoluteFilePath();
}

// ExifTool given a folder works on the files inside it: only regular files
// (or links to one) are read or written.
bool is_regular_file(const QString& path)
{
    return QFileInfo(path).isFile();
}

// Tag names, optionally with group and "#" suffix or wildcards; a leading
// minus sign would turn the request into an exclusion.
bool is_tag_name(const QString& name)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('-')))
        return false;
    for (const QChar c : name) {
        const ushort u = c.unicode();
        const bool ok = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
                        u == '_' || u == '-' || u == ':' || u == '#' || u == '*' || u == '?';
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

namespace ko::exiftool_answer {

exif_tag_map parse_answer(const QByteArray& bytes)
{
    exif_tag_map result;
    // The answer ends at a NUL. It is decoded line by line, which gives the
    // same text as decoding it whole (a line feed never belongs to a UTF-8
    // sequence) but copies a long value once, not three times.
    const char* data = bytes.constData();
    const int size = bytes.isNull() ? 0 : int(qstrnlen(data, uint(bytes.size())));
    int start = 0;
    while (start < size) {
        const char* feed = static_cast<const char*>(memchr(data + start, '\n', size_t(size - start)));
        const int end = feed ? int(feed - data) : size;
        const int length = end - start;
        const int first = start;
        start = end + 1;
        if (length == 0 || !memchr(data + first, '=', size_t(length)))
            continue;
        QString line = QString::fromUtf8(data + first, length);
        const int eq = line.indexOf(QLatin1Char('='));
        // The first character is the argument's minus sign.
        QString key = line.left(eq).mid(1).trimmed();
        line.remove(0, eq + 1);
        result[key] = std::move(line).trimmed();
    }
    return result;
}

// A value of a "-ec" read: ExifTool wrote every control character and
// backslash as a C escape ("\\n", "\\x00", "\\\\") and left white space
// alone, so the bytes come back exactly.
QString unescape_c(const QByteArray& bytes)
{
    if (!bytes.contains('\\'))
        return QString::fromUtf8(bytes.constData(), bytes.size());
    QByteArray out;
    out.reserve(bytes.size());
    for (int i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c != '\\' || i + 1 == bytes.size()) {
            out += c;
            continue;
        }
        const char e = bytes.at(++i);
        bool ok = false;
        const int hex = e == 'x' && i + 2 < bytes.size() ? bytes.mid(i + 1, 2).toInt(&ok, 16) : 0;
        if (ok) {
            out += char(hex);
            i += 2;
        } else {
            switch (e) {
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            default: out += e; break;
            }
        }
    }
    // A NUL stays part of the value.
    return QString::fromUtf8(out.constData(), out.size());
}

// The length of the UTF-8 sequence at text (1 to 4), or 0 when the bytes
// there are not one: a stray continuation byte, a cut or overlong
// sequence, a surrogate or a code point beyond U+10FFFF.
int utf8_sequence_length(const unsigned char* text, int left)
{
    const unsigned char c = text[0];
    if (c < 0x80)
        return 1;
    const int length = c >= 0xc2 && c <= 0xdf ? 2 : c >= 0xe0 && c <= 0xef ? 3 : c >= 0xf0 && c <= 0xf4 ? 4 : 0;
    if (length == 0 || left < length)
        return 0;
    for (int i = 1; i < length; ++i)
        if ((text[i] & 0xc0) != 0x80)
            return 0;
    if ((c == 0xe0 && text[1] < 0xa0) || (c == 0xed && text[1] >= 0xa0) || (c == 0xf0 && text[1] < 0x90) ||
        (c == 0xf4 && text[1] >= 0x90))
        return 0;
    return length;
}

// A value of a "-ec" read kept as ExifTool printed it, every byte that is
// not UTF-8 written as "\\xHH" (which "-ec" reads back as that byte), so
// that no byte is lost in the text.
QString keep_escaped(const QByteArray& bytes)
{
    QString text = QString::fromUtf8(bytes.constData(), bytes.size());
    if (text.toUtf8() == bytes)
        return text;
    text.clear();
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    for (int i = 0; i < bytes.size();) {
        const int length = utf8_sequence_length(data + i, bytes.size() - i);
        const QString decoded = QString::fromUtf8(bytes.constData() + i, length);
        if (length > 0 && decoded.toUtf8() == QByteArray::fromRawData(bytes.constData() + i, length)) {
            text += decoded;
            i += length;
            continue;
        }
        for (const int end = i + qMax(length, 1); i < end; ++i)
            text += QStringLiteral("\\x%1").arg(uint(data[i]), 2, 16, QLatin1Char('0'));
    }
    return text;
}

// The answer of a "-ec" read: values taken as they are, not trimmed, and
// either unescaped or kept escaped.
exif_tag_map parse_exact_answer(const QByteArray& bytes, ko::tag_values values)
{
    exif_tag_map result;
    const int size = bytes.isNull() ? 0 : int(qstrnlen(bytes.constData(), uint(bytes.size())));
    for (QByteArray line : QByteArray::fromRawData(bytes.constData(), size).split('\n')) {
        // A carriage return in a value comes escaped: one here ends the line.
        if (line.endsWith('\r'))
            line.chop(1);
        const int eq = line.indexOf('=');
        if (eq < 1)
            continue;
        const QString key = QString::fromUtf8(line.constData(), eq).mid(1).trimmed();
        const QByteArray value = line.mid(eq + 1);
        result[key] = values == ko::tag_values::escaped ? keep_escaped(value) : unescape_c(value);
    }
    return result;
}

// A value as a write line carries it: ExifTool's argument reader ends the
// argument at a line break and drops a blank right after "=", so a value
// with control characters, a backslash or a leading blank goes C-escaped
// (with "-ec"). A value given escaped keeps its escapes. Returns false when
// the value needs no escape.
bool escape_c(const QString& value, ko::tag_values values, QString& escaped)
{
    const bool keep_backslash = values == ko::tag_values::escaped;
    bool needed = value.startsWith(QLatin1Char(' '));
    for (const QChar c : value)
        needed = needed || c.unicode() < 0x20 || c.unicode() == 0x7f || c == QLatin1Char('\\');
    if (!needed)
        return false;
    escaped.clear();
    for (int i = 0; i < value.size(); ++i) {
        const ushort u = value.at(i).unicode();
        if (u == '\\' && !keep_backslash)
            escaped += QLatin1String("\\\\");
        else if (u < 0x20 || u == 0x7f || (i == 0 && u == ' '))
            escaped += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
        else
            escaped += value.at(i);
    }
    return true;
}

} // namespace ko::exiftool_answer

using namespace ko::exiftool_answer;

namespace {

// The count of a summary line such as "    1 image files updated".
int summary_count(const QString& text, const QString& what)
{
    int total = 0;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (!line.endsWith(what))
            continue;
        const int blank = line.indexOf(QLatin1Char(' '));
        if (blank <= 0)
            continue;
        bool ok = false;
        const int n = line.left(blank).toInt(&ok);
        if (ok && line.mid(blank + 1) == what)
            total += n;
    }
    return total;
}

} // namespace

namespace ko {

QString exiftool::executable_path()
{
    const QString configured = qEnvironmentVariable("ORLAVO_EXIFTOOL");
    if (!configured.isEmpty())
        return configured;
    const QString beside = QCoreApplication::applicationDirPath() + QDir::separator() + QStringLiteral("exiftool");
    const QFileInfo beside_info(beside);
    if (beside_info.isFile() && beside_info.isExecutable())
        return beside;
    const QString on_path = QStandardPaths::findExecutable(QStringLiteral("exiftool"));
    return on_path.isEmpty() ? beside : on_path;
}

// The ExifTool child is killed when the thread that started it (the
// worker thread) ends, also when the application crashes.
class exiftool_child_process : public QProcess
{
public:
    explicit exiftool_child_process(QObject* parent) : QProcess(parent), parent_pid(::getpid()) {}

protected:
    void setupChildProcess() override
    {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent_pid)
            ::_exit(127); // the parent is already gone
    }

private:
    pid_t parent_pid;
};

// ---------------------------------------------------------------------------
// exif_response

namespace {
std::atomic<int> responses_alive{0};
}

exif_response::exif_response() : QObject(nullptr)
{
    ++responses_alive;
}

exif_response::~exif_response()
{
    --responses_alive;
}

int exif_response::alive()
{
    return responses_alive;
}

void exif_response::set_done()
{
    if (cancelled.load(std::memory_order_acquire))
        return;
    done.store(true, std::memory_order_release);
    emit ready(this);
    emit finished();
}

void exif_response::set_error(ko::exif_error code)
{
    if (cancelled.load(std::memory_order_acquire))
        return;
    done.store(false, std::memory_order_release);
    emit error(code);
    emit finished();
}

bool exif_response::ok() const
{
    return done.load(std::memory_order_acquire) && !cancelled.load(std::memory_order_acquire);
}

QByteArray exif_response::data() const
{
    return answer;
}

void exif_response::cancel()
{
    cancelled.store(true, std::memory_order_release);
}

bool exif_response::wait(int ms)
{
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    timer.start(ms);
    // Each slice sleeps until an event comes, the response is finished or
    // 10 ms have passed.
    QEventLoop slice_loop;
    QTimer slice;
    slice.setSingleShot(true);
    QObject::connect(&slice, &QTimer::timeout, &slice_loop, &QEventLoop::quit);
    QObject::connect(this, &exif_response::finished, &slice_loop, &QEventLoop::quit, Qt::QueuedConnection);
    for (;;) {
        const int left = timer.remainingTime();
        if (left <= 0)
            break;
        if (done.load(std::memory_order_acquire) || cancelled.load(std::memory_order_acquire)) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
        } else {
            slice.start(qMin(left, 10));
            // While the application quits, event loops end at once.
            if (slice_loop.exec(QEventLoop::ExcludeUserInputEvents) < 0)
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
            slice.stop();
        }
        const bool is_done = done.load(std::memory_order_acquire);
        const bool is_cancelled = cancelled.load(std::memory_order_acquire);
        if (is_done && !is_cancelled) {
            timer.stop();
            return true;
        }
        if (is_cancelled)
            return false;
    }
    if (done.load(std::memory_order_acquire))
        return !cancelled.load(std::memory_order_acquire);
    if (cancelled.load(std::memory_order_acquire))
        return false;
    set_error(exif_error::timeout);
    return false;
}

// ---------------------------------------------------------------------------
// exiftool_worker

exiftool_worker::exiftool_worker()
    : QObject(nullptr),
      process(new exiftool_child_process(this)),
      open_mode(QIODevice::ReadWrite | QIODevice::Text | QIODevice::Unbuffered)
{
    process->setReadChannel(QProcess::StandardOutput);
    connect(process, &QProcess::readyReadStandardOutput, this, &exiftool_worker::read_output);

    const QString program = exiftool::executable_path();
    if (!QFileInfo::exists(program))
        KO_BRIDGE_CRITICAL("exiftool: Executable '%s' does not exist...", program.toUtf8().constData());

    const QStringList arguments{
        QStringLiteral("-stay_open"),
        QStringLiteral("1"),
        QStringLiteral("-@"),
        QStringLiteral("-"),
        QStringLiteral("-common_args"),
        QStringLiteral("-charset"),
        QStringLiteral("filename=utf8"),
        QStringLiteral("-args"),
        QStringLiteral("-sort"),
        QStringLiteral("-userParam"),
        QStringLiteral("processOwner=%1").arg(QCoreApplication::applicationName()),
    };
    process->setProgram(program);
    process->setArguments(arguments);

    connect(process, &QProcess::readyReadStandardError, this, [this] { log_stderr(); });
    connect(process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            process_ended("failed to start");
    });
    connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            [this](int, QProcess::ExitStatus status) {
                process_ended(status == QProcess::CrashExit ? "crashed" : "exited");
            });
}

exiftool_worker::~exiftool_worker()
{
    shutdown();
    output.clear();
    ready_marker.clear();
    tasks.clear();
}

void exiftool_worker::log_stderr()
{
    const QByteArray text = process->readAllStandardError();
    KO_BRIDGE_DEBUG("exiftool cerr: '%s'", text.constData());
}

bool exiftool_worker::start()
{
    process->start(QIODevice::ReadWrite);
    if (process->waitForStarted(2000)) {
        process_failed = false;
        failed_flag = false;
        return true;
    }
    KO_BRIDGE_WARNING("%s: Could not start exiftool: %s (%d).", sig_worker_start,
                      process->errorString().toUtf8().constData(), int(process->error()));
    process_failed = true;
    failed_flag = true;
    fail_all("could not be started");
    return false;
}

bool exiftool_worker::send_restart()
{
    stopping = true; // the old process ends on purpose
    while (process->state() != QProcess::NotRunning) {
        write(QString::fromLatin1(close_command));
        if (!process->waitForFinished(500))
            process->kill();
    }
    process->start(open_mode);
    KO_BRIDGE_DEBUG("%s: Waiting for exiftool to start.", sig_worker_restart);
    if (!process->waitForStarted(5000)) {
        KO_BRIDGE_WARNING("%s: Could not start exiftool: %s (%d).", sig_worker_restart,
                          process->errorString().toUtf8().constData(), int(process->error()));
    }
    const bool running = process->state() == QProcess::Running;
    stopping = false;
    process_failed = !running;
    failed_flag = process_failed || stalled;
    return running;
}

bool exiftool_worker::shutdown()
{
    stopping = true;

    // A request in flight may be rewriting a file: let it finish before
    // ExifTool is asked to leave, but not beyond the time its caller allowed
    // it, and not at all once that has run out.
    if (busy && !stalled && process->state() == QProcess::Running) {
        const qint64 deadline = tasks.first().first->deadline_ms;
        qint64 allowed = in_flight_wait_ms;
        if (deadline > 0)
            allowed = qMax<qint64>(0, deadline - QDateTime::currentMSecsSinceEpoch());
        QElapsedTimer elapsed;
        elapsed.start();
        while (busy && process->state() == QProcess::Running) {
            const qint64 left = allowed - elapsed.elapsed();
            if (left <= 0 || !process->waitForReadyRead(int(qMin<qint64>(left, INT_MAX))))
                break;
        }
    }
    const bool in_flight = busy;
    // Nothing more is sent: requests still queued behind it fail now.
    fail_tasks_from(in_flight ? 1 : 0);

    const int max_iterations = in_flight ? 5 : 25;
    const int wait_ms = in_flight ? 1000 : 200;
    int iteration = 0;
    while (process->state() != QProcess::NotRunning && iteration < max_iterations) {
        if (!write(QString::fromLatin1(close_command)))
            KO_BRIDGE_DEBUG("%s: Failed to write close command.", sig_worker_shutdown);
        if (process->waitForFinished(wait_ms)) {
            KO_BRIDGE_DEBUG("%s: Process finished on iteration %d", sig_worker_shutdown, iteration);
            continue;
        }
        if (iteration < max_iterations - 1) {
            KO_BRIDGE_DEBUG("%s: Sending termination signal to process.", sig_worker_shutdown);
            process->terminate();
        } else {
            KO_BRIDGE_DEBUG("%s: Sending kill signal to process.", sig_worker_shutdown);
            process->kill();
        }
        ++iteration;
    }
    KO_BRIDGE_DEBUG("%s: Did %d iterations, state: %d", sig_worker_shutdown, iteration, int(process->state()));
    // Nothing is answered from here on: what is still queued fails (and goes,
    // if released). A response that its caller still holds is given up to
    // that caller; its release deletes it, the worker being gone by then.
    fail_all("was shut down");
    responses.clear();
    return process->state() == QProcess::NotRunning;
}

void exiftool_worker::add_task(exif_response* response, const QByteArray& data)
{
    if (response)
        responses.insert(response);
    if (process_failed || stalled || stopping) {
        KO_BRIDGE_WARNING(stalled && !process_failed ? "%s: exiftool stopped answering, request %d failed."
                                                     : "%s: exiftool is not running, request %d failed.",
                          sig_worker_add_task, response ? response->id : -1);
        fail_response(response);
        return;
    }
    if (data.contains('\0')) {
        KO_BRIDGE_WARNING("%s: Refusing request %d: the command contains a NUL byte.", sig_worker_add_task,
                          response ? response->id : -1);
        fail_response(response);
        return;
    }
    tasks.append(qMakePair(response, data));
    execute_task();
}

void exiftool_worker::request_timed_out(exif_response* response)
{
    int index = -1;
    for (int i = 0; i < tasks.size(); ++i)
        if (tasks[i].first == response)
            index = i;
    if (index < 0 || process_failed)
        return; // answered meanwhile, or the process is gone anyway
    if (!stalled) {
        KO_BRIDGE_WARNING("%s: exiftool stopped answering: request %d got no answer in time. Nothing more is "
                          "sent to it; requests fail at once from now on.",
                          sig_worker_timed_out, response->id);
    }
    stalled = true;
    failed_flag = true;
    // Whatever is still queued is never sent. The request in flight stays:
    // its answer may still come and must not be taken for another's.
    fail_tasks_from(busy ? 1 : 0);
}

void exiftool_worker::release(exif_response* response)
{
    if (!response)
        return;
    if (!responses.contains(response)) {
        delete response; // it never reached the queue
        return;
    }
    response->released = true;
    for (const auto& task : qAsConst(tasks))
        if (task.first == response)
            return; // ExifTool may still answer it
    retire(response);
}

void exiftool_worker::retire(exif_response* response)
{
    if (response && response->released && responses.remove(response))
        delete response;
}

void exiftool_worker::verbose(bool value)
{
    verbose_enabled = value;
}

void exiftool_worker::do_ping(bool value)
{
    ping_enabled = value;
}

QByteArray exiftool_worker::execute_marker(int id)
{
    return QStringLiteral("\n-execute%1\n").arg(id, 0, 10, QLatin1Char(' ')).toUtf8();
}

QByteArray exiftool_worker::output_marker(int id)
{
    return QStringLiteral("{ready%1}\r\n").arg(id, 0, 10, QLatin1Char(' ')).toUtf8();
}

bool exiftool_worker::write(const QString& text)
{
    if (process->state() != QProcess::Running) {
        KO_BRIDGE_WARNING("%s: Not writing: Process is not running.", sig_worker_write);
        return false;
    }
    const QByteArray bytes = text.toUtf8();
    if (verbose_enabled)
        KO_BRIDGE_DEBUG("%s: Writing '%s' to process.", sig_worker_write, bytes.constData());
    const qint64 size = bytes.size();
    qint64 written = 0;
    int attempts = 0;
    for (;;) {
        const qint64 result = process->write(bytes.constData() + written, size - written);
        ++attempts;
        if (result < 0) {
            KO_BRIDGE_WARNING("%s: Failed to write to process: %s (%d).", sig_worker_write,
                              process->errorString().toUtf8().constData(), int(process->error()));
        } else {
            written += result;
        }
        if (written >= size || attempts > 10)
            break;
    }
    if (written != size) {
        KO_BRIDGE_CRITICAL("%s: Couldn't write all data. Wrote %d/%d bytes after %d attempts.", sig_worker_write,
                           int(written), int(size), attempts);
    }
    return written == size;
}

void exiftool_worker::execute_task()
{
    if (busy || stopping || stalled || tasks.isEmpty())
        return;
    busy = true;
    exif_response* head = tasks.first().first;
    const int id = head->id;
    ready_marker = output_marker(id);
    marker_scan_from = 0;
    const QByteArray request = tasks.first().second + execute_marker(id);
    if (!write(QString::fromUtf8(request))) {
        // The framing can no longer be trusted; nothing will answer.
        process_failed = true;
        failed_flag = true;
        fail_all("could not be written to");
        return;
    }
    head->sent = true;
}

// Finds the ready marker of the request in flight in output: "{readyN}"
// followed by a line feed or by a carriage return and a line feed, at the
// start of the output or right after a line feed. A marker whose line end
// has not arrived yet is not found until it has. The search goes on where
// the last one stopped, so that a long answer arriving in small pieces is
// searched once, not once per piece.
bool exiftool_worker::find_marker(int& position, int& length)
{
    if (ready_marker.isEmpty()) {
        position = 0;
        length = 0;
        return true;
    }
    QByteArray text = ready_marker;
    while (text.endsWith('\n') || text.endsWith('\r'))
        text.chop(1);
    const int size = output.size();
    int from = marker_scan_from;
    for (;;) {
        const int p = output.indexOf(text, from);
        if (p < 0) {
            // An occurrence may still begin in the last text.size() - 1 bytes.
            marker_scan_from = qMax(from, size - text.size() + 1);
            return false;
        }
        if (p == 0 || output.at(p - 1) == '\n') {
            const int end = p + text.size();
            if (end < size && output.at(end) == '\n') {
                position = p;
                length = text.size() + 1;
                return true;
            }
            if (end + 1 < size && output.at(end) == '\r' && output.at(end + 1) == '\n') {
                position = p;
                length = text.size() + 2;
                return true;
            }
            if (end == size || (end + 1 == size && output.at(end) == '\r')) {
                marker_scan_from = p; // the line end is still on its way
                return false;
            }
        }
        from = p + 1;
    }
}

void exiftool_worker::read_output()
{
    char buffer[2048];
    int failed_reads = 0;
    while (process->bytesAvailable() > 0) {
        const qint64 count = process->read(buffer, sizeof buffer);
        if (count < 0) {
            KO_BRIDGE_WARNING("%s: Reading process output failed: %s (%d).", sig_worker_read_output,
                              process->errorString().toUtf8().constData(), int(process->error()));
            if (++failed_reads > 10)
                return; // the device keeps reporting bytes that it cannot deliver
            continue;
        }
        output.append(buffer, int(count));
        int position = 0;
        int length = 0;
        if (!find_marker(position, length))
            continue;
        if (tasks.isEmpty()) {
            KO_BRIDGE_CRITICAL("%s: Got expected output marker but the command queue is empty?",
                               sig_worker_read_output);
            return;
        }
        exif_response* response = tasks.first().first;
        if (stalled)
            KO_BRIDGE_INFO("%s: exiftool answered request %d after its time-out.", sig_worker_read_output,
                           response->id);
        // The answer takes output's bytes over instead of a copy of them,
        // but not the spare room the reads left in them.
        QByteArray rest = output.mid(position + length);
        output.truncate(position);
        output.squeeze();
        response->answer.swap(output);
        output = std::move(rest);
        response->set_done(); // does nothing for a cancelled response
        marker_scan_from = 0;
        busy = false;
        tasks.removeFirst();
        retire(response);
        execute_task();
    }
}

void exiftool_worker::fail_response(exif_response* response)
{
    if (!response)
        return;
    response->set_error(exif_error::process_failed);
    response->cancel();
}

void exiftool_worker::fail_all(const char* reason)
{
    if (!tasks.isEmpty() && !stopping) {
        KO_BRIDGE_WARNING("%s: exiftool %s, %d pending request(s) failed.", sig_worker_fail_all, reason,
                          int(tasks.size()));
    }
    fail_tasks_from(0);
    busy = false;
}

void exiftool_worker::fail_tasks_from(int first)
{
    if (tasks.size() <= first)
        return;
    const auto dropped = tasks.mid(first);
    tasks.erase(tasks.begin() + first, tasks.end());
    for (const auto& task : dropped) {
        fail_response(task.first);
        retire(task.first);
    }
}

void exiftool_worker::process_ended(const char* reason)
{
    const bool was_failed = process_failed;
    process_failed = true;
    failed_flag = true;
    output.clear();
    marker_scan_from = 0;
    if (!stopping && !was_failed) {
        KO_BRIDGE_WARNING("%s: exiftool %s; requests fail at once from now on.", sig_worker_process_ended,
                          reason);
    }
    fail_all(reason);
}

// ---------------------------------------------------------------------------
// Facade

void exiftool_worker_init()
{
    if (worker)
        return;
    qRegisterMetaType<ko::exif_response*>("exif_response*");

    worker_thread = new QThread();
    worker_thread->setObjectName(QStringLiteral("Exiftol IO Worker"));
    worker_thread->start();

    worker = new exiftool_worker();
    worker->moveToThread(worker_thread);

    bool result = false;
    if (!QMetaObject::invokeMethod(worker, "start", Qt::BlockingQueuedConnection, Q_RETURN_ARG(bool, result)))
        KO_BRIDGE_WARNING("Failed to call start method on exiftool worker");
    KO_BRIDGE_INFO("%s: Worker started: %s", sig_init, result ? "Ok" : "Failed");

    if (QCoreApplication* app = QCoreApplication::instance()) {
        QObject::connect(
            app, &QCoreApplication::aboutToQuit, worker_thread,
            [] {
                if (worker_thread)
                    exiftool::shutdown();
            },
            Qt::DirectConnection);
    }
}

void exiftool_worker_shutdown()
{
    if (worker_thread)
        exiftool::shutdown();
}

exiftool::~exiftool() = default;

exif_response* exiftool::start_task(const QByteArray& data)
{
    return start_task(data, default_timeout_ms);
}

exif_response* exiftool::start_task(const QByteArray& data, int timeout_ms)
{
    auto* response = new exif_response();
    // The worker deletes it on its own thread.
    if (worker_thread)
        response->moveToThread(worker_thread);
    response->id = request_counter.fetch_add(1);
    response->start_ms = QDateTime::currentMSecsSinceEpoch();
    response->deadline_ms = response->start_ms + timeout_ms;
    const bool invoked = worker && QMetaObject::invokeMethod(worker, "add_task", Qt::BlockingQueuedConnection,
                                                             Q_ARG(exif_response*, response), Q_ARG(QByteArray, data));
    if (!invoked) {
        KO_BRIDGE_WARNING("%s: Failed to invoke add_task method in exiftool worker.", sig_start_task);
        // Nobody will answer it: let its caller give up at once.
        response->set_error(exif_error::process_failed);
        response->cancel();
    }
    return response;
}

void exiftool::shutdown()
{
    bool result = false;
    if (!worker ||
        !QMetaObject::invokeMethod(worker, "shutdown", Qt::BlockingQueuedConnection, Q_RETURN_ARG(bool, result)))
        KO_BRIDGE_WARNING("Failed to call shutdown method on exiftool worker");
    KO_BRIDGE_INFO("%s: Worker shutdown: %s", sig_shutdown, result ? "Ok" : "Failed");

    if (worker)
        worker->deleteLater();
    worker = nullptr;

    if (!worker_thread)
        return;
    worker_thread->quit();
    if (worker_thread->wait(10000)) {
        worker_thread->deleteLater();
    } else {
        // Destroying a running thread object would abort the program.
        KO_BRIDGE_WARNING("%s: Worker thread did not stop; leaving it in place.", sig_shutdown);
    }
    worker_thread = nullptr;
}

void exiftool::release(exif_response* response)
{
    if (!worker || !QMetaObject::invokeMethod(worker, "release", Qt::QueuedConnection,
                                              Q_ARG(exif_response*, response)))
        delete response;
}

bool exiftool::stopped()
{
    return worker && worker->failed_flag;
}

int exiftool::request_timeout(const QString& path)
{
    const qint64 mib = qMax<qint64>(0, QFileInfo(path).size()) >> 20;
    const qint64 ms = base_timeout_ms + mib * timeout_ms_per_mib;
    return int(qMin<qint64>(ms, INT_MAX));
}

void exiftool::set_request_timeout(int base_ms, int ms_per_mib)
{
    base_timeout_ms = base_ms;
    timeout_ms_per_mib = ms_per_mib;
}

void exiftool::verbose(bool value)
{
    if (worker)
        worker->verbose_enabled = value;
}

void exiftool::ping(bool value)
{
    if (worker)
        worker->ping_enabled = value;
}

// ---------------------------------------------------------------------------
// Reading tags

namespace {

// Hands a request back to the bridge when its caller is done with it.
class response_handle
{
public:
    explicit response_handle(exif_response* response) : response(response) {}
    ~response_handle() { exiftool::release(response); }
    response_handle(const response_handle&) = delete;
    response_handle& operator=(const response_handle&) = delete;
    exif_response* operator->() const { return response; }
    exif_response* get() const { return response; }

private:
    exif_response* response;
};

// Waits for the answer to a request. One that gets none in time may still be
// at work in ExifTool: the worker is told to send nothing more after it.
bool await_answer(exif_response* response, int timeout_ms)
{
    if (response->wait(timeout_ms))
        return true;
    if (!response->cancelled && worker) {
        QMetaObject::invokeMethod(worker, "request_timed_out", Qt::BlockingQueuedConnection,
                                  Q_ARG(exif_response*, response));
    }
    // The answer may have come in the meantime.
    return response->ok();
}

} // namespace

exif_tag_map exiftool::read_tags(const QString& args, bool group_names, bool debug)
{
    if (!is_single_argument(args)) {
        KO_BRIDGE_WARNING("%s: Refusing to read '%s': the path contains a line break or NUL.", sig_read_tags,
                          args.toUtf8().constData());
        return {};
    }
    if (!is_regular_file(args)) {
        KO_BRIDGE_WARNING("%s: Refusing to read '%s': it is not a regular file.", sig_read_tags,
                          args.toUtf8().constData());
        return {};
    }
    exiftool_worker_init();
    QString command;
    // Fast mode spares ExifTool the scan of a JPEG's trailer; it is asked for
    // here only, for the reads of a load. In a GIF it stops at the first
    // comment and so can hide the XMP data behind it.
    if (QFileInfo(args).suffix().compare(QLatin1String("gif"), Qt::CaseInsensitive) != 0)
        command += QStringLiteral("-fast\n");
    // Group names come with "-a": duplicates stay visible, so XMP or QuickTime
    // GPS is not hidden behind the Composite tag when EXIF GPS is there too.
    if (group_names)
        command += QStringLiteral("-G1\n-a\n");
    command += absolute_path(args);
    command += QLatin1Char('\n');

    const int timeout = request_timeout(args);
    const response_handle response(start_task(command.toUtf8(), timeout));
    exif_tag_map result;
    if (!await_answer(response.get(), timeout))
        return result;
    result = parse_answer(response->data());
    if (debug)
        QMessageLogger().debug() << args << result;
    return result;
}

exif_tag_map exiftool::read_selected_tags(const QString& file, const std::vector<QString>& tag_names,
                                          bool group_names, tag_values values)
{
    bool valid = is_single_argument(file);
    for (const QString& name : tag_names)
        valid = valid && is_tag_name(name);
    if (!valid) {
        KO_BRIDGE_WARNING("%s: Refusing to read '%s': the path contains a line break or NUL, or a tag name "
                          "is not one.",
                          sig_read_selected_tags, file.toUtf8().constData());
        return {};
    }
    if (!is_regular_file(file)) {
        KO_BRIDGE_WARNING("%s: Refusing to read '%s': it is not a regular file.", sig_read_selected_tags,
                          file.toUtf8().constData());
        return {};
    }
    exiftool_worker_init();
    QString command = QStringLiteral("-ec\n");
    if (group_names)
        command += QStringLiteral("-G1\n-a\n");
    for (const QString& name : tag_names)
        command += QLatin1Char('-') + name + QLatin1Char('\n');
    command += absolute_path(file);
    command += QLatin1Char('\n');

    const int timeout = request_timeout(file);
    const response_handle response(start_task(command.toUtf8(), timeout));
    if (!await_answer(response.get(), timeout))
        return {};
    return parse_exact_answer(response->data(), values);
}

// ---------------------------------------------------------------------------
// Writing tags

bool exiftool::write_tags(const QString& file, const exif_tag_map& tags)
{
    return write_tags_outcome(file, tags) == write_outcome::written;
}

write_outcome exiftool::write_tags_outcome(const QString& file, const exif_tag_map& tags, tag_values values)
{
    bool valid = is_single_argument(file);
    bool pure_delete = true;
    for (const auto& [key, value] : tags) {
        valid = valid && is_single_argument(key);
        // "Tag^=" writes an empty value; it deletes nothing.
        pure_delete = pure_delete && value.isEmpty() && !key.endsWith(QLatin1Char('^'));
    }
    if (!valid) {
        KO_BRIDGE_WARNING("%s: Refusing to write to '%s': the path or a tag name contains a line break or NUL.",
                          sig_write_tags, file.toUtf8().constData());
        return write_outcome::not_written;
    }
    if (!is_regular_file(file)) {
        KO_BRIDGE_WARNING("%s: Refusing to write to '%s': it is not a regular file.", sig_write_tags,
                          file.toUtf8().constData());
        return write_outcome::not_written;
    }

    exiftool_worker_init();
    QString block = QStringLiteral("\n%1\n-overwrite_original_in_place\n-m\n").arg(absolute_path(file));
    QString lines;
    bool escaped = false;
    QString escaped_value;
    for (const auto& [key, value] : tags) {
        const bool escape = escape_c(value, values, escaped_value);
        escaped = escaped || escape;
        lines += QStringLiteral("-%1=%2\n").arg(key, escape ? escaped_value : value);
    }
    // With "-ec" ExifTool undoes the escapes of every value; the others hold
    // no backslash and stay as they are.
    if (escaped)
        block += QStringLiteral("-ec\n");
    block += lines;

    const int timeout = request_timeout(file);
    const response_handle response(start_task(block.toUtf8(), timeout));
    if (!await_answer(response.get(), timeout)) {
        // Once sent, ExifTool may have rewritten the file before it died or
        // while it kept silent.
        if (response->sent) {
            KO_BRIDGE_WARNING("%s: No answer for the write of '%s'; it may have been written.", sig_write_tags,
                              file.toUtf8().constData());
            return write_outcome::unknown;
        }
        return write_outcome::not_written;
    }

    const QByteArray bytes = response->data();
    const QString answer = bytes.isNull() ? QString() : QString::fromUtf8(bytes);
    bool written = false;
    if (!answer.contains(QLatin1String("files weren't updated due to errors"))) {
        const int updated = summary_count(answer, QStringLiteral("image files updated"));
        const int unchanged = summary_count(answer, QStringLiteral("image files unchanged"));
        written = updated > 0 || (pure_delete && updated + unchanged > 0);
    }
    if (!written) {
        KO_BRIDGE_WARNING("%s: Failed to execute command on '%s': '%s'.", sig_write_tags, file.toUtf8().constData(),
                          answer.toUtf8().constData());
    }
    return written ? write_outcome::written : write_outcome::not_written;
}

void exiftool::software_tags(exif_tag_map& tags)
{
    const QString value =
        QStringLiteral("%1 - %2").arg(QCoreApplication::organizationName(), QCoreApplication::applicationName());
    tags[QStringLiteral("Software")] = value;
    tags[QStringLiteral("CreatorTool")] = value;
}

bool exiftool::write_software_tags(const QString& file)
{
    exif_tag_map tags;
    software_tags(tags);
    return write_tags(file, tags);
}

} // namespace ko
