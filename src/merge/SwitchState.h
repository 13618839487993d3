// SwitchState: the enabled flags of every node of a differences tree, in tree order. Compared with the
// flags of the comparison and of the last save, it tells what a switch, an undo or a reset changes, and
// whether there are switches not yet saved.
#pragma once

#include <vector>

#include "model/Item.h"

namespace carryover {

using SwitchState = std::vector<bool>;

// The flags of `root`'s tree, root first, in pre-order.
SwitchState switchState(const Item& root);

} // namespace carryover
