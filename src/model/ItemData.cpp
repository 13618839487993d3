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

// Whether the whole number `left` holds is less than the one `right` holds; a wide number is always
// above every other.
bool integerLess(const ItemData& left, const ItemData& right) {
    if (left.isWide() != right.isWide()) return right.isWide();
    if (left.isWide()) return left.wideValue() < right.wideValue();
    return left.intValue() < right.intValue();
}

} // namespace

std::string ItemData::integerText() const {
    return isWide() ? std::to_string(wideValue()) : std::to_string(intValue());
}

bool ItemData::holdsText() const {
    switch (type) {
    case ItemDataType::Bool:
    case ItemDataType::Data:
    case ItemDataType::Double:
    case ItemDataType::Int:
        return false;
    case ItemDataType::None:
    case ItemDataType::FileName:
    case ItemDataType::Date:
    case ItemDataType::String:
    case ItemDataType::Dictionary:
    case ItemDataType::Array:
    case ItemDataType::Error:
    case ItemDataType::End:
        return true;
    }
    return false;
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
        return integerLess(left, right);
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
        return !integerLess(left, right) && !integerLess(right, left);
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
