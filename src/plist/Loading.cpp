// The loading step: bytes, conversion of binary lists through libplist, our reader.
#include "plist/Loading.h"

#include <limits>
#include <optional>
#include <vector>

#include <plist/plist.h>

#include "plist/Reader.h"

namespace carryover {

namespace {

constexpr std::string_view errorPrefix = "Error reading plist: ";
constexpr std::string_view binaryMagic = "bplist00";
// The most values a binary property list may expand to; shared objects are counted at each use.
constexpr uint64_t maximumBinaryValues = 16u << 20;

LoadResult failure(LoadStatus status, std::string reason) {
    return {status, nullptr, std::string(errorPrefix) + reason};
}

struct BinaryShape {
    bool valid = false;
    int depth = 0;       // containers open at once, at most
    uint64_t values = 0; // values once shared objects are expanded, saturating
};

// Walks the object graph of a binary property list without recursion, to learn how deep containers
// nest and how many values it expands to before libplist, which recurses, is given the bytes.
BinaryShape binaryShape(std::string_view bytes) {
    BinaryShape shape;
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t size = bytes.size();
    if (size < binaryMagic.size() + 32) return shape;
    const auto number = [&](size_t at, size_t width) {
        uint64_t value = 0;
        for (size_t i = 0; i < width; ++i)
            value = value << 8 | s[at + i];
        return value;
    };
    const size_t trailer = size - 32;
    const size_t offsetWidth = s[trailer + 6], refWidth = s[trailer + 7];
    const uint64_t objects = number(trailer + 8, 8), top = number(trailer + 16, 8),
                   table = number(trailer + 24, 8);
    if (offsetWidth < 1 || offsetWidth > 8 || refWidth < 1 || refWidth > 8) return shape;
    if (objects == 0 || top >= objects || table >= trailer || objects > (trailer - table) / offsetWidth)
        return shape;

    // Collects the references an object holds into `out`; false when it is malformed.
    bool container = false;
    const auto references = [&](uint64_t object, std::vector<uint64_t>& out) -> bool {
        out.clear();
        container = false;
        const uint64_t offset = number(table + object * offsetWidth, offsetWidth);
        if (offset < binaryMagic.size() || offset >= table) return false;
        const unsigned marker = s[offset], kind = marker >> 4;
        if (kind != 0xA && kind != 0xB && kind != 0xC && kind != 0xD) return true; // a leaf
        container = true;
        uint64_t count = marker & 0xF, at = offset + 1;
        if (count == 0xF) {
            if (at >= table || (s[at] >> 4) != 0x1 || (s[at] & 0xF) > 3) return false;
            const size_t width = size_t(1) << (s[at] & 0xF);
            if (at + 1 + width > table) return false;
            count = number(at + 1, width);
            at += 1 + width;
        }
        const uint64_t refs = kind == 0xD ? 2 * count : count;
        if (count > table || refs > (table - at) / refWidth) return false;
        for (uint64_t i = 0; i < refs; ++i) {
            const uint64_t ref = number(at + i * refWidth, refWidth);
            if (ref >= objects) return false;
            out.push_back(ref);
        }
        return true;
    };

    enum : uint8_t { Unseen, Open, Done };
    std::vector<uint8_t> state(objects, Unseen);
    std::vector<int> height(objects, 0);
    std::vector<uint64_t> values(objects, 0);
    struct Frame {
        uint64_t object;
        bool container;
        std::vector<uint64_t> refs;
        size_t next = 0;
    };
    std::vector<Frame> stack;
    std::vector<uint64_t> refs;
    if (!references(top, refs)) return shape;
    stack.push_back({top, container, refs});
    state[top] = Open;
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next < frame.refs.size()) {
            const uint64_t child = frame.refs[frame.next++];
            if (state[child] == Open) return shape; // a cycle
            if (state[child] == Done) continue;
            if (!references(child, refs)) return shape;
            state[child] = Open;
            stack.push_back({child, container, refs});
            continue;
        }
        int deepest = 0;
        uint64_t total = 1;
        for (uint64_t child : frame.refs) {
            deepest = std::max(deepest, height[child]);
            total = std::min(maximumBinaryValues + 1, total + values[child]);
        }
        height[frame.object] = frame.container ? std::min(deepest + 1, maximumDepth + 1) : 0;
        values[frame.object] = total;
        state[frame.object] = Done;
        stack.pop_back();
    }
    shape.valid = true;
    shape.depth = height[top];
    shape.values = values[top];
    return shape;
}

