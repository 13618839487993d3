// The comparison pipeline: put both roots into one combined scratch tree (copied, or made of the given
// trees' own nodes), reduce it, handle the switched-off dictionaries and renumber the arrays. The
// differences tree lives in an arena of its own that keeps the inputs' arenas, whose names and texts
// it shares.
#include "merge/Difference.h"

#include "merge/Disabled.h"
#include "merge/Reduce.h"

namespace carryover {

namespace {

// A deep copy of `node` whose nodes are all marked `operation`: copy and setOperationDeep in one pass.
Item* markedCopy(const Item& node, Item* parent, Operation operation, Arena& arena) {
    Item* result = node.copyFields(arena, parent);
    result->operation = operation;
    result->children.reserve(node.children.size(), arena);
    for (const Item* child : node.children)
        result->children.push_back(markedCopy(*child, result, operation, arena), arena);
    return result;
}

// The sample's copy, marked None, holding its own entries followed by copies of the configuration's,
// marked Inserted. The configuration's root is not copied: it would be dropped.
Item* combined(const Item& sample, const Item& config, Arena& arena) {
    Item* result = markedCopy(sample, nullptr, Operation::None, arena);
    result->children.reserve(result->children.size() + config.children.size(), arena);
    for (const Item* entry : config.children)
        result->children.push_back(markedCopy(*entry, result, Operation::Inserted, arena), arena);
    return result;
}

// Both roots in the form `combined` gives, made of their own nodes: the configuration's entries move
// under the sample's root, and the configuration's root is dropped.
Item* combinedTaking(Item& sample, Item& config, Arena& arena) {
    sample.setOperationDeep(Operation::None);
    sample.parent = nullptr;
    config.setOperationDeep(Operation::Inserted);
    sample.appendChild(config.children, arena);
    return &sample;
}

bool comparable(const Item& sample, const Item& config) {
    return sample.type() == ItemDataType::FileName && config.type() == ItemDataType::FileName;
}

// The differences tree of a combined scratch tree, which it spends; `arena` holds the new nodes.
ItemPtr differenceOfScratch(Item& scratch, std::shared_ptr<Arena> arena) {
    const ReduceOptions options = {ReduceOption::DisableTamInsertedLeaves,
                                   ReduceOption::DisableTamNotStringLeaves};
    // Only a dictionary can vanish here, never a root or the error node. The reduction and the handling
    // leave every array numbered by position.
    Item* result = handleDisabled(reduce(scratch, options, *arena), options, *arena);
    return ownedBy(std::move(arena), result);
}

// The whole differences tree when the roots cannot be compared.
ItemPtr errorTree() {
    return makeNode("Fehler", "Fehler", ItemDataType::None);
}

} // namespace

ItemPtr difference(const ItemPtr& sample, const ItemPtr& config) {
    if (!comparable(*sample, *config)) return errorTree();
    auto arena = std::make_shared<Arena>();
    arena->hold(sample);
    arena->hold(config);
    Item* scratch = combined(*sample, *config, *arena);
    return differenceOfScratch(*scratch, std::move(arena));
}

ItemPtr differenceTaking(ItemPtr sample, ItemPtr config) {
    if (!comparable(*sample, *config)) return errorTree();
    auto arena = std::make_shared<Arena>();
    arena->hold(sample);
    arena->hold(config);
    Item* scratch = combinedTaking(*sample, *config, *arena);
    return differenceOfScratch(*scratch, std::move(arena));
}

} // namespace carryover
