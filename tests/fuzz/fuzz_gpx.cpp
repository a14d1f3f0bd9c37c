// Fuzz target for the GPX reader, the mending of files that are not
// well-formed included: the input is read as a GPX file. Besides the
// sanitizers, every point the reader gives must stand in the input: some
// trkpt (or wpt) element holds its lat text, its lon text and a time text
// that reads as the same instant. The check reads the input on its own as
// XML does: it decodes references (those to the document type's internal
// entities too), normalises attribute values, skips comments and
// instructions and reads CDATA sections as text. Where mending or markup it
// does not follow (a document type that parameter or external entities may
// extend) could stand for a text, it allows any.

#include "gpx_reader.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtEndian>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

// A text of the input as the reader should see it; nullopt when it may
// stand for any text (a reference the check cannot decode, mended text).
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

// Line ends as XML reads them (a carriage return, alone or before a line
// feed, is a line feed); control characters, which no XML text holds, as
// the blanks that mending makes of them; a lone surrogate as a replacement
// character.
QString normalized(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r')) {
            out += QLatin1Char('\n');
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else if (c.unicode() < 0x20 && c != QLatin1Char('\n') && c != QLatin1Char('\t')) {
            out += QLatin1Char(' ');
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
        } else {
            out += c.isSurrogate() ? QChar(QChar::ReplacementCharacter) : c;
        }
    }
    return out;
}

bool is_space(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\n') || c == QLatin1Char('\t') || c == QLatin1Char('\r');
}

bool is_blank(const QString& text)
{
    return std::all_of(text.begin(), text.end(), is_space);
}

// The end of a name that starts at from: up to a blank or markup.
int name_end(const QString& text, int from)
{
    static const QString stops = QStringLiteral("<>/=\"'&;[]!?");
    int i = from;
    while (i < text.size() && !is_space(text.at(i)) && !stops.contains(text.at(i)))
        ++i;
    return i;
}

// Whether an element's name is local, with or without a prefix.
bool is_named(const QString& name, const char* local)
{
    const int colon = name.indexOf(QLatin1Char(':'));
    return name.midRef(colon + 1) == QLatin1String(local);
}

// The character of a reference "#..." or "#x...", if XML allows it.
std::optional<QString> character(const QString& reference)
{
    const bool hex = reference.startsWith(QLatin1String("#x"));
    const QString digits = reference.mid(hex ? 2 : 1);
    static const QRegularExpression valid_hex(QStringLiteral("^[0-9A-Fa-f]{1,8}$"));
    static const QRegularExpression valid_decimal(QStringLiteral("^[0-9]{1,9}$"));
    if (!(hex ? valid_hex : valid_decimal).match(digits).hasMatch())
        return std::nullopt;
    const uint code = digits.toUInt(nullptr, hex ? 16 : 10);
    if (!(code == 9 || code == 10 || code == 13 || (code >= 0x20 && code <= 0xD7FF) ||
          (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF)))
        return std::nullopt;
    return QString::fromUcs4(&code, 1);
}

std::optional<QChar> predefined(const QString& name)
{
    static const QHash<QString, QChar> characters{{QStringLiteral("amp"), QLatin1Char('&')},
                                                  {QStringLiteral("lt"), QLatin1Char('<')},
                                                  {QStringLiteral("gt"), QLatin1Char('>')},
                                                  {QStringLiteral("quot"), QLatin1Char('"')},
                                                  {QStringLiteral("apos"), QLatin1Char('\'')}};
    const auto found = characters.constFind(name);
    return found == characters.constEnd() ? std::nullopt : std::optional<QChar>(*found);
}

// One point element of the input: the values its start tag gives lat and
// lon, and the texts of the time elements inside it.
struct point_span {
    std::vector<wanted_text> lat, lon, times;
};

// A piece of a time element's text, as the XML reader may split it.
struct piece {
    enum kind_type { text, cdata, reference, markup } kind;
    wanted_text value;
};

