// Printing trees as dump lines and as an indented, coloured tree.
#include "TreeText.h"

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

void treeNode(const Item& node, int depth, bool colour, std::string& out) {
    const std::string_view start = colour ? colourOf(node.operation) : "";
    out += start;
    out.append(static_cast<size_t>(depth) * 2, ' ');
    out += escaped(node.name);
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
    for (const auto& child : node.children)
        treeNode(*child, depth + 1, colour, out);
}

} // namespace

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
