#include "exiftool_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QPair>
#include <QThread>

#include <unistd.h>

namespace exiftool_support {

namespace {
QMutex capture_mutex;
QList<QPair<QtMsgType, QString>> captured;
QtMessageHandler previous_handler = nullptr;

void capture_handler(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    {
        QMutexLocker lock(&capture_mutex);
        captured.append({type, text});
    }
    if (previous_handler)
        previous_handler(type, context, text);
}

QByteArray read_proc(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The fields after "pid (comm) " of /proc/PID/stat: state, parent, ...
QList<QByteArray> stat_fields(qint64 pid)
{
    const QByteArray stat = read_proc(QStringLiteral("/proc/%1/stat").arg(pid));
    const int close = stat.lastIndexOf(')');
    return close < 0 ? QList<QByteArray>() : stat.mid(close + 2).split(' ');
}
} // namespace

message_capture::message_capture()
{
    clear();
    previous_handler = qInstallMessageHandler(capture_handler);
}

message_capture::~message_capture()
{
    qInstallMessageHandler(previous_handler);
    clear();
}

QStringList message_capture::matching(const QString& text, int type) const
{
    QMutexLocker lock(&capture_mutex);
    QStringList result;
    for (const auto& m : captured)
        if ((type < 0 || int(m.first) == type) && m.second.contains(text))
            result << m.second;
    return result;
}

void message_capture::clear()
{
    QMutexLocker lock(&capture_mutex);
    captured.clear();
}

QString fake_exiftool()
{
    return QStringLiteral(ORLAVO_TEST_FAKES_DIR "/fake_exiftool_bridge.pl");
}

QStringList process_cmdline(qint64 pid)
{
    QByteArray bytes = read_proc(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (bytes.endsWith('\0'))
        bytes.chop(1);
    QStringList result;
    if (!bytes.isEmpty())
        for (const QByteArray& part : bytes.split('\0'))
            result << QString::fromUtf8(part);
    return result;
}

qint64 exiftool_child_pid()
{
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const qint64 pid = entry.toLongLong();
        const QList<QByteArray> fields = pid > 0 ? stat_fields(pid) : QList<QByteArray>();
        if (fields.size() > 1 && fields[1].toLongLong() == ::getpid() && fields[0] != "Z" &&
            process_cmdline(pid).contains(QStringLiteral("-stay_open")))
            return pid;
    }
    return 0;
}

bool process_alive(qint64 pid)
{
    const QList<QByteArray> fields = stat_fields(pid);
    return !fields.isEmpty() && fields[0] != "Z" && fields[0] != "X";
}

QStringList thread_names()
{
    QStringList result;
    for (const QString& task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        result << QString::fromUtf8(read_proc(QStringLiteral("/proc/self/task/%1/comm").arg(task))).trimmed();
    return result;
}

bool wait_until(const std::function<bool()>& condition, int timeout_ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeout_ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return true;
}

} // namespace exiftool_support
