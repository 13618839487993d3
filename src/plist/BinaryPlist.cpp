// Binary property lists: a walk over the object table that checks what libplist would otherwise
// convert wrongly or at unbounded cost, then libplist's conversion to XML text.
#include "plist/BinaryPlist.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include <plist/plist.h>

#include "model/Item.h"
#include "plist/Quoted.h"
#include "plist/Reader.h"
#include "plist/XmlCharacter.h"

namespace carryover {

namespace {

constexpr std::string_view binaryMagic = "bplist00";
constexpr size_t trailerSize = 32;
constexpr uint64_t nodeCountCap = uint64_t(1) << 62;
// Dates are seconds since 2001-01-01T00:00:00Z; these are 1000-01-01 and 10000-01-01.
constexpr double earliestDate = -31588531200.0, dateAfterLatest = 252423993600.0;

// Object markers: the high four bits of an object's first byte.
enum Marker : unsigned {
    IntegerMarker = 0x1,
    DateMarker = 0x3,
    AsciiMarker = 0x5,
    Utf16Marker = 0x6,
    UidMarker = 0x8,
    ArrayMarker = 0xA,
    SetMarker = 0xC,
    DictionaryMarker = 0xD,
};

std::string codePointName(char32_t c) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
    return name;
}

// A binary property list's object table, read where it lies in the bytes.
class ObjectTable {
  public:
    explicit ObjectTable(std::string& bytes) : bytes_(bytes) {}

    // Whether the trailer and the offset table are sound.
    bool open() {
        const size_t size = bytes_.size();
        if (size < binaryMagic.size() + trailerSize) return false;
        const size_t trailer = size - trailerSize;
        offsetWidth_ = byte(trailer + 6);
        refWidth_ = byte(trailer + 7);
        objects_ = number(trailer + 8, 8);
        top_ = number(trailer + 16, 8);
        table_ = number(trailer + 24, 8);
        if (offsetWidth_ < 1 || offsetWidth_ > 8 || refWidth_ < 1 || refWidth_ > 8) return false;
        return objects_ > 0 && top_ < objects_ && table_ >= binaryMagic.size() && table_ < trailer &&
               objects_ <= (trailer - table_) / offsetWidth_;
    }

    uint64_t size() const { return bytes_.size(); }
    uint64_t objects() const { return objects_; }
    uint64_t top() const { return top_; }

    // An object's marker, the count its low bits or the integer after them give, and where its
    // content begins.
    struct Object {
        unsigned marker = 0;
        uint64_t count = 0;
        size_t content = 0;
    };

    // The object numbered `index`; false when its head lies outside the objects.
    bool object(uint64_t index, Object& out) const {
        const uint64_t offset = number(table_ + index * offsetWidth_, offsetWidth_);
        if (offset < binaryMagic.size() || offset >= table_) return false;
        out.marker = byte(offset) >> 4;
        out.count = byte(offset) & 0xF;
        out.content = offset + 1;
        if (out.count != 0xF || !hasLength(out.marker)) return true;
        const size_t at = out.content;
        if (at >= table_ || byte(at) >> 4 != IntegerMarker || (byte(at) & 0xF) > 3) return false;
        const size_t width = size_t(1) << (byte(at) & 0xF);
        if (at + 1 + width > table_) return false;
        out.count = number(at + 1, width);
        out.content = at + 1 + width;
        return true;
    }

    // Whether `count` items of `width` bytes fit between `at` and the offset table.
    bool fits(size_t at, uint64_t count, uint64_t width) const {
        return at <= table_ && count <= (table_ - at) / width;
    }

    // The `i`th reference of a container whose references begin at `at`.
    uint64_t reference(size_t at, uint64_t i) const { return number(at + i * refWidth_, refWidth_); }
    size_t refWidth() const { return refWidth_; }

    unsigned byte(size_t at) const { return static_cast<unsigned char>(bytes_[at]); }

    uint64_t number(size_t at, size_t width) const {
        uint64_t value = 0;
        for (size_t i = 0; i < width; ++i)
            value = value << 8 | byte(at + i);
        return value;
    }

