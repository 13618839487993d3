// The comparison of two file roots: differences, merged result and counts in one call.
#include "merge/Comparison.h"

#include "merge/Difference.h"
#include "merge/Disabled.h"

namespace carryover {

OperationCounts::OperationCounts(const Item& root) {
    add(root);
}

void OperationCounts::add(const Item& node) {
    ++counts_[static_cast<size_t>(node.operation)];
    for (const Item* child : node.children)
        add(*child);
}

bool OperationCounts::differ() const {
    return (*this)[Operation::Merged] + (*this)[Operation::Replacement] + (*this)[Operation::Inserted] +
               (*this)[Operation::Unmatched] >
           0;
}

ItemPtr mergedResult(const ItemPtr& differences) {
    auto arena = std::make_shared<Arena>();
    arena->hold(differences);
    Item* result = enabledOnly(*differences, *arena);
    if (!result) return nullptr;
    result->renumberChildren(*arena);
    return ownedBy(std::move(arena), result);
}

ItemPtr mergedResultTaking(ItemPtr config, ItemPtr sample) {
    ItemPtr differences = differenceTaking(std::move(sample), std::move(config));
    auto arena = std::make_shared<Arena>();
    arena->hold(differences);
    // The differences tree is numbered already: only elements that move up need new names.
    Item* result = takeEnabledPart(*differences, *arena);
    return result ? ownedBy(std::move(arena), result) : nullptr;
}

Comparison compare(const ItemPtr& config, const ItemPtr& sample) {
    Comparison comparison;
    comparison.differences = difference(sample, config);
    comparison.result = mergedResult(comparison.differences);
    comparison.counts = OperationCounts(*comparison.differences);
    return comparison;
}

Comparison compareTaking(ItemPtr config, ItemPtr sample) {
    Comparison comparison;
    comparison.differences = differenceTaking(std::move(sample), std::move(config));
    comparison.counts = OperationCounts(*comparison.differences);
    return comparison;
}

} // namespace carryover
