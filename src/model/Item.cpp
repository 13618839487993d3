// The tree operations of Item: paths, look-up, deep copy, marking and renumbering.
#include "model/Item.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "model/Text.h"

namespace carryover {

static_assert(sizeof(void*) != 8 || sizeof(Item) == 64, "a node fits in 64 bytes on a 64-bit machine");

void ItemList::reserve(size_t count, Arena& arena) {
    if (count <= capacity_) return;
    Item** larger = arena.room<Item*>(count);
    std::copy(begin(), end(), larger);
    items_ = larger;
    capacity_ = static_cast<uint32_t>(count);
}

void ItemList::assign(std::span<Item* const> nodes, Arena& arena) {
    items_ = arena.room<Item*>(nodes.size());
    std::copy(nodes.begin(), nodes.end(), items_);
    size_ = capacity_ = static_cast<uint32_t>(nodes.size());
}

ItemPtr makeNode(std::string_view name, std::string_view text, ItemDataType type) {
    auto arena = std::make_shared<Arena>();
    Item* node = arena->make<Item>();
    node->name = arena->keep(name);
    node->data = ItemData(arena->keep(text), type);
    return ownedBy(std::move(arena), node);
}

std::string_view Item::key() const {
    return type() == ItemDataType::FileName ? std::string_view() : std::string_view(name);
}

bool Item::hasKey(std::string_view text) const {
    return nameCanonical ? key() == text : textEqual(key(), text);
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

void Item::appendChild(std::span<Item* const> nodes, Arena& arena) {
    children.reserve(children.size() + nodes.size(), arena);
    for (Item* node : nodes) {
        node->parent = this;
        children.push_back(node, arena);
    }
}

Item* Item::copyFields(Arena& arena, Item* newParent) const {
    Item* result = arena.make<Item>();
    result->name = name;
    result->data = data;
    result->operation = operation;
    result->enabled = enabled;
    result->nameCanonical = nameCanonical;
    result->valueCanonical = valueCanonical;
    result->parent = newParent;
    return result;
}

Item* Item::copy(Arena& arena, Item* newParent) const {
    Item* result = copyFields(arena, newParent);
    result->children.reserve(children.size(), arena);
    for (const Item* child : children)
        result->children.push_back(child->copy(arena, result), arena);
    return result;
}

std::vector<Item*> Item::getItems(std::string_view path) const {
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

std::vector<Item*> Item::getItems(const std::vector<std::string_view>& components) const {
    std::vector<Item*> found;
    if (!components.empty()) collect(components, 0, found);
    return found;
}

void Item::collect(const std::vector<std::string_view>& components, size_t first,
                   std::vector<Item*>& found) const {
    for (Item* child : children) {
        if (!textEqual(child->key(), components[first])) continue;
        if (first + 1 == components.size())
            found.push_back(child);
        else
            child->collect(components, first + 1, found);
    }
}

void Item::setOperationDeep(Operation newOperation) {
    operation = newOperation;
    for (Item* child : children)
        child->setOperationDeep(newOperation);
}

void Item::setEnabledDeep(bool newEnabled) {
    enabled = newEnabled;
    for (Item* child : children)
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

void Item::numberElements(Arena& arena) {
    if (type() != ItemDataType::Array) return;
    for (size_t i = 0; i < children.size(); ++i)
        if (!namesElement(children[i]->name, i)) children[i]->name = elementName(i, arena);
}

void Item::renumberChildren(Arena& arena) {
    numberElements(arena);
    for (Item* child : children)
        child->renumberChildren(arena);
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

namespace {
// The name of element `index`, spelled in `text`.
std::string_view spellElementName(size_t index, char (&text)[32]) {
    std::memcpy(text, "Item ", 5);
    char* end = std::to_chars(text + 5, text + sizeof text, index).ptr;
    return std::string_view(text, static_cast<size_t>(end - text));
}
} // namespace

std::string_view elementName(size_t index, Arena& arena) {
    char text[32];
    return arena.keep(spellElementName(index, text));
}

std::string elementName(size_t index) {
    char text[32];
    return std::string(spellElementName(index, text));
}

} // namespace carryover