// The texts a time element of these pieces may give: the reader leaves out
// text that is only white space between markup, and it may split text at
// references.
std::vector<wanted_text> time_texts(const std::vector<piece>& pieces)
{
    std::vector<wanted_text> texts;
    for (int dropping = 0; dropping < 3; ++dropping) {
        QString all;
        QString run; // text since the last boundary
        bool known = true;
        const auto close_run = [&]() {
            if (dropping == 0 || !is_blank(run))
                all += run;
            run.clear();
        };
        for (const piece& p : pieces) {
            known = known && p.value;
            if (p.kind == piece::cdata || p.kind == piece::markup || (p.kind == piece::reference && dropping == 2))
                close_run();
            if (p.kind == piece::cdata)
                all += p.value.value_or(QString());
            else
                run += p.value.value_or(QString());
        }
        close_run();
        texts.push_back(known ? wanted_text(all) : std::nullopt);
    }
    return texts;
}

// The input walked through as XML reads it, its entities expanded.
class input_walk
{
public:
    explicit input_walk(const QString& text);

    std::vector<point_span> spans;
    // Attribute defaults declared in the document type may give any text.
    bool any_attribute = false;
    // The input refers to an entity that the check cannot see declared, nor
    // rule out as markup, or expands too far: any point may come of it.
    bool undecodable = false;

private:
    struct frame {
        QString text;
        int at;
    };
    struct open_time {
        int depth;
        std::vector<std::size_t> points;
        std::vector<piece> pieces;
    };

    void read_doctype(const QString& text, int& at);
    void read_start_tag(const QString& text, int& at);
    void read_end_tag(const QString& text, int& at);
    void close_to(int depth);
    wanted_text attribute_value(const QString& raw, int nesting, bool keep_line_feeds);
    void add(piece::kind_type kind, const wanted_text& value);

    QHash<QString, wanted_text> entities; // nullopt: an external entity
    bool extended = false;                // by parameter entities
    std::vector<frame> frames;            // the document, then the entities it expands
    std::vector<QString> elements;        // the open elements
    std::vector<std::pair<int, std::size_t>> open_points; // depth, span
    std::vector<open_time> open_times;
    qint64 expanded = 0;
};

constexpr int nesting_limit = 32;
constexpr qint64 expansion_limit = 1 << 24;

input_walk::input_walk(const QString& document)
{
    frames.push_back({document, 0});
    while (!frames.empty() && !undecodable) {
        frame& top = frames.back();
        const QString& text = top.text;
        int& at = top.at;
        if (at >= text.size()) {
            frames.pop_back();
            add(piece::markup, QString());
            continue;
        }
        const QChar c = text.at(at);
        if (c == QLatin1Char('<')) {
            const QStringRef rest = text.midRef(at);
            const auto skip = [&](int opening, const char* closing) {
                const int end = text.indexOf(QLatin1String(closing), at + opening);
                at = end < 0 ? text.size() : end + int(std::strlen(closing));
                add(piece::markup, QString());
            };
            if (rest.startsWith(QLatin1String("<!--"))) {
                skip(4, "-->");
            } else if (rest.startsWith(QLatin1String("<?"))) {
                skip(2, "?>");
            } else if (rest.startsWith(QLatin1String("<![CDATA["))) {
                const int end = text.indexOf(QLatin1String("]]>"), at);
                add(piece::cdata, text.mid(at + 9, end < 0 ? -1 : end - at - 9));
                at = end < 0 ? text.size() : end + 3;
            } else if (rest.startsWith(QLatin1String("<!DOCTYPE")) && frames.size() == 1) {
                read_doctype(text, at);
            } else if (rest.startsWith(QLatin1String("</"))) {
                read_end_tag(text, at);
            } else {
                read_start_tag(text, at);
            }
            continue;
        }
        if (c == QLatin1Char('&')) {
            int end = name_end(text, at + 1);
            if (end >= text.size() || text.at(end) != QLatin1Char(';'))
                end = -1; // a bare '&'
            const QString name = end < 0 ? QString() : text.mid(at + 1, end - at - 1);
            if (name.startsWith(QLatin1Char('#'))) {
                add(piece::reference, character(name));
            } else if (const std::optional<QChar> known = predefined(name)) {
                add(piece::reference, QString(*known));
            } else if (entities.contains(name) && entities.value(name)) {
                expanded += entities.value(name)->size();
                if (frames.size() > nesting_limit || expanded > expansion_limit)
                    undecodable = true;
                add(piece::markup, QString());
                at = end + 1;
                frames.push_back({*entities.value(name), 0});
                continue;
            } else {
                // Mended into text, an external entity's reference, or one
                // that a parameter entity may declare as anything.
                if (extended && !entities.contains(name))
                    undecodable = true;
                add(piece::reference, std::nullopt);
            }
            at = end < 0 ? at + 1 : end + 1;
            continue;
        }
        int end = at;
        while (end < text.size() && text.at(end) != QLatin1Char('<') && text.at(end) != QLatin1Char('&'))
            ++end;
        add(piece::text, text.mid(at, end - at));
        at = end;
    }
    close_to(0);
}

