// Saving: writing a file so that readers see either the old content or the whole new one, and saving
// a tree as a property-list document that way. A failed save leaves the target as it was.
//
// A process that saves ignores SIGXFSZ, so that a file-size limit makes the write fail with an error
// (and the temporary file be removed) instead of killing the process; both front ends do so at start.
#pragma once

#include <string>
#include <string_view>

#include "model/Item.h"

namespace carryover {

// Writes all of `text` to the open descriptor `fd`, waiting when it is non-blocking and full.
// Returns "" when everything was written; otherwise the system's reason.
std::string writeAll(int fd, std::string_view text);

// Writes `text` to `path` as a shell redirection would, but atomically where it can:
// - a regular file, or none, is written to a temporary file in the same folder that is then renamed
//   over it; a replaced file keeps its permissions (and its owner and group where the system allows),
//   a new one gets the usual permissions (0666 less the umask);
// - a symbolic link stays a link: the file it leads to is replaced, or created when it is missing;
// - a device or a named pipe is written directly; a pipe that nobody reads from is a failure.
// Returns "" on success; otherwise the reason, and the target is left as it was (a device or pipe may
// have taken part of the text) and no temporary file remains.
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

// Writes plistRepresentation(root, 0) to the open descriptor `fd` block by block (see writePlist), without
// holding the whole text. Returns "" when everything was written; otherwise the system's reason.
std::string writeDocument(int fd, const Item& root);

// Writes plistRepresentation(root, 0) to `path` as writeFileAtomically does, in UTF-8, block by block as
// writeDocument writes it, when `root` is a file's root.
SaveResult savePlist(const Item& root, const std::string& path);

} // namespace carryover
