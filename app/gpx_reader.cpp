#include "gpx_reader.h"

#include "xml_mender.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTextCodec>
#include <QXmlStreamReader>
#include <QtEndian>

#include <cstring>
#include <iostream>
#include <memory>
#include <vector>

namespace {

// Bytes handed to the XML reader at a time; the first block is small.
constexpr qint64 block_size = 1 << 20;
constexpr qint64 first_block_size = 16 << 10;
// The XML reader keeps each token whole, at six bytes a character while it
// is unfinished, and fails on one of more than 2^30 characters: a token may
// take up this many bytes of text.
constexpr qint64 token_limit = 128 << 20;
// Of a comment, instruction or CDATA section this many bytes are passed
// on, more than the characters of a name or time that are kept.
constexpr qint64 long_item_kept = 1 << 20;
// Characters of a track's name or a point's time that are kept: no name or
// time comes near it.
constexpr int text_limit = 1 << 16;
// Element nesting that no GPX file comes near; the XML reader keeps every
// open element.
constexpr int depth_limit = 256;
// A document type this long holds more than a GPX file's ever does.
constexpr qint64 doctype_limit = 64 << 10;
// Attributes of one tag: the XML reader compares each with all before it.
// A GPX root carries up to about 20 (namespace declarations), a point 2 to 4.
constexpr int attribute_limit = 24;
// Tracks without points that are kept; the others are counted.
constexpr qint64 empty_track_limit = 1000;
// Unknown elements and nodes at the top level that are named; the others
// are counted.
constexpr qint64 unknown_node_limit = 100;
// Messages are held back until it is known whether the file is read again
// with mending, up to this size.
constexpr int held_messages_limit = 1 << 20;

bool is_gpx_namespace(const QStringRef& uri)
{
    return uri == QLatin1String("http://www.topografix.com/GPX/1/1") ||
           uri == QLatin1String("http://www.topografix.com/GPX/1/0");
}

// Text that is only white space between tags, which a DOM leaves out.
bool is_blank(const QStringRef& text)
{
    for (const QChar c : text)
        if (c != QLatin1Char(' ') && c != QLatin1Char('\n') && c != QLatin1Char('\t') && c != QLatin1Char('\r'))
            return false;
    return true;
}

const QRegularExpression& encoding_declaration()
{
    static const QRegularExpression declaration(QStringLiteral("^<\\?xml[^>]*\\sencoding\\s*=\\s*[\"']([^\"']+)"));
    return declaration;
}

const QRegularExpression& version_declaration()
{
    static const QRegularExpression declaration(QStringLiteral("^<\\?xml\\s+version\\s*=\\s*[\"'](1\\.[1-9][0-9]*)[\"']"));
    return declaration;
}

bool has_utf8_mark(const QByteArray& text) { return text.startsWith("\xEF\xBB\xBF"); }

// The start of a file's text with its XML declaration (after a UTF-8
// byte-order mark), as Latin-1 text for the declaration's patterns.
QString declaration_head(const QByteArray& text)
{
    const QByteArray head = text.mid(has_utf8_mark(text) ? 3 : 0, 256);
    return QString::fromLatin1(head.constData(), head.size());
}

// How to read a file, from its first bytes: a byte-order mark, else the XML
// declaration, else UTF-8. Null means UTF-8, which goes to the XML reader as
// it is; then rename is set when the declaration names an encoding that is
// unknown or a 16- or 32-bit one in 8-bit text, which counts as UTF-8 too,
// or when a UTF-8 byte-order mark stands before a declared encoding.
QTextCodec* codec_for(const QByteArray& head, bool& rename)
{
    rename = false;
    if (head.startsWith(QByteArray("\xFF\xFE\0\0", 4)) || head.startsWith(QByteArray("\0\0\xFE\xFF", 4)))
        return QTextCodec::codecForMib(1017); // UTF-32, byte order from the mark
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF"))
        return QTextCodec::codecForMib(1015); // UTF-16, byte order from the mark
    if (head.startsWith(QByteArray("<\0\0\0", 4)))
        return QTextCodec::codecForMib(1019); // UTF-32LE
    if (head.startsWith(QByteArray("\0\0\0<", 4)))
        return QTextCodec::codecForMib(1018); // UTF-32BE
    if (head.startsWith(QByteArray("<\0", 2)))
        return QTextCodec::codecForMib(1014); // UTF-16LE
    if (head.startsWith(QByteArray("\0<", 2)))
        return QTextCodec::codecForMib(1013); // UTF-16BE
    const QRegularExpressionMatch match = encoding_declaration().match(declaration_head(head));
    if (!match.hasMatch())
        return nullptr;
    if (has_utf8_mark(head)) {
        rename = true;
        return nullptr;
    }
    QTextCodec* const declared = QTextCodec::codecForName(match.captured(1).toLatin1());
    const int mib = declared ? declared->mibEnum() : 0;
    rename = !declared || (mib >= 1013 && mib <= 1019);
    return rename || mib == 106 ? nullptr : declared;
}

// Qt's UTF-32 decoder makes two UTF-16 units of garbage of a code unit past
// U+10FFFF, and a lone surrogate of one in the surrogate range, instead of a
// replacement character: such code units are replaced before decoding.
void replace_invalid_utf32(QByteArray& block, bool little_endian)
{
    for (int i = 0; i + 4 <= block.size(); i += 4) {
        uchar* const unit = reinterpret_cast<uchar*>(block.data() + i);
        const quint32 code = little_endian ? qFromLittleEndian<quint32>(unit) : qFromBigEndian<quint32>(unit);
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            little_endian ? qToLittleEndian<quint32>(0xFFFD, unit) : qToBigEndian<quint32>(0xFFFD, unit);
    }
}

// Makes the XML declaration at the start of a file's text one that the XML
// reader takes: a version 1.1 file is read as 1.0 (a GPX file says the same
// in both), and with rename the encoding is named UTF-8, as the text is.
void mend_declaration(QByteArray& text, bool rename)
{
    const int start = has_utf8_mark(text) ? 3 : 0;
    const QRegularExpressionMatch version = version_declaration().match(declaration_head(text));
    if (version.hasMatch())
        text.replace(start + version.capturedStart(1), version.capturedLength(1), "1.0");
    if (!rename)
        return;
    const QRegularExpressionMatch encoding = encoding_declaration().match(declaration_head(text));
    if (encoding.hasMatch())
        text.replace(start + encoding.capturedStart(1), encoding.capturedLength(1), "UTF-8");
}

// Follows a file's text as it streams by, as the XML reader will read it:
// comments, instructions, CDATA sections, tags and document types, with
// their quotes and the internal subset, apart from the text. It stops what
// the XML reader would do without bound before it gives a token that the
// reader could judge: it expands parameter entities while it reads a
// document type, checks every element against every attribute that a list
// declares, and every attribute of a tag against every other one. No GPX
// file uses the first two, has a document type of more than a few lines,
// or comes near the limit of attributes. And the reader keeps an unfinished
// comment, instruction or CDATA section whole, at six bytes a character,
// and reads it again with every block: of such an item only the start is
// passed on, which is all of any real one.
class markup_scanner
{
public:
    // Takes the next block, at_end marking the last, and gives back the text
    // to hand to the XML reader: the block (after what was held back of the
    // last one), with the end of long items left out and the start of a
    // marker that the next block completes held back.
    QByteArray scan(const QByteArray& block, bool at_end);
    // Why the text cannot be read within bounds, once it has come in a
    // block scanned; null while it can.
    const char* hostile() const { return refusal; }

private:
    enum class state { text, tag, comment, cdata, instruction, doctype };
    state where = state::text;
    bool in_doctype = false; // a comment or instruction returns to the document type
    bool in_subset = false;  // within the document type's [ ... ]
    char quote = 0;          // open in the document type or a tag
    int attributes = 0;      // of the start tag read now
    qint64 offset = 0;       // of the text scanned now in the whole text
    qint64 doctype_start = 0;
    qint64 item_length = 0;  // of the comment, instruction or CDATA section read now
    bool item_cut = false;   // and whether its end is left out
    QByteArray carry;        // the start of a marker split off the last block
    const char* refusal = nullptr;
};

QByteArray markup_scanner::scan(const QByteArray& block, bool at_end)
{
    const QByteArray data = carry.isEmpty() ? block : carry + block;
    carry.clear();
    const char* const p = data.constData();
    const int size = data.size();
    const auto starts = [&](int at, const char* marker) {
        const int length = int(std::strlen(marker));
        return size - at >= length && std::memcmp(p + at, marker, std::size_t(length)) == 0;
    };
    const auto doctype_too_long = [&](int at) {
        if (in_doctype && offset + at - doctype_start > doctype_limit)
            refusal = "its document type is too long";
        return refusal;
    };
    // What is passed on: data up to i, but for the parts left out.
    QByteArray out;
    int passed = 0;
    int i = 0;
    while (i < size && !refusal) {
        if (where == state::comment || where == state::cdata || where == state::instruction) {
            const char* const closing = where == state::comment ? "-->" : where == state::cdata ? "]]>" : "?>";
            const int found_at = data.indexOf(closing, i);
            const int end = found_at >= 0 ? found_at : at_end ? size : qMax(i, size - 2);
            int kept = int(qBound<qint64>(0, long_item_kept - item_length, end - i));
            if (kept < end - i) {
                // Cut before a character, not within it; a blank keeps what
                // is left of the item from running into its end marker
                // ("--->" would end no comment).
                while (kept > 0 && (uchar(p[i + kept]) & 0xC0) == 0x80)
                    --kept;
                out.append(p + passed, i + kept - passed);
                if (!item_cut)
                    out += ' ';
                item_cut = true;
                passed = end;
            }
            item_length += end - i;
            i = end;
            if (found_at < 0 || doctype_too_long(i))
                break;
            i += int(std::strlen(closing));
            where = in_doctype ? state::doctype : state::text;
            continue;
        }
        if (where == state::doctype) {
            const char c = p[i];
            if (c == '<' && !quote) {
                if (size - i < 9 && !at_end)
                    break;
                if (starts(i, "<!--") || starts(i, "<?")) {
                    where = p[i + 1] == '?' ? state::instruction : state::comment;
                    i += where == state::comment ? 4 : 2;
                    item_length = 0;
                    item_cut = false;
                    continue;
                }
                if (starts(i, "<!ATTLIST"))
                    refusal = "its document type declares attribute lists";
            } else if (c == '%' && !quote) {
                refusal = "its document type uses parameter entities";
            } else if (xml_names::ends_doctype(c, quote, in_subset)) {
                where = state::text;
                doctype_too_long(i);
                in_doctype = false;
            }
            ++i;
            continue;
        }
        if (where == state::tag) {
            // The reader takes attributes up to a '<', which ends the tag
            // for it as for the mender.
            while (i < size && p[i] != '<' && (quote || p[i] != '>')) {
                const char c = p[i++];
                if (quote) {
                    if (c == quote)
                        quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '=' && ++attributes > attribute_limit) {
                    refusal = "one of its tags has too many attributes";
                    break;
                }
            }
            if (i >= size || refusal)
                break;
            if (p[i] == '>')
                ++i;
            where = state::text;
            quote = 0;
            continue;
        }
        while (i < size && p[i] != '<')
            ++i;
        if (i >= size)
            break;
        if (size - i < 9 && !at_end)
            break;
        item_length = 0;
        item_cut = false;
        if (starts(i, "<!--")) {
            where = state::comment;
            i += 4;
        } else if (starts(i, "<![CDATA[")) {
            where = state::cdata;
            i += 9;
        } else if (starts(i, "<?")) {
            where = state::instruction;
            i += 2;
        } else if (starts(i, "<!DOCTYPE")) {
            // Wherever it stands: the reader takes one in the content too
            // once it has met an end of data.
            where = state::doctype;
            in_doctype = true;
            doctype_start = offset + i;
            i += 9;
        } else {
            where = state::tag;
            attributes = 0;
            ++i;
        }
    }
    doctype_too_long(i);
    if (i < size && !refusal)
        carry = data.mid(i);
    offset += i;
    if (passed == 0)
        return i == size ? data : data.left(i);
    out.append(p + passed, i - passed);
    return out;
}

// The length of data without an incomplete UTF-8 sequence at its end.
int complete_utf8_length(const QByteArray& data)
{
    const int size = data.size();
    for (int back = 1; back <= 3 && back <= size; ++back) {
        const uchar c = uchar(data[size - back]);
        if ((c & 0xC0) == 0x80)
            continue;
        const int needed = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return needed > back ? size - back : size;
    }
    return size;
}

bool is_valid_utf8(const QByteArray& data)
{
    const auto* p = reinterpret_cast<const uchar*>(data.constData());
    const uchar* const end = p + data.size();
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        int length = 0;
        uint code = 0;
        if ((*p & 0xE0) == 0xC0) {
            length = 2;
            code = *p & 0x1F;
        } else if ((*p & 0xF0) == 0xE0) {
            length = 3;
            code = *p & 0x0F;
        } else if ((*p & 0xF8) == 0xF0) {
            length = 4;
            code = *p & 0x07;
        } else {
            return false;
        }
        if (end - p < length)
            return false;
        for (int i = 1; i < length; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3F);
        }
        static const uint smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        p += length;
    }
    return true;
}

