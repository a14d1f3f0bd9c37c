#include "file_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostInfo>
#include <QSet>
#include <QUrl>

#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace file_names {

namespace {

bool is_file(const QByteArray& path)
{
    struct stat info;
    return ::stat(path.constData(), &info) == 0 && S_ISREG(info.st_mode);
}

bool is_folder(const QByteArray& path)
{
    struct stat info;
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The names a folder holds, as they are stored, in the order the file system
// gives, without "." and "..".
QList<QByteArray> entries(const QByteArray& folder)
{
    QList<QByteArray> names;
    if (DIR* dir = ::opendir(folder.constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..")
                names << name;
        }
        ::closedir(dir);
    }
    return names;
}

// A listing being gathered. A refused name is listed once, however many ways
// lead to it (its folder and its own URL).
struct collector {
    listing found;
    QSet<QByteArray> refused_paths;
};

// The name goes to names, decoded for display only, all of it: a NUL does not
// end it.
void refuse(collector& into, const QByteArray& name, QStringList& names)
{
    if (!into.refused_paths.contains(name)) {
        into.refused_paths.insert(name);
        names << QString::fromLocal8Bit(name.constData(), name.size());
    }
}

void add(collector& into, const QByteArray& path)
{
    if (round_trips(path))
        into.found.files << QFile::decodeName(path);
    else
        refuse(into, path, into.found.refused);
}

// A file as it came; a folder as its readable files, one level deep, without
// hidden ones; nothing for anything else.
void add_path(collector& into, const QByteArray& path)
{
    // The system would read such a name only up to its NUL.
    if (path.contains('\0'))
        return;
    if (!is_folder(path)) {
        if (is_file(path))
            add(into, path);
        return;
    }
    QByteArray folder = path.startsWith('/') ? path : QFile::encodeName(QDir::currentPath()) + '/' + path;
    if (!folder.endsWith('/'))
        folder += '/';
    for (const QByteArray& name : entries(folder)) {
        const QByteArray file = folder + name;
        if (!name.startsWith('.') && is_file(file) && ::access(file.constData(), R_OK) == 0)
            add(into, file);
    }
}

// Percent-decoded to bytes: "%" and two hex digits give their byte, every
// other byte (a raw one of 0x80 and above too) stays as it is.
QByteArray percent_decoded(const QByteArray& text)
{
    const auto hex = [](char c) {
        return c >= '0' && c <= '9' ? c - '0'
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                      : -1;
    };
    QByteArray bytes;
    bytes.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
            bytes += char(hex(text[i + 1]) * 16 + hex(text[i + 2]));
            i += 2;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

// Whether a file URL's host is this machine: no host, "localhost" or this
// machine's own name, in any case.
bool on_this_machine(const QByteArray& host)
{
    const QString name = QString::fromUtf8(host.constData(), host.size());
    return name.isEmpty() || name.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
           name.compare(QHostInfo::localHostName(), Qt::CaseInsensitive) == 0;
}

// A file URL's host and path, percent-decoded.
struct file_url {
    QByteArray host;
    QByteArray path;
};

// A file URL as its bytes came, not read by QUrl, which would turn bytes that
// are no UTF-8 into U+FFFD; nothing for other URLs.
std::optional<file_url> file_url_of(QByteArray url)
{
    const int colon = url.indexOf(':');
    if (colon < 0 || url.left(colon).toLower() != "file")
        return std::nullopt;
    url.remove(0, colon + 1);
    for (const char end : {'?', '#'}) {
        const int at = url.indexOf(end);
        if (at >= 0)
            url.truncate(at);
    }
    QByteArray host;
    if (url.startsWith("//")) {
        const int slash = url.indexOf('/', 2);
        host = url.mid(2, slash < 0 ? -1 : slash - 2);
        url = slash < 0 ? QByteArray() : url.mid(slash);
    }
    return file_url{percent_decoded(host), percent_decoded(url)};
}

// Whether some part of the decoded path, holding U+FFFD, is also the text of
// another name in its folder: then the text cannot tell which one was meant.
bool ambiguous(const QString& path)
{
    if (!path.contains(QChar::ReplacementCharacter))
        return false;
    QByteArray folder("/");
    for (const QString& part : QFileInfo(path).absoluteFilePath().split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        const QByteArray own = QFile::encodeName(part);
        if (part.contains(QChar::ReplacementCharacter))
            for (const QByteArray& name : entries(folder))
                if (name != own && QFile::decodeName(name) == part)
                    return true;
        folder += own + '/';
    }
    return false;
}

} // namespace

std::optional<file_id> id_of(const QByteArray& path)
{
    struct stat info;
    if (::stat(path.constData(), &info) != 0)
        return std::nullopt;
    return file_id(quint64(info.st_dev), quint64(info.st_ino));
}

bool round_trips(const QByteArray& name)
{
    return QFile::encodeName(QFile::decodeName(name)) == name;
}

listing of_urls(const QList<QUrl>& urls)
{
    QByteArray uri_list;
    for (const QUrl& url : urls)
        uri_list += url.toEncoded() + "\r\n";
    return of_uri_list(uri_list);
}

listing of_uri_list(const QByteArray& uri_list)
{
    collector gathered;
    // Lines as QMimeData::urls() takes them: without a NUL at the end (old
    // senders add one), trimmed, comments skipped.
    const QByteArray list = uri_list.endsWith('\0') ? uri_list.chopped(1) : uri_list;
    for (const QByteArray& line : list.split('\n')) {
        const QByteArray url = line.trimmed();
        if (!url.isEmpty() && !url.startsWith('#'))
            if (const auto file = file_url_of(url)) {
                // Another machine's file cannot be read here; its path could
                // even name another file of this one.
                if (on_this_machine(file->host))
                    add_path(gathered, file->path);
                else
                    refuse(gathered, "file://" + file->host + file->path, gathered.found.remote);
            }
    }
    return gathered.found;
}

listing of_paths(const QStringList& paths)
{
    collector gathered;
    for (const QString& path : paths) {
        if (ambiguous(path))
            gathered.found.refused << path;
        else
            add_path(gathered, QFile::encodeName(path));
    }
    return gathered.found;
}

listing unambiguous(const QStringList& paths)
{
    listing found;
    for (const QString& path : paths)
        (ambiguous(path) ? found.refused : found.files) << path;
    return found;
}

resolved_path resolve(const QString& given)
{
    resolved_path result;
    const QString absolute = QFileInfo(given).absoluteFilePath();
    char* real = ::realpath(QFile::encodeName(absolute).constData(), nullptr);
    if (!real) {
        result.path = QDir::cleanPath(absolute);
        if (given.contains(QChar::ReplacementCharacter))
            result.state = resolved_path::unusable;
        return result;
    }
    const QByteArray bytes(real);
    std::free(real);
    result.path = QFile::decodeName(bytes);
    result.state = round_trips(bytes) ? resolved_path::usable : resolved_path::unusable;
    result.id = id_of(bytes);
    return result;
}

} // namespace file_names