    // Writes the eight bytes at `from` over those at `to`, and `marker` before them.
    void rewrite(size_t head, unsigned char marker, size_t from) {
        bytes_[head] = static_cast<char>(marker);
        std::memmove(bytes_.data() + head + 1, bytes_.data() + from, 8);
    }

  private:
    static bool hasLength(unsigned marker) {
        return marker == 0x4 || marker == AsciiMarker || marker == Utf16Marker || marker == 0x7 ||
               marker == ArrayMarker || marker == SetMarker || marker == DictionaryMarker;
    }

    std::string& bytes_;
    size_t offsetWidth_ = 0, refWidth_ = 0;
    uint64_t objects_ = 0, top_ = 0, table_ = 0;
};

// The walk: each object is checked once, however often it is shared; each container's expanded node
// count and height are kept so that shared subtrees are not walked again.
class Walk {
  public:
    explicit Walk(std::string& bytes) : table_(bytes) {}

    BinaryConversion run() {
        if (!table_.open()) return refuse(BinaryStatus::Malformed);
        const uint64_t objects = table_.objects();
        state_.assign(objects, Unseen);
        nodes_.assign(objects, 0);
        height_.assign(objects, 0);

        if (auto refused = enter(table_.top())) return *refused;
        while (!stack_.empty()) {
            Frame& frame = stack_.back();
            if (frame.next == frame.count) {
                finish(frame);
                continue;
            }
            const uint64_t entry = frame.next++;
            if (frame.dictionary) {
                const uint64_t key = table_.reference(frame.refs, entry);
                if (key >= objects) return refuse(BinaryStatus::Malformed);
                if (auto refused = checkLeaf(key, true)) return *refused;
            }
            const uint64_t child =
                table_.reference(frame.refs, frame.dictionary ? frame.count + entry : entry);
            if (child >= objects) return refuse(BinaryStatus::Malformed);
            if (state_[child] == Open) return refuse(BinaryStatus::Cycle);
            if (state_[child] == Unseen)
                if (auto refused = enter(child)) return *refused;
            if (state_[child] == Done) add(stack_.back(), child);
        }
        const uint64_t top = table_.top();
        if (height_[top] > maximumDepth) return refuse(BinaryStatus::TooDeep);
        const uint64_t size = table_.size();
        const uint64_t nodes = nodes_[top];
        if ((nodes > binaryNodesAlwaysAllowed && nodes > binaryNodesPerByte * size) ||
            (nodes > binaryNodesWithinMemory && nodes > size))
            return refuse(BinaryStatus::TooLarge,
                          std::to_string(nodes) + " nodes from " + std::to_string(size) + " bytes");
        ObjectTable::Object root;
        table_.object(top, root);
        if (root.marker != DictionaryMarker) return refuse(BinaryStatus::NotDictionary);
        return {};
    }

  private:
    enum : uint8_t { Unseen, Open, Done };

    struct Frame {
        uint64_t object;
        bool dictionary;
        uint64_t count; // entries: pairs of a dictionary, elements of an array or set
        size_t refs;    // where the references begin
        uint64_t next = 0;
        uint64_t nodes = 1;
        int height = 1;
    };

    static BinaryConversion refuse(BinaryStatus status, std::string detail = {}) {
        return {status, {}, std::move(detail)};
    }

    // Starts on the unseen object `index`: a container is pushed, a leaf checked and done.
    std::optional<BinaryConversion> enter(uint64_t index) {
        ObjectTable::Object object;
        if (!table_.object(index, object)) return refuse(BinaryStatus::Malformed);
        const bool dictionary = object.marker == DictionaryMarker;
        if (!dictionary && object.marker != ArrayMarker && object.marker != SetMarker)
            return checkLeaf(index, false);
        const uint64_t refs = dictionary ? 2 : 1;
        if (object.count > UINT64_MAX / 2 ||
            !table_.fits(object.content, object.count * refs, table_.refWidth()))
            return refuse(BinaryStatus::Malformed);
        if (stack_.size() >= size_t(maximumDepth)) return refuse(BinaryStatus::TooDeep);
        state_[index] = Open;
        stack_.push_back({index, dictionary, object.count, object.content});
        return std::nullopt;
    }

