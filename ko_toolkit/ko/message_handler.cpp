#include "ko/message_handler.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMessageBox>
#include <QSettings>
#include <QThread>

#include <atomic>
#include <iostream>
#include <string>

namespace ko {

namespace {

bool with_context_flag = false;

message_hook& hook_slot()
{
    static message_hook hook;
    return hook;
}

// Set when the function-local mutex below is destroyed at exit; an atomic
// bool has a trivial destructor, so it stays readable after that and the
// handler goes on writing without the lock.
std::atomic<bool> output_mutex_destroyed{false};

struct output_mutex_holder {
    std::mutex mutex;
    ~output_mutex_holder() { output_mutex_destroyed = true; }
};

output_mutex_holder& mutex_holder()
{
    static output_mutex_holder holder;
    return holder;
}

const char* const srgb_warning = "libpng warning: iCCP: known incorrect sRGB profile";

} // namespace

std::mutex& message_output_mutex()
{
    return mutex_holder().mutex;
}

void set_message_hook(message_hook hook)
{
    hook_slot() = std::move(hook);
}

void install_message_handler(bool enable, bool with_context)
{
    with_context_flag = with_context;
    qInstallMessageHandler(enable ? &message_handler : nullptr);
}

bool fatal_message_box_possible()
{
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || QCoreApplication::closingDown())
        return false;
    if (QThread::currentThread() != app->thread())
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")
        && platform != QLatin1String("minimalegl");
}

void message_handler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message == QLatin1String(srgb_warning))
        return;

    std::string text = qFormatLogMessage(type, context, message).toUtf8().toStdString();
    if (with_context_flag && context.file && context.function) {
        text += " (";
        text += context.file;
        text += ':';
        text += std::to_string(context.line);
        text += ", ";
        text += context.function;
        text += ')';
    }

    const char* prefix = nullptr;
    std::ostream* stream = nullptr;
    switch (type) {
    case QtDebugMsg:
        prefix = "Debug: ";
        stream = &std::cout;
        break;
    case QtInfoMsg:
        prefix = "Info: ";
        stream = &std::cout;
        break;
    case QtWarningMsg:
        prefix = "Warning: ";
        stream = &std::cout;
        break;
    case QtCriticalMsg:
        prefix = "Critical: ";
        stream = &std::cerr;
        break;
    case QtFatalMsg:
        prefix = "Fatal: ";
        stream = &std::cerr;
        break;
    }
    if (!stream)
        return;

    if (hook_slot())
        hook_slot()(QString::fromLatin1(prefix) + message + QLatin1Char('\n'));

    {
        std::unique_lock<std::mutex> lock;
        if (!output_mutex_destroyed)
            lock = std::unique_lock<std::mutex>(message_output_mutex());
        *stream << prefix << text << std::endl;
        stream->flush();
    }

    if (type == QtFatalMsg && fatal_message_box_possible()) {
        QMessageBox::critical(nullptr, QObject::tr("Fatal error"),
                              QObject::tr("%1 encountered a fatal error and must be terminated:\n%2")
                                  .arg(QGuiApplication::applicationDisplayName(), message),
                              QMessageBox::Ok, QMessageBox::NoButton);
    }
}

void use_device_global_configuration()
{
    const QString public_dir = qEnvironmentVariable("PUBLIC");
    if (public_dir.isEmpty())
        return;
    const QString path = QDir(public_dir).filePath(QCoreApplication::organizationName() + QLatin1Char('/')
                                                   + QCoreApplication::applicationName()
                                                   + QLatin1String(".ini"));
    if (!QFile::exists(path))
        return;
    qInfo("Using device global configuration from '%s'", qUtf8Printable(path));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, public_dir);
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, public_dir);
    QSettings::setDefaultFormat(QSettings::IniFormat);
}

} // namespace ko
