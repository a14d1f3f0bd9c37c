// Unicode conversion, MurmurHash3, formatting, dates, sleeping and
// directory listing of the toolkit's free helpers.
#include "ko/misc.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <random>
#include <sys/time.h>
#include <unistd.h>

namespace {

std::vector<std::uint8_t> utf8_bytes(const ko::encoded_character& c)
{
    std::vector<std::uint8_t> bytes;
    for (std::uint8_t b : c.units.u8) {
        if (b == 0)
            break;
        bytes.push_back(b);
    }
    return bytes;
}

struct decoded
{
    std::uint32_t value;
    std::ptrdiff_t moved;
};

decoded decode_utf8(std::vector<char> bytes, std::size_t available)
{
    char* p = bytes.data();
    const std::uint32_t v = ko::utf8_to_unicode_character(p, available);
    return {v, p - bytes.data()};
}

decoded decode_utf8(std::initializer_list<int> bytes)
{
    std::vector<char> data;
    for (int b : bytes)
        data.push_back(static_cast<char>(b));
    return decode_utf8(data, data.size());
}

decoded decode_utf16(std::vector<char16_t> units, std::size_t available)
{
    char16_t* p = units.data();
    const std::uint32_t v = ko::utf16_to_unicode_character(p, available);
    return {v, p - units.data()};
}

qint64 utc(int y, int m, int d, int h = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, 0), Qt::UTC).toSecsSinceEpoch();
}

volatile std::sig_atomic_t alarms = 0;
void on_alarm(int)
{
    alarms = alarms + 1;
}

} // namespace

class test_misc : public QObject {
    Q_OBJECT
private slots:
    void encoded_character_layout()
    {
        QCOMPARE(sizeof(ko::encoded_character), std::size_t(8));
        const auto c = ko::unicode_character_to_utf8(0x20AC);
        // The units read as a zero-terminated string.
        QCOMPARE(std::strlen(reinterpret_cast<const char*>(c.units.u8)), std::size_t(3));
        QCOMPARE(c.terminator, std::uint16_t(0));
        QVERIFY(!c.utf16);
        QVERIFY(ko::unicode_character_to_utf16(0x41).utf16);
    }

    void utf16_encoder()
    {
        auto c = ko::unicode_character_to_utf16(0x41);
        QCOMPARE(int(c.units.u16[0]), 0x41);
        QCOMPARE(int(c.units.u16[1]), 0);
        c = ko::unicode_character_to_utf16(0xD7FF);
        QCOMPARE(int(c.units.u16[0]), 0xD7FF);
        for (std::uint32_t cp : {0xD800u, 0xDBFFu, 0xDC00u, 0xDFFFu, 0x110000u, 0xFFFFFFFFu}) {
            c = ko::unicode_character_to_utf16(cp);
            QCOMPARE(int(c.units.u16[0]), 0);
            QCOMPARE(int(c.units.u16[1]), 0);
        }
        c = ko::unicode_character_to_utf16(0xE000);
        QCOMPARE(int(c.units.u16[0]), 0xE000);
        c = ko::unicode_character_to_utf16(0xFFFF);
        QCOMPARE(int(c.units.u16[0]), 0xFFFF);
        c = ko::unicode_character_to_utf16(0x10000);
        QCOMPARE(int(c.units.u16[0]), 0xD800);
        QCOMPARE(int(c.units.u16[1]), 0xDC00);
        c = ko::unicode_character_to_utf16(0x1F600);
        QCOMPARE(int(c.units.u16[0]), 0xD83D);
        QCOMPARE(int(c.units.u16[1]), 0xDE00);
        c = ko::unicode_character_to_utf16(0x10FFFF);
        QCOMPARE(int(c.units.u16[0]), 0xDBFF);
        QCOMPARE(int(c.units.u16[1]), 0xDFFF);
    }

