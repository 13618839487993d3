// Item: the node of every property-list tree (a file read, the differences, the merged result).
// Nodes are shared through ItemPtr; `parent` is a plain back link that does not own its target.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/ItemData.h"

namespace carryover {

class Item;
using ItemPtr = std::shared_ptr<Item>;

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
    std::string name;              // the key; "Item <n>" in an array; the file path on a root
    ItemData data;                 // kind and value
    std::vector<ItemPtr> children; // entries of a dictionary or root, elements of an array
    Item* parent = nullptr;        // the container that adopted this node last; not owned
    Operation operation = Operation::None;
    bool enabled = true;

    // Separates the components of a path: U+00B0 DEGREE SIGN.
    static constexpr std::string_view pathSeparator = "\u00B0";

    // A node with all defaults: empty name, the empty text of kind None.
    Item() {} // user-provided, so that make_shared does not zero the node before initialising it
    // Nodes are shared, never copied by value: copy() is the deep copy.
    Item(const Item&) = delete;
    Item& operator=(const Item&) = delete;
    // A node named `text` whose value is `text` of kind `type`.
    Item(std::string text, ItemDataType type, Item* parent);

    ItemDataType type() const { return data.type; }
    // The name, or "" on a FileName root.
    std::string_view key() const;
    // "" for a FileName root; else the parent's path, "°" and the key.
    std::string path() const;
    // The root of this node's tree.
    const Item& top() const;

    // Appends `nodes` in order and makes this node their parent; the lists that held them are untouched.
    void appendChild(const std::vector<ItemPtr>& nodes);
    // A deep copy of this subtree, with all fields, whose root has `parent`.
    ItemPtr copy(Item* parent) const;
    // A new node with this node's name, data, operation and enabled, and `parent`; no children.
    ItemPtr copyFields(Item* parent) const;
    // The nodes at `path`, in tree order; empty when none. A path starting with "°" starts at the top,
    // any other at this node. Components are split at every "°".
    std::vector<ItemPtr> getItems(std::string_view path) const;
    // The descendants reached by matching each component with a key in turn; empty for no components.
    std::vector<ItemPtr> getItems(const std::vector<std::string_view>& components) const;
    // Sets the field on this node and its whole subtree.
    void setOperationDeep(Operation operation);
    void setEnabledDeep(bool enabled);
    // Names the elements of every array in this subtree "Item 0", "Item 1", ... in list order.
    void renumberChildren();

  private:
    void collect(const std::vector<std::string_view>& components, size_t first,
                 std::vector<ItemPtr>& found) const;
};

// The enumeration case name of an operation: "None", "Kill", ...
std::string_view operationName(Operation operation);

// "Item " followed by `index` in decimal: the name of an array element.
std::string elementName(size_t index);

} // namespace carryover
