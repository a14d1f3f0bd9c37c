#include "exiftool_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMutexLocker>
#include <QThread>

#include <unistd.h>

namespace exiftool_support {

namespace {
QMutex capture_mutex;
QList<captured_message> captured;
QtMessageHandler previous_handler = nullptr;
bool capturing = false;

void capture_handler(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    {
        QMutexLocker lock(&capture_mutex);
        if (capturing)
            captured.append({type, text});
    }
    if (previous_handler)
        previous_handler(type, context, text);
}

QByteArray read_proc(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
} // namespace

message_capture::message_capture()
{
    QMutexLocker lock(&capture_mutex);
    captured.clear();
    capturing = true;
    previous_handler = qInstallMessageHandler(capture_handler);
}

message_capture::~message_capture()
{
    qInstallMessageHandler(previous_handler);
    QMutexLocker lock(&capture_mutex);
    capturing = false;
    captured.clear();
}

QList<captured_message> message_capture::messages() const
{
    QMutexLocker lock(&capture_mutex);
    return captured;
}

QStringList message_capture::matching(const QString& text, int type) const
{
    QStringList result;
    for (const captured_message& m : messages()) {
        if ((type < 0 || int(m.type) == type) && m.text.contains(text))
            result << m.text;
    }
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

QList<qint64> child_pids()
{
    QList<qint64> result;
    const qint64 self = ::getpid();
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok)
            continue;
        const QByteArray stat = read_proc(QStringLiteral("/proc/%1/stat").arg(pid));
        const int close = stat.lastIndexOf(')');
        if (close < 0)
            continue;
        const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
        if (fields.size() > 1 && fields[1].toLongLong() == self && fields[0] != "Z")
            result << pid;
    }
    return result;
}

QStringList process_cmdline(qint64 pid)
{
    QStringList result;
    QByteArray bytes = read_proc(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (bytes.endsWith('\0'))
        bytes.chop(1);
    if (bytes.isEmpty())
        return result;
    for (const QByteArray& part : bytes.split('\0'))
        result << QString::fromUtf8(part);
    return result;
}

qint64 exiftool_child_pid()
{
    for (qint64 pid : child_pids()) {
        if (process_cmdline(pid).contains(QStringLiteral("-stay_open")))
            return pid;
    }
    return 0;
}

bool process_alive(qint64 pid)
{
    const QByteArray stat = read_proc(QStringLiteral("/proc/%1/stat").arg(pid));
    const int close = stat.lastIndexOf(')');
    if (close < 0)
        return false;
    const char state = stat.size() > close + 2 ? stat.at(close + 2) : 'X';
    return state != 'Z' && state != 'X';
}

QStringList thread_names()
{
    QStringList result;
    const QStringList tasks = QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& task : tasks)
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
