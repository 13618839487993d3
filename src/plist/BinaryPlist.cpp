// Binary property lists: a walk over the object table that checks every object once and bounds what
// shared objects expand to, then the tree built from the table.
#include "plist/BinaryPlist.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "model/Text.h"
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
// 2001-01-01 counted in days from 1970-01-01.
constexpr int64_t dateEpochDays = 11323;
// UIDs are written as an integer in XML, which the other readers hold in 32 bits.
constexpr uint64_t uidLimit = uint64_t(1) << 32;

// Object markers: the high four bits of an object's first byte.
enum Marker : unsigned {
    SingleMarker = 0x0, // false (low bits 8) and true (9)
    IntegerMarker = 0x1,
    RealMarker = 0x2,
    DateMarker = 0x3,
    DataMarker = 0x4,
    AsciiMarker = 0x5,
    Utf16Marker = 0x6,
    UidMarker = 0x8,
    ArrayMarker = 0xA,
    SetMarker = 0xC,
    DictionaryMarker = 0xD,
};

bool isText(unsigned marker) {
    return marker == AsciiMarker || marker == Utf16Marker;
}

std::string codePointName(char32_t c) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
    return name;
}

// A binary property list's object table, read where it lies in the bytes.
class ObjectTable {
  public:
    explicit ObjectTable(std::string_view bytes) : bytes_(bytes) {}

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

    // The `count` bytes at `at`.
    std::string_view bytes(size_t at, uint64_t count) const { return bytes_.substr(at, count); }

  private:
    static bool hasLength(unsigned marker) {
        return marker == DataMarker || marker == AsciiMarker || marker == Utf16Marker || marker == 0x7 ||
               marker == ArrayMarker || marker == SetMarker || marker == DictionaryMarker;
    }

    std::string_view bytes_;
    size_t offsetWidth_ = 0, refWidth_ = 0;
    uint64_t objects_ = 0, top_ = 0, table_ = 0;
};

// Stands for bytes of an ASCII string object that are not UTF-8.
constexpr char32_t notUtf8 = 0x110000;

// Calls `visit` with each code point of the string object `object` until it returns false; an unpaired
// surrogate is given as it is, bytes that are not UTF-8 as notUtf8.
template <typename Visit>
void forEachCodePoint(const ObjectTable& table, const ObjectTable::Object& object, Visit visit) {
    if (object.marker == AsciiMarker) {
        const std::string_view bytes = table.bytes(object.content, object.count);
        for (size_t at = 0; at < bytes.size();)
            if (!visit(nextUtf8(bytes, at))) return;
        return;
    }
    for (uint64_t i = 0; i < object.count; ++i) {
        auto c = static_cast<char32_t>(table.number(object.content + 2 * i, 2));
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < object.count) {
            const auto low = static_cast<char32_t>(table.number(object.content + 2 * i + 2, 2));
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (!visit(c)) return;
    }
}

// Whether an ASCII string object is printable ASCII, tab, line feed and carriage return only, so that
// every character of it is one XML allows.
bool isPlainAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return (c >= 0x20 && c < 0x7F) || c == '\t' || c == '\n' || c == '\r'; });
}

// The walk: each object is checked once, however often it is shared; each container's expanded node
// count and height are kept so that shared subtrees are not walked again.
class Walk {
  public:
    explicit Walk(const ObjectTable& table) : table_(table) {}

