// Key paths of nodes.
#include "model/KeyPath.h"

#include <vector>

namespace carryover {

std::string keyPathComponent(std::string_view key) {
    std::string component;
    component.reserve(key.size());
    for (char c : key) {
        if (c == '~')
            component += "~0";
        else if (c == '/')
            component += "~1";
        else
            component += c;
    }
    return component;
}

std::string keyPath(const Item& node) {
    std::vector<const Item*> chain;
    for (const Item* at = &node; at->parent; at = at->parent)
        chain.push_back(at);
    std::string path;
    for (size_t i = chain.size(); i-- > 0;) {
        path += keyPathComponent(chain[i]->key());
        if (i > 0) path += '/';
    }
    return path;
}

} // namespace carryover