    void utf8_encoder_boundaries()
    {
        using bytes = std::vector<std::uint8_t>;
        QCOMPARE(utf8_bytes(ko::unicode_character_to_utf8(0x41)), bytes({0x41}));
        QCOMPARE(utf8_bytes(ko::unicode_character_to_utf8(0x7F)), bytes({0x7F}));
        QCOMPARE(utf8_bytes(ko::unicode_character_to_utf8(0x80)), bytes({0xC2, 0x80}));
        QCOMPARE(utf8_bytes(ko::unicode_character_to_utf8(0x7FF)), bytes({0xDF, 0xBF}));
        QCOMPARE(utf8_bytes(ko::unicode_character_to_utf8(0x800)), bytes({0xE0, 0xA0, 0x80}));
        QCOMPARE(utf8_bytes(ko::unicode_character_to_utf8(0x20AC)), bytes({0xE2, 0x82, 0xAC}));
        QCOMPARE(utf8_bytes(ko::unicode_character_to_utf8(0xD800)), bytes({0xED, 0xA0, 0x80}));
        QCOMPARE(utf8_bytes(ko::unicode_character_to_utf8(0xFFFF)), bytes({0xEF, 0xBF, 0xBF}));
        QCOMPARE(utf8_bytes(ko::unicode_character_to_utf8(0x10000)), bytes({0xF0, 0x90, 0x80, 0x80}));
        QCOMPARE(utf8_bytes(ko::unicode_character_to_utf8(0x10FFFF)), bytes({0xF4, 0x8F, 0xBF, 0xBF}));
        const auto past = ko::unicode_character_to_utf8(0x110000);
        for (std::uint8_t b : past.units.u8)
            QCOMPARE(int(b), 0);
        // U+0000 is one zero byte: the units are all 0.
        QVERIFY(utf8_bytes(ko::unicode_character_to_utf8(0)).empty());
    }

    void utf8_decoder_valid()
    {
        auto d = decode_utf8({0x41});
        QCOMPARE(d.value, 0x41u);
        QCOMPARE(d.moved, std::ptrdiff_t(1));
        d = decode_utf8({0x00});
        QCOMPARE(d.value, 0u);
        QCOMPARE(d.moved, std::ptrdiff_t(1));
        d = decode_utf8({0xC3, 0xA9});
        QCOMPARE(d.value, 0xE9u);
        QCOMPARE(d.moved, std::ptrdiff_t(2));
        d = decode_utf8({0xE2, 0x82, 0xAC, 0x41});
        QCOMPARE(d.value, 0x20ACu);
        QCOMPARE(d.moved, std::ptrdiff_t(3));
        d = decode_utf8({0xF0, 0x9F, 0x98, 0x80});
        QCOMPARE(d.value, 0x1F600u);
        QCOMPARE(d.moved, std::ptrdiff_t(4));
        d = decode_utf8({0xF4, 0x8F, 0xBF, 0xBF});
        QCOMPARE(d.value, 0x10FFFFu);
        QCOMPARE(d.moved, std::ptrdiff_t(4));
        // Surrogate code points come back as the encoder wrote them.
        d = decode_utf8({0xED, 0xA0, 0x80});
        QCOMPARE(d.value, 0xD800u);
        QCOMPARE(d.moved, std::ptrdiff_t(3));
    }

