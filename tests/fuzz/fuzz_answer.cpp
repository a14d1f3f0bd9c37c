// Fuzz target for the parsers of ExifTool's answers: the input is taken as
// the bytes of an answer, plain and exact ("-ec"), and its text as a value
// that a write escapes. Besides the sanitizers: plain values come trimmed,
// values kept escaped read back as they are, and an escaped value comes
// back from an exact answer line unchanged.

#include "ko/exiftool_answer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void fail(const char* what, const QString& expected, const QString& got)
{
    std::fprintf(stderr, "%s\n  expected: %s\n  got:      %s\n", what, qPrintable(expected.toUtf8().toPercentEncoding()),
                 qPrintable(got.toUtf8().toPercentEncoding()));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace ko::exiftool_answer;
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));

    for (const auto& [key, value] : parse_answer(bytes)) {
        if (key != key.trimmed() || value != value.trimmed() || value.contains(QLatin1Char('\n')))
            fail("plain answer: untrimmed key or value", key.trimmed() + QLatin1Char('=') + value.trimmed(),
                 key + QLatin1Char('=') + value);
    }
    parse_exact_answer(bytes, ko::tag_values::text);
    // Values kept escaped are one line each and read back as they are.
    for (const auto& [key, value] : parse_exact_answer(bytes, ko::tag_values::escaped)) {
        const exif_tag_map again = parse_exact_answer("-Tag=" + value.toUtf8() + "\r\n", ko::tag_values::escaped);
        if (again.size() != 1 || again.begin()->second != value)
            fail("value kept escaped does not read back", value, again.empty() ? QString() : again.begin()->second);
    }

    // The same text as a value to write: one line, then back as ExifTool
    // answers it.
    const QString value = QString::fromUtf8(bytes.constData(), bytes.size());
    QString escaped;
    for (const ko::tag_values values : {ko::tag_values::text, ko::tag_values::escaped}) {
        const QString& line = escape_c(value, values, escaped) ? escaped : value;
        for (const QChar c : line)
            if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar(0))
                fail("escaped value is not one line", QString(), line);
    }
    const QString& sent = escape_c(value, ko::tag_values::text, escaped) ? escaped : value;
    const exif_tag_map back = parse_exact_answer("-Tag=" + sent.toUtf8() + "\r\n", ko::tag_values::text);
    const QString got = back.count(QStringLiteral("Tag")) ? back.at(QStringLiteral("Tag")) : QStringLiteral("(none)");
    if (back.size() != 1 || got != value)
        fail("value does not come back from an exact answer", value, got);
    return 0;
}