// A pull parser over the file without recursion: it keeps the depth of the
// current element and the namespace prefixes in force, and every read_*
// function consumes the element it starts on up to its end tag.
class gpx_stream
{
public:
    // With mend, slips that keep the file from being well-formed are mended
    // as it is read (see xml_mender).
    gpx_stream(QFile& file, const gpx_parser::progress_function& progress, bool mend)
        : file(file), progress(progress), mender(mend ? new xml_mender : nullptr)
    {
        xml.setNamespaceProcessing(false); // undeclared prefixes (as xsi: often is) are no error
    }

    bool read(QList<gpx_track>& tracks, const QString& path);
    // Where and why reading stopped.
    std::string stop_text() const;

private:
    // A prefix bound by an element: whether to a GPX namespace, and the
    // binding of the same prefix that it hides (-1 for none).
    struct prefix_binding {
        QString prefix;
        bool gpx;
        int depth;
        int hidden;
    };

    QXmlStreamReader::TokenType next();
    bool feed();
    bool read_block();
    bool is(QLatin1String local) const;
    bool skip();
    bool read_text(QString& text);
    bool read_point(gpx_point& point);
    bool read_segment(QList<gpx_point>& points);
    bool read_track(int number, QList<gpx_track>& tracks);
    void say(const QString& message);
    void say_unknown(QLatin1String message, const QStringRef& name = QStringRef());

