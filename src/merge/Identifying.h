// Identifying entries: the entries that name a dictionary among the elements of an array ("Path",
// "BundlePath", "Comment", in that order of precedence). The merge pairs array elements by them, and
// a reviewer tells elements apart by them without opening each.
#pragma once

#include <array>
#include <string_view>

#include "model/Item.h"

namespace carryover {

// The keys that identify a dictionary in an array, the first present one counting most.
inline constexpr std::array<std::string_view, 3> identifyingKeys = {"Path", "BundlePath", "Comment"};

// The first entry of the dictionary `node` whose key is the first of identifyingKeys it holds; null for
// a node that is no dictionary, or holds none of them.
const Item* identifyingEntry(const Item& node);

} // namespace carryover
