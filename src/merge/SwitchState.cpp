// Taking and putting back the enabled flags of a tree.
#include "merge/SwitchState.h"

namespace carryover {

namespace {

// Calls `visit` on every node of `root`'s tree in pre-order; an explicit stack, as trees may be deep.
template <typename Node, typename Visit> void preOrder(Node& root, Visit visit) {
    std::vector<Node*> stack{&root};
    while (!stack.empty()) {
        Node* node = stack.back();
        stack.pop_back();
        visit(*node);
        for (size_t i = node->children.size(); i-- > 0;)
            stack.push_back(node->children[i]);
    }
}

} // namespace

SwitchState switchState(const Item& root) {
    SwitchState state;
    preOrder(root, [&](const Item& node) { state.push_back(node.enabled); });
    return state;
}

bool restoreSwitchState(Item& root, const SwitchState& state) {
    size_t count = 0;
    preOrder(root, [&](const Item&) { ++count; });
    if (count != state.size()) return false;
    size_t next = 0;
    preOrder(root, [&](Item& node) { node.enabled = state[next++]; });
    return true;
}

} // namespace carryover
