// The tree operations of Item: paths, look-up, deep copy, marking and renumbering.
#include "model/Item.h"

#include <charconv>

#include "model/Text.h"

namespace carryover {

Item::Item(std::string text, ItemDataType type, Item* parent)
    : name(text), data(std::move(text), type), parent(parent) {}

std::string_view Item::key() const {
    return type() == ItemDataType::FileName ? std::string_view() : std::string_view(name);
}

std::string Item::path() const {
    if (type() == ItemDataType::FileName) return {};
    std::string result = parent ? parent->path() : std::string();
    result += pathSeparator;
    result += key();
    return result;
}

const Item& Item::top() const {
    const Item* node = this;
    while (node->parent)
        node = node->parent;
    return *node;
}

void Item::appendChild(const std::vector<ItemPtr>& nodes) {
    children.reserve(children.size() + nodes.size());
    for (const auto& node : nodes) {
        node->parent = this;
        children.push_back(node);
    }
}

ItemPtr Item::copyFields(Item* newParent) const {
    auto result = std::make_shared<Item>();
    result->name = name;
    result->data = data;
    result->operation = operation;
    result->enabled = enabled;
    result->parent = newParent;
    return result;
}

ItemPtr Item::copy(Item* newParent) const {
    ItemPtr result = copyFields(newParent);
    result->children.reserve(children.size());
    for (const auto& child : children)
        result->children.push_back(child->copy(result.get()));
    return result;
}

std::vector<ItemPtr> Item::getItems(std::string_view path) const {
    std::vector<std::string_view> components;
    size_t start = 0;
    for (;;) {
        size_t at = path.find(pathSeparator, start);
        components.push_back(path.substr(start, at == std::string_view::npos ? at : at - start));
        if (at == std::string_view::npos) break;
        start = at + pathSeparator.size();
    }
    if (path.starts_with(pathSeparator)) {
        components.erase(components.begin());
        return top().getItems(components);
    }
    return getItems(components);
}

std::vector<ItemPtr> Item::getItems(const std::vector<std::string_view>& components) const {
    std::vector<ItemPtr> found;
    if (!components.empty()) collect(components, 0, found);
    return found;
}

void Item::collect(const std::vector<std::string_view>& components, size_t first,
                   std::vector<ItemPtr>& found) const {
    for (const auto& child : children) {
        if (!textEqual(child->key(), components[first])) continue;
        if (first + 1 == components.size())
            found.push_back(child);
        else
            child->collect(components, first + 1, found);
    }
}

void Item::setOperationDeep(Operation newOperation) {
    operation = newOperation;
    for (const auto& child : children)
        child->setOperationDeep(newOperation);
}

void Item::setEnabledDeep(bool newEnabled) {
    enabled = newEnabled;
    for (const auto& child : children)
        child->setEnabledDeep(newEnabled);
}

namespace {
// Whether `name` already reads "Item " followed by `index`, so that it need not be written again.
bool namesElement(std::string_view name, size_t index) {
    constexpr std::string_view prefix = "Item ";
    if (!name.starts_with(prefix)) return false;
    const std::string_view digits = name.substr(prefix.size());
    if (digits.empty() || (digits.size() > 1 && digits[0] == '0')) return false;
    size_t value = 0;
    const auto [stop, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc() && stop == digits.data() + digits.size() && value == index;
}
} // namespace

void Item::renumberChildren() {
    const bool isArray = type() == ItemDataType::Array;
    for (size_t i = 0; i < children.size(); ++i) {
        if (isArray && !namesElement(children[i]->name, i)) children[i]->name = elementName(i);
        children[i]->renumberChildren();
    }
}

std::string_view operationName(Operation operation) {
    switch (operation) {
    case Operation::None:
        return "None";
    case Operation::Kill:
        return "Kill";
    case Operation::Merged:
        return "Merged";
    case Operation::Replacement:
        return "Replacement";
    case Operation::Inserted:
        return "Inserted";
    case Operation::Unmatched:
        return "Unmatched";
    }
    return "";
}

std::string elementName(size_t index) {
    char text[32] = "Item ";
    char* end = std::to_chars(text + 5, text + sizeof text, index).ptr;
    return std::string(text, static_cast<size_t>(end - text));
}

} // namespace carryover
