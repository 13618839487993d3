// Disabled entries: dictionaries can switch themselves off with a Bool entry "Enabled" that is false.
// handleDisabled marks such dictionaries Kill and disabled in the reduced tree (or leaves them out);
// enabledOnly cuts the merged result out of the differences tree: the nodes that are enabled and
// whose ancestors are all enabled.
#pragma once

#include "model/Item.h"

namespace carryover {

// `node` itself, handled in place: switched-off dictionaries below it (or itself) are marked Kill and
// disabled throughout, or taken out under HideDisabled; nullptr when `node` is such a dictionary
// under HideDisabled; array elements that move up are named after their new position, with names
// kept in `arena`. The caller sets the result's parent. Meant for the reduced tree, which it changes.
Item* handleDisabled(Item* node, ReduceOptions options, Arena& arena);

// A new tree holding the enabled part of `node`'s subtree, names unchanged; nullptr when `node` itself
// is disabled. `node` is left as it is; the new tree shares its names and texts and keeps it alive.
ItemPtr enabledOnly(const ItemPtr& node);
// The same, its nodes made in `arena`, which must keep the owner of `node`'s texts.
Item* enabledOnly(const Item& node, Arena& arena);

// The same cut made in place on a tree the caller gives up: the disabled nodes are taken out and
// `node` itself is returned; nullptr when `node` is disabled. The elements that move up in an array
// are named after their new position, with names kept in `arena`; names elsewhere stay.
Item* takeEnabledPart(Item& node, Arena& arena);

} // namespace carryover
