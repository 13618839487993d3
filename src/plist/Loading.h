// Loading a property-list file as the application and the command line both do: read the bytes under
// a size ceiling and read them with our own reader, which decides whether an XML property list is
// accepted. Text in UTF-16 or UTF-32 is refused, naming its encoding, with or without a byte-order mark.
// Binary property lists are read by their own reader (BinaryPlist.h) into the tree the same list gives
// as XML.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "model/ContainerCounter.h"
#include "model/Item.h"
#include "plist/FileBytes.h"

namespace carryover {

// How a load ended.
enum class LoadStatus {
    Loaded,        // the root is the file's tree
    Unreadable,    // the bytes could not be read
    TooDeep,       // containers nest deeper than the reader allows
    TooLarge,      // the file, or what a binary file expands to, is beyond what is handled
    NotPlist,      // the bytes are not a property list
    NotUtf8,       // the text is UTF-16 or UTF-32 by its byte-order mark or NULs; only UTF-8 is read
    NotDictionary, // the top level is not a dictionary
};

struct LoadResult {
    LoadStatus status = LoadStatus::Loaded;
    ItemPtr root;        // the tree when Loaded, the reader's Error root when it refused the text, else null
    std::string message; // "" when Loaded; else one line beginning "Error reading plist: "

    bool loaded() const { return status == LoadStatus::Loaded; }
};

// Loads the property-list file at `path` into a tree whose root is named by `path`; containers take
// their serial numbers from `counter`. With `access` Map the tree refers into the mapped file, which
// must then not shrink while the tree lives.
LoadResult loadPlist(const std::string& path, ContainerCounter& counter,
                     FileAccess access = FileAccess::Read);

// Loads what the open descriptor `fd` holds (standard input, say) as loadPlist does, into a tree whose
// root is named `name`; `fd` stays open.
LoadResult loadPlistDescriptor(int fd, const std::string& name, ContainerCounter& counter);

// Loads what reading the file at `path` gave, as loadPlist does: the bytes, or the reason they could
// not be read. For a caller that keeps the bytes it read.
LoadResult loadPlistFile(const std::string& path, FileBytes file, ContainerCounter& counter);

// Loads `bytes`, the content of the file at `path`, as loadPlist does after reading them.
LoadResult loadPlistBytes(const std::string& path, std::string bytes, ContainerCounter& counter);
// The same for `bytes` kept alive by `owner`, which the tree keeps as long as it lives.
LoadResult loadPlistBytes(const std::string& path, std::string_view bytes, std::shared_ptr<const void> owner,
                          ContainerCounter& counter);

} // namespace carryover
