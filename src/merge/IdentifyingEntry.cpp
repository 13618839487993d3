// The identifying entry of an array's dictionary.
#include "merge/IdentifyingEntry.h"

namespace carryover {

const Item* identifyingEntry(const Item& element) {
    if (element.type() != ItemDataType::Dictionary || !element.parent ||
        element.parent->type() != ItemDataType::Array)
        return nullptr;
    for (std::string_view key : identifyingKeys)
        for (const Item* child : element.children)
            if (child->hasKey(key)) return child;
    return nullptr;
}

} // namespace carryover
