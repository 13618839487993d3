// The two walks over the differences tree: switching off dictionaries, and taking the enabled part.
#include "merge/Disabled.h"

#include "model/Text.h"

namespace carryover {

namespace {

// Whether the last counting "Enabled" child of `node` allows it. A child counts when it is a Bool
// that is itself enabled and not Kill, so a configuration's Replacement wins over the sample's
// disabled Merged value.
bool switchedOn(const Item& node) {
    bool on = true;
    for (const Item* child : node.children) {
        // The cheap tests first: comparing a key that is not ASCII means normalising it.
        if (child->type() != ItemDataType::Bool || !child->enabled || child->operation == Operation::Kill)
            continue;
        if (!child->hasKey("Enabled")) continue;
        on = child->data.boolValue();
    }
    return on;
}

// Keeps, in order, the children of `node` for which `keep` is true, each with `node` as its parent;
// array elements that move up are named after their new position, with names kept in `arena`.
template <typename Keep> void keepChildren(Item& node, Arena& arena, Keep keep) {
    size_t kept = 0;
    for (size_t i = 0; i < node.children.size(); ++i) {
        Item* child = node.children[i];
        if (!keep(*child)) continue;
        child->parent = &node;
        if (kept != i) {
            node.children[kept] = child;
            if (node.type() == ItemDataType::Array) child->name = elementName(kept, arena);
        }
        ++kept;
    }
    node.children.resize(kept);
}

bool keepHandled(Item& node, ReduceOptions options, Arena& arena);

// Handles the children of `node` in place and takes out those that vanish.
void handleChildren(Item& node, ReduceOptions options, Arena& arena) {
    keepChildren(node, arena, [&](Item& child) { return keepHandled(child, options, arena); });
}

// Takes the disabled nodes out of the subtree of `node`.
void keepEnabledChildren(Item& node, Arena& arena) {
    const ItemDataType type = node.type();
    if (type != ItemDataType::FileName && type != ItemDataType::Array && type != ItemDataType::Dictionary)
        return;
    keepChildren(node, arena, [&](Item& child) {
        if (!child.enabled) return false;
        keepEnabledChildren(child, arena);
        return true;
    });
}

// Handles `node` in place, which its input being spent allows; false when it is to be left out.
bool keepHandled(Item& node, ReduceOptions options, Arena& arena) {
    switch (node.type()) {
    case ItemDataType::FileName:
    case ItemDataType::Array:
        handleChildren(node, options, arena);
        return true;
    case ItemDataType::Dictionary:
        if (switchedOn(node)) {
            handleChildren(node, options, arena);
            return true;
        }
        if (options.contains(ReduceOption::HideDisabled)) return false;
        node.setOperationDeep(Operation::Kill);
        node.setEnabledDeep(false);
        return true;
    case ItemDataType::None:
    case ItemDataType::Bool:
    case ItemDataType::Data:
    case ItemDataType::Date:
    case ItemDataType::Double:
    case ItemDataType::Int:
    case ItemDataType::String:
    case ItemDataType::Error:
    case ItemDataType::End:
        return true;
    }
    return true;
}

} // namespace

Item* handleDisabled(Item* node, ReduceOptions options, Arena& arena) {
    if (!keepHandled(*node, options, arena)) return nullptr;
    return node;
}

Item* enabledOnly(const Item& node, Arena& arena) {
    if (!node.enabled) return nullptr;
    const ItemDataType type = node.type();
    if (type != ItemDataType::FileName && type != ItemDataType::Array && type != ItemDataType::Dictionary)
        return node.copy(arena, nullptr);
    Item* result = node.copyFields(arena, nullptr);
    result->children.reserve(node.children.size(), arena);
    for (const Item* child : node.children) {
        Item* kept = enabledOnly(*child, arena);
        if (!kept) continue;
        kept->parent = result;
        result->children.push_back(kept, arena);
    }
    return result;
}

ItemPtr enabledOnly(const ItemPtr& node) {
    auto arena = std::make_shared<Arena>();
    arena->hold(node);
    Item* result = enabledOnly(*node, *arena);
    return result ? ownedBy(std::move(arena), result) : nullptr;
}

Item* takeEnabledPart(Item& node, Arena& arena) {
    if (!node.enabled) return nullptr;
    node.parent = nullptr;
    keepEnabledChildren(node, arena);
    return &node;
}

} // namespace carryover
