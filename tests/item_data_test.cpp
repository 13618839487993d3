// Ordering, equality and display names of values.
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
} // namespace

TEST(ItemDataOrder, kindsNeverMix) {
    EXPECT_FALSE(ItemData::integer(1) < ItemData::real(1.0));
    EXPECT_FALSE(ItemData::real(1.0) < ItemData::integer(1));
    EXPECT_FALSE(ItemData::integer(1) == ItemData::real(1.0));
    EXPECT_FALSE(text("1") == ItemData("1", ItemDataType::Date));
}

TEST(ItemDataOrder, kindsWithoutValueAreNeverEqual) {
    EXPECT_FALSE(ItemData() == ItemData());
    EXPECT_FALSE(ItemData("x", ItemDataType::FileName) == ItemData("x", ItemDataType::FileName));
    EXPECT_FALSE(ItemData("", ItemDataType::End) < ItemData("", ItemDataType::End));
}

TEST(ItemDataOrder, booleans) {
    EXPECT_TRUE(ItemData::boolean(false) < ItemData::boolean(true));
    EXPECT_FALSE(ItemData::boolean(true) < ItemData::boolean(false));
    EXPECT_FALSE(ItemData::boolean(false) < ItemData::boolean(false));
    EXPECT_TRUE(ItemData::boolean(true) == ItemData::boolean(true));
}

TEST(ItemDataOrder, byteBuffersOrderByLengthOnly) {
    EXPECT_TRUE(bytes({9, 9, 9}) < bytes({0, 0, 0, 0}));
    EXPECT_FALSE(bytes({'a', 'b', 'c'}) < bytes({'a', 'b', 'd'}));
    EXPECT_FALSE(bytes({'a', 'b', 'd'}) < bytes({'a', 'b', 'c'}));
    EXPECT_FALSE(bytes({'a', 'b', 'c'}) == bytes({'a', 'b', 'd'}));
    EXPECT_TRUE(bytes({}) == bytes({}));
    EXPECT_FALSE(bytes({}) < bytes({}));
}

TEST(ItemDataOrder, doublesFollowIeee) {
    const double nan = std::nan("");
    EXPECT_FALSE(ItemData::real(nan) == ItemData::real(nan));
    EXPECT_FALSE(ItemData::real(nan) < ItemData::real(1));
    EXPECT_FALSE(ItemData::real(1) < ItemData::real(nan));
    EXPECT_TRUE(ItemData::real(-0.0) == ItemData::real(0.0));
    EXPECT_FALSE(ItemData::real(-0.0) < ItemData::real(0.0));
    EXPECT_TRUE(ItemData::integer(-7) < ItemData::integer(3));
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
        for (size_t j = 0; j < std::size(values); ++j) {
            EXPECT_EQ(values[i] < values[j], i < j) << i << " " << j;
            EXPECT_EQ(values[i] == values[j], i == j) << i << " " << j;
        }
    // One form per value, however it was made.
    EXPECT_TRUE(ItemData::unsignedInteger(5) == ItemData::integer(5));
    EXPECT_EQ(values[5].integerText(), "18446744073709551615");
    EXPECT_EQ(values[0].integerText(), "-9223372036854775808");
}

TEST(ItemDataOrder, textsCompareInCanonicalForm) {
    EXPECT_TRUE(text("B") < text("a"));
    EXPECT_TRUE(text("Zeta") < text("alpha"));
    EXPECT_TRUE(text("a") < text("ab"));
    EXPECT_FALSE(text("a") < text("a"));
    const ItemData precomposed = text("caf\xC3\xA9"), decomposed = text("cafe\xCC\x81");
    EXPECT_TRUE(precomposed == decomposed);
    EXPECT_FALSE(precomposed < decomposed);
    EXPECT_FALSE(decomposed < precomposed);
    EXPECT_TRUE(text("cafe") < decomposed);
    EXPECT_TRUE(ItemData("Dateifehler: a", ItemDataType::Error) ==
                ItemData("Dateifehler: a", ItemDataType::Error));
}

TEST(ItemDataOrder, containersBySerialNumber) {
    const ItemData first("9", ItemDataType::Dictionary), second("10", ItemDataType::Dictionary);
    EXPECT_TRUE(first < second); // numerically, not as text
    EXPECT_TRUE(first == ItemData("9", ItemDataType::Dictionary));
    EXPECT_FALSE(first == second);
    EXPECT_FALSE(first == ItemData("9", ItemDataType::Array));
}