    QFile& file;
    const gpx_parser::progress_function& progress;
    const std::unique_ptr<xml_mender> mender;
    bool started = false;
    bool rename_encoding = false;
    std::unique_ptr<QTextDecoder> decoder; // null while the file is read as UTF-8
    enum class utf32 { no, little_endian, big_endian } utf32_order = utf32::no;
    QByteArray incomplete;                 // a UTF-8 sequence split between blocks
    QString held_back;                     // a surrogate pair split between blocks
    QXmlStreamReader xml;
    int depth = 0;
    std::vector<prefix_binding> bindings; // in the order bound
    QHash<QString, int> in_force;         // the binding of each prefix in force
    bool file_done = false;
    qint64 bytes_read = 0;
    QByteArray unfed;           // scanned text the reader has not been given yet
    qint64 fed_since_token = 0; // text the reader took since it last gave a token
    markup_scanner markup;
    // The XML reader judges the order of its tokens only until it first
    // runs out of data, which it does at once when fed in blocks: the
    // document type's place is judged here.
    bool in_body = false;
    bool doctype_seen = false;
    const char* refused = nullptr; // why the file is refused

    QByteArray messages;
    qint64 empty_tracks = 0;
    qint64 unknown_nodes = 0;
};

// The next token; feeds the reader a block whenever it runs out of data.
QXmlStreamReader::TokenType gpx_stream::next()
{
    for (;;) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::Invalid) {
            if (xml.error() == QXmlStreamReader::PrematureEndOfDocumentError && feed())
                continue;
            return token;
        }
        fed_since_token = 0;
        if (token == QXmlStreamReader::DTD) {
            // The reader has read no entity reference yet: what a document
            // type declares is judged before any of them.
            if (doctype_seen)
                refused = "it has more than one document type";
            else if (in_body)
                refused = "it has a document type after its root element's start";
            else if (!xml.entityDeclarations().isEmpty())
                refused = "its document type declares entities";
            doctype_seen = true;
            if (refused)
                return QXmlStreamReader::Invalid;
        } else if (token != QXmlStreamReader::Comment && token != QXmlStreamReader::ProcessingInstruction &&
                   token != QXmlStreamReader::StartDocument) {
            in_body = true;
        }
        if (token == QXmlStreamReader::StartElement) {
            if (++depth > depth_limit) {
                refused = "its elements are nested too deep";
                return QXmlStreamReader::Invalid;
            }
            const QXmlStreamAttributes attributes = xml.attributes();
            for (const QXmlStreamAttribute& attribute : attributes) {
                const QStringRef name = attribute.qualifiedName();
                if (!name.startsWith(QLatin1String("xmlns:")))
                    continue;
                const QString prefix = name.mid(6).toString();
                const auto hidden = in_force.constFind(prefix);
                bindings.push_back({prefix, is_gpx_namespace(attribute.value()), depth,
                                    hidden == in_force.constEnd() ? -1 : *hidden});
                in_force.insert(prefix, int(bindings.size()) - 1);
            }
        } else if (token == QXmlStreamReader::EndElement) {
            while (!bindings.empty() && bindings.back().depth == depth) {
                const prefix_binding& binding = bindings.back();
                if (binding.hidden < 0)
                    in_force.remove(binding.prefix);
                else
                    in_force.insert(binding.prefix, binding.hidden);
                bindings.pop_back();
            }
            --depth;
        }
        return token;
    }
}

