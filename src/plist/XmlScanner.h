// XmlScanner: a forward cursor over the markup of an XML document, the scanner the property-list
// reader walks with. It reads one piece at a time (start tags with their attributes, end tags, the
// text of an element, the document type) and passes over white space, comments and processing
// instructions between them. A piece that is not well-formed stops it with a status, a detail and the
// place where it went wrong. The characters themselves (UTF-8, XML's character set) are checked before.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "plist/Reader.h"

namespace carryover {

class XmlScanner {
  public:
    explicit XmlScanner(std::string_view text) : text_(text) {}

    // What stands at the cursor once white space, comments and processing instructions are passed.
    enum class Next {
        StartTag, // "<" and a name
        EndTag,   // "</"
        Doctype,  // "<!DOCTYPE"
        Text,     // a character, a reference or a CDATA section
        Markup,   // any other "<"
        End,      // the end of the text
        Failed,   // a comment or processing instruction that is not well-formed
    };

    // A start tag as read.
    struct Tag {
        std::string_view name;
        bool empty = false; // written "<name/>"
        size_t at = 0;      // the position of its "<"
    };

    // Moves past a UTF-8 byte-order mark at the start; the text after it is the document.
    void skipByteOrderMark();
    // Passes over white space, comments and processing instructions; what stands next.
    Next skipMisc();
    // Reads the start tag at the cursor into `tag`, attributes checked and passed over; false on failure.
    bool startTag(Tag& tag);
    // Reads the end tag at the cursor, which must close `name`; false on failure.
    bool endTag(std::string_view name);
    // Reads the document type declaration at the cursor, internal subset included; false on failure.
    bool doctype();
    // Reads the text of the element `name` and its end tag. Comments and processing instructions are
    // dropped and line ends become line feeds. With `resolve`, references are replaced by the
    // characters they stand for and CDATA sections by their content; without it, references stay as
    // written and CDATA content is escaped, so that the text is fit to be written between tags again.
    // The view stays valid until the next call; false on failure.
    bool text(std::string_view name, bool resolve, std::string_view& out);
    // Whether the text text() read last without `resolve` holds a reference, so that it may stand for
    // other characters than it is written with.
    bool textHasReference = false;

    // Where the cursor stands, in bytes from the start of the text.
    size_t position() const { return at_; }
    // Whether the cursor stands at the end of the text.
    bool atEnd() const { return at_ == text_.size(); }

    // Stops the scanner: why, what the reason names, and where. Always false.
    bool fail(ReadStatus status, std::string detail, size_t at);
    // Stops the scanner where the cursor stands. Always false.
    bool failHere(ReadStatus status, std::string detail) { return fail(status, std::move(detail), at_); }

    // The encoding the XML declaration names, "" when none is named.
    std::string_view declaredEncoding;

    // Why the scanner stopped, what the reason names and where; Ok while it goes on.
    ReadStatus status = ReadStatus::Ok;
    std::string detail;
    size_t failedAt = 0;

  private:
    // The length of the name at `at`, 0 when none starts there; with `token`, of the name token (whose
    // first character may be any that a name holds).
    size_t nameLength(size_t at, bool token = false) const;
    size_t nonAsciiNameLength(size_t at, bool token) const;
    // Whether a name starts at `at`.
    bool startsName(size_t at) const;
    // Move `at` past what they name when it stands there: the literal `expected`, white space, a name or
    // name token; false, `at` unmoved, when it does not.
    bool word(size_t& at, std::string_view expected) const;
    bool space(size_t& at) const;
    bool name(size_t& at, bool token = false) const;
    // The length of the reference at `at` (an "&"), with its character appended to `decoded` when that
    // is given; 0 on failure.
    size_t reference(size_t at, std::string* decoded);
    // Moves `at` past the comment or processing instruction (the XML declaration checked to its
    // grammar) that starts there, or past the internal subset of the document type that starts after
    // its "["; false on failure.
    bool comment(size_t& at);
    bool processingInstruction(size_t& at);
    bool xmlDeclaration(size_t& at);
    bool internalSubset(size_t& at);
    // Move `at` past the piece of the document type that starts there: an external identifier (with
    // `publicAlone`, PUBLIC may have its first literal only), a markup declaration from its "<!", and
    // the parts of declarations; false when it is not well-formed, with a reason only where they say
    // one.
    bool externalId(size_t& at, bool publicAlone);
    bool markupDeclaration(size_t& at);
    bool contentModel(size_t& at);
    bool attributeDefinitions(size_t& at);
    bool enumeration(size_t& at, bool tokens);
    bool entityDeclaration(size_t& at);
    // Checks the attribute value whose quotes stand at `open` and before `end`: no "<", references
    // well-formed and known; false on failure, with the reason.
    bool attributeValue(size_t open, size_t end);
    // Moves `at` past the CDATA section that starts there, its content appended to `out` as text()
    // takes it with `resolve`; false on failure.
    bool cdata(size_t& at, bool resolve, std::string& out);
    // Moves `at` past the quoted literal that starts there; false on failure.
    bool literal(size_t& at);
    size_t skipSpace(size_t at) const;
    bool startsWith(size_t at, std::string_view literal) const {
        return at <= text_.size() && text_.substr(at).starts_with(literal);
    }

    std::string_view text_;
    size_t at_ = 0;
    size_t start_ = 0; // where the document starts, after a byte-order mark
    std::string buffer_;
    std::vector<std::string_view> attributes_;       // the names of the start tag being read
    std::vector<std::string_view> declaredEntities_; // the general entities the document type declares
};

// "<", `name` and ">": an element as a reason names it.
std::string tagText(std::string_view name);

} // namespace carryover
