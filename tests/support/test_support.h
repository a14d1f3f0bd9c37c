#pragma once
// Helpers shared by the test programs: files made at test time, one-shot
// ExifTool runs to check what the application wrote, and answering modal
// dialogs by their button text.

#include <QColor>
#include <QMap>
#include <QString>
#include <QStringList>

namespace test_support {

// The path of a program that tests run (exiftool, ffmpeg, python3) on PATH.
// When it is missing: empty, after a warning that names the Debian package
// to install (scripts/deps.sh installs it).
QString find_tool(const QString& program);
// That warning's text, for a test's failure message.
QString missing_tool(const QString& program);

// Writes a small image of the given format ("JPEG", "PNG", "TIFF") to path.
bool make_image(const QString& path, const char* format = "JPEG",
                int width = 64, int height = 48, QColor colour = QColor(40, 120, 200));

// Runs the installed exiftool once with args; returns its exit code, or -1
// when it could not be run or did not finish within timeout_ms.
int run_exiftool(const QStringList& args, QString* standard_output = nullptr,
                 int timeout_ms = 30000);

// The same for any program on PATH, run in folder (unless empty).
int run_program(const QString& program, const QStringList& args, const QString& folder,
                QString* standard_output = nullptr, int timeout_ms = 30000);

// Tags of a file as a separate exiftool run sees them: "-n -s -a -G1" lines,
// keyed "Group:Tag" (numeric values, duplicates shown).
QMap<QString, QString> read_tags_numeric(const QString& path);

// Same, keyed by plain tag name without group (later duplicates win).
QMap<QString, QString> read_plain_tags_numeric(const QString& path);

// Within timeout_ms, waits for an active modal widget (or a visible message
// box) and clicks the first button whose text, without '&', equals text.
// Returns at once; the click happens from the event loop.
void click_button_later(const QString& text, int timeout_ms = 5000);

} // namespace test_support
