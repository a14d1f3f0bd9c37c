#pragma once
// Conversions between coordinate texts and numbers: the tolerant reader of
// typed degree/minute/second texts and the degree/minute/second printer.

#include <QChar>
#include <QString>

#include <string>

// Reads a typed coordinate such as 46°30'15"S (degree sign as the byte 0xB0,
// or "deg" as ExifTool prints it) into signed decimal degrees. A leading "-"
// and a trailing S or W (any case) each negate the value.
float parse_coordinate(std::string text);
// The same in double precision, for a position that is written as typed.
double parse_coordinate_degrees(std::string text);

// Prints degrees as D°M'S" followed by the hemisphere letter (N/S for a
// latitude, E/W for a longitude); the numbers are truncated, not rounded.
QString coordinate_to_dms(float degrees, bool latitude);

// The hemisphere letter that coordinate_to_dms ends with, without building
// the whole text.
QChar hemisphere_letter(float degrees, bool latitude);

// Reads a number that may use "." or "," as decimal separator and the other
// (or a repeated one) as thousands separator; "e"/"E" between digits starts
// an exponent. Returns fallback when the text holds no digit.
double parse_number(const std::string& text, double fallback);