    void finish(const Frame& frame) {
        nodes_[frame.object] = frame.nodes;
        height_[frame.object] = frame.height;
        state_[frame.object] = Done;
        const uint64_t object = frame.object;
        stack_.pop_back();
        if (!stack_.empty()) add(stack_.back(), object);
    }

    void add(Frame& parent, uint64_t child) {
        parent.nodes = std::min(nodeCountCap, parent.nodes + nodes_[child]);
        parent.height = std::max(parent.height, std::min(height_[child], maximumDepth + 1) + 1);
    }

    // Checks a leaf once: a key is a string, text holds only characters XML can hold, an integer
    // fits in 64 bits, a date has a four-digit year.
    std::optional<BinaryConversion> checkLeaf(uint64_t index, bool key) {
        if (state_[index] == Done) return std::nullopt;
        ObjectTable::Object object;
        if (!table_.object(index, object)) return refuse(BinaryStatus::Malformed);
        const bool text = object.marker == AsciiMarker || object.marker == Utf16Marker;
        if (key && !text) return refuse(BinaryStatus::Malformed);
        if (text) {
            const uint64_t width = object.marker == Utf16Marker ? 2 : 1;
            if (!table_.fits(object.content, object.count, width)) return refuse(BinaryStatus::Malformed);
            for (char32_t c : codePoints(object)) {
                if (isXmlCharacter(c)) continue;
                const std::string what = c == notUtf8 ? "bytes that are not UTF-8" : codePointName(c);
                return refuse(BinaryStatus::InvalidCharacter, (key ? "a key of " + escaped(containerPath())
                                                                   : "the string at " + escaped(path())) +
                                                                  " holds " + what);
            }
        }
        if (object.marker == IntegerMarker && object.count == 4) {
            if (!table_.fits(object.content, 16, 1)) return refuse(BinaryStatus::Malformed);
            const uint64_t high = table_.number(object.content, 8),
                           low = table_.number(object.content + 8, 8);
            const bool negative = high == UINT64_MAX && low >> 63 == 1;
            if (high != 0 && !negative)
                return refuse(BinaryStatus::IntegerTooLarge, "the integer at " + escaped(path()));
            // libplist reads sixteen bytes as unsigned; a negative value is given to it in eight.
            if (negative) table_.rewrite(object.content - 1, IntegerMarker << 4 | 3, object.content + 8);
        }
        if (object.marker == UidMarker && object.count >= 4) // its low bits count its bytes less one
            return refuse(BinaryStatus::UidTooWide, "the UID at " + escaped(path()));
        if (object.marker == DateMarker && object.count == 3) {
            if (!table_.fits(object.content, 8, 1)) return refuse(BinaryStatus::Malformed);
            const auto seconds = std::bit_cast<double>(table_.number(object.content, 8));
            if (!(seconds >= earliestDate && seconds < dateAfterLatest))
                return refuse(BinaryStatus::DateOutOfRange, "the date at " + escaped(path()));
        }
        state_[index] = Done;
        nodes_[index] = 1;
        return std::nullopt;
    }

    // Stands for bytes of an ASCII string object that are not UTF-8.
    static constexpr char32_t notUtf8 = 0x110000;

    // The code points of a string object; an unpaired surrogate is kept as it is, bytes that are not
    // UTF-8 become notUtf8.
    std::u32string codePoints(const ObjectTable::Object& object) const {
        std::u32string text;
        if (object.marker == AsciiMarker) {
            std::string bytes;
            for (uint64_t i = 0; i < object.count; ++i)
                bytes += static_cast<char>(table_.byte(object.content + i));
            for (size_t at = 0; at < bytes.size();)
                text += nextUtf8(bytes, at);
            return text;
        }
        for (uint64_t i = 0; i < object.count; ++i) {
            char32_t c = static_cast<char32_t>(table_.number(object.content + 2 * i, 2));
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < object.count) {
                const auto low = static_cast<char32_t>(table_.number(object.content + 2 * i + 2, 2));
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
            text += c;
        }
        return text;
    }

