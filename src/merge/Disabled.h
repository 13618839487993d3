// Disabled entries: dictionaries can switch themselves off with a Bool entry "Enabled" that is false.
// handleDisabled marks such dictionaries Kill and disabled in the reduced tree (or leaves them out);
// enabledOnly cuts the merged result out of the differences tree: the nodes that are enabled and
// whose ancestors are all enabled.
#pragma once

#include "model/Item.h"

namespace carryover {

// The processed node: new containers, switched-off dictionaries as Kill-marked disabled copies, leaves
// as the same node (for the caller to re-parent); nullptr for a switched-off dictionary under
// HideDisabled. `node` is spent afterwards.
ItemPtr handleDisabled(const ItemPtr& node, ReduceOptions options);

// A new tree holding the enabled part of `node`'s subtree, names unchanged; nullptr when `node` itself
// is disabled. `node` is left as it is.
ItemPtr enabledOnly(const Item& node);

} // namespace carryover
