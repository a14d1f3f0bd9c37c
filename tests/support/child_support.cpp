#include "child_support.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <cstring>

namespace test_support {

bool is_child(int argc, char** argv)
{
    return argc > 2 && std::strcmp(argv[1], "--child") == 0;
}

QString child_mode(int argc, char** argv)
{
    return is_child(argc, argv) ? QString::fromLocal8Bit(argv[2]) : QString();
}

child_result run_child(const QString& mode, const QMap<QString, QString>& set_env,
                       const QStringList& unset_env, int timeout_ms)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& name : unset_env)
        env.remove(name);
    for (auto it = set_env.cbegin(); it != set_env.cend(); ++it)
        env.insert(it.key(), it.value());

    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), mode});

    child_result result;
    if (!process.waitForStarted(10000))
        return result;
    result.finished = process.waitForFinished(timeout_ms);
    if (!result.finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    result.crashed = process.exitStatus() == QProcess::CrashExit;
    result.exit_code = process.exitCode();
    result.standard_output = QString::fromUtf8(process.readAllStandardOutput());
    result.standard_error = QString::fromUtf8(process.readAllStandardError());
    return result;
}

} // namespace test_support
