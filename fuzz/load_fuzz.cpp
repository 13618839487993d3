// Fuzzing the loading step on arbitrary bytes, XML and binary. What it accepts is written, read again
// and written again to the same text; libplist reads the written text, and reads the same values from
// it as from the input wherever it reads the input faithfully, so it judges our binary reader too.
// Expat judges well-formedness: XML it refuses is refused, and the written text is XML it takes.
#include <string>
#include <string_view>

#include <expat.h>

#include "FuzzCheck.h"
#include "LibplistValues.h"
#include "plist/BinaryPlist.h"
#include "plist/Loading.h"
#include "plist/Reader.h"
#include "plist/Writer.h"
#include "plist/XmlCharacter.h"

using namespace carryover;
using carryover::fuzz::check;

namespace {

// Accepting and refusing differ from libplist on purpose both ways, so only what is accepted is checked.
// Refused although libplist reads it: malformed XML, characters XML cannot hold, integers beyond
// [-2^63, 2^64-1], data that is not Base64, entities the document type declares, nesting beyond 512
// levels, binary lists that loop, expand beyond bounds or have odd trailers, UIDs of nine bytes or more
// (libplist reads them as 0). Read although libplist refuses it: <float>, a bare <dict>, a byte-order mark,
// empty forms such as <integer/>, and heads libplist trips over, so libplist is given the written text with
// the default head.

// Whether libplist may read the XML `text` otherwise than the file holds: markup or a CR inside a
// value's text, references or wide white space in number or data text (read as 0), an integer with a
// leading zero (read as octal) or a sign not followed by a digit, Base64 not in canonical form (its
// padding left out), or a value in the empty-element form such as <date />.
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
            for (char c : value) // wide white space before a number, which libplist reads as 0
                if (static_cast<unsigned char>(c) >= 0x80) return true;
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

// Whether expat finds `text`, read as UTF-8 whatever it declares, not well-formed. Refusals on other
// grounds (encoding, memory, entity amplification) do not count, nor a name character that XML 1.0
// allows since its fifth edition and expat's older tables do not.
bool expatRefuses(std::string_view text) {
    XML_Parser parser = XML_ParserCreate("UTF-8");
    const bool parsed =
        XML_Parse(parser, text.data(), static_cast<int>(text.size()), XML_TRUE) == XML_STATUS_OK;
    const XML_Error error = XML_GetErrorCode(parser);
    const XML_Index at = XML_GetCurrentByteIndex(parser);
    XML_ParserFree(parser);
    if (parsed || error == XML_ERROR_NO_MEMORY || error == XML_ERROR_UNKNOWN_ENCODING ||
        error == XML_ERROR_INCORRECT_ENCODING || error == XML_ERROR_AMPLIFICATION_LIMIT_BREACH)
        return false;
    if (error == XML_ERROR_INVALID_TOKEN && at >= 0 && static_cast<size_t>(at) < text.size() &&
        static_cast<unsigned char>(text[static_cast<size_t>(at)]) >= 0x80) {
        size_t next = static_cast<size_t>(at);
        if (isNameCharacter(nextUtf8(text, next))) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const bool binary = isBinaryPlist(bytes);
    ContainerCounter counter;
    const LoadResult loaded = loadPlistBytes("input.plist", bytes, counter);
    if (!loaded.loaded()) return 0;
    check(binary || !expatRefuses(bytes), "accepted what expat refuses", bytes);

    const std::string written = plistRepresentation(*loaded.root, 0);
    check(!expatRefuses(written), "expat refuses the written text", written);
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
