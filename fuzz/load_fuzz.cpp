// Fuzzing the loading step on arbitrary bytes. What it accepts is written, read again and written
// again to the same text; libplist reads the same values from the input and from the written text;
// and accepting and refusing agree with libplist except where the loading step decides otherwise on
// purpose, as listed below.
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "LibplistValues.h"
#include "plist/BinaryPlist.h"
#include "plist/Loading.h"
#include "plist/Reader.h"
#include "plist/Writer.h"

using namespace carryover;
using carryover::fuzz::check;

namespace {

// Refusals of binary lists are not compared with libplist: the walk refuses on purpose strings or
// keys holding characters XML cannot hold (libplist cuts a string at U+0000 and writes the others
// raw), integers beyond 64 bits (libplist keeps the low 64 bits), expansion far beyond the file's size,
// nesting deeper than 512 levels, objects placed inside the header and widths beyond eight bytes in
// the trailer, all of which libplist reads; and a malformed list can still expand without bound
// inside libplist, which parses every shared object anew at each use.

// XML text is read by a strict parser and libplist's reader is lenient the other way too, so that
// accepting and refusing XML differ on purpose both ways:
// - refused although libplist reads a dictionary: every document that is not a well-formed property
//   list (broken or mismatched markup, text outside elements, unknown elements and entities, a key
//   without a value or a second value, content after the root, text that is not UTF-8 or holds a
//   character XML forbids), nesting deeper than 512 levels, integers beyond [-2^63, 2^64-1];
// - read although libplist refuses: <float> elements, a document that is a bare <dict>, a
//   byte-order mark, empty-element forms such as <integer/> or <key/>, <true></true>, and processing
//   instructions or a document type libplist trips over. The document head is written as it was
//   read (libplist may read it otherwise in another context), so libplist is given the written text
//   with the default head in its place.
// The values are then compared only where libplist reads the input faithfully (see below).

// Whether libplist may read the XML `text` otherwise than the file holds: markup other than a
// closing tag inside a value's text (comments and processing instructions are dropped by the
// parser, lost or kept by libplist), a carriage return in a value's text (the parser reads line ends
// as XML does, CR LF and a lone CR as LF; libplist keeps them), references in number or data text
// (libplist reads 0), an integer with a leading zero (libplist reads it as octal) or with a sign not
// followed by a digit (libplist reads "--9" as 9 and "+-9" as 2^64-9), or Base64 that is not in
// canonical form (libplist decodes what it can, the parser gives an empty buffer); also a value
// written in the empty-element form, such as <date />.
bool libplistMayMisread(std::string_view text) {
    for (std::string_view element : {"<integer", "<real", "<data", "<string", "<key", "<date"}) {
        for (size_t at = text.find(element); at != std::string_view::npos; at = text.find(element, at + 1)) {
            const size_t open = text.find('>', at);
            if (open == std::string_view::npos) return true;
            if (text[open - 1] == '/') return true; // an empty-element form: libplist may read it otherwise
            const size_t end = text.find('<', open);
            if (end == std::string_view::npos || text.substr(end, 2) != "</") return true;
            const std::string_view value = text.substr(open + 1, end - open - 1);
            if (value.find('\r') != std::string_view::npos) return true;
            if (element == "<string" || element == "<key" || element == "<date") continue;
            if (value.find('&') != std::string_view::npos) return true;
            const size_t sign = value.find_first_not_of(" \t\n");
            const size_t first = value.find_first_not_of(" \t\n+-");
            const auto isDigit = [&](size_t at) {
                return at < value.size() && value[at] >= '0' && value[at] <= '9';
            };
            if (element == "<integer" && sign != std::string_view::npos &&
                (value[sign] == '+' || value[sign] == '-') && !isDigit(sign + 1))
                return true;
            if (element == "<integer" && first != std::string_view::npos && value[first] == '0' &&
                isDigit(first + 1))
                return true;
            if (element == "<data") {
                size_t digits = 0, padding = 0;
                for (char c : value) {
                    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
                    const bool digit = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                       (c >= '0' && c <= '9') || c == '+' || c == '/';
                    if (c == '=')
                        ++padding;
                    else if (!digit || padding > 0)
                        return true;
                    ++digits;
                }
                if (digits % 4 != 0 || padding > 2) return true;
            }
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const bool binary = isBinaryPlist(bytes);
    ContainerCounter counter;
    const LoadResult loaded = loadPlistBytes("input.plist", bytes, counter);
    if (!loaded.loaded()) return 0;

    const std::string written = plistRepresentation(*loaded.root, 0);
    ContainerCounter again;
    const LoadResult reread = loadPlistBytes("input.plist", written, again);
    check(reread.loaded(), "refused its own text", reread.message + "\n" + written);
    check(plistRepresentation(*reread.root, 0) == written, "written text is no fixed point", written);

    const fuzz::Libplist theirs(bytes);
    check(theirs.isDictionary() || !binary, "accepted a binary list libplist refuses", written);
    const std::string_view head = documentHead(written).value_or(std::string_view());
    const fuzz::Libplist fromWritten(std::string(defaultHeader) + written.substr(head.size()));
    check(fromWritten.isDictionary(), "libplist refuses the written text", written);
    if (!theirs.isDictionary() || (!binary && libplistMayMisread(bytes))) return 0;
    check(fuzz::sameValues(theirs.get(), fromWritten.get()),
          "libplist reads other values from the written text", written);
    return 0;
}
