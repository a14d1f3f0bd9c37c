#pragma once
// The parsers of ExifTool's "-args" answers and the C escapes of "-ec", on
// their own so that they can be exercised without a process.

#include "ko/exiftool.h"

namespace ko::exiftool_answer {

// The answer of a plain read: values trimmed; it ends at a NUL.
exif_tag_map parse_answer(const QByteArray& bytes);
// A value of a "-ec" read with its C escapes undone.
QString unescape_c(const QByteArray& bytes);
// The answer of a "-ec" read: values taken as they are, not trimmed, and
// either unescaped or kept escaped.
exif_tag_map parse_exact_answer(const QByteArray& bytes, ko::tag_values values);
// value as a write line carries it, C-escaped into escaped; false when it
// needs no escape.
bool escape_c(const QString& value, ko::tag_values values, QString& escaped);

} // namespace ko::exiftool_answer
