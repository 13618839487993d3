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

// The sample's copy, marked None, holding its own entries followed by copies of the configuration's,
// marked Inserted. The configuration's root is not copied: it would be dropped, text and all.
ItemPtr combined(const Item& sample, const Item& config) {
    ItemPtr result = sample.copy(nullptr);
    result->setOperationDeep(Operation::None);
    std::vector<ItemPtr> entries;
    entries.reserve(config.children.size());
    for (const auto& entry : config.children) {
        entries.push_back(entry->copy(nullptr));
        entries.back()->setOperationDeep(Operation::Inserted);
    }
    result->appendChild(entries);
    return result;
}

} // namespace

ItemPtr difference(const Item& sample, const Item& config) {
    const ReduceOptions options = {ReduceOption::DisableTamInsertedLeaves,
                                   ReduceOption::DisableTamNotStringLeaves};
    const bool comparable =
        sample.type() == ItemDataType::FileName && config.type() == ItemDataType::FileName;
    ItemPtr scratch = comparable ? combined(sample, config) : errorNode();
    ItemPtr reduced = reduce(*scratch, options);
    scratch.reset();
    // Only a dictionary can vanish here, never a root or the error node.
    ItemPtr result = handleDisabled(reduced, options);
    result->renumberChildren();
    return result;
}

} // namespace carryover
