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
    void encoders_at_every_boundary()
    {
        using bytes = std::vector<std::uint8_t>;
        const std::vector<std::pair<std::uint32_t, bytes>> utf8 = {
            {0x7F, {0x7F}}, {0x80, {0xC2, 0x80}}, {0x7FF, {0xDF, 0xBF}}, {0x800, {0xE0, 0xA0, 0x80}},
            {0xFFFF, {0xEF, 0xBF, 0xBF}}, {0x10000, {0xF0, 0x90, 0x80, 0x80}},
            {0x10FFFF, {0xF4, 0x8F, 0xBF, 0xBF}}, {0x110000, {}}, {0, {}}};
        for (const auto& [cp, expected] : utf8)
            QCOMPARE(utf8_bytes(ko::unicode_character_to_utf8(cp)), expected);
        // The units read as a zero-terminated string.
        QCOMPARE(ko::unicode_character_to_utf8(0x20AC).terminator, std::uint16_t(0));

        const std::vector<std::array<std::uint32_t, 3>> utf16 = {
            {0xD7FF, 0xD7FF, 0}, {0xD800, 0, 0}, {0xDFFF, 0, 0}, {0xE000, 0xE000, 0}, {0xFFFF, 0xFFFF, 0},
            {0x10000, 0xD800, 0xDC00}, {0x10FFFF, 0xDBFF, 0xDFFF}, {0x110000, 0, 0}};
        for (const auto& [cp, first, second] : utf16) {
            const auto c = ko::unicode_character_to_utf16(cp);
            QVERIFY2(c.units.u16[0] == first && c.units.u16[1] == second, qPrintable(QString::number(cp, 16)));
        }
    }

    void utf8_decoder_valid_and_malformed()
    {
        for (const auto& [bytes, value] : std::vector<std::pair<std::vector<int>, std::uint32_t>>{
                 {{0x00}, 0}, {{0xC3, 0xA9}, 0xE9}, {{0xE2, 0x82, 0xAC}, 0x20AC}, {{0xF4, 0x8F, 0xBF, 0xBF}, 0x10FFFF},
                 {{0xED, 0xA0, 0x80}, 0xD800}}) {
            const auto d = decode_utf8(std::vector<char>(bytes.begin(), bytes.end()), bytes.size());
            QCOMPARE(d.value, value);
            QCOMPARE(d.moved, std::ptrdiff_t(bytes.size()));
        }
        // Malformed input is an error without moving.
        struct sample
        {
            const char* what;
            std::vector<int> bytes;
            std::size_t available;
        };
        const std::vector<sample> samples = {
            {"truncated", {0xE2, 0x82, 0xAC}, 2},
            {"continuation byte as lead", {0x80, 0x41}, 2},
            {"0xF8 lead", {0xF8, 0x88, 0x80, 0x80, 0x80}, 5},
            {"overlong two-byte NUL", {0xC0, 0x80}, 2},
            {"overlong three-byte U+07FF", {0xE0, 0x9F, 0xBF}, 3},
            {"overlong four-byte U+FFFF", {0xF0, 0x8F, 0xBF, 0xBF}, 4},
            {"past U+10FFFF", {0xF4, 0x90, 0x80, 0x80}, 4},
            {"terminator inside a sequence", {0xC3, 0x00}, 2},
            {"lead inside a sequence", {0xF0, 0x9F, 0xC3, 0xA9}, 4},
            {"nothing available", {0x41}, 0},
        };
        for (const sample& s : samples) {
            const decoded d = decode_utf8(std::vector<char>(s.bytes.begin(), s.bytes.end()), s.available);
            QVERIFY2(d.value == 0 && d.moved == 0, s.what);
        }
    }

    void round_trip_of_every_code_point()
    {
        for (std::uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
            const auto c = ko::unicode_character_to_utf8(cp);
            const std::size_t length = cp == 0 ? 1 : utf8_bytes(c).size();
            const decoded d = decode_utf8(std::vector<char>(c.units.u8, c.units.u8 + 4), length);
            if (d.value != cp || d.moved != std::ptrdiff_t(length))
                QFAIL(qPrintable(QString("UTF-8 U+%1").arg(cp, 0, 16)));
            if (cp >= 0xD800 && cp <= 0xDFFF)
                continue;
            const auto u = ko::unicode_character_to_utf16(cp);
            const decoded r = decode_utf16({u.units.u16[0], u.units.u16[1]}, 2);
            if (r.value != cp || r.moved != (cp >= 0x10000 ? 2 : 1))
                QFAIL(qPrintable(QString("UTF-16 U+%1").arg(cp, 0, 16)));
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
        std::size_t offset = 0, errors = 0;
        while (offset < data.size()) {
            char* p = data.data() + offset;
            const std::size_t available = data.size() - offset;
            const std::uint32_t value = ko::utf8_to_unicode_character(p, available);
            const auto moved = static_cast<std::size_t>(p - (data.data() + offset));
            QVERIFY(moved <= 4 && moved <= available);
            if (moved == 0) { // the caller skips the bad byte
                QCOMPARE(value, 0u);
                ++errors;
                ++offset;
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
        auto d = decode_utf16({0xDBFF, 0xDFFF, u'A'}, 3);
        QVERIFY(d.value == 0x10FFFFu && d.moved == 2);
        // A lone low surrogate comes back unchanged.
        d = decode_utf16({0xDC05, u'A'}, 2);
        QVERIFY(d.value == 0xDC05u && d.moved == 1);
        // A high surrogate in the last unit: error, no move (the loop must end).
        d = decode_utf16({0xD83D, 0xDE00}, 1);
        QVERIFY(d.value == 0u && d.moved == 0);

        // An unpaired high surrogate is an assertion, and the pointer stays.
        std::vector<char16_t> units = {0xD800, u'A'};
        char16_t* p = units.data();
        bool thrown = false;
        try {
            ko::utf16_to_unicode_character(p, units.size());
        } catch (const std::string& text) {
            thrown = true;
            QVERIFY2(text.rfind("assert \"0xDC00<=ptr[1]&&ptr[1]<=0xDFFF\" failed at ", 0) == 0, text.c_str());
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
            {std::string(), 0xFFFFFFFF, 0x81F16F39},
            {std::string("\x21\x43\x65\x87", 4), 0x5082EDEE, 0x2362F9DE},
            {std::string("\x21\x43\x65", 3), 0, 0x7E4A8634},
            {std::string("\x21\x43", 2), 0, 0xA0F7B07A},
            {std::string("\x21", 1), 0, 0x72661CF4},
            {std::string("\0\0\0\0", 4), 0, 0x2362F9DE},
            {"Hello, world!", 0x9747B28C, 0x24884CBA},
            {"The quick brown fox jumps over the lazy dog", 0x9747B28C, 0x2FA826CD},
        };
        for (const vector& v : vectors)
            QCOMPARE(ko::murmur3_32(v.data.data(), v.data.size(), v.seed), v.hash);
        // Blocks are read byte by byte: an unaligned start gives the same hash.
        std::vector<char> shifted(1 + 43);
        std::memcpy(shifted.data() + 1, vectors.back().data.data(), 43);
        QCOMPARE(ko::murmur3_32(shifted.data() + 1, 43, 0x9747B28C), 0x2FA826CDu);
    }

    void string_format_longer_than_buffer()
    {
        const std::string long_text(1000, 'q');
        QCOMPARE(ko::string_format(8, "<%s|%05d>", long_text.c_str(), 7), "<" + long_text + "|00007>");
        // Exactly the buffer size and a zero-size buffer.
        QCOMPARE(ko::string_format(5, "%s", "abcde"), std::string("abcde"));
        QCOMPARE(ko::string_format(0, "%s", "abc"), std::string("abc"));
        // A lone surrogate cannot be converted to a multibyte character: empty text.
        const wchar_t bad[] = {0xD800, 0};
        QCOMPARE(ko::string_format(32, "x%lsy", bad), std::string());
    }

    void parse_date_forms_and_after_2038()
    {
        // Fixed zone of the test run: Europe/Berlin, standard time UTC+1.
        QCOMPARE(qEnvironmentVariable("TZ"), QString("Europe/Berlin"));
        const std::vector<std::pair<const char*, qint64>> dates = {
            {"2024-03-15", utc(2024, 3, 15)}, {"15.03.2024", utc(2024, 3, 15)}, {"03/15/24", utc(2024, 3, 15)},
            // mm/dd/yy read with month 15: normalised to 3 March 2025.
            {"15/03/24", utc(2025, 3, 3)},
            // Two-digit years: 00-69 are 2000-2069, 70-99 are 1970-1999.
            {"69-01-02", utc(2069, 1, 2)}, {"70-01-02", utc(1970, 1, 2)},
            // Daylight-saving time off: a summer date is 01:00 standard time.
            {"2024-07-01", utc(2024, 7, 1)}, {"1969-12-31", utc(1969, 12, 31)},
            {"2038-01-20", utc(2038, 1, 20)}, {"12/31/9999", utc(9999, 12, 31)}};
        for (const auto& [text, expected] : dates)
            QCOMPARE(ko::parse_date(text).value_or(-7), expected);
        for (const char* text : {"", "abcdefgh", "2024-3-15", "2024-03-155", "24/03-15", "20240315",
                                 "2024.03.15", "2024-03---", "--.03.2024", "03/--/24"})
            QVERIFY2(!ko::parse_date(text).has_value(), text);
    }

    void local_time_string_formats()
    {
        QCOMPARE(ko::local_time_string(utc(2024, 7, 15, 12), "%H:%M %Z"), std::string("14:00 CEST"));
        // Past 2038 and before 1970.
        QCOMPARE(ko::local_time_string(utc(2040, 7, 1, 0), "%Y-%m-%d %H:%M"), std::string("2040-07-01 02:00"));
        QCOMPARE(ko::local_time_string(-86400, "%Y-%m-%d %H:%M"), std::string("1969-12-31 01:00"));
        // A text longer than the first buffer.
        const std::string long_format(300, 'x');
        QCOMPARE(ko::local_time_string(utc(2024, 3, 15), long_format + "%Y"), long_format + "2024");
        // A time the calendar conversion cannot represent.
        QCOMPARE(ko::local_time_string(std::numeric_limits<std::int64_t>::max(), "%Y"), std::string());
    }

    void current_directory_long_and_removed()
    {
        const QString before = QDir::currentPath();
        QTemporaryDir root;
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

        // A removed working directory gives empty text, not a stale one.
        QVERIFY(QDir().mkpath(root.path() + "/gone"));
        QVERIFY(QDir::setCurrent(root.path() + "/gone"));
        QVERIFY(QDir().rmdir(root.path() + "/gone"));
        const std::string removed = ko::current_directory();
        QDir::setCurrent(before);
        QCOMPARE(removed, std::string());
    }

    void list_directory_entries()
    {
        QTemporaryDir root;
        const QString base = root.path();
        QVERIFY(QDir().mkpath(base + "/sub/inner"));
        for (const QString& name : {QString("plain.txt"), QString("back\\slash")}) {
            QFile f(base + "/" + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        std::string directory = base.toStdString() + "/";
        std::vector<ko::directory_entry> entries = ko::list_directory(directory);
        // The caller's text loses its trailing slash.
        QCOMPARE(directory, base.toStdString());
        std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
        QCOMPARE(entries.size(), std::size_t(3)); // no recursion into sub
        QCOMPARE(entries[0].path, directory + "/back\\slash");
        QVERIFY(!entries[0].is_directory);
        QVERIFY(entries[2].name == "sub" && entries[2].is_directory);

        std::string root_path = "/";
        for (const auto& e : ko::list_directory(root_path))
            QCOMPARE(e.path, "/" + e.name);
        QCOMPARE(root_path, std::string("/"));
        std::string missing = "/nonexistent-folder-of-the-test/";
        QVERIFY(ko::list_directory(missing).empty());
    }

    void sleep_seconds_whole_seconds_and_resumes_after_signal()
    {
        QElapsedTimer timer;
        timer.start();
        ko::sleep_seconds(0.5);
        ko::sleep_seconds(-3.0);
        ko::sleep_seconds(std::nan(""));
        QVERIFY(timer.elapsed() < 300);

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
        timer.restart();
        ko::sleep_seconds(1.9);
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
