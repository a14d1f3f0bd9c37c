#include "ko/misc.h"

#include "ko/assert.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>
#include <stdexcept>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ko {

void sleep_seconds(double seconds)
{
    // NaN and anything below one whole second fail this test.
    if (!(seconds >= 1.0))
        return;
    const double whole = std::trunc(seconds);
    timespec remaining{};
    remaining.tv_sec = whole >= static_cast<double>(std::numeric_limits<time_t>::max())
                           ? std::numeric_limits<time_t>::max()
                           : static_cast<time_t>(whole);
    remaining.tv_nsec = 0;
    timespec request = remaining;
    while (nanosleep(&request, &remaining) != 0 && errno == EINTR)
        request = remaining;
}

encoded_character unicode_character_to_utf16(std::uint32_t code_point)
{
    encoded_character result{};
    result.units.u16[0] = 0;
    result.units.u16[1] = 0;
    result.utf16 = true;
    if (code_point < 0xD800 || (code_point >= 0xE000 && code_point <= 0xFFFF)) {
        result.units.u16[0] = static_cast<char16_t>(code_point);
    } else if (code_point >= 0x10000 && code_point <= 0x10FFFF) {
        result.units.u16[0] = static_cast<char16_t>(0xD800 | ((code_point - 0x10000) >> 10));
        result.units.u16[1] = static_cast<char16_t>(0xDC00 | (code_point & 0x3FF));
    }
    // Surrogate code points and values past U+10FFFF: two zero units.
    return result;
}

encoded_character unicode_character_to_utf8(std::uint32_t cp)
{
    encoded_character result{};
    std::uint8_t* b = result.units.u8;
    b[0] = b[1] = b[2] = b[3] = 0;
    result.utf16 = false;
    if (cp < 0x80) {
        b[0] = static_cast<std::uint8_t>(cp);
    } else if (cp < 0x800) {
        b[0] = static_cast<std::uint8_t>(0xC0 | (cp >> 6));
        b[1] = static_cast<std::uint8_t>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        b[0] = static_cast<std::uint8_t>(0xE0 | (cp >> 12));
        b[1] = static_cast<std::uint8_t>(0x80 | ((cp >> 6) & 0x3F));
        b[2] = static_cast<std::uint8_t>(0x80 | (cp & 0x3F));
    } else if (cp <= 0x10FFFF) {
        b[0] = static_cast<std::uint8_t>(0xF0 | (cp >> 18));
        b[1] = static_cast<std::uint8_t>(0x80 | ((cp >> 12) & 0x3F));
        b[2] = static_cast<std::uint8_t>(0x80 | ((cp >> 6) & 0x3F));
        b[3] = static_cast<std::uint8_t>(0x80 | (cp & 0x3F));
    }
    return result;
}

namespace {

bool is_continuation(std::uint8_t byte)
{
    return (byte & 0xC0) == 0x80;
}

} // namespace

std::uint32_t utf8_to_unicode_character(char*& position, std::size_t bytes_available)
{
    if (bytes_available == 0)
        return 0;
    const auto* p = reinterpret_cast<const std::uint8_t*>(position);
    const std::uint8_t b0 = p[0];

    std::size_t length = 0;
    std::uint32_t cp = 0;
    std::uint32_t minimum = 0;
    if (b0 < 0x80) {
        ++position;
        return b0;
    } else if ((b0 & 0xE0) == 0xC0) {
        length = 2;
        cp = b0 & 0x1F;
        minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3;
        cp = b0 & 0x0F;
        minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4;
        cp = b0 & 0x07;
        minimum = 0x10000;
    } else {
        // A continuation byte in lead position, or 0xF8 to 0xFF.
        return 0;
    }
    if (bytes_available < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if (!is_continuation(p[i]))
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    // Overlong forms and values past the Unicode range are rejected.
    // Surrogate code points are accepted, as the encoder produces them.
    if (cp < minimum || cp > 0x10FFFF)
        return 0;
    position += length;
    return cp;
}

std::uint32_t utf16_to_unicode_character(char16_t*& position, size_t units_available)
{
    if (units_available == 0)
        return 0;
    const char16_t* ptr = position;
    if (ptr[0] < 0xD800 || ptr[0] > 0xDBFF) {
        ++position;
        return ptr[0];
    }
    if (units_available < 2)
        return 0;
    KO_ASSERT(0xDC00<=ptr[1]&&ptr[1]<=0xDFFF);
    position += 2;
    return ((static_cast<std::uint32_t>(ptr[0]) & 0x3FF) << 10) + (static_cast<std::uint32_t>(ptr[1]) & 0x3FF)
           + 0x10000;
}

namespace {

std::uint32_t rotl32(std::uint32_t x, int r)
{
    return (x << r) | (x >> (32 - r));
}

std::uint32_t read_le32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8)
           | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

} // namespace

