#include "build_information.h"

#include "build_info.h"

#include <QCoreApplication>
#include <QSysInfo>

#include <sstream>

#define ORLAVO_STRINGIFY_(x) #x
#define ORLAVO_STRINGIFY(x) ORLAVO_STRINGIFY_(x)

const std::map<std::string, std::string> component_version_map = {
    {"application", ORLAVO_REVISION},
    {"ko_infrastructure", ORLAVO_INFRASTRUCTURE_REVISION},
    {"ko_toolkit", ORLAVO_TOOLKIT_REVISION},
};

std::string application_revision()
{
    const auto it = component_version_map.find("application");
    return it == component_version_map.end() ? std::string() : it->second;
}

std::string component_report()
{
    std::ostringstream out;
    for (const auto& entry : component_version_map)
        out << "Component: " << entry.first << "\tVersion: " << entry.second << "\n";
    return out.str();
}

std::map<std::string, std::string> component_versions()
{
    return component_version_map;
}

std::string compiler_line()
{
#if defined(__GNUC__) && !defined(__clang__)
    return "gcc Version: " ORLAVO_STRINGIFY(__GNUC__) "." ORLAVO_STRINGIFY(__GNUC_MINOR__) "." ORLAVO_STRINGIFY(
        __GNUC_PATCHLEVEL__) "\n";
#elif defined(__clang__)
    return "clang Version: " ORLAVO_STRINGIFY(__clang_major__) "." ORLAVO_STRINGIFY(__clang_minor__) "." ORLAVO_STRINGIFY(
        __clang_patchlevel__) "\n";
#else
    return "Compiler Version: unknown\n";
#endif
}

std::string build_stamp_line()
{
    return "Build: " __DATE__ " " __TIME__ "\n";
}

QString application_information_text(const QMap<QString, QString>& extra)
{
    QString text;
    text += QStringLiteral("OS: %1\n").arg(QSysInfo::prettyProductName());
    text += QStringLiteral("ABI: %1\n").arg(QSysInfo::buildAbi());
    text += QString::fromStdString(compiler_line());
    text += QStringLiteral("\nApplication: %1\nVersion: %2\n")
                .arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion());
    text += QString::fromStdString(build_stamp_line());
    text += QStringLiteral("\n") + QString::fromUtf8(component_report().c_str());
    if (!extra.isEmpty()) {
        text += QStringLiteral("\n");
        for (auto it = extra.constBegin(); it != extra.constEnd(); ++it)
            text += QStringLiteral("%1:\t\t%2\n").arg(it.key(), it.value());
    }
    return text;
}
