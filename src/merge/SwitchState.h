// SwitchState: the enabled flags of every node of a differences tree, in tree order. Taken before and
// after a switch, it is what undoing and redoing put back; compared with the flags of the last save,
// it tells whether there are switches not yet saved.
#pragma once

#include <vector>

#include "model/Item.h"

namespace carryover {

using SwitchState = std::vector<bool>;

// The flags of `root`'s tree, root first, in pre-order.
SwitchState switchState(const Item& root);

// Sets the flags of `root`'s tree from `state`, taken from this tree (or one of the same shape); a
// state of another size changes nothing and returns false.
bool restoreSwitchState(Item& root, const SwitchState& state);

} // namespace carryover
