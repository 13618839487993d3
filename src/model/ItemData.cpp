// Display names and the two comparisons of ItemData.
#include "model/ItemData.h"

#include <charconv>

#include "model/Text.h"

namespace carryover {

namespace {

// A container's serial number, read back from its decimal text; 0 when the text spells none.
int64_t serialNumber(const std::string& text) {
    int64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

} // namespace

std::string_view ItemData::typeString() const {
    switch (type) {
    case ItemDataType::None:
    case ItemDataType::FileName:
    case ItemDataType::End:
        return "";
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
        return "Fehler";
    }
    return "";
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
        return left.intValue() < right.intValue();
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
        return left.bytesValue() == right.bytesValue();
    case ItemDataType::Double:
        return left.doubleValue() == right.doubleValue();
    case ItemDataType::Int:
        return left.intValue() == right.intValue();
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