    // A string object's text as UTF-8, for naming a path.
    std::string decode(const ObjectTable::Object& object) const {
        std::string text;
        if (object.marker != AsciiMarker && object.marker != Utf16Marker) return text;
        for (char32_t c : codePoints(object))
            appendUtf8(text, isXmlCharacter(c) ? c : 0xFFFD);
        return text;
    }

    // The path of the entry being visited in each of the outermost `frames` open containers, in the
    // form Item::path gives.
    std::string path(size_t frames) const {
        std::string text;
        for (size_t i = 0; i < frames; ++i) {
            const Frame& frame = stack_[i];
            text += Item::pathSeparator;
            const uint64_t entry = frame.next - 1;
            ObjectTable::Object key;
            if (!frame.dictionary)
                text += "Item " + std::to_string(entry);
            else if (table_.object(table_.reference(frame.refs, entry), key))
                text += decode(key);
        }
        return text;
    }

    // The path of the value being visited.
    std::string path() const { return path(stack_.size()); }

    // The path of the innermost open container; "the top level" for the top-level dictionary.
    std::string containerPath() const {
        return stack_.size() > 1 ? path(stack_.size() - 1) : "the top level";
    }

    ObjectTable table_;
    std::vector<uint8_t> state_;
    std::vector<uint64_t> nodes_;
    std::vector<int> height_;
    std::vector<Frame> stack_;
};

// Libplist's XML text for `plist`, with carriage returns written as references.
std::string xmlText(plist_t plist) {
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(plist, &xml, &length);
    const std::string_view all(xml ? xml : "", xml ? length : 0);
    std::string text;
    text.reserve(all.size());
    size_t from = 0;
    for (size_t at = all.find('\r'); at != std::string_view::npos; at = all.find('\r', from)) {
        text.append(all.substr(from, at - from));
        text += "&#13;";
        from = at + 1;
    }
    text.append(all.substr(from));
    plist_to_xml_free(xml);
    return text;
}

} // namespace

std::string BinaryConversion::description() const {
    std::string reason;
    switch (status) {
    case BinaryStatus::Converted:
        return "";
    case BinaryStatus::Malformed:
        reason = "not a valid property list";
        break;
    case BinaryStatus::Cycle:
        reason = "a container holds itself";
        break;
    case BinaryStatus::TooDeep:
        reason = "containers nest deeper than " + std::to_string(maximumDepth) + " levels";
        break;
    case BinaryStatus::TooLarge:
        reason = "shared objects expand the property list to " + detail;
        break;
    case BinaryStatus::InvalidCharacter:
        reason = detail + ", which XML cannot hold";
        break;
    case BinaryStatus::IntegerTooLarge:
        reason = detail + " lies outside [-2^63, 2^64-1]";
        break;
    case BinaryStatus::DateOutOfRange:
        reason = detail + " lies outside the years 1000 to 9999";
        break;
    case BinaryStatus::UidTooWide:
        reason = detail + " is wider than 32 bits";
        break;
    case BinaryStatus::NotDictionary:
        reason = "the top level is not a dictionary";
        break;
    }
    return reason + ", format: binary";
}

bool isBinaryPlist(std::string_view bytes) {
    return bytes.starts_with(binaryMagic);
}

BinaryConversion convertBinaryPlist(std::string bytes) {
    {
        Walk walk(bytes);
        BinaryConversion checked = walk.run();
        if (checked.status != BinaryStatus::Converted) return checked;
    }
    plist_t plist = nullptr;
    plist_from_bin(bytes.data(), static_cast<uint32_t>(bytes.size()), &plist);
    if (!plist) return {BinaryStatus::Malformed, {}, {}};
    std::string().swap(bytes);
    BinaryConversion converted;
    if (plist_get_node_type(plist) == PLIST_DICT)
        converted.text = xmlText(plist);
    else
        converted.status = BinaryStatus::NotDictionary;
    plist_free(plist);
    return converted;
}

} // namespace carryover
