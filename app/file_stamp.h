#pragma once
// A file as the file system knows it, at no cost to ExifTool: which file a
// name leads to (links followed, as a write follows them) and the state of
// its contents and status. A write of any kind (other tags, a touch),
// another file put in the name's place, a link to another file, and a
// deleted or renamed file each give another stamp, or none.

#include <QByteArray>

#include <optional>

#include <sys/types.h>
#include <time.h>

struct file_stamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{}; // contents, to the nanosecond
    timespec changed{};  // contents or status (links, owner, a rename)

    bool operator==(const file_stamp& other) const;
    bool operator!=(const file_stamp& other) const { return !(*this == other); }
};

// The stamp of the file that name (bytes, as the file system has it) leads
// to. Nothing when stat() fails; then error holds its errno.
std::optional<file_stamp> stamp_of(const QByteArray& name, int& error);

// Whether stat()'s errno says that there is no file by that name (any more).
bool no_such_file(int error);
