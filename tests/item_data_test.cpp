// Ordering and equality of values.
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <limits>

#include "model/ItemData.h"

using namespace carryover;

namespace {

ItemData text(std::string_view value) {
    return ItemData(value, ItemDataType::String);
}
// A Data value whose bytes last until the tests end.
ItemData bytes(Bytes value) {
    static std::deque<Bytes> kept;
    return ItemData::bytes(kept.emplace_back(std::move(value)));
}
// "=", "<" or ">" as `a` relates to `b`, more than one when the operators disagree, "none" for no relation.
std::string relation(const ItemData& a, const ItemData& b) {
    std::string result = std::string(a == b ? "=" : "") + (a < b ? "<" : "") + (b < a ? ">" : "");
    return result.empty() ? "none" : result;
}

} // namespace

TEST(ItemDataOrder, pairsOfValues) {
    const double nan = std::nan("");
    const struct {
        ItemData a, b;
        const char* relation;
    } cases[] = {
        // Kinds never mix; kinds without a value are never equal.
        {ItemData::integer(1), ItemData::real(1.0), "none"},
        {text("1"), ItemData("1", ItemDataType::Date), "none"},
        {ItemData(), ItemData(), "none"},
        {ItemData("x", ItemDataType::FileName), ItemData("x", ItemDataType::FileName), "none"},
        {ItemData("", ItemDataType::End), ItemData("", ItemDataType::End), "none"},
        {ItemData::boolean(false), ItemData::boolean(true), "<"},
        {ItemData::boolean(true), ItemData::boolean(true), "="},
        // Byte buffers order by length only.
        {bytes({9, 9, 9}), bytes({0, 0, 0, 0}), "<"},
        {bytes({'a', 'b', 'c'}), bytes({'a', 'b', 'd'}), "none"},
        {bytes({}), bytes({}), "="},
        // Doubles as IEEE says.
        {ItemData::real(nan), ItemData::real(nan), "none"},
        {ItemData::real(nan), ItemData::real(1), "none"},
        {ItemData::real(-0.0), ItemData::real(0.0), "="},
        {ItemData::unsignedInteger(5), ItemData::integer(5), "="},
        // Texts in canonical form, then by code point.
        {text("B"), text("a"), "<"},
        {text("Zeta"), text("alpha"), "<"},
        {text("a"), text("ab"), "<"},
        {text("caf\xC3\xA9"), text("cafe\xCC\x81"), "="},
        {text("cafe"), text("cafe\xCC\x81"), "<"},
        // Texts by what they stand for: references resolved.
        {text("&#97;"), text("a"), "="},
        {text("b&amp;c"), text("b&#38;c"), "="},
        {text("caf&#xE9;"), text("cafe\xCC\x81"), "="},
        {text("&#60;x&gt;"), text("&lt;x>"), "="},
        {text("&#122;"), text("b"), ">"},
        {ItemData("2020&#45;01", ItemDataType::Date), ItemData("2020-01", ItemDataType::Date), "="},
        {ItemData("Dateifehler: a", ItemDataType::Error), ItemData("Dateifehler: a", ItemDataType::Error),
         "="},
        // Containers by serial number, numerically.
        {ItemData("9", ItemDataType::Dictionary), ItemData("10", ItemDataType::Dictionary), "<"},
        {ItemData("9", ItemDataType::Dictionary), ItemData("9", ItemDataType::Dictionary), "="},
        {ItemData("9", ItemDataType::Dictionary), ItemData("9", ItemDataType::Array), "none"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(relation(c.a, c.b), c.relation) << relation(c.b, c.a);
}

TEST(ItemDataOrder, wholeNumbersByValueAcrossTheSignedRange) {
    const int64_t lowest = std::numeric_limits<int64_t>::min(), highest = std::numeric_limits<int64_t>::max();
    const ItemData values[] = {ItemData::integer(lowest),
                               ItemData::integer(-1),
                               ItemData::integer(0),
                               ItemData::integer(highest),
                               ItemData::unsignedInteger(uint64_t(highest) + 1),
                               ItemData::unsignedInteger(std::numeric_limits<uint64_t>::max())};
    for (size_t i = 0; i < std::size(values); ++i)
        for (size_t j = 0; j < std::size(values); ++j)
            EXPECT_EQ(relation(values[i], values[j]), i < j ? "<" : i == j ? "=" : ">") << i << " " << j;
}
