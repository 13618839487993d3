// The entry that names a dictionary among its array's elements.
#include "merge/Identifying.h"

namespace carryover {

const Item* identifyingEntry(const Item& node) {
    if (node.type() != ItemDataType::Dictionary) return nullptr;
    for (std::string_view key : identifyingKeys)
        for (const Item* child : node.children)
            if (child->hasKey(key)) return child;
    return nullptr;
}

} // namespace carryover