    void utf8_decoder_rejects_malformed_without_moving()
    {
        struct sample
        {
            const char* what;
            std::vector<int> bytes;
            std::size_t available;
        };
        const std::vector<sample> samples = {
            {"two-byte lead with one byte", {0xC3, 0xA9}, 1},
            {"three-byte lead with two bytes", {0xE2, 0x82, 0xAC}, 2},
            {"four-byte lead with three bytes", {0xF0, 0x9F, 0x98, 0x80}, 3},
            {"continuation byte as lead", {0x80, 0x41}, 2},
            {"continuation byte 0xBF as lead", {0xBF}, 1},
            {"0xF8 lead", {0xF8, 0x88, 0x80, 0x80, 0x80}, 5},
            {"0xFF lead", {0xFF, 0x80, 0x80, 0x80}, 4},
            {"overlong two-byte NUL", {0xC0, 0x80}, 2},
            {"overlong two-byte slash", {0xC1, 0xAF}, 2},
            {"overlong three-byte", {0xE0, 0x80, 0xAF}, 3},
            {"overlong three-byte U+07FF", {0xE0, 0x9F, 0xBF}, 3},
            {"overlong four-byte", {0xF0, 0x80, 0x80, 0xAF}, 4},
            {"overlong four-byte U+FFFF", {0xF0, 0x8F, 0xBF, 0xBF}, 4},
            {"past U+10FFFF", {0xF4, 0x90, 0x80, 0x80}, 4},
            {"0xF5 lead", {0xF5, 0x80, 0x80, 0x80}, 4},
            {"0xF7 lead", {0xF7, 0xBF, 0xBF, 0xBF}, 4},
            {"terminator inside a sequence", {0xC3, 0x00}, 2},
            {"ASCII inside a sequence", {0xE2, 0x41, 0xAC}, 3},
            {"lead inside a sequence", {0xF0, 0x9F, 0xC3, 0xA9}, 4},
            {"nothing available", {0x41}, 0},
        };
        for (const sample& s : samples) {
            std::vector<char> data;
            for (int b : s.bytes)
                data.push_back(static_cast<char>(b));
            const decoded d = decode_utf8(data, s.available);
            QVERIFY2(d.value == 0 && d.moved == 0, s.what);
        }
    }

    void utf8_round_trip_of_every_code_point()
    {
        for (std::uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
            const auto c = ko::unicode_character_to_utf8(cp);
            std::vector<char> data(c.units.u8, c.units.u8 + 4);
            const std::size_t length = cp == 0 ? 1 : utf8_bytes(c).size();
            const decoded d = decode_utf8(data, length);
            if (d.value != cp || d.moved != std::ptrdiff_t(length))
                QFAIL(qPrintable(QString("U+%1").arg(cp, 0, 16)));
        }
    }

    void utf8_decoder_always_progresses_or_reports()
    {
        // Random input: every call either moves by the length of a valid
        // sequence or reports an error without moving, never reads past
        // the bytes it was given.
        std::mt19937 random(12345);
        std::vector<char> data(4096);
        for (char& c : data)
            c = static_cast<char>(random() & 0xFF);
        std::size_t offset = 0;
        std::size_t errors = 0;
        while (offset < data.size()) {
            char* p = data.data() + offset;
            const std::size_t available = data.size() - offset;
            const std::uint32_t value = ko::utf8_to_unicode_character(p, available);
            const auto moved = static_cast<std::size_t>(p - (data.data() + offset));
            QVERIFY(moved <= 4 && moved <= available);
            if (moved == 0) {
                QCOMPARE(value, 0u);
                ++errors;
                ++offset; // the caller skips the bad byte
            } else {
                QVERIFY(value <= 0x10FFFF);
                const auto again = ko::unicode_character_to_utf8(value);
                QVERIFY(std::memcmp(again.units.u8, data.data() + offset, moved) == 0);
                offset += moved;
            }
        }
        QVERIFY(errors > 0);
    }

