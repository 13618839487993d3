// Taking and putting back the enabled flags of a tree.
#include "merge/SwitchState.h"

namespace carryover {

namespace {

// Recursion is as deep as the tree, which the reader keeps to a few hundred levels.
void take(const Item& node, SwitchState& state) {
    state.push_back(node.enabled);
    for (const Item* child : node.children)
        take(*child, state);
}

size_t count(const Item& node) {
    size_t nodes = 1;
    for (const Item* child : node.children)
        nodes += count(*child);
    return nodes;
}

void put(Item& node, const SwitchState& state, size_t& next) {
    node.enabled = state[next++];
    for (Item* child : node.children)
        put(*child, state, next);
}

} // namespace

SwitchState switchState(const Item& root) {
    SwitchState state;
    take(root, state);
    return state;
}

bool restoreSwitchState(Item& root, const SwitchState& state) {
    if (count(root) != state.size()) return false;
    size_t next = 0;
    put(root, state, next);
    return true;
}

} // namespace carryover
