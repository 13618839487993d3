// Printing trees as dump lines, key-path lines, JSON and indented, coloured trees.
#include "TreeText.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "merge/Comparison.h"
#include "merge/Identifying.h"
#include "merge/Switch.h"
#include "model/OperationWord.h"
#include "plist/Base64.h"
#include "plist/DoubleText.h"

namespace carryover {

namespace {

std::string escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string valueText(const Item& node) {
    const ItemData& data = node.data;
    switch (data.type) {
    case ItemDataType::FileName:
    case ItemDataType::Dictionary:
    case ItemDataType::Array:
        return "";
    case ItemDataType::Bool:
        return data.boolValue() ? "true" : "false";
    case ItemDataType::Int:
        return data.integerText();
    case ItemDataType::Double:
        return doubleText(data.doubleValue());
    case ItemDataType::Data:
        return encodeBase64(data.bytesValue());
    case ItemDataType::None:
    case ItemDataType::Date:
    case ItemDataType::String:
    case ItemDataType::Error:
    case ItemDataType::End:
        return std::string(data.text());
    }
    return "";
}

// `key` as one component of a key path: "~" and "/" written "~0" and "~1", as JSON Pointer has them,
// so that every key path names one place.
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

// The names from the top-level entry down to `node`, each with its key path escapes, joined by "/";
// `name` gives a node's name as it is to appear.
template <typename Name> std::string keyPath(const Item& node, const Name& name) {
    std::vector<const Item*> chain;
    for (const Item* at = &node; at->parent; at = at->parent)
        chain.push_back(at);
    std::string path;
    for (size_t i = chain.size(); i-- > 0;) {
        path += name(*chain[i]);
        if (i > 0) path += '/';
    }
    return path;
}

std::string keyPath(const Item& node) {
    return keyPath(node, [](const Item& at) { return keyPathComponent(at.name); });
}

void dumpNode(const Item& node, int depth, std::string& out) {
    out += std::to_string(depth);
    out += '\t';
    out += escaped(node.name);
    out += '\t';
    out += typeName(node.type());
    out += '\t';
    out += escaped(valueText(node));
    out += '\t';
    out += operationName(node.operation);
    out += node.enabled ? "\t1\n" : "\t0\n";
    for (const auto& child : node.children)
        dumpNode(*child, depth + 1, out);
}

std::string_view colourOf(Operation operation) {
    switch (operation) {
    case Operation::None:
        return "";
    case Operation::Kill:
        return "\x1b[31m";
    case Operation::Merged:
        return "\x1b[38;5;208m";
    case Operation::Replacement:
        return "\x1b[33m";
    case Operation::Inserted:
        return "\x1b[32m";
    case Operation::Unmatched:
        return "\x1b[34m";
    }
    return "";
}

// The line of `node` in an indented tree, its name given as `name`.
void treeLine(const Item& node, std::string_view name, int depth, bool colour, std::string& out) {
    const std::string_view start = colour ? colourOf(node.operation) : "";
    out += start;
    out.append(static_cast<size_t>(depth) * 2, ' ');
    out += escaped(name);
    if (!node.data.typeString().empty()) {
        out += "  ";
        out += node.data.typeString();
    }
    if (const std::string value = valueText(node); !value.empty() && node.type() != ItemDataType::None) {
        out += "  ";
        out += escaped(value);
    }
    if (node.operation != Operation::None) {
        out += "  ";
        out += operationName(node.operation);
    }
    if (!node.enabled) out += "  (off)";
    if (!start.empty()) out += "\x1b[0m";
    out += '\n';
}

void treeNode(const Item& node, int depth, bool colour, std::string& out) {
    treeLine(node, node.name, depth, colour, out);
    for (const auto& child : node.children)
        treeNode(*child, depth + 1, colour, out);
}

// Calls `visit` on each node below `node` that has no children, in tree order.
template <typename Visit> void forEachLeaf(const Item& node, const Visit& visit) {
    for (const Item* child : node.children) {
        if (child->children.empty())
            visit(*child);
        else
            forEachLeaf(*child, visit);
    }
}

nlohmann::ordered_json jsonValue(const Item& node) {
    const ItemData& data = node.data;
    switch (data.type) {
    case ItemDataType::Bool:
        return data.boolValue();
    case ItemDataType::Int:
        if (data.isWide()) return data.wideValue();
        return data.intValue();
    case ItemDataType::Double:
        if (std::isfinite(data.doubleValue())) return data.doubleValue();
        return doubleText(data.doubleValue());
    case ItemDataType::Dictionary:
        return nlohmann::ordered_json::object();
    case ItemDataType::Array:
        return nlohmann::ordered_json::array();
    case ItemDataType::None:
    case ItemDataType::FileName:
    case ItemDataType::Data:
    case ItemDataType::Date:
    case ItemDataType::String:
    case ItemDataType::Error:
    case ItemDataType::End:
        return valueText(node);
    }
    return nullptr;
}

// `name` followed, for a dictionary in an array, by its identifying entry in parentheses:
// "Item 3 (BundlePath Lilu.kext)".
std::string identified(const Item& node, std::string name) {
    const bool inArray = node.parent && node.parent->type() == ItemDataType::Array;
    if (const Item* entry = inArray ? identifyingEntry(node) : nullptr) {
        name += " (";
        name += entry->key();
        name += ' ';
        name += valueText(*entry);
        name += ')';
    }
    return name;
}

// The heading of the decisions in `container`: its key path, each dictionary in an array identified.
std::string heading(const Item& container) {
    return escaped(
        keyPath(container, [](const Item& at) { return identified(at, keyPathComponent(at.name)); }));
}

// Appends the decisions below `node` to `out`; `container` is the node whose heading was printed last
// (the root for none), so that a heading is printed again only where another container's decisions
// came between. A Kill decision is one line: what it holds is switched off with it.
void changes(const Item& root, const Item& node, bool colour, const Item*& container, std::string& out) {
    for (const Item* child : node.children) {
        if (!hasSwitch(*child)) {
            changes(root, *child, colour, container, out);
            continue;
        }
        if (&node != &root && &node != container)
            out += colour ? "\x1b[1m" + heading(node) + "\x1b[0m\n" : heading(node) + '\n';
        container = &node;
        const int depth = &node == &root ? 0 : 1;
        treeLine(*child, identified(*child, std::string(child->name)), depth, colour, out);
        if (child->operation != Operation::Kill)
            for (const Item* grandchild : child->children)
                treeNode(*grandchild, depth + 1, colour, out);
    }
}

} // namespace

std::string pathLines(const Item& root, bool marks) {
    std::string out;
    forEachLeaf(root, [&](const Item& node) {
        out += escaped(keyPath(node));
        out += '\t';
        out += typeName(node.type());
        out += '\t';
        out += escaped(valueText(node));
        if (marks) {
            out += '\t';
            out += operationName(node.operation);
            out += node.enabled ? "\t1" : "\t0";
        }
        out += '\n';
    });
    return out;
}

std::string jsonText(const Item& root) {
    std::string out = "[";
    const char* separator = "\n";
    forEachLeaf(root, [&](const Item& node) {
        const nlohmann::ordered_json entry = {
            {"path", keyPath(node)},    {"kind", typeName(node.type())},
            {"value", jsonValue(node)}, {"operation", operationName(node.operation)},
            {"enabled", node.enabled},
        };
        out += separator;
        out += entry.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
        separator = ",\n";
    });
    out += "\n]\n";
    return out;
}

std::string entriesText(const Item& root, bool colour) {
    std::string out;
    for (const Item* child : root.children)
        treeNode(*child, 0, colour, out);
    return out;
}

std::string changesText(const Item& root, bool colour) {
    std::string out;
    const Item* container = &root;
    changes(root, root, colour, container, out);
    return out;
}

std::string countsText(const Item& root, bool colour) {
    const OperationCounts counts(root);
    std::string out;
    for (Operation operation : {Operation::None, Operation::Kill, Operation::Merged, Operation::Replacement,
                                Operation::Inserted, Operation::Unmatched}) {
        if (operation != Operation::None) out += " \u00B7 ";
        const std::string_view start = colour ? colourOf(operation) : "";
        out += start;
        out += operationWord(operation);
        out += ' ';
        out += std::to_string(counts[operation]);
        if (!start.empty()) out += "\x1b[0m";
    }
    out += '\n';
    return out;
}

std::string dumpLines(const Item& root) {
    std::string out;
    dumpNode(root, 0, out);
    return out;
}

std::string treeText(const Item& root, bool colour) {
    std::string out;
    treeNode(root, 0, colour, out);
    return out;
}

} // namespace carryover