    void utf16_decoder()
    {
        auto d = decode_utf16({u'A'}, 1);
        QCOMPARE(d.value, 0x41u);
        QCOMPARE(d.moved, std::ptrdiff_t(1));
        d = decode_utf16({0xFFFF}, 1);
        QCOMPARE(d.value, 0xFFFFu);
        QCOMPARE(d.moved, std::ptrdiff_t(1));
        d = decode_utf16({0xD800, 0xDC00}, 2);
        QCOMPARE(d.value, 0x10000u);
        QCOMPARE(d.moved, std::ptrdiff_t(2));
        d = decode_utf16({0xDBFF, 0xDFFF, u'A'}, 3);
        QCOMPARE(d.value, 0x10FFFFu);
        QCOMPARE(d.moved, std::ptrdiff_t(2));
        // A lone low surrogate comes back unchanged.
        d = decode_utf16({0xDC05, u'A'}, 2);
        QCOMPARE(d.value, 0xDC05u);
        QCOMPARE(d.moved, std::ptrdiff_t(1));
        // A high surrogate in the last unit: error, no move.
        d = decode_utf16({0xD83D, 0xDE00}, 1);
        QCOMPARE(d.value, 0u);
        QCOMPARE(d.moved, std::ptrdiff_t(0));
        d = decode_utf16({u'A'}, 0);
        QCOMPARE(d.moved, std::ptrdiff_t(0));

        for (std::uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
            if (cp >= 0xD800 && cp <= 0xDFFF)
                continue;
            const auto c = ko::unicode_character_to_utf16(cp);
            const decoded r = decode_utf16({c.units.u16[0], c.units.u16[1]}, 2);
            if (r.value != cp || r.moved != (cp >= 0x10000 ? 2 : 1))
                QFAIL(qPrintable(QString("U+%1").arg(cp, 0, 16)));
        }
    }

    void utf16_decoder_asserts_on_unpaired_high_surrogate()
    {
        std::vector<char16_t> units = {0xD800, u'A'};
        char16_t* p = units.data();
        bool thrown = false;
        try {
            ko::utf16_to_unicode_character(p, units.size());
        } catch (const std::string& text) {
            thrown = true;
            QVERIFY2(text.rfind("assert \"0xDC00<=ptr[1]&&ptr[1]<=0xDFFF\" failed at ", 0) == 0, text.c_str());
            QVERIFY2(text.find("ko_toolkit/ko/misc.cpp:") != std::string::npos, text.c_str());
            const std::string tail = " in uint32_t ko::utf16_to_unicode_character(char16_t*&, size_t)\n";
            QVERIFY2(text.size() > tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0,
                     text.c_str());
        }
        QVERIFY(thrown);
        QCOMPARE(p, units.data());
    }

    void murmur3_published_vectors()
    {
        struct vector
        {
            std::string data;
            std::uint32_t seed;
            std::uint32_t hash;
        };
        const std::vector<vector> vectors = {
            {std::string(), 0, 0},
            {std::string(), 1, 0x514E28B7},
            {std::string(), 0xFFFFFFFF, 0x81F16F39},
            {std::string("\xFF\xFF\xFF\xFF", 4), 0, 0x76293B50},
            {std::string("\x21\x43\x65\x87", 4), 0, 0xF55B516B},
            {std::string("\x21\x43\x65\x87", 4), 0x5082EDEE, 0x2362F9DE},
            {std::string("\x21\x43\x65", 3), 0, 0x7E4A8634},
            {std::string("\x21\x43", 2), 0, 0xA0F7B07A},
            {std::string("\x21", 1), 0, 0x72661CF4},
            {std::string("\0\0\0\0", 4), 0, 0x2362F9DE},
            {std::string("\0\0\0", 3), 0, 0x85F0B427},
            {std::string("\0\0", 2), 0, 0x30F4C306},
            {std::string("\0", 1), 0, 0x514E28B7},
            {"aaaa", 0x9747B28C, 0x5A97808A},
            {"aaa", 0x9747B28C, 0x283E0130},
            {"aa", 0x9747B28C, 0x5D211726},
            {"a", 0x9747B28C, 0x7FA09EA6},
            {"abcd", 0x9747B28C, 0xF0478627},
            {"abc", 0x9747B28C, 0xC84A62DD},
            {"ab", 0x9747B28C, 0x74875592},
            {"Hello, world!", 0x9747B28C, 0x24884CBA},
            {"The quick brown fox jumps over the lazy dog", 0x9747B28C, 0x2FA826CD},
        };
        for (const vector& v : vectors) {
            const std::uint32_t h = ko::murmur3_32(v.data.data(), v.data.size(), v.seed);
            QVERIFY2(h == v.hash, qPrintable(QString("%1 seed %2: %3 instead of %4")
                                                 .arg(QString::fromStdString(v.data))
                                                 .arg(v.seed, 0, 16)
                                                 .arg(h, 0, 16)
                                                 .arg(v.hash, 0, 16)));
        }
        // Blocks are read byte by byte: an unaligned start gives the same hash.
        std::vector<char> shifted(1 + 43);
        const std::string fox = "The quick brown fox jumps over the lazy dog";
        std::memcpy(shifted.data() + 1, fox.data(), fox.size());
        QCOMPARE(ko::murmur3_32(shifted.data() + 1, fox.size(), 0x9747B28C), 0x2FA826CDu);
    }

