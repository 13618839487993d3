// Difference: the comparison pipeline, the engine's single entry. It merges a configuration tree into
// the structure of a sample tree and returns the differences tree: the sample's root with the merged
// entries of both files, every node marked with an Operation and an enabled flag. The merged result
// is derived from it with enabledOnly.
#pragma once

#include "model/Item.h"

namespace carryover {

// The differences tree of the two file roots, arrays renumbered; a single node "Fehler" (text
// "Fehler", kind None) when either root is not of kind FileName. Both inputs are left unchanged.
ItemPtr difference(const ItemPtr& sample, const ItemPtr& config);

// The same for two roots that the caller gives up: their nodes become the nodes of the differences
// tree, so nothing is copied. Neither tree may be used afterwards (the differences tree keeps their
// memory).
ItemPtr differenceTaking(ItemPtr sample, ItemPtr config);

} // namespace carryover