std::uint32_t murmur3_32(const void* data, std::size_t length, std::uint32_t seed)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    const std::size_t blocks = length / 4;
    const std::uint32_t c1 = 0xcc9e2d51;
    const std::uint32_t c2 = 0x1b873593;
    std::uint32_t h = seed;

    for (std::size_t i = 0; i < blocks; ++i) {
        std::uint32_t k = read_le32(bytes + i * 4);
        k *= c1;
        k = rotl32(k, 15);
        k *= c2;
        h ^= k;
        h = rotl32(h, 13);
        h = h * 5 + 0xe6546b64;
    }

    const std::uint8_t* tail = bytes + blocks * 4;
    std::uint32_t k = 0;
    switch (length & 3) {
    case 3:
        k ^= static_cast<std::uint32_t>(tail[2]) << 16;
        [[fallthrough]];
    case 2:
        k ^= static_cast<std::uint32_t>(tail[1]) << 8;
        [[fallthrough]];
    case 1:
        k ^= tail[0];
        k *= c1;
        k = rotl32(k, 15);
        k *= c2;
        h ^= k;
    }

    h ^= static_cast<std::uint32_t>(length);
    h ^= h >> 16;
    h *= 0x85ebca6b;
    h ^= h >> 13;
    h *= 0xc2b2ae35;
    h ^= h >> 16;
    return h;
}

std::string string_format(std::size_t buffer_size, const char* format, ...)
{
    // vsnprintf returns the length the whole text needs, which may exceed the
    // buffer: format once into the caller's size, and again when too short.
    std::string text(buffer_size, '\0');
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int needed = std::vsnprintf(buffer_size ? &text[0] : nullptr, buffer_size, format, args);
    va_end(args);
    if (needed < 0) {
        va_end(again);
        return std::string();
    }
    const auto length = static_cast<std::size_t>(needed);
    if (length >= buffer_size) {
        text.assign(length + 1, '\0');
        const int written = std::vsnprintf(&text[0], length + 1, format, again);
        if (written < 0 || static_cast<std::size_t>(written) != length) {
            va_end(again);
            return std::string();
        }
    }
    va_end(again);
    text.resize(length);
    return text;
}

std::string local_time_string(const std::int64_t& time, const std::string& format)
{
    std::int64_t seconds = time;
    if (seconds == 0)
        seconds = static_cast<std::int64_t>(std::time(nullptr));
    if (seconds < std::numeric_limits<time_t>::min() || seconds > std::numeric_limits<time_t>::max())
        return std::string();
    const time_t t = static_cast<time_t>(seconds);
    std::tm calendar{};
    if (localtime_r(&t, &calendar) == nullptr)
        return std::string();
    if (format.empty())
        return std::string();
    // strftime returns 0 when the buffer is too small; grow it a few times.
    for (std::size_t size = 100; size <= 100000; size *= 10) {
        std::string buffer(size, '\0');
        const std::size_t written = std::strftime(&buffer[0], size, format.c_str(), &calendar);
        if (written > 0) {
            buffer.resize(written);
            return buffer;
        }
    }
    return std::string();
}

