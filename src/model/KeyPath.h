// KeyPath: a node's place as people and scripts write it: the names from the top-level key down to
// the node, joined by "/" ("Kernel/Quirks/DisableIoMapper", "Plugins/Item 2/Path"). The root's own
// name (a file's path) is left out, so the root's key path is "".
#pragma once

#include <string>

#include "model/Item.h"

namespace carryover {

// The key path of `node`; "" for a root.
std::string keyPath(const Item& node);

} // namespace carryover
