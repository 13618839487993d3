// Reduce: the pairwise merge of a combined node, whose children are a sample node's children
// followed by the matching configuration node's children (sample side marked None, configuration
// side Inserted). Dictionary entries and root entries pair by name, array elements by elementOrder;
// matched containers merge recursively, matched leaves collapse or become Merged + Replacement.
// Each placed node ends up with an Operation and an enabled flag. Reducing a node consumes it:
// its nodes are moved into the result, never copied, so only scratch trees may be reduced.
#pragma once

#include "model/Item.h"

namespace carryover {

// A new node in `arena` with `node`'s own fields holding the merge of its children; for a leaf kind,
// without children. `node` is spent afterwards: its containers serve as the containers of the result.
// Child lists and changed names of the result are taken from `arena`, which must live as long as the
// nodes of `node`'s tree.
Item* reduce(Item& node, ReduceOptions options, Arena& arena);

// Nothing; appends `child` to `receiver`, reduced first when it is a container (marked Unmatched
// unless it is Inserted); a leaf goes through appendLeave and may be dropped there.
void appendElement(Item& receiver, Item* child, ReduceOptions options, Arena& arena);

// Nothing; appends `leaf` to `receiver` after settling its mark ("#" array strings are Kill, Inserted
// leaves enabled or not), or drops it under HideInsertedLeaves. `leaf->parent` must still be the
// container it was taken from (or null).
void appendLeave(Item& receiver, Item* leaf, ReduceOptions options, Arena& arena);

// -1 when array element `a` sorts before `b`, 0 when both count as the same element, 1 otherwise.
// Dictionaries compare by their first "Path", "BundlePath" or "Comment" entry present in both,
// else by name; any other element by value. Not a consistent ordering across kinds.
int elementOrder(const Item& a, const Item& b);

} // namespace carryover
