// Item: the node of every property-list tree (a file read, the differences, the merged result).
// The nodes of a tree, their child lists and the texts they hold live in an Arena; names and texts are
// views into it or into the file text the arena holds. Children are plain links; `parent` is a back
// link. An ItemPtr to a node keeps the arena that holds it alive: it is how trees are handed around.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/Arena.h"
#include "model/ItemData.h"

namespace carryover {

class Item;
using ItemPtr = std::shared_ptr<Item>;

// A pointer to `node` that keeps `arena`, which holds the node's tree, alive.
inline ItemPtr ownedBy(std::shared_ptr<Arena> arena, Item* node) {
    return ItemPtr(std::move(arena), node);
}

// The children of a node: a run of links in an arena, moved to a larger run when it is full.
class ItemList {
  public:
    Item** begin() const { return items_; }
    Item** end() const { return items_ + size_; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    Item*& operator[](size_t index) const { return items_[index]; }

    // Appends `node`, taking a larger run from `arena` when this one is full.
    void push_back(Item* node, Arena& arena) {
        if (size_ == capacity_) reserve(capacity_ < 4 ? 4 : 2 * size_t(capacity_), arena);
        items_[size_++] = node;
    }
    // Makes room for `count` links in all.
    void reserve(size_t count, Arena& arena);
    // Replaces the list by a run of exactly the links in `nodes`.
    void assign(std::span<Item* const> nodes, Arena& arena);
    // Keeps the first `count` links; `count` must not exceed size().
    void resize(size_t count) { size_ = static_cast<uint32_t>(count); }
    void clear() { size_ = 0; }

  private:
    Item** items_ = nullptr;
    uint32_t size_ = 0;
    uint32_t capacity_ = 0;
};

// What the comparison decided for a node.
enum class Operation : uint8_t {
    None,        // taken from the sample, or equal on both sides
    Kill,        // switched off: a "#" array string, or a dictionary whose "Enabled" is false
    Merged,      // the sample's value of a key whose value differs; disabled, its Replacement follows
    Replacement, // the configuration's value that stands in for a Merged one
    Inserted,    // taken from the configuration, with no partner in the sample
    Unmatched,   // a container of the sample with no partner in the configuration
};

// The switches of the merge engine.
enum class ReduceOption : uint8_t {
    HideDisabled,              // leave out dictionaries switched off by "Enabled" false
    HideMerged,                // leave out the sample's side of a differing value
    HideInsertedLeaves,        // leave out configuration leaves whose container is not inserted
    DisableTamInsertedLeaves,  // disable inserted leaves unless array strings or inside inserted containers
    DisableTamNotStringLeaves, // accepted and carried; changes nothing
};

// A set of ReduceOption.
class ReduceOptions {
  public:
    ReduceOptions() = default;
    ReduceOptions(std::initializer_list<ReduceOption> options) {
        for (auto option : options)
            bits_ |= bit(option);
    }
    bool contains(ReduceOption option) const { return bits_ & bit(option); }
    // This set with `option` taken out.
    ReduceOptions without(ReduceOption option) const {
        ReduceOptions copy = *this;
        copy.bits_ &= static_cast<uint8_t>(~bit(option));
        return copy;
    }
    friend bool operator==(ReduceOptions, ReduceOptions) = default;

  private:
    static uint8_t bit(ReduceOption option) {
        return static_cast<uint8_t>(1u << static_cast<unsigned>(option));
    }
    uint8_t bits_ = 0;
};

class Item {
  public:
    std::string_view name; // the key; "Item <n>" in an array; the file path on a root
    // Kind and value. The fields up to `children` fill the room the value leaves at its end, which keeps
    // a node at 64 bytes.
    [[no_unique_address]] ItemData data;
    Operation operation = Operation::None;
    bool enabled = true;
    // Whether the name, and the text value, stand for themselves in NFC (no reference, nothing to
    // compose), so that they compare as plain bytes; false when unknown.
    bool nameCanonical = false;
    bool valueCanonical = false;
    ItemList children;      // entries of a dictionary or root, elements of an array
    Item* parent = nullptr; // the container that adopted this node last

    // Separates the components of a path: U+00B0 DEGREE SIGN.
    static constexpr std::string_view pathSeparator = "\u00B0";

    // A node with all defaults: empty name, the empty text of kind None.
    Item() = default;
    // Nodes live in arenas and are linked, never copied by value: copy() is the deep copy.
    Item(const Item&) = delete;
    Item& operator=(const Item&) = delete;

    ItemDataType type() const { return data.type; }
    // The name, or "" on a FileName root.
    std::string_view key() const;
    // Whether the key is `text`, which must stand for itself in NFC, as text equality (textEqual) has it.
    bool hasKey(std::string_view text) const;
    // "" for a FileName root; else the parent's path, "°" and the key.
    std::string path() const;
    // The root of this node's tree.
    const Item& top() const;

    // Appends `nodes` in order and makes this node their parent; the lists that held them are untouched.
    void appendChild(std::span<Item* const> nodes, Arena& arena);
    void appendChild(const ItemList& nodes, Arena& arena) {
        appendChild({nodes.begin(), nodes.end()}, arena);
    }
    // A deep copy of this subtree in `arena`, with all fields, whose root has `parent`. Names and texts
    // are shared, so the arena must hold the owner of this tree's texts (see Arena::hold).
    Item* copy(Arena& arena, Item* parent) const;
    // A new node in `arena` with this node's name, data, operation and enabled, and `parent`; no children.
    Item* copyFields(Arena& arena, Item* parent) const;
    // The nodes at `path`, in tree order; empty when none. A path starting with "°" starts at the top,
    // any other at this node. Components are split at every "°".
    std::vector<Item*> getItems(std::string_view path) const;
    // The descendants reached by matching each component with a key in turn; empty for no components.
    std::vector<Item*> getItems(const std::vector<std::string_view>& components) const;
    // Sets the field on this node and its whole subtree.
    void setOperationDeep(Operation operation);
    void setEnabledDeep(bool enabled);
    // Names the elements of this node, when it is an array, "Item 0", "Item 1", ... in list order;
    // names that change are kept in `arena`. Nested arrays are left as they are.
    void numberElements(Arena& arena);
    // The same for every array in this subtree.
    void renumberChildren(Arena& arena);

  private:
    void collect(const std::vector<std::string_view>& components, size_t first,
                 std::vector<Item*>& found) const;
};

// A new tree of one node in a new arena: `name`, holding `text` of kind `type`, both copied.
ItemPtr makeNode(std::string_view name, std::string_view text, ItemDataType type);

// The enumeration case name of an operation: "None", "Kill", ...
std::string_view operationName(Operation operation);

// "Item " followed by `index` in decimal: the name of an array element.
std::string elementName(size_t index);
// The same name kept in `arena`.
std::string_view elementName(size_t index, Arena& arena);

} // namespace carryover