// Parses `bytes` with libplist; the caller frees the result. Null when refused.
plist_t parse(std::string_view bytes, bool binary) {
    plist_t plist = nullptr;
    const auto length = static_cast<uint32_t>(bytes.size());
    if (binary)
        plist_from_bin(bytes.data(), length, &plist);
    else
        plist_from_xml(bytes.data(), length, &plist);
    return plist;
}

// The reader's own words for a document nested too deeply.
std::string tooDeep() {
    return ReadResult{nullptr, ReadStatus::TooDeep, {}}.description();
}

// How a load ends when the reader refuses the text.
LoadStatus loadStatus(ReadStatus status) {
    switch (status) {
    case ReadStatus::Ok:
        return LoadStatus::Loaded;
    case ReadStatus::Unreadable:
        return LoadStatus::Unreadable;
    case ReadStatus::TooDeep:
        return LoadStatus::TooDeep;
    case ReadStatus::NotDictionary:
        return LoadStatus::NotDictionary;
    case ReadStatus::NotUtf8:
    case ReadStatus::ForbiddenCharacter:
    case ReadStatus::Malformed:
    case ReadStatus::UnknownEntity:
    case ReadStatus::UnknownElement:
    case ReadStatus::TextOutsideElements:
    case ReadStatus::KeyWithoutValue:
    case ReadStatus::ValueWithoutKey:
    case ReadStatus::JunkAfterRoot:
    case ReadStatus::IntegerOutOfRange:
        return LoadStatus::NotPlist;
    }
    return LoadStatus::NotPlist;
}

} // namespace

LoadResult loadPlist(const std::string& path, ContainerCounter& counter) {
    std::string reason;
    auto bytes = readWholeFile(path, reason);
    if (!bytes) return failure(LoadStatus::Unreadable, "cannot read the file: " + reason);
    if (bytes->size() > std::numeric_limits<uint32_t>::max())
        return failure(LoadStatus::TooLarge, "the file is larger than 4 GiB");

    const bool binary = std::string_view(*bytes).starts_with(binaryMagic);
    if (binary) {
        std::string_view checked = *bytes;
        const BinaryShape shape = binaryShape(checked);
        if (!shape.valid) return failure(LoadStatus::NotPlist, "not a valid property list, format: binary");
        if (shape.depth > maximumDepth) return failure(LoadStatus::TooDeep, tooDeep());
        if (shape.values > maximumBinaryValues)
            return failure(LoadStatus::TooLarge, "the property list expands to more than " +
                                                     std::to_string(maximumBinaryValues) + " values");
        plist_t plist = parse(checked, binary);
        if (!plist) return failure(LoadStatus::NotPlist, "not a valid property list, format: binary");
        const bool dictionary = plist_get_node_type(plist) == PLIST_DICT;
        if (dictionary) {
            char* xml = nullptr;
            uint32_t length = 0;
            plist_to_xml(plist, &xml, &length);
            bytes->assign(xml ? xml : "", xml ? length : 0);
            plist_to_xml_free(xml);
        }
        plist_free(plist);
        if (!dictionary) return failure(LoadStatus::NotDictionary, "the top level is not a dictionary");
    }

    ReadResult read = readPlistText(path, std::move(*bytes), counter);
    if (read.status != ReadStatus::Ok)
        return {loadStatus(read.status), read.root,
                std::string(errorPrefix) + read.description() + ", format: " + (binary ? "binary" : "XML")};
    return {LoadStatus::Loaded, read.root, {}};
}

} // namespace carryover