// The document type: its internal entities, each with its literal value
// (character references decoded, the other references kept for their use).
void input_walk::read_doctype(const QString& text, int& at)
{
    static const QRegularExpression entity(
        QStringLiteral("<!ENTITY\\s+([^\\s%]+)\\s+(?:\"([^\"]*)\"|'([^']*)'|(SYSTEM|PUBLIC))"));
    at += 9;
    QChar quote;
    bool in_subset = false;
    while (at < text.size()) {
        const QChar c = text.at(at);
        const QStringRef rest = text.midRef(at);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (in_subset && rest.startsWith(QLatin1String("<!--"))) {
            const int end = text.indexOf(QLatin1String("-->"), at + 4);
            at = end < 0 ? text.size() : end + 3;
            continue;
        } else if (in_subset && rest.startsWith(QLatin1String("<?"))) {
            const int end = text.indexOf(QLatin1String("?>"), at + 2);
            at = end < 0 ? text.size() : end + 2;
            continue;
        } else if (in_subset && rest.startsWith(QLatin1String("<!ATTLIST"))) {
            any_attribute = true;
        } else if (in_subset && rest.startsWith(QLatin1String("<!ENTITY"))) {
            const QRegularExpressionMatch m = entity.match(text, at, QRegularExpression::NormalMatch,
                                                           QRegularExpression::AnchoredMatchOption);
            if (m.hasMatch() && !entities.contains(m.captured(1))) {
                if (!m.captured(4).isEmpty()) {
                    entities.insert(m.captured(1), std::nullopt);
                } else {
                    const QString literal = m.captured(2).isNull() ? m.captured(3) : m.captured(2);
                    static const QRegularExpression reference(QStringLiteral("&(#[^;]*);"));
                    QString value;
                    int from = 0;
                    bool known = true;
                    for (auto it = reference.globalMatch(literal); it.hasNext();) {
                        const QRegularExpressionMatch r = it.next();
                        value += literal.midRef(from, r.capturedStart() - from);
                        const std::optional<QString> decoded = character(r.captured(1));
                        known = known && decoded;
                        value += decoded.value_or(QString());
                        from = r.capturedEnd();
                    }
                    value += literal.midRef(from);
                    entities.insert(m.captured(1), known ? wanted_text(value) : std::nullopt);
                }
            }
        } else if (c == QLatin1Char('%')) {
            extended = true;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('[')) {
            in_subset = true;
        } else if (c == QLatin1Char(']')) {
            in_subset = false;
        } else if (c == QLatin1Char('>') && !in_subset) {
            ++at;
            return;
        }
        ++at;
    }
}

