#pragma once
// Free helpers of the toolkit: Unicode conversion, hashing, printf-style
// formatting, dates, sleeping and directory listing. Standard library and
// C runtime only, no Qt.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ko {

// One character as produced by the two encoders. The units are readable as
// a zero-terminated 8-bit string (UTF-8) or 16-bit string (UTF-16); units a
// character does not need are 0.
struct encoded_character
{
    union {
        std::uint8_t u8[4];
        char16_t u16[2];
    } units;
    std::uint16_t terminator = 0;
    bool utf16 = false;
};
static_assert(sizeof(encoded_character) == 8, "encoded_character is an 8-byte value");

struct directory_entry
{
    std::string name;     // file name as the C runtime reports it
    std::string path;     // directory + "/" + name
    bool is_directory = false;
};

// Sleeps the whole seconds of the argument (the fraction is dropped);
// returns at once when that is not positive. Resumes after signals.
void sleep_seconds(double seconds);

// Code point to UTF-16: one unit, a surrogate pair, or two zero units for
// surrogate code points and values past U+10FFFF.
encoded_character unicode_character_to_utf16(std::uint32_t code_point);

// Code point to UTF-8 (1 to 4 bytes); four zero bytes past U+10FFFF.
encoded_character unicode_character_to_utf8(std::uint32_t code_point);

// Decodes one character at position and advances position past it. On
// malformed or truncated input the result is 0 and position does not move;
// a caller tells an error from a decoded zero by whether position moved.
std::uint32_t utf8_to_unicode_character(char*& position, std::size_t bytes_available);

// As above for UTF-16. A high surrogate followed by anything but a low
// surrogate fails the toolkit assertion; a high surrogate in the last
// available unit gives 0 without moving.
std::uint32_t utf16_to_unicode_character(char16_t*& position, size_t units_available);

// MurmurHash3, x86 32-bit variant.
std::uint32_t murmur3_32(const void* data, std::size_t length, std::uint32_t seed);

// printf into a std::string. buffer_size is the first guess of the length;
// longer results are measured and formatted again. Empty on a format error.
std::string string_format(std::size_t buffer_size, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// strftime of a time in seconds since 1970 (0 = now) in local time. Empty
// when the time cannot be converted or the text cannot be formatted.
std::string local_time_string(const std::int64_t& time, const std::string& format);

// The process's current directory; empty when it cannot be determined.
std::string current_directory();

// The entries of one directory, "." and ".." left out, no recursion. A
// trailing "/" is removed from directory (but "/" itself stays). Empty when
// the directory cannot be opened.
std::vector<directory_entry> list_directory(std::string& directory);

// Reads yy-mm-dd, dd.mm.yy, mm/dd/yy, yyyy-mm-dd, dd.mm.yyyy or mm/dd/yyyy
// as 01:00 local standard time of that day, in seconds since 1970. Nothing
// when the text has none of these forms, a field holds no number, or the
// date cannot be converted.
std::optional<std::int64_t> parse_date(const std::string& text);

} // namespace ko
