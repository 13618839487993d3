// Loading a property-list file as the application and the command line both do: read the bytes,
// measure how deep containers nest, check the bytes with the system's property-list parser (libplist),
// then read the text with our own reader. Binary property lists pass the same check and are converted
// to XML text first, so they load like XML files.
#pragma once

#include <string>

#include "model/ContainerCounter.h"
#include "model/Item.h"

namespace carryover {

// How a load ended.
enum class LoadStatus {
    Loaded,        // the root is the file's tree
    Unreadable,    // the bytes could not be read
    TooDeep,       // containers nest deeper than the reader allows, found before the check
    TooLarge,      // the file, or what a binary file expands to, is beyond what is handled
    NotPlist,      // the property-list parser refused the bytes
    NotDictionary, // the top level is not a dictionary
    ReaderRefused, // the check passed, but the reader refused the text; the root is its Error root
};

struct LoadResult {
    LoadStatus status = LoadStatus::Loaded;
    ItemPtr root;        // the tree when Loaded, the Error root when ReaderRefused, else null
    std::string message; // "" when Loaded; else one line beginning "Error reading plist: "

    bool loaded() const { return status == LoadStatus::Loaded; }
};

// Loads the property-list file at `path` into a tree whose root is named by `path`; containers take
// their serial numbers from `counter`.
LoadResult loadPlist(const std::string& path, ContainerCounter& counter);

// Loads `bytes`, the content of the file at `path`, as loadPlist does after reading them.
LoadResult loadPlistBytes(const std::string& path, std::string bytes, ContainerCounter& counter);

// The deepest nesting of <dict> and <array> elements in XML text, counted up to `limit` + 1 at most;
// comments, CDATA sections, processing instructions and declarations are passed over.
int xmlNestingDepth(std::string_view text, int limit);

} // namespace carryover
