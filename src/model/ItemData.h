// ItemData: the value of one node of a property-list tree, its kind, and the two comparisons the
// merge engine relies on: `<` to order array elements and `==` to find matched values equal.
#pragma once

#include <concepts>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <variant>
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
// the arena of the node's tree (see Item), or in the file text it holds.
class ItemData {
  public:
    // An Int above the signed 64-bit range is held as uint64_t, every other Int as int64_t, so that
    // each whole number has one form.
    using Value = std::variant<std::string_view, bool, int64_t, double, ByteView, uint64_t>;

    // The empty text of kind None.
    ItemData() = default;
    // A text value; for the kinds that hold text (None, FileName, Date, String, Dictionary, Array, Error,
    // End). `text` must outlive this value.
    ItemData(std::string_view text, ItemDataType type) : data(text), type(type) {}
    template <typename Text>
    requires std::same_as<Text, std::string> ItemData(Text&& text, ItemDataType type)
    = delete; // would hold a view of a dying text
    static ItemData boolean(bool value) { return ItemData(ItemDataType::Bool, value); }
    static ItemData integer(int64_t value) { return ItemData(ItemDataType::Int, value); }
    // An Int holding `value`, which may lie above the signed 64-bit range.
    static ItemData unsignedInteger(uint64_t value) {
        if (value <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
            return integer(static_cast<int64_t>(value));
        return ItemData(ItemDataType::Int, value);
    }
    static ItemData real(double value) { return ItemData(ItemDataType::Double, value); }
    // A Data value; `value` must outlive it.
    static ItemData bytes(ByteView value) { return ItemData(ItemDataType::Data, value); }
    static ItemData bytes(Bytes&& value) = delete; // would hold a view of dying bytes

    Value data;
    ItemDataType type = ItemDataType::None;

    // The value read as the alternative its kind holds.
    std::string_view text() const { return std::get<std::string_view>(data); }
    bool boolValue() const { return std::get<bool>(data); }
    // An Int within the signed 64-bit range.
    int64_t intValue() const { return std::get<int64_t>(data); }
    double doubleValue() const { return std::get<double>(data); }
    ByteView bytesValue() const { return std::get<ByteView>(data); }

    // An Int's value in decimal, "-" in front of a negative one.
    std::string integerText() const;

    // The kind's display name: "Bool", "Int", ..., "Fehler" for Error, "" for None, FileName and End.
    std::string_view typeString() const;

    // Whether the kind stands for property-list content: every kind but None, Error and End, which
    // are neither written nor shown.
    bool hasPlistForm() const;

  private:
    ItemData(ItemDataType type, Value value) : data(value), type(type) {}
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