std::string current_directory()
{
    // The native path is a byte string already; it is handed on unchanged
    // so that no name is altered by a round trip through another encoding.
    std::vector<char> buffer(260);
    for (;;) {
        if (getcwd(buffer.data(), buffer.size()) != nullptr)
            return std::string(buffer.data());
        if (errno != ERANGE || buffer.size() >= (std::size_t(1) << 24))
            return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

std::vector<directory_entry> list_directory(std::string& directory)
{
    std::vector<directory_entry> entries;
    if (directory.size() > 1 && directory.back() == '/')
        directory.pop_back();
    DIR* dir = opendir(directory.c_str());
    if (dir == nullptr)
        return entries;
    // Backslashes are ordinary characters in names here and stay as they are.
    const std::string prefix = directory == "/" ? directory : directory + "/";
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        directory_entry item;
        item.name = name;
        item.path = prefix + name;
        struct stat status{};
        item.is_directory = stat(item.path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
        entries.push_back(std::move(item));
    }
    closedir(dir);
    return entries;
}

namespace {

struct date_form
{
    std::size_t length;
    char separator;
    std::size_t first_separator, second_separator;
    std::size_t day_at, month_at, year_at, year_length;
};

const date_form date_forms[] = {
    {8, '-', 2, 5, 6, 3, 0, 2},  // yy-mm-dd
    {8, '.', 2, 5, 0, 3, 6, 2},  // dd.mm.yy
    {8, '/', 2, 5, 3, 0, 6, 2},  // mm/dd/yy
    {10, '-', 4, 7, 8, 5, 0, 4}, // yyyy-mm-dd
    {10, '.', 2, 5, 0, 3, 6, 4}, // dd.mm.yyyy
    {10, '/', 2, 5, 3, 0, 6, 4}, // mm/dd/yyyy
};

// Every character but digits and '-' becomes a blank; an all-blank field is
// 0, anything else is read like stoi does. Nothing when no number is there.
std::optional<int> date_field(std::string field)
{
    bool any = false;
    for (char& c : field) {
        if ((c < '0' || c > '9') && c != '-')
            c = ' ';
        else
            any = true;
    }
    if (!any)
        return 0;
    try {
        return std::stoi(field);
    } catch (const std::invalid_argument&) {
        return std::nullopt;
    } catch (const std::out_of_range&) {
        return std::nullopt;
    }
}

} // namespace

std::optional<std::int64_t> parse_date(const std::string& text)
{
    const date_form* form = nullptr;
    for (const date_form& candidate : date_forms) {
        if (text.size() == candidate.length && text[candidate.first_separator] == candidate.separator
            && text[candidate.second_separator] == candidate.separator) {
            form = &candidate;
            break;
        }
    }
    if (form == nullptr)
        return std::nullopt;

    const auto day = date_field(text.substr(form->day_at, 2));
    const auto month = date_field(text.substr(form->month_at, 2));
    const auto year = date_field(text.substr(form->year_at, form->year_length));
    if (!day || !month || !year)
        return std::nullopt;

    int year_offset = 0;
    if (form->year_length == 2)
        year_offset = *year < 70 ? *year + 100 : *year;
    else
        year_offset = *year - 1900;

    std::tm calendar{};
    calendar.tm_mday = *day;
    calendar.tm_mon = *month - 1;
    calendar.tm_year = year_offset;
    calendar.tm_hour = 1;
    calendar.tm_min = 0;
    calendar.tm_sec = 0;
    calendar.tm_isdst = 0;
    // mktime answers -1 both for an error and for one second before 1970;
    // only a successful call fills in the day of the week.
    calendar.tm_wday = -1;
    const time_t result = std::mktime(&calendar);
    if (result == static_cast<time_t>(-1) && calendar.tm_wday == -1)
        return std::nullopt;
    return static_cast<std::int64_t>(result);
}

} // namespace ko
