// Switch: what the user's enable button does to a node of the differences tree. A node of a pair that
// the merge made for a value that differs (Merged and its Replacement) swaps which of the two values
// the result takes; any other node is switched on or off together with its subtree, and switching a
// node on also switches on the ancestors that were off, so that it reaches the result.
#pragma once

#include "model/Item.h"

namespace carryover {

// Whether the line of `node` carries an enable button: its operation is not None and differs from its
// parent's (a run of nodes with one operation is switched from its first node).
bool hasSwitch(const Item& node);

// Switches `node`, a node of the tree whose root is `root`, in place. A Merged or Replacement node
// flips the enabled flags of the two nodes found at its path (itself and its partner), each node only;
// when other than two nodes are found nothing changes. Returns whether a flag changed.
bool switchNode(Item& root, Item& node);

} // namespace carryover
