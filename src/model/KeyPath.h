// KeyPath: where a node stands in its tree, as people and scripts name it: the keys from the top
// down to the node, joined by "/" ("Kernel/Add/Item 3/BundlePath"). The root's own name (a file
// path) is not part of it. A "~" or "/" inside a key is written "~0" or "~1", as JSON Pointer does,
// so that every key path names one place.
#pragma once

#include <string>

#include "model/Item.h"

namespace carryover {

// The key path of `node`; "" for the root of its tree.
std::string keyPath(const Item& node);

// `key` as one component of a key path: "~" and "/" written "~0" and "~1".
std::string keyPathComponent(std::string_view key);

} // namespace carryover
