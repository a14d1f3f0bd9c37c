#include "file_stamp.h"

#include <cerrno>

#include <sys/stat.h>

bool file_stamp::operator==(const file_stamp& other) const
{
    return device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
           changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
}

std::optional<file_stamp> stamp_of(const QByteArray& name, int& error)
{
    struct stat info;
    if (::stat(name.constData(), &info) != 0) {
        error = errno;
        return std::nullopt;
    }
    error = 0;
    file_stamp stamp;
    stamp.device = info.st_dev;
    stamp.inode = info.st_ino;
    stamp.size = info.st_size;
    stamp.modified = info.st_mtim;
    stamp.changed = info.st_ctim;
    return stamp;
}

bool no_such_file(int error) { return error == ENOENT || error == ENOTDIR; }
