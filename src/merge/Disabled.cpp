// The two walks over the differences tree: switching off dictionaries, and taking the enabled part.
#include "merge/Disabled.h"

#include <variant>

#include "merge/Reduce.h"
#include "model/Text.h"

namespace carryover {

namespace {

// Whether the last counting "Enabled" child of `node` allows it. A child counts when it is a Bool
// that is itself enabled and not Kill, so a configuration's Replacement wins over the sample's
// disabled Merged value.
bool switchedOn(const Item& node) {
    bool on = true;
    for (const auto& child : node.children) {
        if (!textEqual(child->key(), "Enabled")) continue;
        if (child->type() != ItemDataType::Bool || !child->enabled || child->operation == Operation::Kill)
            continue;
        if (const bool* value = std::get_if<bool>(&child->data.data)) on = *value;
    }
    return on;
}

ItemPtr withHandledChildren(const Item& node, ReduceOptions options) {
    ItemPtr result = ownFieldsCopy(node);
    result->children.reserve(node.children.size());
    for (const auto& child : node.children) {
        ItemPtr handled = handleDisabled(child, options);
        if (!handled) continue;
        handled->parent = result.get();
        result->children.push_back(std::move(handled));
    }
    return result;
}

} // namespace

ItemPtr handleDisabled(const ItemPtr& node, ReduceOptions options) {
    switch (node->type()) {
    case ItemDataType::FileName:
    case ItemDataType::Array: return withHandledChildren(*node, options);
    case ItemDataType::Dictionary: {
        if (switchedOn(*node)) return withHandledChildren(*node, options);
        if (options.contains(ReduceOption::HideDisabled)) return nullptr;
        ItemPtr killed = node->copy(nullptr);
        killed->setOperationDeep(Operation::Kill);
        killed->setEnabledDeep(false);
        return killed;
    }
    case ItemDataType::None:
    case ItemDataType::Bool:
    case ItemDataType::Data:
    case ItemDataType::Date:
    case ItemDataType::Double:
    case ItemDataType::Int:
    case ItemDataType::String:
    case ItemDataType::Error:
    case ItemDataType::End: return node;
    }
    return node;
}

ItemPtr enabledOnly(const Item& node) {
    if (!node.enabled) return nullptr;
    const ItemDataType type = node.type();
    if (type != ItemDataType::FileName && type != ItemDataType::Array && type != ItemDataType::Dictionary)
        return node.copy(nullptr);
    ItemPtr result = ownFieldsCopy(node);
    result->children.reserve(node.children.size());
    for (const auto& child : node.children) {
        ItemPtr kept = enabledOnly(*child);
        if (!kept) continue;
        kept->parent = result.get();
        result->children.push_back(std::move(kept));
    }
    return result;
}

} // namespace carryover
