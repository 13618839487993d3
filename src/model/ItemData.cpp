// Display names and the two comparisons of ItemData.
#include "model/ItemData.h"

#include <algorithm>
#include <charconv>

#include "model/Text.h"

namespace carryover {

namespace {

// A container's serial number, read back from its decimal text; 0 when the text spells none.
int64_t serialNumber(std::string_view text) {
    int64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// Whether the whole number `left` holds is less than the one `right` holds; a uint64_t is always
// above every int64_t.
bool integerLess(const ItemData::Value& left, const ItemData::Value& right) {
    const bool leftLarge = std::holds_alternative<uint64_t>(left),
               rightLarge = std::holds_alternative<uint64_t>(right);
    if (leftLarge != rightLarge) return rightLarge;
    if (leftLarge) return std::get<uint64_t>(left) < std::get<uint64_t>(right);
    return std::get<int64_t>(left) < std::get<int64_t>(right);
}

} // namespace

std::string ItemData::integerText() const {
    if (const auto* large = std::get_if<uint64_t>(&data)) return std::to_string(*large);
    return std::to_string(intValue());
}

std::string_view ItemData::typeString() const {
    switch (type) {
    case ItemDataType::None:
    case ItemDataType::FileName:
    case ItemDataType::End:
        return "";
    case ItemDataType::Error:
        return "Fehler";
    case ItemDataType::Bool:
    case ItemDataType::Data:
    case ItemDataType::Date:
    case ItemDataType::Double:
    case ItemDataType::Int:
    case ItemDataType::String:
    case ItemDataType::Dictionary:
    case ItemDataType::Array:
        return typeName(type);
    }
    return "";
}

bool ItemData::hasPlistForm() const {
    switch (type) {
    case ItemDataType::None:
    case ItemDataType::Error:
    case ItemDataType::End:
        return false;
    case ItemDataType::FileName:
    case ItemDataType::Bool:
    case ItemDataType::Data:
    case ItemDataType::Date:
    case ItemDataType::Double:
    case ItemDataType::Int:
    case ItemDataType::String:
    case ItemDataType::Dictionary:
    case ItemDataType::Array:
        return true;
    }
    return false;
}

std::string_view typeName(ItemDataType type) {
    switch (type) {
    case ItemDataType::None:
        return "None";
    case ItemDataType::FileName:
        return "FileName";
    case ItemDataType::Bool:
        return "Bool";
    case ItemDataType::Data:
        return "Data";
    case ItemDataType::Date:
        return "Date";
    case ItemDataType::Double:
        return "Double";
    case ItemDataType::Int:
        return "Int";
    case ItemDataType::String:
        return "String";
    case ItemDataType::Dictionary:
        return "Dictionary";
    case ItemDataType::Array:
        return "Array";
    case ItemDataType::Error:
        return "Error";
    case ItemDataType::End:
        return "End";
    }
    return "";
}

bool operator<(const ItemData& left, const ItemData& right) {
    if (left.type != right.type) return false;
    switch (left.type) {
    case ItemDataType::None:
    case ItemDataType::FileName:
    case ItemDataType::End:
        return false;
    case ItemDataType::Bool:
        return !left.boolValue() && right.boolValue();
    case ItemDataType::Data:
        return left.bytesValue().size() < right.bytesValue().size();
    case ItemDataType::Double:
        return left.doubleValue() < right.doubleValue();
    case ItemDataType::Int:
        return integerLess(left.data, right.data);
    case ItemDataType::Date: // dates are held as the text read, ordered as text
    case ItemDataType::String:
    case ItemDataType::Error:
        return textLess(left.text(), right.text());
    case ItemDataType::Dictionary:
    case ItemDataType::Array:
        return serialNumber(left.text()) < serialNumber(right.text());
    }
    return false;
}

bool operator==(const ItemData& left, const ItemData& right) {
    if (left.type != right.type) return false;
    switch (left.type) {
    case ItemDataType::None:
    case ItemDataType::FileName:
    case ItemDataType::End:
        return false;
    case ItemDataType::Bool:
        return left.boolValue() == right.boolValue();
    case ItemDataType::Data:
        return std::ranges::equal(left.bytesValue(), right.bytesValue());
    case ItemDataType::Double:
        return left.doubleValue() == right.doubleValue();
    case ItemDataType::Int:
        return !integerLess(left.data, right.data) && !integerLess(right.data, left.data);
    case ItemDataType::Date:
    case ItemDataType::String:
    case ItemDataType::Error:
        return textEqual(left.text(), right.text());
    case ItemDataType::Dictionary:
    case ItemDataType::Array:
        return serialNumber(left.text()) == serialNumber(right.text());
    }
    return false;
}

} // namespace carryover
