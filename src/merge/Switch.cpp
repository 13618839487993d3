// The enable switch of a node in the differences tree.
#include "merge/Switch.h"

namespace carryover {

bool hasSwitch(const Item& node) {
    if (node.operation == Operation::None) return false;
    return !node.parent || node.parent->operation != node.operation;
}

bool switchNode(Item& root, Item& node) {
    if (node.operation == Operation::Merged || node.operation == Operation::Replacement) {
        const std::vector<Item*> pair = root.getItems(node.path());
        if (pair.size() != 2) return false;
        pair[0]->enabled = !pair[0]->enabled;
        pair[1]->enabled = !pair[1]->enabled;
        return true;
    }
    const bool wasEnabled = node.enabled;
    if (!wasEnabled)
        for (Item* ancestor = node.parent; ancestor && !ancestor->enabled; ancestor = ancestor->parent)
            ancestor->enabled = true;
    node.setEnabledDeep(!wasEnabled);
    return true;
}

} // namespace carryover