// Hands the reader the next part of the file; false at its end. The reader
// never holds more than token_limit bytes since its last token, also of a
// block that mending made longer.
bool gpx_stream::feed()
{
    if (fed_since_token > token_limit) {
        refused = "one of its items is too long";
        return false;
    }
    while (unfed.isEmpty())
        if (!read_block())
            return false;
    const qint64 room = token_limit + 1 - fed_since_token;
    QByteArray part;
    if (unfed.size() <= room) {
        part.swap(unfed);
    } else {
        part = unfed.left(int(room));
        unfed.remove(0, int(room));
    }
    fed_since_token += part.size();
    xml.addData(part);
    return true;
}

// Reads, decodes, mends and scans the next block of the file into unfed;
// false at its end or when the file is refused. The reader always gets
// UTF-8: other encodings are decoded here, and bytes that are not valid in
// the file's encoding become replacement characters instead of ending the
// read.
bool gpx_stream::read_block()
{
    if (file_done || refused)
        return false;
    // The reader reads an unfinished comment, instruction or CDATA section
    // (and the blanks after a keyword of the document type) again from its
    // start whenever it gets more text: while it gives no token the blocks
    // grow with what it took since its last one, so that it reads each byte
    // a bounded number of times, up to the longest token it is given.
    const qint64 grown = qMin(fed_since_token, token_limit + 1 - fed_since_token);
    const qint64 size = started ? qMax(block_size, (grown + 3) / 4 * 4) : first_block_size;
    QByteArray block = file.read(size);
    const bool at_end = block.isEmpty();
    const bool first = !started;
    if (first) {
        started = true;
        if (QTextCodec* const codec = codec_for(block, rename_encoding)) {
            decoder.reset(codec->makeDecoder());
            const int mib = codec->mibEnum();
            if (mib == 1019 || (mib == 1017 && block.startsWith("\xFF\xFE")))
                utf32_order = utf32::little_endian;
            else if (mib == 1017 || mib == 1018)
                utf32_order = utf32::big_endian;
        }
        xml.addData(QString()); // from now on the reader takes every byte as UTF-8
    }
    QByteArray utf8;
    if (decoder) {
        // Blocks are whole code units: their sizes are multiples of four.
        if (utf32_order != utf32::no)
            replace_invalid_utf32(block, utf32_order == utf32::little_endian);
        QString text = held_back + decoder->toUnicode(block);
        held_back.clear();
        if (!at_end && !text.isEmpty() && text.at(text.size() - 1).isHighSurrogate()) {
            held_back = text.right(1);
            text.chop(1);
        }
        utf8 = text.toUtf8();
    } else {
        utf8 = incomplete + block;
        incomplete.clear();
        if (!at_end) {
            const int complete = complete_utf8_length(utf8);
            incomplete = utf8.mid(complete);
            utf8.truncate(complete);
        }
        if (!is_valid_utf8(utf8))
            utf8 = QString::fromUtf8(utf8.constData(), utf8.size()).toUtf8();
    }
    if (first)
        mend_declaration(utf8, rename_encoding);
    if (mender)
        utf8 = mender->mend(utf8, at_end);
    file_done = at_end;
    bytes_read += block.size();
    // Also while none of it is passed on, as of a long comment.
    if (progress)
        progress(bytes_read, file.size());
    unfed = markup.scan(utf8, at_end);
    refused = markup.hostile();
    return !refused && !(at_end && unfed.isEmpty());
}

