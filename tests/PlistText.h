// Helpers for tests that read property-list text: a document around some entries, reading it, and the
// values read as one line of text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <plist/plist.h>

#include "plist/Base64.h"
#include "plist/DoubleText.h"
#include "plist/Loading.h"
#include "plist/Reader.h"
#include "plist/Writer.h"

namespace carryover::test {

inline const std::string prologue = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                    "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                    "<plist version=\"1.0\">\n";

// A whole document whose top-level dictionary holds `entries`.
inline std::string document(std::string_view entries) {
    return prologue + "<dict>\n" + std::string(entries) + "\n</dict>\n</plist>\n";
}

// `levels` arrays, each inside the one before, around `innermost`.
inline std::string nestedArrays(int levels, std::string_view innermost = "") {
    std::string text;
    for (int i = 0; i < levels; ++i)
        text += "<array>";
    text += innermost;
    for (int i = 0; i < levels; ++i)
        text += "</array>";
    return text;
}

// The root read from `text` as the file "test.plist", containers numbered by `counter`.
inline ItemPtr read(std::string text, ContainerCounter& counter) {
    return readPlistText("test.plist", std::move(text), counter).root;
}
// The root read from `text` with a counter of its own.
inline ItemPtr read(std::string text) {
    ContainerCounter counter;
    return read(std::move(text), counter);
}

// The entries below `node`, each "name:Kind=value" or "name:Kind{entries}", separated by blanks;
// serial numbers left out, so that trees read at different times compare equal.
inline std::string values(const Item& node) {
    std::string out;
    for (const auto& child : node.children) {
        if (!out.empty()) out += ' ';
        out += std::string(child->name) + ":" + std::string(typeName(child->type()));
        const ItemData& data = child->data;
        switch (data.type) {
        case ItemDataType::Dictionary:
        case ItemDataType::Array:
            out += '{';
            out += values(*child);
            out += '}';
            continue;
        case ItemDataType::Bool:
            out += data.boolValue() ? "=true" : "=false";
            continue;
        case ItemDataType::Int:
            out += '=';
            out += data.integerText();
            continue;
        case ItemDataType::Double:
            out += '=';
            out += doubleText(data.doubleValue());
            continue;
        case ItemDataType::Data:
            out += '=';
            out += encodeBase64(data.bytesValue());
            continue;
        case ItemDataType::None:
        case ItemDataType::FileName:
        case ItemDataType::Date:
        case ItemDataType::String:
        case ItemDataType::Error:
        case ItemDataType::End:
            out += '=';
            out += data.text();
            continue;
        }
    }
    return out;
}

// `text` read and written again.
inline std::string formatted(const std::string& text) {
    return plistRepresentation(*read(text), 0);
}

// The values libplist reads from `text`, as the XML it writes of them; nothing when it refuses the text
// or its top level is not a dictionary.
inline std::optional<std::string> libplistValues(const std::string& text) {
    plist_t plist = nullptr;
    plist_from_xml(text.data(), static_cast<uint32_t>(text.size()), &plist);
    std::optional<std::string> values;
    if (plist && plist_get_node_type(plist) == PLIST_DICT) {
        char* xml = nullptr;
        uint32_t length = 0;
        plist_to_xml(plist, &xml, &length);
        values.emplace(xml, length);
        plist_to_xml_free(xml);
    }
    plist_free(plist);
    return values;
}

// The loading step's result for `bytes` as the content of the file "test.plist".
inline LoadResult load(std::string bytes) {
    ContainerCounter counter;
    return loadPlistBytes("test.plist", std::move(bytes), counter);
}

} // namespace carryover::test
