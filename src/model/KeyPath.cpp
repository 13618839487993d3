// Key paths joined by "/".
#include "model/KeyPath.h"

#include <vector>

namespace carryover {

std::string keyPath(const Item& node) {
    std::vector<std::string_view> names;
    for (const Item* at = &node; at->parent; at = at->parent)
        names.push_back(at->name);
    std::string path;
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        if (!path.empty()) path += '/';
        path += *name;
    }
    return path;
}

} // namespace carryover
