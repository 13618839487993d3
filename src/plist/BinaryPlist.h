// Binary property lists. Their object table is walked first, without recursion, to refuse what cannot
// be read faithfully: malformed tables, containers holding themselves, nesting beyond the reader's
// limit, trees that expand through shared objects to far more nodes than the file has bytes, text
// holding characters that XML cannot hold, integers beyond 64 bits, UIDs beyond 32 bits, and dates that
// XML text cannot spell with a four-digit year. What passes is converted by
// libplist into XML text, with carriage returns written as references so the reader keeps them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace carryover {

// Expansion through shared objects. A list is refused when it expands to more than
// binaryNodesAlwaysAllowed nodes and more than binaryNodesPerByte nodes a byte of the file; and,
// since a node costs about 200 bytes once read, also when it expands to more than
// binaryNodesWithinMemory nodes and more than one node a byte. A list without shared containers never
// has more than one node a byte (each node takes a reference of at least one byte in its container),
// so the second rule refuses only what sharing blows up beyond what an equally large list costs.
constexpr uint64_t binaryNodesAlwaysAllowed = 100'000;
constexpr uint64_t binaryNodesPerByte = 10;
constexpr uint64_t binaryNodesWithinMemory = 1'000'000;

// How a conversion ended.
enum class BinaryStatus {
    Converted,        // the text is the list as XML
    Malformed,        // the object table cannot be read
    Cycle,            // a container holds itself
    TooDeep,          // containers nest deeper than the reader allows
    TooLarge,         // shared objects expand the tree far beyond the size of the file
    InvalidCharacter, // a string or key holds a character XML cannot hold
    IntegerTooLarge,  // an integer is outside [-2^63, 2^64-1]
    DateOutOfRange,   // a date before the year 1000 or after 9999, or no date at all (NaN, infinite)
    UidTooWide,       // a UID of more than four bytes, which libplist does not read
    NotDictionary,    // the top level is not a dictionary
};

struct BinaryConversion {
    BinaryStatus status = BinaryStatus::Converted;
    std::string text;   // the XML text when Converted, else empty
    std::string detail; // the path of the offending value, or the figures of an expansion, else ""

    // A short English reason ending in ", format: binary"; "" when Converted.
    std::string description() const;
};

// Whether `bytes` begin as a binary property list does.
bool isBinaryPlist(std::string_view bytes);

// The binary property list `bytes` as XML text; a refusal with its reason when it cannot be converted
// faithfully.
BinaryConversion convertBinaryPlist(std::string bytes);

} // namespace carryover