    void string_format_longer_than_buffer()
    {
        QCOMPARE(ko::string_format(64, "%d-%s", 42, "x"), std::string("42-x"));
        const std::string long_text(1000, 'q');
        const std::string result = ko::string_format(8, "<%s|%05d>", long_text.c_str(), 7);
        QCOMPARE(result, "<" + long_text + "|00007>");
        // Exactly the buffer size, one less, and a zero-size buffer.
        QCOMPARE(ko::string_format(5, "%s", "abcde"), std::string("abcde"));
        QCOMPARE(ko::string_format(5, "%s", "abcd"), std::string("abcd"));
        QCOMPARE(ko::string_format(0, "%s", "abc"), std::string("abc"));
        QCOMPARE(ko::string_format(16, "%s", ""), std::string());
        QCOMPARE(ko::string_format(16, "%.3f", 3.14159), std::string("3.142"));
    }

    void string_format_error_gives_empty_text()
    {
        // A lone surrogate cannot be converted to a multibyte character.
        const wchar_t bad[] = {0xD800, 0};
        QCOMPARE(ko::string_format(32, "x%lsy", bad), std::string());
    }

    void parse_date_forms()
    {
        // Fixed zone of the test run: Europe/Berlin, standard time UTC+1.
        QCOMPARE(qEnvironmentVariable("TZ"), QString("Europe/Berlin"));
        const qint64 march15 = utc(2024, 3, 15, 0);
        QCOMPARE(ko::parse_date("2024-03-15").value_or(-7), march15);
        QCOMPARE(ko::parse_date("15.03.2024").value_or(-7), march15);
        QCOMPARE(ko::parse_date("03/15/2024").value_or(-7), march15);
        QCOMPARE(ko::parse_date("24-03-15").value_or(-7), march15);
        QCOMPARE(ko::parse_date("15.03.24").value_or(-7), march15);
        QCOMPARE(ko::parse_date("03/15/24").value_or(-7), march15);
        // mm/dd/yy read with month 15: normalised to 3 March 2025.
        QCOMPARE(ko::parse_date("15/03/24").value_or(-7), utc(2025, 3, 3, 0));
        // Two-digit years: 00-69 are 2000-2069, 70-99 are 1970-1999.
        QCOMPARE(ko::parse_date("69-01-02").value_or(-7), utc(2069, 1, 2, 0));
        QCOMPARE(ko::parse_date("70-01-02").value_or(-7), utc(1970, 1, 2, 0));
        // Daylight-saving time off: a summer date is 01:00 standard time.
        QCOMPARE(ko::parse_date("2024-07-01").value_or(-7), utc(2024, 7, 1, 0));
        // Before 1970.
        QCOMPARE(ko::parse_date("1969-12-31").value_or(-7), utc(1969, 12, 31, 0));
        // Non-digits in a field become blanks before the number is read.
        QCOMPARE(ko::parse_date("2024-03-1x").value_or(-7), utc(2024, 3, 1, 0));
    }

