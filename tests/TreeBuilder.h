// TreeBuilder: hand-made Item trees for the engine's tests, and text views of trees to compare.
// Containers take serial numbers from one counter shared by all built trees, as the reader does; array
// elements are named "Item 0", "Item 1", ... by position.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "model/ContainerCounter.h"
#include "model/Item.h"

namespace carryover::test {

// The arena of every built node; built trees live until the tests end.
inline const std::shared_ptr<Arena>& builtNodes() {
    static const auto arena = std::make_shared<Arena>();
    return arena;
}

// A built node; `data`'s text, if any, must last (a literal, or kept in builtNodes()).
inline ItemPtr leaf(std::string_view name, ItemData data) {
    const auto& arena = builtNodes();
    Item* node = arena->make<Item>();
    node->name = arena->keep(name);
    node->data = data;
    return ownedBy(arena, node);
}
inline ItemPtr str(std::string_view name, std::string_view text) {
    return leaf(name, ItemData(builtNodes()->keep(text), ItemDataType::String));
}
inline ItemPtr integer(std::string_view name, int64_t value) {
    return leaf(name, ItemData::integer(value));
}
inline ItemPtr boolean(std::string_view name, bool value) {
    return leaf(name, ItemData::boolean(value));
}

// Appends the built `children` to `node`.
inline void adopt(Item& node, const std::vector<ItemPtr>& children) {
    std::vector<Item*> links;
    for (const auto& child : children)
        links.push_back(child.get());
    node.appendChild(links, *builtNodes());
}

inline ItemPtr container(std::string_view name, ItemDataType type, const std::vector<ItemPtr>& children) {
    static ContainerCounter counter; // shared by every built tree, as the reader's
    auto node = leaf(name, ItemData(builtNodes()->keep(std::to_string(counter.take())), type));
    adopt(*node, children);
    if (type == ItemDataType::Array)
        for (size_t i = 0; i < children.size(); ++i)
            children[i]->name = elementName(i, *builtNodes());
    return node;
}
inline ItemPtr dict(std::string_view name, const std::vector<ItemPtr>& children) {
    return container(name, ItemDataType::Dictionary, children);
}
inline ItemPtr array(std::string_view name, const std::vector<ItemPtr>& children) {
    return container(name, ItemDataType::Array, children);
}
// A file root named `path` whose entries are `children`.
inline ItemPtr root(std::string_view path, const std::vector<ItemPtr>& children) {
    auto node = leaf(path, ItemData("<plist><dict></dict></plist>", ItemDataType::FileName));
    adopt(*node, children);
    return node;
}
// `node`, disabled.
inline ItemPtr off(ItemPtr node) {
    node->enabled = false;
    return node;
}

// The combined node the pipeline reduces: a root holding `sample` marked None, then `config` Inserted.
inline ItemPtr combined(const std::vector<ItemPtr>& sample, const std::vector<ItemPtr>& config) {
    for (const auto& node : sample)
        node->setOperationDeep(Operation::None);
    for (const auto& node : config)
        node->setOperationDeep(Operation::Inserted);
    auto node = root("combined", sample);
    adopt(*node, config);
    return node;
}

inline std::string valueText(const ItemData& data) {
    if (data.holdsText()) return std::string(data.text());
    if (data.type == ItemDataType::Bool) return data.boolValue() ? "true" : "false";
    if (data.type == ItemDataType::Int) return data.integerText();
    if (data.type == ItemDataType::Double) return std::to_string(data.doubleValue());
    return std::to_string(data.bytesValue().size()) + " bytes";
}

// "name=value Operation", then " off" when disabled; containers show "{}" or "[]" for their value.
inline std::string line(const Item& node) {
    std::string value = node.type() == ItemDataType::Dictionary ? "{}"
                        : node.type() == ItemDataType::Array    ? "[]"
                                                                : valueText(node.data);
    return std::string(node.name) + "=" + value + " " + std::string(operationName(node.operation)) +
           (node.enabled ? "" : " off");
}

// The trees of `node`'s children, joined by ", ": each child's line, followed by its entries in
// parentheses when it has any.
inline std::string entries(const Item& node) {
    std::string result;
    for (const auto& child : node.children) {
        if (!result.empty()) result += ", ";
        result += line(*child);
        if (child->children.empty()) continue;
        result += '(';
        result += entries(*child);
        result += ')';
    }
    return result;
}

// Every field of the subtree, one node a line, indented by depth.
inline std::string dump(const Item& node, int depth = 0) {
    std::string result = std::string(static_cast<size_t>(depth) * 2, ' ') + std::string(node.name) + "|" +
                         std::string(typeName(node.type())) + "|" + valueText(node.data) + "|" +
                         std::string(operationName(node.operation)) + "|" + (node.enabled ? "on" : "off") +
                         "\n";
    for (const auto& child : node.children)
        result += dump(*child, depth + 1);
    return result;
}

// Whether every node below `node` names its holder as parent.
inline bool parentsConsistent(const Item& node) {
    for (const auto& child : node.children)
        if (child->parent != &node || !parentsConsistent(*child)) return false;
    return true;
}

} // namespace carryover::test
