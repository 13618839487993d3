// IdentifyingEntry: the entry by which a dictionary in an array is known, when the merge pairs it
// with its partner and when it is named for people ("Item 3 (BundlePath Lilu.kext)"): its "Path",
// else its "BundlePath", else its "Comment".
#pragma once

#include <array>
#include <string_view>

#include "model/Item.h"

namespace carryover {

// The keys that identify a dictionary in an array, the strongest first.
constexpr std::array<std::string_view, 3> identifyingKeys = {"Path", "BundlePath", "Comment"};

// The first entry of `element` under the first of identifyingKeys it has, when `element` is a
// dictionary in an array; null otherwise.
const Item* identifyingEntry(const Item& element);

} // namespace carryover
