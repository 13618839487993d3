// Saving: writing a file so that readers see either the old content or the whole new one, and saving
// a tree as a property-list document that way. A failed save leaves the target as it was.
#pragma once

#include <string>
#include <string_view>

#include "model/Item.h"

namespace carryover {

// Writes `text` to a temporary file in the folder of `path`, then renames it over `path`, keeping the
// permissions of a file that is replaced. Returns "" on success; otherwise the reason, and `path` is
// left as it was and the temporary file removed.
std::string writeFileAtomically(const std::string& path, std::string_view text);

// How a save ended.
enum class SaveStatus {
    Saved,        // the document was written
    NotADocument, // the tree is no file's tree (an error node, an empty tree): nothing was written
    WriteFailed,  // the file could not be written; it is left as it was
};

struct SaveResult {
    SaveStatus status = SaveStatus::Saved;
    std::string reason; // the system's reason when the write failed

    bool saved() const { return status == SaveStatus::Saved; }
    // A short English sentence; "" when saved.
    std::string description() const;
};

// Writes plistRepresentation(root, 0) to `path` atomically, in UTF-8, when `root` is a file's root.
SaveResult savePlist(const Item& root, const std::string& path);

} // namespace carryover
