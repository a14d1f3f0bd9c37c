// Fuzz target for the GPX reader, the mending of files that are not
// well-formed included: the input is read as a GPX file. Besides the
// sanitizers, every point the reader gives must stand in the input: some
// <trkpt ...> ... </trkpt> (or wpt) span holds its lat text, its lon text
// and a time text that reads as the same instant. The check reads the input
// on its own, with generous allowances where markup it does not follow
// (entities, comments, nested elements) could stand for the text; it judges
// no point of a file whose entities hold markup.

#include "gpx_reader.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtEndian>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

// A text of the input as the reader should see it; nullopt when it may
// stand for any text (a reference the check does not expand, markup).
using wanted_text = std::optional<QString>;

// The input decoded: by its byte-order mark, by its declared encoding when
// it is an 8-bit one, else as UTF-8. False for 16- or 32-bit text without
// a mark, which the check does not read.
bool decode(const QByteArray& data, QString& text)
{
    if (QTextCodec* const marked = QTextCodec::codecForUtfText(data, nullptr)) {
        const int mib = marked->mibEnum();
        if (mib < 1017 || mib > 1019) {
            text = marked->toUnicode(data);
            return true;
        }
        // UTF-32 code units, each one character or, out of range, a
        // replacement character.
        const bool little_endian = data.startsWith("\xFF\xFE");
        text.clear();
        for (int i = 4; i + 4 <= data.size(); i += 4) {
            const uchar* const unit = reinterpret_cast<const uchar*>(data.constData() + i);
            uint code = little_endian ? qFromLittleEndian<quint32>(unit) : qFromBigEndian<quint32>(unit);
            if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
                code = 0xFFFD;
            text += QString::fromUcs4(&code, 1);
        }
        return true;
    }
    if (data.startsWith(QByteArray("<\0", 2)) || data.startsWith(QByteArray("\0<", 2)) ||
        data.startsWith(QByteArray("\0\0", 2)))
        return false;
    static const QRegularExpression declared(QStringLiteral("^<\\?xml[^>]*\\sencoding\\s*=\\s*[\"']([^\"']+)"));
    const QRegularExpressionMatch match = declared.match(QString::fromLatin1(data.left(256)));
    QTextCodec* const codec = match.hasMatch() ? QTextCodec::codecForName(match.captured(1).toLatin1()) : nullptr;
    const int mib = codec ? codec->mibEnum() : 106;
    if (mib == 106 || (mib >= 1013 && mib <= 1019))
        text = QString::fromUtf8(data.constData(), data.size());
    else
        text = codec->toUnicode(data);
    return true;
}

// White space as XML reads it in attribute values; control characters,
// which no XML text holds, as the blanks that mending makes of them; a lone
// surrogate (which the patterns cannot read) as a replacement character.
QString normalized(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x20)
            text[i] = QLatin1Char(' ');
        else if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

// Text with its character references and predefined entities expanded.
wanted_text expanded(const QString& raw)
{
    static const QRegularExpression reference(QStringLiteral("&(#x[0-9A-Fa-f]+|#[0-9]+|amp|lt|gt|quot|apos);"));
    QString out;
    int from = 0;
    bool bare = false; // an '&' of no reference expanded here
    for (auto it = reference.globalMatch(raw); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QStringRef before = raw.midRef(from, m.capturedStart() - from);
        bare = bare || before.contains(QLatin1Char('&'));
        out += before;
        from = m.capturedEnd();
        const QString name = m.captured(1);
        if (name.startsWith(QLatin1Char('#'))) {
            bool ok = false;
            const uint code = name.startsWith(QLatin1String("#x")) ? name.mid(2).toUInt(&ok, 16) : name.mid(1).toUInt(&ok);
            const bool allowed = ok && (code == 9 || code == 10 || code == 13 || (code >= 0x20 && code <= 0xD7FF) ||
                                        (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF));
            if (!allowed)
                return std::nullopt;
            out += QString::fromUcs4(&code, 1);
        } else {
            static const QHash<QString, QChar> predefined{{QStringLiteral("amp"), QLatin1Char('&')},
                                                          {QStringLiteral("lt"), QLatin1Char('<')},
                                                          {QStringLiteral("gt"), QLatin1Char('>')},
                                                          {QStringLiteral("quot"), QLatin1Char('"')},
                                                          {QStringLiteral("apos"), QLatin1Char('\'')}};
            out += predefined.value(name);
        }
    }
    const QStringRef rest = raw.midRef(from);
    if (bare || rest.contains(QLatin1Char('&')))
        return std::nullopt;
    out += rest;
    return out;
}

bool allows(const std::vector<wanted_text>& texts, const QString& text)
{
    for (const wanted_text& wanted : texts)
        if (!wanted || *wanted == text)
            return true;
    return false;
}

// An ISO 8601 time as GPX means it, a time without zone being UTC; also
// with a blank for the "T", or a date alone.
bool same_instant(const QString& raw, const QDateTime& time)
{
    QString text = raw.trimmed();
    if (text.size() > 10 && text.at(10) == QLatin1Char(' '))
        text[10] = QLatin1Char('T');
    for (const QString& form : {text, text + QLatin1Char('Z')}) {
        const QDateTime read = QDateTime::fromString(form, Qt::ISODate);
        if (read.isValid() && read.timeSpec() != Qt::LocalTime && read.toMSecsSinceEpoch() == time.toMSecsSinceEpoch())
            return true;
    }
    // A date alone: its midnight.
    const QDate date = QDate::fromString(text, Qt::ISODate);
    return date.isValid() && QDateTime(date, QTime(0, 0), Qt::UTC) == time;
}