// A start tag: a point element's span opens with it, a time element's text
// is collected for the points it stands in.
void input_walk::read_start_tag(const QString& text, int& at)
{
    const int name_start = at + 1;
    int i = name_end(text, name_start);
    const QString name = text.mid(name_start, i - name_start);
    const bool point = is_named(name, "trkpt") || is_named(name, "wpt");
    point_span span;
    bool empty = false;
    while (i < text.size()) {
        while (i < text.size() && is_space(text.at(i)))
            ++i;
        if (i >= text.size() || text.at(i) == QLatin1Char('>') || text.at(i) == QLatin1Char('<'))
            break;
        if (text.midRef(i).startsWith(QLatin1String("/>"))) {
            empty = true;
            ++i;
            break;
        }
        const int attribute_end = name_end(text, i);
        const QString attribute = text.mid(i, attribute_end - i);
        i = attribute_end;
        while (i < text.size() && is_space(text.at(i)))
            ++i;
        if (attribute.isEmpty() || i >= text.size() || text.at(i) != QLatin1Char('=')) {
            i = qMax(i, attribute_end + 1); // no attribute: the reader stops here
            continue;
        }
        ++i;
        while (i < text.size() && is_space(text.at(i)))
            ++i;
        if (i >= text.size() || (text.at(i) != QLatin1Char('"') && text.at(i) != QLatin1Char('\'')))
            continue;
        const int close = text.indexOf(text.at(i), i + 1);
        const int lt = text.indexOf(QLatin1Char('<'), i + 1);
        if (close < 0 || (lt >= 0 && lt < close)) {
            // A value that runs across a '<' is none: the tag ends there.
            i = lt < 0 ? text.size() : lt;
            break;
        }
        if (attribute == QLatin1String("lat") || attribute == QLatin1String("lon")) {
            std::vector<wanted_text>& values = attribute == QLatin1String("lat") ? span.lat : span.lon;
            const QString raw = text.mid(i + 1, close - i - 1);
            values.push_back(attribute_value(raw, 0, false));
            // Qt's reader keeps the line feeds of a value that an entity's text holds.
            if (frames.size() > 1)
                values.push_back(attribute_value(raw, 0, true));
        }
        i = close + 1;
    }
    at = i < text.size() && text.at(i) == QLatin1Char('>') ? i + 1 : i;
    add(piece::markup, QString());
    elements.push_back(name);
    const int depth = int(elements.size());
    if (point) {
        for (auto* texts : {&span.lat, &span.lon}) {
            texts->push_back(QString()); // a point without the attribute
            if (any_attribute)
                texts->push_back(std::nullopt);
        }
        spans.push_back(span);
        open_points.push_back({depth, spans.size() - 1});
    } else if (is_named(name, "time") && !open_points.empty()) {
        open_time time{depth, {}, {}};
        for (const auto& open : open_points)
            time.points.push_back(open.second);
        open_times.push_back(time);
    }
    if (empty)
        close_to(depth - 1);
}

// An end tag closes the elements up to the last open one of its name.
void input_walk::read_end_tag(const QString& text, int& at)
{
    const int end = name_end(text, at + 2);
    const QString name = text.mid(at + 2, end - at - 2);
    const int close = text.indexOf(QLatin1Char('>'), end);
    at = close < 0 ? text.size() : close + 1;
    add(piece::markup, QString());
    for (int depth = int(elements.size()); depth > 0; --depth)
        if (elements[std::size_t(depth - 1)] == name) {
            close_to(depth - 1);
            return;
        }
}

void input_walk::close_to(int depth)
{
    while (!open_times.empty() && open_times.back().depth > depth) {
        const std::vector<wanted_text> texts = time_texts(open_times.back().pieces);
        for (const std::size_t point : open_times.back().points)
            spans[point].times.insert(spans[point].times.end(), texts.begin(), texts.end());
        open_times.pop_back();
    }
    while (!open_points.empty() && open_points.back().first > depth)
        open_points.pop_back();
    elements.resize(std::size_t(qMin(depth, int(elements.size()))));
}

// An attribute value as XML reads it: a blank for each white space
// character (but with keep_line_feeds for a line feed), and references
// decoded, an entity's text read as a value too.
wanted_text input_walk::attribute_value(const QString& raw, int nesting, bool keep_line_feeds)
{
    QString out;
    for (int i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c == QLatin1Char('<'))
            return std::nullopt;
        if (c != QLatin1Char('&')) {
            out += is_space(c) && !(keep_line_feeds && c == QLatin1Char('\n')) ? QChar(QLatin1Char(' ')) : c;
            continue;
        }
        const int end = raw.indexOf(QLatin1Char(';'), i);
        if (end < 0)
            return std::nullopt;
        const QString name = raw.mid(i + 1, end - i - 1);
        i = end;
        wanted_text value;
        if (name.startsWith(QLatin1Char('#')))
            value = character(name);
        else if (const std::optional<QChar> known = predefined(name))
            value = QString(*known);
        else if (nesting < nesting_limit && entities.value(name))
            value = attribute_value(*entities.value(name), nesting + 1, keep_line_feeds);
        if (!value)
            return std::nullopt;
        out += *value;
    }
    return out;
}

void input_walk::add(piece::kind_type kind, const wanted_text& value)
{
    for (open_time& time : open_times)
        time.pieces.push_back({kind, value});
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

bool from_span(const input_walk& input, const gpx_point& point)
{
    if (input.undecodable)
        return true;
    for (const point_span& span : input.spans) {
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
    const input_walk input(normalized(text));
    for (const gpx_track& track : reader.tracks) {
        for (const gpx_point& point : track.points) {
            if (from_span(input, point))
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
