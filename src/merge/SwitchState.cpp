// Taking the enabled flags of a tree.
#include "merge/SwitchState.h"

namespace carryover {

namespace {

// Recursion is as deep as the tree, which the reader keeps to a few hundred levels.
void take(const Item& node, SwitchState& state) {
    state.push_back(node.enabled);
    for (const Item* child : node.children)
        take(*child, state);
}

} // namespace

SwitchState switchState(const Item& root) {
    SwitchState state;
    take(root, state);
    return state;
}

} // namespace carryover
