#pragma once
// Mends the slips that keep a nearly well-formed XML file from being read,
// as the text streams by: control characters (raw or as character
// references), references to entities other than the five predefined
// ones (a file that declares entities is not read), bare ampersands, and
// attributes given twice in one tag.

#include <QByteArray>

// What the mender and the reader's scan of the text share.
namespace xml_names {
// Follows the document type a character at a time, outside its comments
// and instructions, with the quote open (0 for none) and whether its
// internal subset is open: true for the '>' that ends it.
bool ends_doctype(char c, char& quote, bool& in_subset);
} // namespace xml_names

class xml_mender
{
public:
    // Takes the next block of UTF-8 text and gives back the mended text up to
    // where it can be decided; the rest waits for the next block. at_end
    // marks the last block: then everything is given back.
    QByteArray mend(const QByteArray& block, bool at_end);

private:
    enum class state { text, tag, comment, cdata, instruction, doctype };

    bool mend_reference(const char* p, int size, bool at_end, int& used, QByteArray& out) const;
    void mend_tag(const char* p, int size, QByteArray& out) const;
    bool mend_doctype(const char* p, int size, bool at_end, int& used, QByteArray& out);

    state where = state::text;
    QByteArray carry;
    char quote = 0;            // open quote in a long tag or the document type
    bool in_subset = false;    // within the document type's [ ... ]
    // The end of the comment or instruction of the document type passed now.
    const char* passing = nullptr;
    char before = 0;                // the character of the document type before
    int literals_before_system = 0; // after SYSTEM (1) or PUBLIC (2)
    bool system_literal = false;    // the open quote is one
};
