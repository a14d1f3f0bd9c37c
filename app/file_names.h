#pragma once
// File names as the system gives them: bytes. Qt decodes them as UTF-8 and
// puts U+FFFD in place of bytes that are no UTF-8, so two names can come to
// the same text, which then leads to one of them only. These rules decide
// which names can be loaded by their text and which are refused and named.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QStringList>

#include <optional>

class QUrl;

namespace file_names {

// Candidates for loading, the names that cannot be loaded by their text and
// the URLs of files on another host (both decoded for display).
struct listing {
    QStringList files;
    QStringList refused;
    QStringList remote = {}; // so that {files, refused} needs no third member
};

// A file as the system knows it, whatever name leads to it (hard links,
// links to folders, one disk mounted twice): its device and inode.
using file_id = QPair<quint64, quint64>;
std::optional<file_id> id_of(const QByteArray& path);

// Whether the text of the name gives back its bytes.
bool round_trips(const QByteArray& name);

// The files of a drop, from the bytes its URLs carry: a local file as it
// came, a local folder as its readable files one level deep; only existing
// files. Names whose bytes are no UTF-8 are refused, each named once. A file
// URL's host "localhost" or this machine's own name is this machine; a file
// URL of another host is remote, named by its URL, once.
listing of_urls(const QList<QUrl>& urls);

// The same from the bytes of a "text/uri-list", one URL a line, read here:
// some sources put a name's bytes in unencoded, which QUrl would turn into
// U+FFFD.
listing of_uri_list(const QByteArray& uri_list);

// The same for paths whose bytes Qt has decoded already (file-open events):
// a path is refused when another name of its folder decodes to its text.
listing of_paths(const QStringList& paths);

// Of paths chosen in the file dialog, those that name one file only; the
// others refused.
listing unambiguous(const QStringList& paths);

// Where a path to load really leads. A path is usable when the bytes of the
// canonical path, the one the program reads and writes, survive the round
// trip; else its text would name another file, or none (a Latin-1 folder
// reached through a link). A missing path holding U+FFFD is unusable too:
// its bytes were no UTF-8.
struct resolved_path {
    enum { usable, unusable, missing } state = missing;
    QString path;
    std::optional<file_id> id;
};
resolved_path resolve(const QString& given);

} // namespace file_names
