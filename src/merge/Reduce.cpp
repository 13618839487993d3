// The pairwise merge of combined nodes: name order for dictionaries and roots, element order and
// then index order for arrays, and the rules for nodes found on one side only.
#include "merge/Reduce.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory_resource>
#include <numeric>
#include <optional>
#include <string>
#include <string_view>

#include "merge/Identifying.h"
#include "merge/StableSort.h"
#include "model/LargeBlocks.h"
#include "model/Text.h"

namespace carryover {

namespace {

bool isContainer(ItemDataType type) {
    return type == ItemDataType::Dictionary || type == ItemDataType::Array;
}

// Makes `receiver` the parent of `node` and appends it.
void adopt(Item& receiver, Item* node, Arena& arena) {
    node->parent = &receiver;
    receiver.children.push_back(node, arena);
}

// -1, 0 or 1 from the two comparisons ItemData offers: less, else equal, else greater.
int threeWay(const ItemData& left, const ItemData& right) {
    if (left < right) return -1;
    if (left == right) return 0;
    return 1;
}

int threeWayText(std::string_view left, std::string_view right) {
    if (textLess(left, right)) return -1;
    if (textEqual(left, right)) return 0;
    return 1;
}

// -1, 0 or 1 from comparing texts that are both in NFC as written: plain bytes.
int threeWayBytes(std::string_view left, std::string_view right) {
    const int order = left.compare(right);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

bool isText(ItemDataType type) {
    return type == ItemDataType::String || type == ItemDataType::Date || type == ItemDataType::Error;
}

// threeWay of the values of `a` and `b`, texts known to be canonical compared as bytes.
int valueOrder(const Item& a, const Item& b) {
    if (a.valueCanonical && b.valueCanonical && a.type() == b.type() && isText(a.type()))
        return threeWayBytes(a.data.text(), b.data.text());
    return threeWay(a.data, b.data);
}

// The first child of `node` whose key is `key`; null when there is none.
const Item* firstChild(const Item& node, std::string_view key) {
    for (const Item* child : node.children)
        if (child->hasKey(key)) return child;
    return nullptr;
}

// A dictionary's first "Path", "BundlePath" and "Comment" entries (null where missing); none for any
// other node.
using Identifying = std::array<const Item*, identifyingKeys.size()>;

Identifying identifyingEntries(const Item& node) {
    Identifying found{};
    if (node.type() == ItemDataType::Dictionary)
        for (size_t k = 0; k < identifyingKeys.size(); ++k)
            found[k] = firstChild(node, identifyingKeys[k]);
    return found;
}

int elementOrder(const Item& a, const Identifying& aEntries, const Item& b, const Identifying& bEntries) {
    if (a.type() != ItemDataType::Dictionary) return valueOrder(a, b);
    for (size_t k = 0; k < identifyingKeys.size(); ++k)
        if (aEntries[k] && bEntries[k]) return valueOrder(*aEntries[k], *bEntries[k]);
    if (a.nameCanonical && b.nameCanonical) return threeWayBytes(a.key(), b.key());
    return threeWayText(a.key(), b.key());
}

// An array element with its identifying entries looked up once for all the comparisons of a sort.
struct Element {
    Item* node;
    Identifying entries;
};

int elementOrder(const Element& a, const Element& b) {
    return elementOrder(*a.node, a.entries, *b.node, b.entries);
}

// The index an array element's name spells once every "Item " is taken out of it: an optional
// sign and decimal digits that fit in 64 bits. Empty for any other name.
std::optional<int64_t> elementIndex(std::string_view name) {
    constexpr std::string_view marker = "Item ";
    bool negative = false;
    bool signAllowed = true;
    bool anyDigit = false;
    uint64_t magnitude = 0;
    size_t at = 0;
    while (at < name.size()) {
        if (name.substr(at, marker.size()) == marker) {
            at += marker.size();
            continue;
        }
        const char c = name[at++];
        if (signAllowed && (c == '+' || c == '-')) {
            negative = c == '-';
            signAllowed = false;
            continue;
        }
        signAllowed = false;
        if (c < '0' || c > '9') return std::nullopt;
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
        if (magnitude > (limit - digit) / 10) return std::nullopt;
        magnitude = magnitude * 10 + digit;
        anyDigit = true;
    }
    if (!anyDigit) return std::nullopt;
    if (!negative) return static_cast<int64_t>(magnitude);
    return magnitude == uint64_t{1} << 63 ? std::numeric_limits<int64_t>::min()
                                          : -static_cast<int64_t>(magnitude);
}

using Indexes = std::pmr::vector<std::optional<int64_t>>;

// The order that puts elements whose names spell `indexes` in index order: ascending index, and those
// that spell none after all others; elements that share an index are ordered by `tieBefore`, given
// their positions. Mostly the indexes are those of the two arrays merged, small and few to each value:
// then a count per index puts the elements in order, and only those that share an index are compared.
template <typename TieBefore>
std::pmr::vector<uint32_t> indexOrder(const Indexes& indexes, TieBefore tieBefore) {
    const auto before = [&](uint32_t a, uint32_t b) {
        if (indexes[a] != indexes[b]) return indexes[a] && (!indexes[b] || *indexes[a] < *indexes[b]);
        return tieBefore(a, b);
    };
    std::pmr::vector<uint32_t> order(indexes.size(), 0, largeBlocks());
    const bool dense = std::ranges::all_of(indexes, [&](const std::optional<int64_t>& index) {
        return index && *index >= 0 && *index < static_cast<int64_t>(indexes.size());
    });
    if (!dense) {
        std::iota(order.begin(), order.end(), 0);
        stableSort(std::span(order), before);
        return order;
    }
    std::pmr::vector<uint32_t> start(indexes.size() + 1, 0, largeBlocks());
    for (const auto& index : indexes)
        ++start[static_cast<size_t>(*index) + 1];
    for (size_t i = 1; i < start.size(); ++i)
        start[i] += start[i - 1];
    for (uint32_t i = 0; i < indexes.size(); ++i)
        order[start[static_cast<size_t>(*indexes[i])]++] = i;
    for (size_t first = 0; first < order.size();) {
        size_t last = first + 1;
        while (last < order.size() && indexes[order[last]] == indexes[order[first]])
            ++last;
        if (last - first > 1) stableSort(std::span(order).subspan(first, last - first), before);
        first = last;
    }
    return order;
}

// The index of each of `elements`, read from its name.
Indexes indexesOf(std::span<Item* const> elements) {
    Indexes indexes(largeBlocks());
    indexes.reserve(elements.size());
    for (const Item* element : elements)
        indexes.push_back(elementIndex(element->name));
    return indexes;
}

// Puts `elements` in the order given by positions in `order`.
void reorder(std::span<Item*> elements, const std::pmr::vector<uint32_t>& order) {
    const std::pmr::vector<Item*> before(elements.begin(), elements.end(), largeBlocks());
    for (size_t i = 0; i < order.size(); ++i)
        elements[i] = before[order[i]];
}

// Puts `elements` in index order, those that share an index in the order they stand.
void sortByIndex(std::span<Item*> elements) {
    reorder(elements, indexOrder(indexesOf(elements), [](uint32_t a, uint32_t b) { return a < b; }));
}

Item* reduceSpent(Item* node, ReduceOptions options, bool allUnmatched, Arena& arena);

// appendElement, told whether `child` and everything below it is already Unmatched: inside a
// container that was marked Unmatched as a whole nothing changes the marks of the nodes still to be
// placed, so marking them again would only cost time.
void placeAlone(Item& receiver, Item* child, ReduceOptions options, bool allUnmatched, Arena& arena) {
    if (!isContainer(child->type()) && child->type() != ItemDataType::FileName && child->children.empty()) {
        appendLeave(receiver, child, options, arena);
        return;
    }
    if (child->operation == Operation::Inserted) {
        adopt(receiver, reduceSpent(child, options.without(ReduceOption::HideInsertedLeaves), false, arena),
              arena);
        return;
    }
    if (!allUnmatched) child->setOperationDeep(Operation::Unmatched);
    adopt(receiver, reduceSpent(child, options, true, arena), arena);
}

// Places a matched pair under `result`. The sample's node is the base, the configuration's the
// partner; of two configuration nodes the second is the base.
void mergePair(Item* a, Item* b, Item& result, bool inArray, ReduceOptions options, bool allUnmatched,
               Arena& arena) {
    const bool firstInserted = a->operation == Operation::Inserted;
    Item* base = firstInserted ? b : a;
    Item* partner = firstInserted ? a : b;
    if (isContainer(base->type())) {
        base->appendChild(partner->children, arena);
        adopt(result, reduceSpent(base, options, allUnmatched, arena), arena);
        return;
    }
    if (inArray) {
        base->setOperationDeep(Operation::None);
        appendLeave(result, base, options, arena);
        return;
    }
    if (base->data == partner->data) {
        base->setOperationDeep(Operation::None);
        adopt(result, base, arena);
        return;
    }
    if (!options.contains(ReduceOption::HideMerged)) {
        base->setOperationDeep(Operation::Merged);
        base->setEnabledDeep(false);
        adopt(result, base, arena);
    }
    partner->setOperationDeep(Operation::Replacement);
    // A container that replaces a leaf is moved as it stands, so its arrays are numbered here.
    if (isContainer(partner->type())) partner->renumberChildren(arena);
    adopt(result, partner, arena);
}

// Walks the sorted children left to right, merging each matching neighbour pair once and placing
// every other child alone; `match(i)` tells whether sorted[i] and sorted[i + 1] pair.
template <typename Match>
void pairWalk(const std::vector<Item*>& sorted, Item& result, bool inArray, ReduceOptions options,
              bool allUnmatched, Arena& arena, Match match) {
    result.children.reserve(sorted.size(), arena);
    size_t i = 0;
    while (i + 1 < sorted.size()) {
        if (match(i)) {
            mergePair(sorted[i], sorted[i + 1], result, inArray, options, allUnmatched, arena);
            i += 2;
        } else {
            placeAlone(result, sorted[i], options, allUnmatched, arena);
            i += 1;
        }
    }
    if (i + 1 == sorted.size()) placeAlone(result, sorted[i], options, allUnmatched, arena);
}

// Whether the elements are all texts of one kind that stand for themselves in NFC: then element order
// is byte order, and equal elements are equal bytes.
bool allPlainTexts(const std::vector<Item*>& elements) {
    const ItemDataType type = elements.empty() ? ItemDataType::None : elements.front()->type();
    if (type != ItemDataType::String && type != ItemDataType::Date) return false;
    for (const Item* element : elements)
        if (element->type() != type || !element->valueCanonical) return false;
    return true;
}

// The merge of array elements that are all plain texts (see allPlainTexts), placed under `result` in
// index order. It comes out as sorting by element order, pairing equal neighbours and sorting back by
// index would have it, without the sort by text: equal texts are gathered in a hash table, each group
// pairs its members in the order they stand, and only elements whose indexes tie are ordered by text.
// Its tables are large for large arrays, so they are taken from large blocks, which spares page faults.
void reducePlainTexts(const std::vector<Item*>& elements, Item& result, ReduceOptions options,
                      bool allUnmatched, Arena& arena) {
    constexpr uint32_t none = UINT32_MAX;
    struct Group {
        std::string_view text;
        uint32_t first, last; // members, linked through `next` in the order they stand
    };
    std::pmr::vector<Group> groups(largeBlocks());
    groups.reserve(elements.size());
    std::pmr::vector<uint32_t> next(elements.size(), none, largeBlocks());
    // Open addressing: a slot holds a group's number and the upper half of its text's hash, which
    // spares looking at the group's text for most slots that do not match.
    struct Slot {
        uint32_t tag, group = none;
    };
    const size_t mask = std::bit_ceil(2 * elements.size()) - 1;
    std::pmr::vector<Slot> table(mask + 1, Slot{}, largeBlocks());
    for (uint32_t i = 0; i < elements.size(); ++i) {
        const std::string_view text = elements[i]->data.text();
        const size_t hash = std::hash<std::string_view>{}(text);
        const auto tag = static_cast<uint32_t>(hash >> 32);
        size_t at = hash & mask;
        while (table[at].group != none && (table[at].tag != tag || groups[table[at].group].text != text))
            at = (at + 1) & mask;
        if (table[at].group == none) {
            table[at] = {tag, static_cast<uint32_t>(groups.size())};
            groups.push_back({text, i, i});
        } else {
            next[groups[table[at].group].last] = i;
            groups[table[at].group].last = i;
        }
    }
    // The group of each node placed under `result`, and its rank: the order of placing within the group.
    struct Placed {
        uint32_t group, rank;
    };
    std::pmr::vector<Placed> placed(largeBlocks());
    placed.reserve(elements.size());
    result.children.reserve(elements.size(), arena);
    for (uint32_t group = 0; group < groups.size(); ++group) {
        uint32_t rank = 0;
        for (uint32_t i = groups[group].first; i != none;) {
            const size_t before = result.children.size();
            if (next[i] != none) {
                mergePair(elements[i], elements[next[i]], result, true, options, allUnmatched, arena);
                i = next[next[i]];
            } else {
                placeAlone(result, elements[i], options, allUnmatched, arena);
                i = none;
            }
            for (size_t c = before; c < result.children.size(); ++c)
                placed.push_back({group, rank++});
        }
    }
    const std::span<Item*> children(result.children.begin(), result.children.size());
    reorder(children, indexOrder(indexesOf(children), [&](uint32_t a, uint32_t b) {
                const Placed& left = placed[a];
                const Placed& right = placed[b];
                if (left.group != right.group) return groups[left.group].text < groups[right.group].text;
                return left.rank < right.rank;
            }));
}

// Takes the children out of `node` and places their merge under `result`, which may be `node`
// itself: the children's source container only has its kind and operation read, and those stay.
void reduceChildren(Item& node, Item& result, ReduceOptions options, bool allUnmatched, Arena& arena) {
    std::vector<Item*> sorted(node.children.begin(), node.children.end());
    node.children.clear();
    const ItemDataType type = node.type();
    if (type != ItemDataType::FileName && !isContainer(type)) return; // a leaf kind places nothing
    if (type != ItemDataType::Array) {
        // Each name is put in canonical form once, so that the sort and the walk compare plain bytes.
        // Most names are canonical as written and are taken as they stand.
        std::vector<std::string> canonicalNames;
        canonicalNames.reserve(sorted.size()); // the views below must not move
        std::vector<std::pair<std::string_view, Item*>> named;
        named.reserve(sorted.size());
        for (auto& node : sorted) {
            std::string_view name = node->name;
            if (!node->nameCanonical && !isCanonicalAsWritten(name))
                name = canonicalNames.emplace_back(canonicalText(name));
            named.emplace_back(name, node);
        }
        stableSort(named, [](const auto& a, const auto& b) { return a.first < b.first; });
        for (size_t i = 0; i < named.size(); ++i)
            sorted[i] = named[i].second;
        pairWalk(sorted, result, false, options, allUnmatched, arena,
                 [&](size_t i) { return named[i].first == named[i + 1].first; });
        return;
    }
    if (allPlainTexts(sorted)) {
        reducePlainTexts(sorted, result, options, allUnmatched, arena);
        result.numberElements(arena);
        return;
    }
    std::vector<Element> elements;
    elements.reserve(sorted.size());
    for (Item* node : sorted)
        elements.push_back({node, identifyingEntries(*node)});
    stableSort(elements, [](const Element& a, const Element& b) { return elementOrder(a, b) < 0; });
    for (size_t i = 0; i < elements.size(); ++i)
        sorted[i] = elements[i].node;
    pairWalk(sorted, result, true, options, allUnmatched, arena, [&](size_t i) {
        return elementOrder(*sorted[i], elements[i].entries, *sorted[i + 1], elements[i + 1].entries) == 0;
    });
    sortByIndex({result.children.begin(), result.children.size()});
    // Only this array's elements are renamed: nested arrays were renamed by their own reduction, and a
    // Replacement container, moved as it stands, when it was placed.
    result.numberElements(arena);
}

// The reduction of a node that nothing else needs any more: the node itself, without a parent,
// serves as the new node, which spares a copy of every container of the scratch tree.
Item* reduceSpent(Item* node, ReduceOptions options, bool allUnmatched, Arena& arena) {
    node->parent = nullptr;
    reduceChildren(*node, *node, options, allUnmatched, arena);
    return node;
}

} // namespace

Item* reduce(Item& node, ReduceOptions options, Arena& arena) {
    // The node's kind and operation stay for appendLeave.
    Item* result = node.copyFields(arena, nullptr);
    reduceChildren(node, *result, options, false, arena);
    return result;
}

void appendElement(Item& receiver, Item* child, ReduceOptions options, Arena& arena) {
    placeAlone(receiver, child, options, false, arena);
}

void appendLeave(Item& receiver, Item* leaf, ReduceOptions options, Arena& arena) {
    const Item* source = leaf->parent;
    const bool inArray = source && source->type() == ItemDataType::Array;
    const bool isString = leaf->type() == ItemDataType::String;
    if (inArray && isString) {
        if (leaf->data.text().starts_with('#')) {
            leaf->operation = Operation::Kill;
            leaf->enabled = false;
            adopt(receiver, leaf, arena);
            return;
        }
    }
    if (leaf->operation == Operation::Inserted) {
        const bool sourceInserted = source && source->operation == Operation::Inserted;
        if (options.contains(ReduceOption::HideInsertedLeaves) && !sourceInserted) return;
        leaf->enabled = !options.contains(ReduceOption::DisableTamInsertedLeaves) || (inArray && isString) ||
                        sourceInserted;
    }
    adopt(receiver, leaf, arena);
}

int elementOrder(const Item& a, const Item& b) {
    return elementOrder(a, identifyingEntries(a), b, identifyingEntries(b));
}

} // namespace carryover
