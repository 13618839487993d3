// The comparison pipeline: copy both roots into one combined scratch tree, reduce it, handle the
// switched-off dictionaries and renumber the arrays.
#include "merge/Difference.h"

#include "merge/Disabled.h"
#include "merge/Reduce.h"

namespace carryover {

namespace {

// The whole differences tree when the roots cannot be compared.
ItemPtr errorNode() {
    return std::make_shared<Item>("Fehler", ItemDataType::None, nullptr);
}

// A deep copy of `node` whose nodes are all marked `operation`: copy and setOperationDeep in one pass.
ItemPtr markedCopy(const Item& node, Item* parent, Operation operation) {
    ItemPtr result = node.copyFields(parent);
    result->operation = operation;
    result->children.reserve(node.children.size());
    for (const auto& child : node.children)
        result->children.push_back(markedCopy(*child, result.get(), operation));
    return result;
}

// The sample's copy, marked None, holding its own entries followed by copies of the configuration's,
// marked Inserted. The configuration's root is not copied: it would be dropped, text and all.
ItemPtr combined(const Item& sample, const Item& config) {
    ItemPtr result = markedCopy(sample, nullptr, Operation::None);
    result->children.reserve(result->children.size() + config.children.size());
    for (const auto& entry : config.children)
        result->children.push_back(markedCopy(*entry, result.get(), Operation::Inserted));
    return result;
}

// Both roots in the form `combined` gives, made of their own nodes: the configuration's entries move
// under the sample's root, and the configuration's root is dropped.
ItemPtr combinedTaking(ItemPtr sample, ItemPtr config) {
    sample->setOperationDeep(Operation::None);
    sample->parent = nullptr;
    config->setOperationDeep(Operation::Inserted);
    sample->appendChild(config->children);
    config.reset(); // the root goes now, with the file text it holds, not when the caller's call ends
    return sample;
}

bool comparable(const Item& sample, const Item& config) {
    return sample.type() == ItemDataType::FileName && config.type() == ItemDataType::FileName;
}

// The differences tree of a combined scratch tree, which it spends.
ItemPtr differenceOfScratch(ItemPtr scratch) {
    const ReduceOptions options = {ReduceOption::DisableTamInsertedLeaves,
                                   ReduceOption::DisableTamNotStringLeaves};
    ItemPtr reduced = reduce(*scratch, options);
    scratch.reset();
    // Only a dictionary can vanish here, never a root or the error node.
    ItemPtr result = handleDisabled(reduced, options);
    result->renumberChildren();
    return result;
}

} // namespace

ItemPtr difference(const Item& sample, const Item& config) {
    return differenceOfScratch(comparable(sample, config) ? combined(sample, config) : errorNode());
}

ItemPtr differenceTaking(ItemPtr sample, ItemPtr config) {
    if (!comparable(*sample, *config)) return differenceOfScratch(errorNode());
    return differenceOfScratch(combinedTaking(std::move(sample), std::move(config)));
}

} // namespace carryover
