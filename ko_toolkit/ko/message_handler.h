#pragma once
// The toolkit's Qt message handler: every Qt log message is written with a
// level prefix to standard output (debug, info, warning) or standard error
// (critical, fatal), one message at a time under one output mutex.

#include <QString>
#include <QtGlobal>

#include <functional>
#include <mutex>

namespace ko {

// Installs ko::message_handler (enable true) or gives Qt its default handler
// back (enable false). with_context appends " (file:line, function)" to every
// message whose context carries a file and a function name.
void install_message_handler(bool enable, bool with_context);

void message_handler(QtMsgType type, const QMessageLogContext& context, const QString& message);

// Receives "<prefix><message>\n" for every message written, before the
// output lock is taken. Empty by default.
using message_hook = std::function<void(const QString&)>;
void set_message_hook(message_hook hook);

// The lock the handler holds while it writes to the standard streams. Code
// that reads what the handler wrote (through a stream buffer of its own)
// may take it to keep writers out meanwhile; it must not log while holding it.
std::mutex& message_output_mutex();

// Whether a fatal message may show its message box here: only on the GUI
// thread of a running QApplication on a platform with a real display
// ("offscreen" and "minimal" have none, and a box there blocks forever).
bool fatal_message_box_possible();

// Reads the environment variable PUBLIC; when <PUBLIC>/<organisation>/<application>.ini
// exists, makes INI files under PUBLIC the settings store of both scopes.
void use_device_global_configuration();

} // namespace ko
