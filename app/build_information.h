#pragma once
// Revisions of the program's components and the constants of the build.

#include <QMap>
#include <QString>

#include <map>
#include <string>

// Component name to its short source revision (seven hex digits).
extern const std::map<std::string, std::string> component_version_map;

// The application's own revision.
std::string application_revision();

// One line "Component: <name>\tVersion: <revision>\n" per component, in
// name order.
std::string component_report();

std::map<std::string, std::string> component_versions();

// "gcc Version: 12.2.0\n" for the compiler that built the program.
std::string compiler_line();

// "Build: <Mmm dd yyyy hh:mm:ss>\n", the time this unit was compiled.
std::string build_stamp_line();

// The text of the application information report: system, compiler,
// application, build, components and the extra entries (key order).
QString application_information_text(const QMap<QString, QString>& extra);
