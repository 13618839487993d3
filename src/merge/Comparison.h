// Comparison: the one road from two loaded file roots to what a front end shows or writes. It builds
// the differences tree, derives the merged result from it, and counts the nodes per operation. The
// window builds the differences from roots it gives up, and derives the result with mergedResult when
// it is wanted, again after each switch the user makes.
#pragma once

#include <array>
#include <cstddef>

#include "model/Item.h"

namespace carryover {

// How many nodes of a tree carry each operation, indexed by the operation's value.
class OperationCounts {
  public:
    // Counts every node of `root`'s tree, `root` included.
    explicit OperationCounts(const Item& root);
    OperationCounts() = default;

    size_t operator[](Operation operation) const { return counts_[static_cast<size_t>(operation)]; }
    // Whether any node is Merged, Replacement, Inserted or Unmatched: the files differ.
    bool differ() const;

  private:
    void add(const Item& node);
    std::array<size_t, 6> counts_{};
};

struct Comparison {
    ItemPtr differences;    // the differences tree; the single node "Fehler" when a root is no file
    ItemPtr result;         // the merged tree: the enabled part of the differences, arrays renumbered;
                            // nullptr when its root is disabled, and from compareTaking
    OperationCounts counts; // of the differences tree
};

// Compares `config` with `sample`; both are left unchanged.
Comparison compare(const ItemPtr& config, const ItemPtr& sample);

// The differences and their counts for two roots that the caller gives up: their nodes become the
// nodes of the differences tree, so nothing is copied. The result is left for mergedResult to derive.
Comparison compareTaking(ItemPtr config, ItemPtr sample);

// The enabled part of `differences` with its arrays renumbered; nullptr when its root is disabled.
ItemPtr mergedResult(const ItemPtr& differences);

// The merged result of two roots that the caller gives up, made of their own nodes without copies;
// nullptr when the result's root is disabled. For a caller that needs neither the inputs nor the
// differences afterwards.
ItemPtr mergedResultTaking(ItemPtr config, ItemPtr sample);

} // namespace carryover
