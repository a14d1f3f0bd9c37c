#pragma once
// Photo records made from tag maps, without ExifTool: the helpers store a
// plain and a grouped answer in the process-wide photo store.

#include "ko/exiftool.h"

#include <QString>

namespace records_support {

// ExifTool's print form of a position, such as
// 47 deg 30' 0.00" N, 8 deg 15' 36.00" W.
QString gps_position_text(double lat, double lon);

// Stores a photo whose DateTimeOriginal is date_time ("2023:05:01 10:00:00");
// with a position when has_position. zone is the IPTC zone ("+02:00"), if any.
void add_photo(const QString& path, const QString& date_time, bool has_position = false, double lat = 0,
               double lon = 0, const QString& zone = QString());

// Empties the process-wide photo store.
void clear_store();

} // namespace records_support
