// ItemData: the value of one node of a property-list tree, its kind, and the two comparisons the
// merge engine relies on: `<` to order array elements and `==` to find matched values equal.
#pragma once

#include <concepts>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace carryover {

// The kind of a node. The numbering is stable: it is the declaration order.
enum class ItemDataType : uint8_t {
    None,       // an element the reader does not know, a default node, or the "Fehler" node
    FileName,   // the root of a tree read from a file; holds the whole file text
    Bool,       // <true/> or <false/>
    Data,       // <data>: the decoded bytes
    Date,       // <date>: the text between the tags, as read
    Double,     // <real> (or <float>)
    Int,        // <integer>: a whole number from -2^63 to 2^64-1
    String,     // <string>: the text as read
    Dictionary, // <dict>: holds the container's serial number as decimal text
    Array,      // <array>: holds the container's serial number as decimal text
    Error,      // the root of a file that could not be read: "Dateifehler: " and the path
    End,        // the marker a closing </dict> or </array> yields while reading; never kept in a tree
};

using Bytes = std::vector<uint8_t>;
using ByteView = std::span<const uint8_t>;

// A kind and the value that belongs to it; copied by value. Texts and bytes are views: they live in
// the arena of the node's tree (see Item), or in the file text it holds. The kind tells which value is
// held, so none is kept beside it: a text for None, FileName, Date, String, Dictionary, Array, Error
// and End, a flag for Bool, bytes for Data, a double for Double, and a whole number for Int.
class ItemData {
  public:
    // The empty text of kind None.
    ItemData() = default;
    // A text value; for the kinds that hold text. `text` must outlive this value.
    ItemData(std::string_view text, ItemDataType type) : type(type) {
        value_.run = {text.data(), text.size()};
    }
    template <typename Text>
    requires std::same_as<Text, std::string> ItemData(Text&& text, ItemDataType type)
    = delete; // would hold a view of a dying text
    static ItemData boolean(bool value) {
        ItemData data(ItemDataType::Bool);
        data.value_.flag = value;
        return data;
    }
    static ItemData integer(int64_t value) {
        ItemData data(ItemDataType::Int);
        data.value_.integer = value;
        return data;
    }
    // An Int holding `value`, which may lie above the signed 64-bit range. Each whole number has one
    // form: only a number above that range is held as unsigned.
    static ItemData unsignedInteger(uint64_t value) {
        if (value <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
            return integer(static_cast<int64_t>(value));
        ItemData data(ItemDataType::Int);
        data.value_.wide = value;
        data.wide_ = true;
        return data;
    }
    static ItemData real(double value) {
        ItemData data(ItemDataType::Double);
        data.value_.real = value;
        return data;
    }
    // A Data value; `value` must outlive it.
    static ItemData bytes(ByteView value) {
        ItemData data(ItemDataType::Data);
        data.value_.run = {reinterpret_cast<const char*>(value.data()), value.size()};
        return data;
    }
    static ItemData bytes(Bytes&& value) = delete; // would hold a view of dying bytes

    // Whether the kind holds a text.
    bool holdsText() const;
    // The value of the kind held; a text of a kind that holds none is empty, any other value zero.
    std::string_view text() const {
        return holdsText() ? std::string_view(value_.run.data, value_.run.size) : std::string_view();
    }
    bool boolValue() const { return type == ItemDataType::Bool && value_.flag; }
    // An Int within the signed 64-bit range.
    int64_t intValue() const { return type == ItemDataType::Int && !wide_ ? value_.integer : 0; }
    // Whether this is an Int above the signed 64-bit range, and that number.
    bool isWide() const { return type == ItemDataType::Int && wide_; }
    uint64_t wideValue() const { return isWide() ? value_.wide : 0; }
    double doubleValue() const { return type == ItemDataType::Double ? value_.real : 0.0; }
    ByteView bytesValue() const {
        if (type != ItemDataType::Data) return {};
        return {reinterpret_cast<const uint8_t*>(value_.run.data), value_.run.size};
    }

    // An Int's value in decimal, "-" in front of a negative one.
    std::string integerText() const;

    // The kind's display name: "Bool", "Int", ..., "Fehler" for Error, "" for None, FileName and End.
    std::string_view typeString() const;

    // Whether the kind stands for property-list content: every kind but None, Error and End, which
    // are neither written nor shown.
    bool hasPlistForm() const;

  private:
    explicit ItemData(ItemDataType type) : type(type) {}
    struct Run { // a text's or bytes' place
        const char* data;
        size_t size;
    };
    union Value {
        Run run;
        bool flag;
        int64_t integer;
        uint64_t wide;
        double real;
    };
    Value value_{};

  public:
    ItemDataType type = ItemDataType::None; // declared after the value, so that both fit in 24 bytes

  private:
    bool wide_ = false; // an Int held as uint64_t
};

// Whether `left` sorts before `right`. Values of different kinds are never ordered, nor are None,
// FileName and End values. Bools: false before true; numbers as numbers (NaN never ordered, whole numbers by
// their value across the signed and unsigned ranges); byte buffers by length only; strings, dates and errors
// in NFC text order; containers by serial number.
bool operator<(const ItemData& left, const ItemData& right);

// Whether both hold the same value: NFC-equal texts, equal bytes, IEEE-equal numbers (0.0 == -0.0),
// the same serial number. Never true across kinds, nor for None, FileName and End.
bool operator==(const ItemData& left, const ItemData& right);

// The enumeration case name of a kind: "None", "FileName", "Bool", ...
std::string_view typeName(ItemDataType type);

} // namespace carryover
