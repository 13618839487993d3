// Writing Item trees as property-list text, appended to one string that is handed on in blocks when
// there is somewhere to hand it.
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
    // Without a sink, `out` grows to the whole text.
    explicit Writer(const TextSink* sink = nullptr) : sink_(sink) {
        if (sink_) out.reserve(writeBlockSize + writeBlockSize / 2);
    }

    std::string out;
    std::string failure; // the sink's first reason

    // Hands what is left to the sink.
    void finish() {
        if (sink_ && failure.empty() && !out.empty()) failure = (*sink_)(out);
        out.clear();
    }

    void write(const Item& node, int depth) {
        if (!failure.empty()) return;
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
    const TextSink* sink_;

    // Hands a full block to the sink.
    void spill() {
        if (!sink_ || out.size() < writeBlockSize) return;
        if (failure.empty()) failure = (*sink_)(out);
        out.clear();
    }

    void indent(int depth) { out.append(static_cast<size_t>(std::max(depth, 0)), '\t'); }

    void line(int depth, std::string_view text) {
        indent(depth);
        out += text;
        out += '\n';
        spill();
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
        spill();
    }

    void writeEntries(const Item& container, int depth) {
        for (const auto& child : container.children) {
            if (!child->data.hasPlistForm()) continue;
            element(depth, "key", child->name);
            write(*child, depth);
        }
    }

    void writeDocument(const Item& root, int depth) {
        if (!sink_) out.reserve(out.size() + root.data.text().size());
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

std::string writePlist(const Item& node, int depth, const TextSink& sink) {
    Writer writer(&sink);
    writer.write(node, depth);
    writer.finish();
    return writer.failure;
}

} // namespace carryover