    // Why the list cannot be read; Read when it can.
    BinaryRead run() {
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
                if (auto refused = checkKey(key)) return *refused;
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

    static BinaryRead refuse(BinaryStatus status, std::string detail = {}) {
        return {status, nullptr, std::move(detail)};
    }

    // Starts on the unseen object `index`: a container is pushed, a leaf checked and done.
    std::optional<BinaryRead> enter(uint64_t index) {
        ObjectTable::Object object;
        if (!table_.object(index, object)) return refuse(BinaryStatus::Malformed);
        const bool dictionary = object.marker == DictionaryMarker;
        if (!dictionary && object.marker != ArrayMarker && object.marker != SetMarker)
            return checkLeaf(index);
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

    // Checks a key: a string, as checkLeaf has it.
    std::optional<BinaryRead> checkKey(uint64_t index) {
        ObjectTable::Object object;
        if (!table_.object(index, object) || !isText(object.marker)) return refuse(BinaryStatus::Malformed);
        return checkLeaf(index, true);
    }

    // Checks a leaf once: its content lies among the objects and is one that XML can hold: text of
    // characters XML allows, an integer within 64 bits, a real of four or eight bytes, a date with a
    // four-digit year, a UID within 32 bits.
    std::optional<BinaryRead> checkLeaf(uint64_t index, bool key = false) {
        if (state_[index] == Done) return std::nullopt;
        ObjectTable::Object object;
        if (!table_.object(index, object)) return refuse(BinaryStatus::Malformed);
        uint64_t height = 0;
        switch (object.marker) {
        case SingleMarker:
            if (object.count != 0x8 && object.count != 0x9) return refuse(BinaryStatus::Malformed);
            break;
        case IntegerMarker:
            if (object.count > 4 || !table_.fits(object.content, uint64_t(1) << object.count, 1))
                return refuse(BinaryStatus::Malformed);
            if (object.count == 4) {
                const uint64_t high = table_.number(object.content, 8),
                               low = table_.number(object.content + 8, 8);
                if (high != 0 && !(high == UINT64_MAX && low >> 63 == 1))
                    return refuse(BinaryStatus::IntegerTooLarge, "the integer at " + escaped(path()));
            }
            break;
        case RealMarker:
            if ((object.count != 2 && object.count != 3) ||
                !table_.fits(object.content, uint64_t(1) << object.count, 1))
                return refuse(BinaryStatus::Malformed);
            break;
        case DateMarker: {
            if (object.count != 3 || !table_.fits(object.content, 8, 1))
                return refuse(BinaryStatus::Malformed);
            const auto seconds = std::bit_cast<double>(table_.number(object.content, 8));
            if (!(seconds >= earliestDate && seconds < dateAfterLatest))
                return refuse(BinaryStatus::DateOutOfRange, "the date at " + escaped(path()));
            break;
        }
        case DataMarker:
            if (!table_.fits(object.content, object.count, 1)) return refuse(BinaryStatus::Malformed);
            break;
        case AsciiMarker:
        case Utf16Marker:
            if (auto refused = checkText(object, key)) return refused;
            break;
        case UidMarker:
            // The count is the number of bytes less one.
            if (object.count >= 8 || !table_.fits(object.content, object.count + 1, 1))
                return refuse(BinaryStatus::Malformed);
            if (table_.number(object.content, object.count + 1) >= uidLimit)
                return refuse(BinaryStatus::UidTooWide, "the UID at " + escaped(path()));
            height = 1; // read as a dictionary
            break;
        default:
            return refuse(BinaryStatus::Malformed);
        }
        state_[index] = Done;
        nodes_[index] = 1;
        height_[index] = static_cast<int>(height);
        return std::nullopt;
    }

    // Checks a string or key object: it lies among the objects, holds only characters XML allows, and
    // a UTF-16 one is not empty.
    std::optional<BinaryRead> checkText(const ObjectTable::Object& object, bool key) {
        const bool utf16 = object.marker == Utf16Marker;
        if ((utf16 && object.count == 0) || !table_.fits(object.content, object.count, utf16 ? 2 : 1))
            return refuse(BinaryStatus::Malformed);
        if (!utf16 && isPlainAscii(table_.bytes(object.content, object.count))) return std::nullopt;
        std::optional<char32_t> fault;
        forEachCodePoint(table_, object, [&](char32_t c) {
            if (!isXmlCharacter(c)) fault = c;
            return !fault;
        });
        if (!fault) return std::nullopt;
        const std::string what = *fault == notUtf8 ? "bytes that are not UTF-8" : codePointName(*fault);
        return refuse(BinaryStatus::InvalidCharacter,
                      (key ? "a key of " + escaped(containerPath()) : "the string at " + escaped(path())) +
                          " holds " + what);
    }

    // A string object's text as UTF-8, for naming a path.
    std::string decode(const ObjectTable::Object& object) const {
        std::string text;
        if (!isText(object.marker)) return text;
        forEachCodePoint(table_, object, [&](char32_t c) {
            appendUtf8(text, isXmlCharacter(c) ? c : 0xFFFD);
            return true;
        });
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

    const ObjectTable& table_;
    std::vector<uint8_t> state_;
    std::vector<uint64_t> nodes_;
    std::vector<int> height_;
    std::vector<Frame> stack_;
};

// Appends `c` as XML text holds it: the characters that would be markup, and carriage returns, which
// XML reads as line feeds, as references.
void appendEscaped(std::string& out, char32_t c) {
    switch (c) {
    case '&':
        out += "&amp;";
        return;
    case '<':
        out += "&lt;";
        return;
    case '>':
        out += "&gt;";
        return;
    case '\r':
        out += "&#13;";
        return;
    default:
        appendUtf8(out, c);
    }
}

// `value` in `digits` decimal digits, with leading zeros.
void appendDigits(char* at, int64_t value, int digits) {
    for (int i = digits - 1; i >= 0; --i, value /= 10)
        at[i] = static_cast<char>('0' + value % 10);
}

// Builds the tree of a list the walk has passed: every reference leads to a sound object, no container
// holds itself, and nesting is within bounds, so the recursion is too.
class Builder {
  public:
    Builder(const ObjectTable& table, Arena& arena, ContainerCounter& counter)
        : table_(table), arena_(arena), counter_(counter) {}

    // Makes the entries of the dictionary or array object `index` the children of `container`.
    void fill(Item& container, uint64_t index) {
        ObjectTable::Object object;
        table_.object(index, object);
        const bool dictionary = object.marker == DictionaryMarker;
        container.children.reserve(object.count, arena_);
        for (uint64_t i = 0; i < object.count; ++i) {
            const std::string_view name =
                dictionary ? text(table_.reference(object.content, i)) : elementName(i);
            const uint64_t child = table_.reference(object.content, dictionary ? object.count + i : i);
            container.children.push_back(node(child, name, container), arena_);
        }
    }

  private:
    const ObjectTable& table_;
    Arena& arena_;
    ContainerCounter& counter_;
    // "Item 0", "Item 1", ... made once for all the arrays of the list.
    std::vector<std::string_view> elementNames_;
    // The texts of string objects made in the arena, by object, so that a shared one is made once;
    // empty until the first is made.
    std::vector<std::string_view> texts_;

    std::string_view elementName(size_t index) {
        while (elementNames_.size() <= index)
            elementNames_.push_back(carryover::elementName(elementNames_.size(), arena_));
        return elementNames_[index];
    }

    Item* node(uint64_t index, std::string_view name, Item& parent) {
        Item* item = arena_.make<Item>();
        item->name = name;
        item->parent = &parent;
        ObjectTable::Object object;
        table_.object(index, object);
        switch (object.marker) {
        case SingleMarker:
            item->data = ItemData::boolean(object.count == 0x9);
            break;
        case IntegerMarker:
            item->data = integer(object);
            break;
        case RealMarker:
            item->data = ItemData::real(
                object.count == 2 ? double(std::bit_cast<float>(uint32_t(table_.number(object.content, 4))))
                                  : std::bit_cast<double>(table_.number(object.content, 8)));
            break;
        case DateMarker:
            item->data = ItemData(dateText(std::bit_cast<double>(table_.number(object.content, 8))),
                                  ItemDataType::Date);
            break;
        case DataMarker: {
            const std::string_view bytes = table_.bytes(object.content, object.count);
            item->data =
                ItemData::bytes(ByteView(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
            break;
        }
        case AsciiMarker:
        case Utf16Marker:
            item->data = ItemData(text(index), ItemDataType::String);
            break;
        case UidMarker: {
            startContainer(*item, ItemDataType::Dictionary);
            Item* uid = arena_.make<Item>();
            uid->name = "CF$UID";
            uid->parent = item;
            uid->data = ItemData::unsignedInteger(table_.number(object.content, object.count + 1));
            uid->nameCanonical = uid->valueCanonical = true;
            item->children.push_back(uid, arena_);
            break;
        }
        case DictionaryMarker:
        case ArrayMarker:
        case SetMarker:
            startContainer(*item, object.marker == DictionaryMarker ? ItemDataType::Dictionary
                                                                    : ItemDataType::Array);
            fill(*item, index);
            break;
        }
        const bool textual = item->type() == ItemDataType::String || item->type() == ItemDataType::Date;
        // Texts are held as XML spells them: one with "&" holds a reference, and compares by meaning.
        const auto plain = [](std::string_view text) {
            return text.find('&') == std::string_view::npos && isCanonicalAsWritten(text);
        };
        item->nameCanonical = plain(item->name);
        item->valueCanonical = !textual || plain(item->data.text());
        return item;
    }

    ItemData integer(const ObjectTable::Object& object) const {
        switch (object.count) {
        case 3: // eight bytes are signed
            return ItemData::integer(static_cast<int64_t>(table_.number(object.content, 8)));
        case 4: { // sixteen: above the signed range, or negative in eight bytes of ones
            const uint64_t high = table_.number(object.content, 8),
                           low = table_.number(object.content + 8, 8);
            return high == 0 ? ItemData::unsignedInteger(low) : ItemData::integer(static_cast<int64_t>(low));
        }
        default: // one, two or four bytes are unsigned
            return ItemData::integer(
                static_cast<int64_t>(table_.number(object.content, size_t(1) << object.count)));
        }
    }

    // The text of the string object `index` as XML holds it: the bytes of the file where they stand so,
    // else a text made in the arena.
    std::string_view text(uint64_t index) {
        ObjectTable::Object object;
        table_.object(index, object);
        if (object.marker == AsciiMarker) {
            const std::string_view bytes = table_.bytes(object.content, object.count);
            if (bytes.find_first_of("&<>\r") == std::string_view::npos) return bytes;
        }
        if (texts_.empty()) texts_.resize(table_.objects());
        std::string_view& made = texts_[index];
        if (made.data() != nullptr) return made;
        std::string out;
        forEachCodePoint(table_, object, [&](char32_t c) {
            appendEscaped(out, c);
            return true;
        });
        made = arena_.keep(out);
        if (made.data() == nullptr) made = std::string_view("", 0);
        return made;
    }

    // The XML text of a date `seconds` after 2001-01-01T00:00:00Z, to the second towards that moment.
    std::string_view dateText(double seconds) {
        const int64_t whole = static_cast<int64_t>(seconds);
        int64_t days = dateEpochDays + whole / 86400, second = whole % 86400;
        if (second < 0) second += 86400, --days;
        // Civil date from days since 1970-01-01, in eras of 400 years beginning in March.
        days += 719468;
        const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
        const int64_t dayOfEra = days - era * 146097;
        const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
        const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
        const int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
        const int64_t day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
        const int64_t month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
        const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
        char* text = arena_.room<char>(20);
        std::memcpy(text, "0000-00-00T00:00:00Z", 20);
        appendDigits(text, year, 4);
        appendDigits(text + 5, month, 2);
        appendDigits(text + 8, day, 2);
        appendDigits(text + 11, second / 3600, 2);
        appendDigits(text + 14, second / 60 % 60, 2);
        appendDigits(text + 17, second % 60, 2);
        return {text, 20};
    }

    void startContainer(Item& item, ItemDataType type) {
        char digits[24];
        const char* end = std::to_chars(digits, digits + sizeof digits, counter_.take()).ptr;
        item.data = ItemData(arena_.keep(std::string_view(digits, static_cast<size_t>(end - digits))), type);
    }
};

} // namespace

std::string BinaryRead::description() const {
    std::string reason;
    switch (status) {
    case BinaryStatus::Read:
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

BinaryRead readBinaryPlist(const std::string& path, std::string_view bytes, std::shared_ptr<const void> owner,
                           ContainerCounter& counter) {
    ObjectTable table(bytes);
    if (!table.open()) return {BinaryStatus::Malformed, nullptr, {}};
    BinaryRead checked = Walk(table).run();
    if (checked.status != BinaryStatus::Read) return checked;

    // Texts and data refer into the file's bytes wherever they stand there as read, so the tree's
    // arena keeps them.
    auto arena = std::make_shared<Arena>();
    arena->hold(std::move(owner));
    Item* root = arena->make<Item>();
    root->name = arena->keep(path);
    root->data = ItemData(bytes, ItemDataType::FileName);
    Builder(table, *arena, counter).fill(*root, table.top());
    return {BinaryStatus::Read, ownedBy(std::move(arena), root), {}};
}

} // namespace carryover