    void parse_date_after_2038()
    {
        QCOMPARE(ko::parse_date("2038-01-20").value_or(-7), utc(2038, 1, 20, 0));
        QCOMPARE(ko::parse_date("2040-07-01").value_or(-7), utc(2040, 7, 1, 0));
        QCOMPARE(ko::parse_date("01.01.2100").value_or(-7), utc(2100, 1, 1, 0));
        QCOMPARE(ko::parse_date("12/31/9999").value_or(-7), utc(9999, 12, 31, 0));
        QVERIFY(ko::parse_date("2040-07-01").value() > std::int64_t(INT32_MAX));
    }

    void parse_date_reports_failure()
    {
        for (const char* text : {"", "abcdefgh", "2024-3-15", "2024-03-155", "24/03-15", "20240315",
                                 "2024.03.15", "2024-03---", "--.03.2024", "03/--/24"}) {
            QVERIFY2(!ko::parse_date(text).has_value(), text);
        }
    }

    void local_time_string_formats()
    {
        QCOMPARE(ko::local_time_string(utc(2024, 3, 15, 12), "%Y-%m-%d %H:%M:%S"),
                 std::string("2024-03-15 13:00:00"));
        QCOMPARE(ko::local_time_string(utc(2024, 7, 15, 12), "%H:%M %Z"), std::string("14:00 CEST"));
        // Past 2038 and before 1970.
        QCOMPARE(ko::local_time_string(utc(2040, 7, 1, 0), "%Y-%m-%d %H:%M"), std::string("2040-07-01 02:00"));
        QCOMPARE(ko::local_time_string(-86400, "%Y-%m-%d %H:%M"), std::string("1969-12-31 01:00"));
        // 0 is now.
        const std::string year = ko::local_time_string(0, "%Y");
        QCOMPARE(QString::fromStdString(year), QString::number(QDate::currentDate().year()));
        // A text longer than the first buffer.
        const std::string long_format(300, 'x');
        QCOMPARE(ko::local_time_string(utc(2024, 3, 15), long_format + "%Y"), long_format + "2024");
        QCOMPARE(ko::local_time_string(utc(2024, 3, 15), ""), std::string());
        // A time the calendar conversion cannot represent.
        QCOMPARE(ko::local_time_string(std::numeric_limits<std::int64_t>::max(), "%Y"), std::string());
    }

    void current_directory_follows_chdir()
    {
        const QString before = QDir::currentPath();
        QTemporaryDir root;
        QVERIFY(root.isValid());
        QCOMPARE(QString::fromStdString(ko::current_directory()), before);
        // A path far longer than 260 bytes, with non-ASCII names.
        QString deep = root.path();
        for (int i = 0; i < 50; ++i)
            deep += QString("/Ordner-%1-\u00e4\u00f6\u00fc-\u20ac-\U0001F600").arg(i);
        QVERIFY(QDir().mkpath(deep));
        QVERIFY(QDir::setCurrent(deep));
        const std::string current = ko::current_directory();
        QDir::setCurrent(before);
        QVERIFY(current.size() > 1000);
        QCOMPARE(QString::fromStdString(current), QDir(deep).canonicalPath());
        QCOMPARE(QString::fromStdString(ko::current_directory()), before);
    }

    void current_directory_empty_when_removed()
    {
        const QString before = QDir::currentPath();
        QTemporaryDir root;
        QVERIFY(QDir().mkpath(root.path() + "/gone"));
        QVERIFY(QDir::setCurrent(root.path() + "/gone"));
        QVERIFY(!ko::current_directory().empty());
        QVERIFY(QDir().rmdir(root.path() + "/gone"));
        const std::string current = ko::current_directory();
        QDir::setCurrent(before);
        QCOMPARE(current, std::string());
    }

