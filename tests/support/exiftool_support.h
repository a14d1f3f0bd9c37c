#pragma once
// Helpers for the ExifTool bridge tests: capturing log messages, finding the
// ExifTool child in /proc, the fake ExifTool script, bounded polling.

#include <QString>
#include <QStringList>

#include <functional>

namespace exiftool_support {

// Collects every message of all threads while it exists (and passes each
// on to the handler that was installed before).
class message_capture
{
public:
    message_capture();
    ~message_capture();
    // Messages containing text (of the given type, unless type is -1).
    QStringList matching(const QString& text, int type = -1) const;
    int count(const QString& text, int type = -1) const { return matching(text, type).size(); }
    void clear();
};

// Path of the fake ExifTool script.
QString fake_exiftool();

QStringList process_cmdline(qint64 pid);
// The direct child whose command line holds "-stay_open", or 0.
qint64 exiftool_child_pid();
// True while pid exists and is not a zombie.
bool process_alive(qint64 pid);
// Names of this process's threads (/proc/self/task/*/comm).
QStringList thread_names();

// Polls condition (running events) until it holds or timeout_ms passed.
bool wait_until(const std::function<bool()>& condition, int timeout_ms);

} // namespace exiftool_support
