// Binary property lists (bplist00), read straight from their object table into an Item tree. The table
// is walked once first, without recursion, to refuse what cannot be read faithfully: malformed tables
// and objects, containers holding themselves, nesting beyond the reader's limit, trees that expand
// through shared objects to far more nodes than the file has bytes, text holding characters that XML
// cannot hold, integers beyond 64 bits, UIDs beyond 32 bits, and dates that XML text cannot spell with
// a four-digit year. What passes is built as the XML reader builds the same list written as XML: texts
// are held as XML spells them (&, <, > and carriage returns as references), a date as its XML text to
// the second, a UID as the dictionary with the one entry CF$UID that XML writes for it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "model/ContainerCounter.h"
#include "model/Item.h"

namespace carryover {

// Expansion through shared objects. A list is refused when it expands to more than
// binaryNodesAlwaysAllowed nodes and more than binaryNodesPerByte nodes a byte of the file; and,
// since a node costs about 100 bytes once read, also when it expands to more than
// binaryNodesWithinMemory nodes and more than one node a byte. A list without shared containers never
// has more than one node a byte (each node takes a reference of at least one byte in its container),
// so the second rule refuses only what sharing blows up beyond what an equally large list costs.
constexpr uint64_t binaryNodesAlwaysAllowed = 100'000;
constexpr uint64_t binaryNodesPerByte = 10;
constexpr uint64_t binaryNodesWithinMemory = 1'000'000;

// How reading a binary list ended.
enum class BinaryStatus {
    Read,             // the root is the list's tree
    Malformed,        // the object table or an object in it cannot be read
    Cycle,            // a container holds itself
    TooDeep,          // containers nest deeper than the reader allows
    TooLarge,         // shared objects expand the tree far beyond the size of the file
    InvalidCharacter, // a string or key holds a character XML cannot hold
    IntegerTooLarge,  // an integer is outside [-2^63, 2^64-1]
    DateOutOfRange,   // a date before the year 1000 or after 9999, or no date at all (NaN, infinite)
    UidTooWide,       // a UID of more than four bytes, which libplist does not read
    NotDictionary,    // the top level is not a dictionary
};

struct BinaryRead {
    BinaryStatus status = BinaryStatus::Read;
    ItemPtr root;       // when Read: the FileName root, holding the file's bytes; else null
    std::string detail; // the path of the offending value, or the figures of an expansion, else ""

    // A short English reason ending in ", format: binary"; "" when Read.
    std::string description() const;
};

// Whether `bytes` begin as a binary property list does.
bool isBinaryPlist(std::string_view bytes);

// Reads the binary property list `bytes`, the content of the file at `path`, into a tree whose nodes
// refer into `bytes` where they hold a text or data as it stands there; `owner` keeps `bytes` alive and
// is kept by the tree. Containers take their serial numbers from `counter`.
BinaryRead readBinaryPlist(const std::string& path, std::string_view bytes, std::shared_ptr<const void> owner,
                           ContainerCounter& counter);

} // namespace carryover