    void list_directory_entries()
    {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString base = root.path();
        QVERIFY(QDir().mkpath(base + "/sub/inner"));
        for (const QString& name : {QString("plain.txt"), QString("back\\slash"), QString("\u00e4.jpg")}) {
            QFile f(base + "/" + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        std::string directory = base.toStdString() + "/";
        std::vector<ko::directory_entry> entries = ko::list_directory(directory);
        // The caller's text loses its trailing slash.
        QCOMPARE(directory, base.toStdString());
        std::sort(entries.begin(), entries.end(),
                  [](const auto& a, const auto& b) { return a.name < b.name; });
        QCOMPARE(entries.size(), std::size_t(4));
        QCOMPARE(entries[0].name, std::string("back\\slash"));
        QCOMPARE(entries[0].path, directory + "/back\\slash");
        QVERIFY(!entries[0].is_directory);
        QCOMPARE(entries[1].name, std::string("plain.txt"));
        QCOMPARE(entries[2].name, std::string("sub"));
        QVERIFY(entries[2].is_directory);
        QCOMPARE(entries[2].path, directory + "/sub");
        QCOMPARE(entries[3].name, QString("\u00e4.jpg").toStdString());
        for (const auto& e : entries)
            QVERIFY(QFile::exists(QString::fromStdString(e.path)));

        // No recursion: the inner folder is not listed.
        std::string sub = directory + "/sub";
        entries = ko::list_directory(sub);
        QCOMPARE(entries.size(), std::size_t(1));
        QCOMPARE(entries[0].name, std::string("inner"));
        QVERIFY(entries[0].is_directory);
    }

    void list_directory_root_and_failures()
    {
        std::string root = "/";
        const auto entries = ko::list_directory(root);
        QCOMPARE(root, std::string("/"));
        QVERIFY(!entries.empty());
        bool found_tmp = false;
        for (const auto& e : entries) {
            QCOMPARE(e.path, "/" + e.name);
            if (e.name == "tmp")
                found_tmp = e.is_directory;
        }
        QVERIFY(found_tmp);

        std::string empty;
        QVERIFY(ko::list_directory(empty).empty());
        QCOMPARE(empty, std::string());
        std::string missing = "/nonexistent-folder-of-the-test/";
        QVERIFY(ko::list_directory(missing).empty());
        QCOMPARE(missing, std::string("/nonexistent-folder-of-the-test"));
    }

    void sleep_seconds_whole_seconds()
    {
        QElapsedTimer timer;
        timer.start();
        ko::sleep_seconds(0.5);
        ko::sleep_seconds(0.0);
        ko::sleep_seconds(-3.0);
        ko::sleep_seconds(std::nan(""));
        QVERIFY(timer.elapsed() < 300);

        timer.restart();
        ko::sleep_seconds(1.9);
        const qint64 elapsed = timer.elapsed();
        QVERIFY2(elapsed >= 990 && elapsed < 1700, qPrintable(QString::number(elapsed)));
    }

    void sleep_seconds_resumes_after_signal()
    {
        struct sigaction action{};
        action.sa_handler = on_alarm;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0; // no SA_RESTART: nanosleep returns EINTR
        struct sigaction previous{};
        QCOMPARE(sigaction(SIGALRM, &action, &previous), 0);
        itimerval timer_value{};
        timer_value.it_value.tv_usec = 200000;
        timer_value.it_interval.tv_usec = 200000;
        alarms = 0;
        QCOMPARE(setitimer(ITIMER_REAL, &timer_value, nullptr), 0);

        QElapsedTimer timer;
        timer.start();
        ko::sleep_seconds(1.0);
        const qint64 elapsed = timer.elapsed();

        itimerval off{};
        setitimer(ITIMER_REAL, &off, nullptr);
        sigaction(SIGALRM, &previous, nullptr);
        QVERIFY(alarms >= 2);
        QVERIFY2(elapsed >= 990 && elapsed < 1700, qPrintable(QString::number(elapsed)));
    }
};

QTEST_MAIN(test_misc)
#include "test_misc.moc"