// Whether the current start tag is the GPX element local: without prefix, as
// GPX files mostly have it, or with a prefix bound to a GPX namespace.
bool gpx_stream::is(QLatin1String local) const
{
    if (xml.name() != local)
        return false;
    const QStringRef qualified = xml.qualifiedName();
    if (qualified.size() == local.size())
        return true;
    const auto binding = in_force.constFind(qualified.left(qualified.size() - local.size() - 1).toString());
    return binding != in_force.constEnd() && bindings[std::size_t(*binding)].gpx;
}

// Consumes the current element with everything in it.
bool gpx_stream::skip()
{
    const int own = depth;
    for (;;) {
        const QXmlStreamReader::TokenType token = next();
        if (token == QXmlStreamReader::Invalid)
            return false;
        if (token == QXmlStreamReader::EndElement && depth < own)
            return true;
    }
}

// The text of the current element and all elements in it, as a DOM would
// give it (text that is only white space between tags does not count), up
// to the limit.
bool gpx_stream::read_text(QString& text)
{
    const int own = depth;
    for (;;) {
        const QXmlStreamReader::TokenType token = next();
        if (token == QXmlStreamReader::Invalid)
            return false;
        if (token == QXmlStreamReader::Characters && (xml.isCDATA() || !is_blank(xml.text())))
            text += xml.text().left(text_limit - text.size());
        else if (token == QXmlStreamReader::EndElement && depth < own)
            return true;
    }
}

