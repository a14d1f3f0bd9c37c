#include "file_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

void add(listing& into, const QByteArray& path)
{
    (round_trips(path) ? into.files : into.refused) << QFile::decodeName(path);
}

// A file as it came; a folder as its readable files, one level deep, without
// hidden ones; nothing for anything else.
void add_path(listing& into, const QByteArray& path)
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

// The path as the URL carries it: percent-encoded bytes, not text.
QByteArray bytes_of(const QUrl& url)
{
    const QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (url.host().isEmpty())
        return path;
    return "//" + QFile::encodeName(url.host()) + (path.startsWith('/') ? "" : "/") + path;
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
    listing found;
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            add_path(found, bytes_of(url));
    return found;
}

listing of_paths(const QStringList& paths)
{
    listing found;
    for (const QString& path : paths) {
        if (ambiguous(path))
            found.refused << path;
        else
            add_path(found, QFile::encodeName(path));
    }
    return found;
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
