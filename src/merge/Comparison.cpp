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
    for (const auto& child : node.children)
        add(*child);
}

bool OperationCounts::differ() const {
    return (*this)[Operation::Merged] + (*this)[Operation::Replacement] + (*this)[Operation::Inserted] +
               (*this)[Operation::Unmatched] >
           0;
}

ItemPtr mergedResult(const Item& differences) {
    ItemPtr result = enabledOnly(differences);
    if (result) result->renumberChildren();
    return result;
}

ItemPtr mergedResultTaking(ItemPtr config, ItemPtr sample) {
    ItemPtr result = takeEnabledPart(differenceTaking(std::move(sample), std::move(config)));
    if (result) result->renumberChildren();
    return result;
}

Comparison compare(const Item& config, const Item& sample) {
    Comparison comparison;
    comparison.differences = difference(sample, config);
    comparison.result = mergedResult(*comparison.differences);
    comparison.counts = OperationCounts(*comparison.differences);
    return comparison;
}

} // namespace carryover