// A point from the current element: its "lat" and "lon" attributes and the
// first "time" element directly in it.
bool gpx_stream::read_point(gpx_point& point)
{
    const QXmlStreamAttributes attributes = xml.attributes();
    point.lat = attributes.value(QLatin1String("lat")).toString();
    point.lon = attributes.value(QLatin1String("lon")).toString();
    bool timed = false;
    for (;;) {
        const QXmlStreamReader::TokenType token = next();
        if (token == QXmlStreamReader::StartElement) {
            if (!timed && is(QLatin1String("time"))) {
                timed = true;
                QString text;
                if (!read_text(text))
                    return false;
                point.time = gpx_parser::parse_time(text);
            } else if (!skip()) {
                return false;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            return true;
        } else if (token == QXmlStreamReader::Invalid) {
            return false;
        }
    }
}

bool gpx_stream::read_segment(QList<gpx_point>& points)
{
    for (;;) {
        const QXmlStreamReader::TokenType token = next();
        if (token == QXmlStreamReader::StartElement) {
            if (is(QLatin1String("trkpt"))) {
                points.append(gpx_point());
                if (!read_point(points.last())) {
                    points.removeLast(); // cut short: not the point it was meant to be
                    return false;
                }
            } else if (!skip()) {
                return false;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            return true;
        } else if (token == QXmlStreamReader::Invalid) {
            return false;
        }
    }
}

// A track: its first "name" element (wherever it stands among the segments)
// or else "Track <number>", and the points of all its segments. A track cut
// short keeps the points read up to there.
bool gpx_stream::read_track(int number, QList<gpx_track>& tracks)
{
    gpx_track track;
    bool named = false;
    bool ok = true;
    while (ok) {
        const QXmlStreamReader::TokenType token = next();
        if (token == QXmlStreamReader::StartElement) {
            if (!named && is(QLatin1String("name"))) {
                named = true;
                ok = read_text(track.name);
            } else if (is(QLatin1String("trkseg"))) {
                ok = read_segment(track.points);
            } else {
                ok = skip();
            }
        } else if (token == QXmlStreamReader::EndElement) {
            break;
        } else if (token == QXmlStreamReader::Invalid) {
            ok = false;
        }
    }
    if (!ok && track.points.isEmpty())
        return false;
    // Tracks without points give no position; past the first few they are
    // only counted, as they could cost many times what they take in the file.
    if (track.points.isEmpty() && ++empty_tracks > empty_track_limit)
        return ok;
    if (!named)
        track.name = QStringLiteral("Track %1").arg(number);
    say(QStringLiteral("Track is named ") + track.name);
    tracks.append(track);
    return ok;
}

// A message of an unknown element or node at the top level, followed by its
// name: the first few are said, the others counted.
void gpx_stream::say_unknown(QLatin1String message, const QStringRef& name)
{
    if (++unknown_nodes <= unknown_node_limit)
        say(message + name);
}

void gpx_stream::say(const QString& message)
{
    messages += message.toLocal8Bit();
    messages += '\n';
    if (messages.size() > held_messages_limit) {
        std::cout.write(messages.constData(), messages.size()) << std::flush;
        messages.clear();
    }
}

// Reads the file into tracks. False when it is not well-formed and was read
// without mending: then tracks is empty and nothing was said yet. Otherwise
// a file cut short keeps what was read before, and says where it stopped.
bool gpx_stream::read(QList<gpx_track>& tracks, const QString& path)
{
    QXmlStreamReader::TokenType token;
    do
        token = next();
    while (token != QXmlStreamReader::StartElement && token != QXmlStreamReader::Invalid &&
           token != QXmlStreamReader::EndDocument);
    if (token == QXmlStreamReader::EndDocument)
        token = QXmlStreamReader::Invalid;

    gpx_track waypoints;
    waypoints.name = gpx_parser::tr("Waypoints");
    int track_counter = 0;
    // The nodes directly in the root element, up to its end tag.
    while (token != QXmlStreamReader::Invalid && depth > 0) {
        token = next();
        bool ok = true;
        switch (token) {
        case QXmlStreamReader::StartElement:
            if (is(QLatin1String("trk"))) {
                ok = read_track(++track_counter, tracks);
            } else if (is(QLatin1String("wpt"))) {
                waypoints.points.append(gpx_point());
                ok = read_point(waypoints.points.last());
                if (!ok)
                    waypoints.points.removeLast();
            } else if (is(QLatin1String("metadata"))) {
                ok = skip();
            } else {
                say_unknown(QLatin1String("Unknown element found: "), xml.qualifiedName());
                ok = skip();
            }
            break;
        case QXmlStreamReader::Characters:
            if (xml.isCDATA())
                say_unknown(QLatin1String("Unknown node type found: 4 node name is: #cdata-section"));
            else if (!is_blank(xml.text()))
                say_unknown(QLatin1String("Unknown node type found: 3 node name is: #text"));
            break;
        case QXmlStreamReader::EntityReference:
            say_unknown(QLatin1String("Unknown node type found: 5 node name is: "), xml.name());
            break;
        case QXmlStreamReader::Comment:
            say_unknown(QLatin1String("Unknown node type found: 8 node name is: #comment"));
            break;
        case QXmlStreamReader::ProcessingInstruction:
            say_unknown(QLatin1String("Unknown node type found: 7 node name is: "), xml.processingInstructionTarget());
            break;
        default:
            break;
        }
        if (!ok)
            token = QXmlStreamReader::Invalid;
    }
    // What follows the root must be well-formed too.
    while (token != QXmlStreamReader::Invalid && token != QXmlStreamReader::EndDocument)
        token = next();

    if (refused) {
        std::cout << "GPX file refused, " << refused << ": " << path.toLocal8Bit().constData() << std::endl;
        tracks.clear();
        return true;
    }
    if (token == QXmlStreamReader::Invalid && !mender && xml.error() == QXmlStreamReader::NotWellFormedError) {
        tracks.clear();
        return false;
    }
    if (!waypoints.points.isEmpty())
        tracks.append(waypoints);
    if (unknown_nodes > unknown_node_limit)
        say(QStringLiteral("%1 more unknown elements and nodes at the top level are not named: %2")
                .arg(unknown_nodes - unknown_node_limit)
                .arg(path));
    if (empty_tracks > empty_track_limit)
        say(QStringLiteral("%1 more tracks without points are left out: %2")
                .arg(empty_tracks - empty_track_limit)
                .arg(path));
    std::cout.write(messages.constData(), messages.size()) << std::flush;
    if (token == QXmlStreamReader::Invalid)
        std::cout << "GPX file read only up to " << stop_text() << ", the points before are kept: "
                  << path.toLocal8Bit().constData() << std::endl;
    return true;
}

std::string gpx_stream::stop_text() const
{
    return QStringLiteral("line %1, column %2 (%3)")
        .arg(xml.lineNumber())
        .arg(xml.columnNumber())
        .arg(xml.errorString())
        .toLocal8Bit()
        .toStdString();
}

} // namespace

gpx_parser::gpx_parser(QString path, QObject* parent, const progress_function& progress) : QObject(parent)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    {
        gpx_stream strict(file, progress, false);
        if (strict.read(tracks, path))
            return;
        std::cout << "GPX file not well-formed at " << strict.stop_text()
                  << ", read again with its slips mended: " << path.toLocal8Bit().constData() << std::endl;
    }
    if (file.seek(0))
        gpx_stream(file, progress, true).read(tracks, path);
}

