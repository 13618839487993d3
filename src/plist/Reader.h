// The property-list reader: a strict parser of XML property-list text into an Item tree. It reads the
// document as an XML parser does (comments, processing instructions and the document type are passed
// over) and refuses, with a reason and the line and column where it stands, every document that is not
// a well-formed property list whose top level is a dictionary. The root (kind FileName) is named by the
// file path, holds the whole text and has the top-level dictionary's entries as children; texts of
// keys, strings and dates are held as written, character and entity references included.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "model/ContainerCounter.h"
#include "model/Item.h"

namespace carryover {

// The most containers open at once, the top-level dictionary included, that a document may have.
constexpr int maximumDepth = 512;

// Why a document was refused.
enum class ReadStatus {
    Ok,                  // read; the root is of kind FileName
    NotUtf8,             // the text is not valid UTF-8
    ForbiddenCharacter,  // a character XML 1.0 does not allow, written raw or as a reference
    Malformed,           // not well-formed XML: broken markup, mismatched or unclosed tags, a bad reference
    UnknownEntity,       // a reference to an entity other than amp, lt, gt, quot and apos
    UnknownElement,      // an element that property lists do not have
    TextOutsideElements, // text where only elements, comments and processing instructions may stand
    KeyWithoutValue,     // a key that no value follows in its dictionary
    ValueWithoutKey,     // a value in a dictionary with no key of its own: the first, or a second for a key
    NotDictionary,       // the top level is not a dictionary
    JunkAfterRoot,       // more than white space, comments and processing instructions after the root element
    TooDeep,             // containers nest deeper than maximumDepth
    IntegerOutOfRange,   // an integer outside [-2^63, 2^64-1]
    InvalidData,         // data whose text is not Base64
    DeclaredEntity,      // a reference to an entity the document type declares, which is not read
};

struct ReadResult {
    ItemPtr root; // FileName root, or an Error root holding "Dateifehler: " and the path
    ReadStatus status = ReadStatus::Ok;
    std::string detail; // what the reason names: an element, a path; may be ""
    size_t line = 0;    // where a refused document went wrong, counted from 1; 0 when not in the text
    size_t column = 0;  // in characters, counted from 1

    // A short English reason, followed by " at line L, column C" when it has a place; "" when read.
    std::string description() const;
};

// Reads `text` as the property list of the file at `path`; the root's parent is `parent`. Containers
// take their serial numbers from `counter`.
ReadResult readPlistText(const std::string& path, std::string text, ContainerCounter& counter,
                         Item* parent = nullptr);
// The same for `text` kept alive by `owner`, which the tree keeps as long as it lives.
ReadResult readPlistText(const std::string& path, std::string_view text, std::shared_ptr<const void> owner,
                         ContainerCounter& counter, Item* parent = nullptr);

// The root for a document that was refused: kind Error, "Dateifehler: " followed by `path`.
ItemPtr errorRoot(const std::string& path, Item* parent);

// The part of a document's text between its byte-order mark and the start tag of its top-level
// dictionary, when the document is a <plist> element around that dictionary; comments, processing
// instructions and the document type are passed over as the reader passes over them. Nothing for
// other texts, a bare <dict> document among them, and for a head whose XML declaration names an
// encoding other than UTF-8.
std::optional<std::string_view> documentHead(std::string_view text);

} // namespace carryover
