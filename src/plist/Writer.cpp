// Writing Item trees as property-list text, appended to one growing string.
#include "plist/Writer.h"

#include <algorithm>

#include "plist/Base64.h"
#include "plist/DoubleText.h"
#include "plist/Reader.h"

namespace carryover {

const std::string_view defaultHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                       "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                       "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                       "<plist version=\"1.0\">\n";

namespace {

// Whether a container has an entry or element that is written; one without is written in the empty form.
bool hasWrittenChildren(const Item& container) {
    return std::any_of(container.children.begin(), container.children.end(),
                       [](const Item* child) { return child->data.hasPlistForm(); });
}

class Writer {
  public:
    std::string out;

    void write(const Item& node, int depth) {
        switch (node.type()) {
        case ItemDataType::None:
        case ItemDataType::Error:
        case ItemDataType::End:
            return;
        case ItemDataType::FileName:
            writeDocument(node, depth);
            return;
        case ItemDataType::Bool:
            line(depth, node.data.boolValue() ? "<true/>" : "<false/>");
            return;
        case ItemDataType::Int:
            element(depth, "integer", node.data.integerText());
            return;
        case ItemDataType::Double:
            element(depth, "real", doubleText(node.data.doubleValue()));
            return;
        case ItemDataType::String:
            element(depth, "string", node.data.text());
            return;
        case ItemDataType::Data:
            element(depth, "data", encodeBase64(node.data.bytesValue()));
            return;
        case ItemDataType::Date:
            element(depth, "date", node.data.text());
            return;
        case ItemDataType::Dictionary:
            if (!hasWrittenChildren(node)) return line(depth, "<dict/>");
            line(depth, "<dict>");
            writeEntries(node, depth + 1);
            line(depth, "</dict>");
            return;
        case ItemDataType::Array:
            if (!hasWrittenChildren(node)) return line(depth, "<array/>");
            line(depth, "<array>");
            for (const auto& child : node.children)
                write(*child, depth + 1);
            line(depth, "</array>");
            return;
        }
    }

  private:
    void indent(int depth) { out.append(static_cast<size_t>(std::max(depth, 0)), '\t'); }

    void line(int depth, std::string_view text) {
        indent(depth);
        out += text;
        out += '\n';
    }

    void element(int depth, std::string_view tag, std::string_view text) {
        indent(depth);
        out += '<';
        out += tag;
        out += '>';
        out += text;
        out += "</";
        out += tag;
        out += ">\n";
    }

    void writeEntries(const Item& container, int depth) {
        for (const auto& child : container.children) {
            if (!child->data.hasPlistForm()) continue;
            element(depth, "key", child->name);
            write(*child, depth);
        }
    }

    void writeDocument(const Item& root, int depth) {
        out.reserve(out.size() + root.data.text().size());
        out += documentHead(root.data.text()).value_or(defaultHeader);
        out += "<dict>\n";
        writeEntries(root, depth + 1);
        out += "</dict>\n</plist>\n";
    }
};

} // namespace

std::string plistRepresentation(const Item& node, int depth) {
    Writer writer;
    writer.write(node, depth);
    return std::move(writer.out);
}

} // namespace carryover
