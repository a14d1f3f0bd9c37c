// The ExifTool bridge: request objects, the worker that owns the ExifTool
// process and its queue, and the static facade that runs the worker on a
// thread of its own.

#include "ko/exiftool.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageLogger>
#include <QMetaObject>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <csignal>
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
const char* const sig_init = "void ko::exiftool_worker_init()";
const char* const sig_start_task = "static ko::exif_response* ko::exiftool::start_task(const QByteArray&)";
const char* const sig_shutdown = "static void ko::exiftool::shutdown()";
const char* const sig_read_tags = "static exif_tag_map ko::exiftool::read_tags(const QString&, bool, bool)";
const char* const sig_read_selected_tags =
    "static exif_tag_map ko::exiftool::read_selected_tags(const QString&, const std::vector<QString>&, bool)";
const char* const sig_write_tags = "static bool ko::exiftool::write_tags(const QString&, const exif_tag_map&)";

const int request_timeout_ms = 60000;
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


exif_tag_map parse_answer(const QByteArray& bytes)
{
    exif_tag_map result;
    const QString text = bytes.isNull() ? QString() : QString::fromUtf8(bytes); // stops at a NUL
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        // The first character is the argument's minus sign.
        const QString key = line.left(eq).mid(1).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        result[key] = value;
    }
    return result;
}

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

exif_response::exif_response() : QObject(nullptr) {}

exif_response::~exif_response() = default;

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
    for (;;) {
        if (timer.remainingTime() <= 0)
            break;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
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
        return true;
    }
    KO_BRIDGE_WARNING("%s: Could not start exiftool: %s (%d).", sig_worker_start,
                      process->errorString().toUtf8().constData(), int(process->error()));
    process_failed = true;
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
    return running;
}

bool exiftool_worker::shutdown()
{
    stopping = true;

    // A request in flight may be rewriting a file: let it finish before
    // ExifTool is asked to leave, within the callers' request time-out.
    if (busy && process->state() == QProcess::Running) {
        QElapsedTimer elapsed;
        elapsed.start();
        while (busy && process->state() == QProcess::Running) {
            const qint64 left = in_flight_wait_ms - elapsed.elapsed();
            if (left <= 0 || !process->waitForReadyRead(int(left)))
                break;
        }
    }
    const bool in_flight = busy;
    // Nothing more is sent: requests still queued behind it fail now.
    if (!tasks.isEmpty()) {
        const int first = in_flight ? 1 : 0;
        for (int i = first; i < tasks.size(); ++i)
            fail_response(tasks[i].first);
        while (tasks.size() > first)
            tasks.removeLast();
    }

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
    return process->state() == QProcess::NotRunning;
}

void exiftool_worker::add_task(exif_response* response, const QByteArray& data)
{
    if (process_failed || stopping) {
        KO_BRIDGE_WARNING("%s: exiftool is not running, request %d failed.", sig_worker_add_task,
                          response ? response->id : -1);
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
    if (busy || stopping || tasks.isEmpty())
        return;
    busy = true;
    const QPair<exif_response*, QByteArray>& head = tasks.first();
    const int id = head.first->id;
    ready_marker = output_marker(id);
    const QByteArray request = head.second + execute_marker(id);
    if (!write(QString::fromUtf8(request))) {
        // The framing can no longer be trusted; nothing will answer.
        process_failed = true;
        fail_all("could not be written to");
    }
}

// Finds the ready marker of the request in flight in output: "{readyN}"
// followed by a line feed or by a carriage return and a line feed, at the
// start of the output or right after a line feed. A marker whose line end
// has not arrived yet is not found until it has.
bool exiftool_worker::find_marker(int& position, int& length) const
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
    int from = 0;
    for (;;) {
        const int p = output.indexOf(text, from);
        if (p < 0)
            return false;
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
            if (end == size || (end + 1 == size && output.at(end) == '\r'))
                return false; // the line end is still on its way
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
        response->answer = output.left(position);
        response->set_done(); // does nothing for a cancelled response
        output = output.mid(position + length);
        busy = false;
        tasks.removeFirst();
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
    for (const auto& task : qAsConst(tasks))
        fail_response(task.first);
    tasks.clear();
    busy = false;
}

void exiftool_worker::process_ended(const char* reason)
{
    const bool was_failed = process_failed;
    process_failed = true;
    output.clear();
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
    auto* response = new exif_response();
    if (worker_thread)
        response->setParent(worker_thread);
    response->id = request_counter.fetch_add(1);
    response->start_ms = QDateTime::currentMSecsSinceEpoch();
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

exif_tag_map exiftool::read_tags(const QString& args, bool group_names, bool debug)
{
    if (!is_single_argument(args)) {
        KO_BRIDGE_WARNING("%s: Refusing to read '%s': the path contains a line break or NUL.", sig_read_tags,
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

    exif_response* response = start_task(command.toUtf8());
    exif_tag_map result;
    if (!response->wait(request_timeout_ms))
        return result;
    result = parse_answer(response->data());
    if (debug)
        QMessageLogger().debug() << args << result;
    return result;
}

exif_tag_map exiftool::read_selected_tags(const QString& file, const std::vector<QString>& tag_names,
                                          bool group_names)
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
    exiftool_worker_init();
    QString command;
    if (group_names)
        command += QStringLiteral("-G1\n-a\n");
    for (const QString& name : tag_names)
        command += QLatin1Char('-') + name + QLatin1Char('\n');
    command += absolute_path(file);
    command += QLatin1Char('\n');

    exif_response* response = start_task(command.toUtf8());
    if (!response->wait(request_timeout_ms))
        return {};
    return parse_answer(response->data());
}

// ---------------------------------------------------------------------------
// Writing tags

bool exiftool::write_tags(const QString& file, const exif_tag_map& tags)
{
    bool valid = is_single_argument(file);
    bool pure_delete = true;
    for (const auto& [key, value] : tags) {
        valid = valid && is_single_argument(key) && is_single_argument(value);
        pure_delete = pure_delete && value.isEmpty();
    }
    if (!valid) {
        KO_BRIDGE_WARNING("%s: Refusing to write to '%s': the path, a tag name or a value contains a line "
                          "break or NUL.",
                          sig_write_tags, file.toUtf8().constData());
        return false;
    }

    exiftool_worker_init();
    QString block = QStringLiteral("\n%1\n-overwrite_original_in_place\n-m\n").arg(absolute_path(file));
    for (const auto& [key, value] : tags)
        block += QStringLiteral("-%1=%2\n").arg(key, value);

    exif_response* response = start_task(block.toUtf8());
    if (!response->wait(request_timeout_ms))
        return false;

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
    return written;
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