gpx_parser::~gpx_parser() = default;

namespace {

// "yyyy-MM-ddThh:mm:ss", optionally with a fraction of three digits, then
// "Z" or no zone: the form nearly every device writes, read as UTC without
// the general parser. Invalid for any other form or an impossible date.
QDateTime quick_utc_time(const QStringRef& text)
{
    const int size = text.size();
    if (size < 19 || size > 24)
        return QDateTime();
    const QChar* c = text.unicode();
    const auto number = [c](int at, int count) {
        int value = 0;
        for (int i = at; i < at + count; ++i) {
            const unsigned digit = c[i].unicode() - unsigned('0');
            if (digit > 9)
                return -1;
            value = value * 10 + int(digit);
        }
        return value;
    };
    if (c[4] != QLatin1Char('-') || c[7] != QLatin1Char('-') || c[10] != QLatin1Char('T') ||
        c[13] != QLatin1Char(':') || c[16] != QLatin1Char(':'))
        return QDateTime();
    int end = 19;
    int msec = 0;
    if (size >= 23 && c[19] == QLatin1Char('.')) {
        msec = number(20, 3);
        end = 23;
    }
    if (!(size == end || (size == end + 1 && c[end] == QLatin1Char('Z'))))
        return QDateTime();
    const int year = number(0, 4);
    const int month = number(5, 2);
    const int day = number(8, 2);
    const int hour = number(11, 2);
    const int minute = number(14, 2);
    const int second = number(17, 2);
    if (year < 0 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0 || msec < 0)
        return QDateTime();
    const QDate date(year, month, day);
    const QTime time(hour, minute, second, msec);
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::UTC);
}

} // namespace

QDateTime gpx_parser::parse_time(const QString& text)
{
    const QDateTime quick = quick_utc_time(QStringRef(&text).trimmed());
    if (quick.isValid())
        return quick;
    QString iso = text.trimmed();
    // Mark a zone-less time as UTC before parsing: read as local time, a time
    // in the hour skipped by a daylight-saving change would be shifted. The
    // time follows the date after a "T" or a blank.
    static const QRegularExpression separator(QStringLiteral("[Tt ]"));
    const int t = iso.indexOf(separator);
    const bool has_zone = iso.endsWith(QLatin1Char('Z'), Qt::CaseInsensitive) ||
                          (t >= 0 && (iso.indexOf(QLatin1Char('+'), t) >= 0 || iso.indexOf(QLatin1Char('-'), t) >= 0));
    if (t >= 0 && !has_zone)
        iso += QLatin1Char('Z');
    QDateTime time = QDateTime::fromString(iso, Qt::ISODate);
    if (time.isValid() && time.timeSpec() == Qt::LocalTime)
        time.setTimeSpec(Qt::UTC);
    return time;
}
