// The property-list reader: a tolerant, single-pass reader of XML property-list text into an Item tree.
// The root (kind FileName) is named by the file path, holds the whole text and has the top-level
// dictionary's entries as children. Unknown elements become None nodes; what cannot be read is
// skipped or ends its container. A whole document is refused only when it is not UTF-8, nests
// deeper than `maximumDepth` containers or cannot be read at all: the root is then of kind Error.
#pragma once

#include <optional>
#include <string>

#include "model/ContainerCounter.h"
#include "model/Item.h"

namespace carryover {

// The most containers open at once, the top-level dictionary included, that a document may have.
constexpr int maximumDepth = 512;

// Why a document was refused.
enum class ReadStatus {
    Ok,         // read; the root is of kind FileName
    Unreadable, // the file could not be opened or read
    NotUtf8,    // the text is not valid UTF-8
    TooDeep,    // containers nest deeper than maximumDepth
};

struct ReadResult {
    ItemPtr root; // FileName root, or an Error root holding "Dateifehler: " and the path
    ReadStatus status = ReadStatus::Ok;
    std::string detail; // the system's reason when a file could not be read

    // A short English reason, "" when read.
    std::string description() const;
};

// Reads `text` as the property list of the file at `path`; the root's parent is `parent`. Containers
// take their serial numbers from `counter`.
ReadResult readPlistText(const std::string& path, std::string text, ContainerCounter& counter,
                         Item* parent = nullptr);

// Reads the whole file at `path` and then its text.
ReadResult readPlistFile(const std::string& path, ContainerCounter& counter, Item* parent = nullptr);

// The whole content of the file at `path`; nothing, with the system's reason in `error`, on failure.
std::optional<std::string> readWholeFile(const std::string& path, std::string& error);

// The root for a document that was refused: kind Error, "Dateifehler: " followed by `path`.
ItemPtr errorRoot(const std::string& path, Item* parent);

// Whether `bytes` are valid UTF-8 (no overlong forms, no surrogates, nothing beyond U+10FFFF).
bool isValidUtf8(std::string_view bytes);

} // namespace carryover