// One point element of the input: the values its start tag gives lat and
// lon, and the texts of the time elements inside it.
struct point_span {
    std::vector<wanted_text> lat, lon, times;
};

std::vector<point_span> point_spans(const QString& text, bool any_attribute)
{
    static const QRegularExpression start(QStringLiteral("<((?:[^\\s<>/:]+:)?(trkpt|wpt))(?=[\\s/>]|$)"));
    static const QRegularExpression attribute(QStringLiteral("(?<![^\\s\"'])(lat|lon)\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)')"));
    static const QRegularExpression time(QStringLiteral("<(?:[^\\s<>/:]+:)?time(?:\\s[^>]*)?>([^<]*)(<?/?)"));
    std::vector<point_span> spans;
    for (auto it = start.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const int end_tag = text.indexOf(QStringLiteral("</") + m.captured(1), m.capturedEnd());
        const QString span = text.mid(m.capturedEnd(), end_tag < 0 ? -1 : end_tag - m.capturedEnd());
        // The start tag: up to its first '>' outside quotes.
        QChar quote;
        int tag_end = 0;
        for (; tag_end < span.size(); ++tag_end) {
            const QChar c = span.at(tag_end);
            if (!quote.isNull() && c == quote)
                quote = QChar();
            else if (quote.isNull() && (c == QLatin1Char('"') || c == QLatin1Char('\'')))
                quote = c;
            else if (quote.isNull() && c == QLatin1Char('>'))
                break;
        }
        point_span point;
        for (auto a = attribute.globalMatch(span.left(tag_end)); a.hasNext();) {
            const QRegularExpressionMatch value = a.next();
            const QString raw = value.captured(2).isNull() ? value.captured(3) : value.captured(2);
            (value.captured(1) == QLatin1String("lat") ? point.lat : point.lon).push_back(expanded(raw));
        }
        for (auto* texts : {&point.lat, &point.lon}) {
            texts->push_back(QString()); // a point without the attribute
            if (any_attribute)
                texts->push_back(std::nullopt);
        }
        // A time may come of an entity's text.
        static const QRegularExpression entity(QStringLiteral("&(?!#|(amp|lt|gt|quot|apos);)[^;]*;"));
        if (span.contains(entity))
            point.times.push_back(std::nullopt);
        for (auto t = time.globalMatch(span.mid(tag_end)); t.hasNext();) {
            const QRegularExpressionMatch value = t.next();
            point.times.push_back(value.captured(2) == QLatin1String("</") ? expanded(value.captured(1)) : std::nullopt);
        }
        spans.push_back(point);
    }
    return spans;
}

bool from_span(const std::vector<point_span>& spans, const gpx_point& point)
{
    for (const point_span& span : spans) {
        if (!allows(span.lat, point.lat) || !allows(span.lon, point.lon))
            continue;
        if (!point.time.isValid())
            return true;
        for (const wanted_text& time : span.times)
            if (!time || same_instant(*time, point.time))
                return true;
    }
    return false;
}

QString temporary_path()
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/fuzz_gpx.XXXXXX"));
    return folder.filePath(QStringLiteral("input.gpx"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    const QString path = temporary_path();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            std::abort();
    }
    const gpx_parser reader(path);
    QString text;
    if (!decode(bytes, text))
        return 0;
    text = normalized(text);
    // An entity holds markup when its value holds a '<', written as it is or
    // by a character reference (which the declaration already turns into the
    // character); so may a parameter entity, which may declare such an
    // entity. One that refers to an entity holding markup needs no look of
    // its own: that entity keeps the file from being judged.
    static const QRegularExpression markup_entity(
        QStringLiteral("<!ENTITY\\s+(?:%\\s+)?[^\\s%]+\\s+(\"[^\"]*|'[^']*)(<|&#0*60;|&#x0*3[Cc];)"));
    if (text.contains(markup_entity))
        return 0;
    // Comments, instructions and CDATA sections hold no point, and a time
    // element that holds one may read as any text.
    static const QRegularExpression unread(QStringLiteral("<!--.*?-->|<\\?.*?\\?>|<!\\[CDATA\\[.*?\\]\\]>"),
                                           QRegularExpression::DotMatchesEverythingOption);
    text.replace(unread, QStringLiteral("<!>"));
    // Attribute defaults declared in the document type may give any text.
    const std::vector<point_span> spans = point_spans(text, text.contains(QLatin1String("<!ATTLIST")));
    for (const gpx_track& track : reader.tracks) {
        for (const gpx_point& point : track.points) {
            if (from_span(spans, point))
                continue;
            // Percent-encoded, so that every character shows.
            const auto shown = [](const QString& text) { return text.toUtf8().toPercentEncoding(" .:-+").toStdString(); };
            std::fprintf(stderr,
                         "Point of track \"%s\" that no point element of the input holds: lat \"%s\", lon \"%s\", "
                         "time %s (%s)\n",
                         shown(track.name).c_str(), shown(point.lat).c_str(), shown(point.lon).c_str(),
                         qPrintable(point.time.toUTC().toString(Qt::ISODateWithMs)),
                         point.time.isValid() ? "valid" : "invalid");
            std::abort();
        }
    }
    return 0;
}
