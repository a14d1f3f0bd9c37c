#pragma once
// Shared by the benchmarks that drive the real window: a private home, the
// photos they load, and a guard against message boxes that would stop a run.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace bench_support {

// A new folder under /tmp in which HOME, the XDG folders and ExifTool's home
// now lie; the offscreen platform unless QT_QPA_PLATFORM says otherwise.
// Empty (and said on standard error) when it cannot be made.
QString make_private_root();

// The names the program runs under, so that the window finds its settings
// store (without them every save fails and is said in a message box).
void name_application();

// One noisy 1600x1200 picture, saved at a quality that gives about 440 KB.
QByteArray photo_bytes();

// n photos named img_0000.jpg ... in folder, each with its own recording
// time and a camera, without GPS data; their paths are appended to paths.
// One ExifTool run writes the tags.
bool make_photos(const QString& folder, int n, QStringList& paths);

// Copies every pristine file over its work counterpart.
bool restore(const QStringList& pristine, const QStringList& work);

// Closes the active modal dialog, if any, and says so on standard error.
void close_unexpected_boxes();

} // namespace bench_support
