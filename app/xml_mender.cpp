#include "xml_mender.h"

#include <QHash>

#include <cstring>
#include <vector>

namespace {

// A tag longer than this is passed on as it comes, its control characters
// blanked; one that long is no GPX tag.
constexpr int long_tag = 1 << 20;
// Digits of a character reference: more is none that a file means.
constexpr int longest_character_reference = 32;

bool is_control(uchar c) { return c < 0x20 && c != '\t' && c != '\n' && c != '\r'; }
bool is_space(uchar c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool is_digit(uchar c) { return c >= '0' && c <= '9'; }

// What the XML reader takes into a name after its first character: all but
// blanks and the characters of markup; here without control characters,
// which the mended text has as blanks.
bool is_name_char(uchar c)
{
    static const char* const ends = " \t\n\r&#'\"<>[]=%/;?!^|,()+*";
    return !is_control(c) && !std::strchr(ends, c);
}

// What the XML reader's tokenizer takes for a letter, the start of a name.
bool is_name_start(uchar c)
{
    static const char* const others = " \t\n\r&#'\"<>[]()|=%/:;,-+*.?!0123456789";
    return c >= 0x20 && !std::strchr(others, c);
}

bool is_xml_char(quint64 code)
{
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
           (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

bool starts(const char* p, int size, const char* what)
{
    const int length = int(std::strlen(what));
    return size >= length && std::memcmp(p, what, std::size_t(length)) == 0;
}

int digit_value(uchar c, bool hex)
{
    if (is_digit(c))
        return c - '0';
    if (hex && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Copies bytes with control characters as blanks.
void copy_plain(const char* p, int size, QByteArray& out)
{
    const int start = out.size();
    out.append(p, size);
    char* const copied = out.data() + start;
    for (int i = 0; i < size; ++i)
        if (is_control(uchar(copied[i])))
            copied[i] = ' ';
}

// The last character of a tag, from p[from] on with quote the quote open
// there (0 for none): its '>', or the character before a '<' in a quote,
// which XML allows in no attribute value: a quote left open ends there with
// its tag. Size when the tag goes on, then quote is the one open at its end.
int tag_end(const char* p, int from, int size, char& quote)
{
    for (int i = from; i < size; ++i) {
        if (quote) {
            if (p[i] == quote)
                quote = 0;
            else if (p[i] == '<')
                return i - 1;
        } else if (p[i] == '"' || p[i] == '\'') {
            quote = p[i];
        } else if (p[i] == '>') {
            return i;
        }
    }
    return size;
}

} // namespace

bool xml_names::ends_doctype(char c, char& quote, bool& in_subset)
{
    if (quote) {
        if (c == quote)
            quote = 0;
    } else if (c == '"' || c == '\'') {
        quote = c;
    } else if (c == '[') {
        in_subset = true;
    } else if (c == ']') {
        in_subset = false;
    } else {
        return c == '>' && !in_subset;
    }
    return false;
}

// The reference that p starts with (at its '&'): a character reference to a
// character XML allows, or a reference to a predefined entity, is kept; a
// reference to another character becomes a blank, and any other '&' stands
// for itself. False when more text is needed to decide.
bool xml_mender::mend_reference(const char* p, int size, bool at_end, int& used, QByteArray& out) const
{
    if (size > 1 && p[1] == '#') {
        int i = 2;
        const bool hex = i < size && p[i] == 'x';
        if (hex)
            ++i;
        quint64 code = 0;
        int digits = 0;
        for (int value; i < size && digits <= longest_character_reference &&
                        (value = digit_value(uchar(p[i]), hex)) >= 0;
             ++i, ++digits)
            code = qMin<quint64>(code * (hex ? 16 : 10) + quint64(value), 0x110000);
        if (i >= size && !at_end && digits <= longest_character_reference)
            return false;
        if (digits > 0 && digits <= longest_character_reference && i < size && p[i] == ';') {
            used = i + 1;
            if (is_xml_char(code))
                out.append(p, used);
            else
                out += ' ';
            return true;
        }
    } else {
        // "&quot;" is the longest of the predefined references.
        if (size < 6 && !at_end)
            return false;
        for (const char* name : {"amp;", "lt;", "gt;", "quot;", "apos;"}) {
            if (starts(p + 1, size - 1, name)) {
                used = 1 + int(std::strlen(name));
                out.append(p, used);
                return true;
            }
        }
    }
    used = 1;
    out += "&amp;";
    return true;
}

// A whole tag, from its '<' to its '>': of attributes given more than once
// the last counts, as it would overwrite the others; references and control
// characters are mended as in text.
void xml_mender::mend_tag(const char* p, int size, QByteArray& out) const
{
    const auto mend_text = [this, &out](const char* text, int length) {
        for (int i = 0; i < length;) {
            int run = i;
            while (run < length && text[run] != '&' && !is_control(uchar(text[run])))
                ++run;
            out.append(text + i, run - i);
            i = run;
            if (i == length)
                break;
            int used = 1;
            if (text[i] == '&')
                mend_reference(text + i, length - i, true, used, out);
            else
                out += ' ';
            i += used;
        }
    };
    struct attribute {
        QByteArray name;
        int from; // with the blanks before it
        int to;
        bool blank_before;
    };
    std::vector<attribute> attributes;
    int i = 1;
    while (i < size && is_name_char(uchar(p[i])))
        ++i;
    const int name_end = i;
    bool plain = size < 3 || !is_name_start(uchar(p[1]));
    while (!plain) {
        const int from = i;
        while (i < size && (is_space(uchar(p[i])) || is_control(uchar(p[i]))))
            ++i;
        if (i >= size || p[i] == '/' || p[i] == '>')
            break;
        const int name_start = i;
        while (i < size && is_name_char(uchar(p[i])))
            ++i;
        const int name_stop = i;
        while (i < size && is_space(uchar(p[i])))
            ++i;
        if (name_stop == name_start || i >= size || p[i] != '=') {
            plain = true;
            break;
        }
        ++i;
        while (i < size && is_space(uchar(p[i])))
            ++i;
        const void* close = i < size && (p[i] == '"' || p[i] == '\'')
                                ? std::memchr(p + i + 1, p[i], std::size_t(size - i - 1))
                                : nullptr;
        if (!close) {
            plain = true;
            break;
        }
        i = int(static_cast<const char*>(close) - p) + 1;
        attributes.push_back({QByteArray::fromRawData(p + name_start, name_stop - name_start), from, i, name_start > from});
    }
    if (plain || attributes.size() < 2) {
        mend_text(p, size);
        return;
    }
    // Whether attribute k is the last of its name: for the few attributes of
    // a GPX tag a look at those after it, for many a table.
    QHash<QByteArray, std::size_t> last;
    const bool many = attributes.size() > 16;
    for (std::size_t k = 0; many && k < attributes.size(); ++k)
        last[attributes[k].name] = k;
    const auto is_last = [&](std::size_t k) {
        if (many)
            return last.value(attributes[k].name) == k;
        for (std::size_t later = k + 1; later < attributes.size(); ++later)
            if (attributes[later].name == attributes[k].name)
                return false;
        return true;
    };
    mend_text(p, name_end);
    // An attribute written right after the one before gets a blank, which
    // also keeps it apart from the element name when that one is dropped.
    for (std::size_t k = 0; k < attributes.size(); ++k) {
        if (!is_last(k))
            continue;
        if (!attributes[k].blank_before)
            out += ' ';
        mend_text(p + attributes[k].from, attributes[k].to - attributes[k].from);
    }
    mend_text(p + attributes.back().to, size - attributes.back().to);
}

// The document type from p up to its end: passed on with control characters
// blanked, and the system literal of its external identifier written so
// that the reader takes it. False when it stopped where it needs more text;
// used tells how far it got in any case.
bool xml_mender::mend_doctype(const char* p, int size, bool at_end, int& used, QByteArray& out)
{
    int i = 0;
    bool waiting = false;
    while (i < size) {
        const char c = p[i];
        if (passing) {
            const int length = int(std::strlen(passing));
            if (c == passing[0] && size - i < length && !at_end) {
                waiting = true;
                break;
            }
            if (starts(p + i, size - i, passing)) {
                out.append(passing, length);
                i += length;
                passing = nullptr;
                continue;
            }
        } else if (system_literal && (c == '&' || c == '<')) {
            // The reader takes neither in a system literal, which it never
            // fetches: they are written as in a URL.
            out += c == '&' ? "%26" : "%3C";
            ++i;
            continue;
        } else if (!quote && !in_subset && (c == 'S' || c == 'P') && !is_name_char(uchar(before))) {
            if (size - i < 7 && !at_end) {
                waiting = true;
                break;
            }
            if ((starts(p + i, size - i, "SYSTEM") || starts(p + i, size - i, "PUBLIC")) &&
                (size - i == 6 || !is_name_char(uchar(p[i + 6]))))
                literals_before_system = c == 'S' ? 1 : 2;
        } else if (c == '<') {
            if (size - i < 4 && !at_end) {
                waiting = true;
                break;
            }
            // Quotes in comments and instructions open nothing.
            if (!quote && (starts(p + i, size - i, "<!--") || starts(p + i, size - i, "<?"))) {
                const bool comment = p[i + 1] == '!';
                out.append(p + i, comment ? 4 : 2);
                i += comment ? 4 : 2;
                passing = comment ? "-->" : "?>";
                continue;
            }
        } else {
            const char was_open = quote;
            if (xml_names::ends_doctype(c, quote, in_subset)) {
                out += '>';
                ++i;
                where = state::text;
                break;
            }
            // The external identifier's last literal names where its text
            // would be fetched from. The internal subset holds none of it.
            if (in_subset)
                literals_before_system = 0;
            else if (!was_open && quote)
                system_literal = literals_before_system > 0 && --literals_before_system == 0;
            else if (was_open && !quote)
                system_literal = false;
        }
        before = is_control(uchar(c)) ? ' ' : c;
        out += before;
        ++i;
    }
    used = i;
    return !waiting;
}

QByteArray xml_mender::mend(const QByteArray& block, bool at_end)
{
    const QByteArray data = carry.isEmpty() ? block : carry + block;
    carry.clear();
    const char* const p = data.constData();
    const int size = data.size();
    QByteArray out;
    out.reserve(size + size / 16);
    int i = 0;
    bool waiting = false;
    while (i < size && !waiting) {
        switch (where) {
        case state::text: {
            int j = i;
            while (j < size && p[j] != '<' && p[j] != '&' && !is_control(uchar(p[j])))
                ++j;
            out.append(p + i, j - i);
            i = j;
            if (i >= size)
                break;
            const int rest = size - i;
            if (p[i] == '&') {
                int used = 0;
                waiting = !mend_reference(p + i, rest, at_end, used, out);
                i += used;
            } else if (p[i] != '<') {
                out += ' ';
                ++i;
            } else if (rest < 9 && !at_end) {
                waiting = true;
            } else if (starts(p + i, rest, "<!--") || starts(p + i, rest, "<![CDATA[") || starts(p + i, rest, "<?")) {
                where = p[i + 1] == '?' ? state::instruction : p[i + 2] == '-' ? state::comment : state::cdata;
                const int opening = where == state::instruction ? 2 : where == state::comment ? 4 : 9;
                out.append(p + i, opening);
                i += opening;
            } else if (starts(p + i, rest, "<!DOCTYPE")) {
                out.append(p + i, 9);
                i += 9;
                where = state::doctype;
                quote = 0;
                in_subset = false;
                passing = nullptr;
                before = ' ';
                literals_before_system = 0;
                system_literal = false;
            } else {
                // A tag: mended once it is here whole.
                quote = 0;
                const int end = tag_end(p, i + 1, size, quote);
                if (end < size) {
                    quote = 0;
                    mend_tag(p + i, end + 1 - i, out);
                    i = end + 1;
                } else if (!at_end && rest <= long_tag) {
                    waiting = true;
                } else {
                    copy_plain(p + i, rest, out);
                    i = size;
                    where = state::tag;
                }
            }
            break;
        }
        case state::tag: {
            int end = tag_end(p, i, size, quote);
            if (end < size) {
                where = state::text;
                ++end;
            }
            copy_plain(p + i, end - i, out);
            i = end;
            break;
        }
        case state::comment:
        case state::cdata:
        case state::instruction: {
            const char* const closing =
                where == state::comment ? "-->" : where == state::cdata ? "]]>" : "?>";
            const int length = int(std::strlen(closing));
            const int found = data.indexOf(closing, i);
            int end = found >= 0 ? found + length : at_end ? size : qMax(i, size - length + 1);
            if (found >= 0)
                where = state::text;
            copy_plain(p + i, end - i, out);
            i = end;
            waiting = i < size && found < 0;
            break;
        }
        case state::doctype: {
            int used = 0;
            waiting = !mend_doctype(p + i, size - i, at_end, used, out);
            i += used;
            break;
        }
        }
    }
    if (i < size)
        carry = data.mid(i);
    return out;
}
