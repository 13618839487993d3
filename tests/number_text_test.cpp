// The values of <integer> and <real> text, and the text a real is written as.
#include <gtest/gtest.h>

#include <cmath>

#include "plist/DoubleText.h"
#include "plist/NumberText.h"

using namespace carryover;

TEST(NumberText, integers) {
    struct Case {
        const char* text;
        const char* value; // the decimal text of the value, or nullptr when out of range
    } cases[] = {
        {"12abc", "12"},
        {" \t-7 \n", "-7"},
        {"+5", "5"},
        {"0x1F", "31"},
        {"0X1f", "31"},
        {"-0x10", "-16"},
        {"0x", "0"},
        {"0xg", "0"},
        {"", "0"},
        {"-", "0"},
        {"abc", "0"},
        {"007", "7"},
        {"-0", "0"},
        {"9223372036854775807", "9223372036854775807"},
        {"9223372036854775808", "9223372036854775808"},
        {"18446744073709551615", "18446744073709551615"},
        {"0xFFFFFFFFFFFFFFFF", "18446744073709551615"},
        {"-9223372036854775808", "-9223372036854775808"},
        {"-0x8000000000000000", "-9223372036854775808"},
        {"18446744073709551616", nullptr},
        {"0x10000000000000000", nullptr},
        {"-9223372036854775809", nullptr},
        {"-18446744073709551615", nullptr},
        {"99999999999999999999999", nullptr},
    };
    for (const Case& c : cases) {
        const std::optional<ItemData> value = scanInteger(c.text);
        ASSERT_EQ(value.has_value(), c.value != nullptr) << c.text;
        if (value) {
            EXPECT_EQ(value->integerText(), c.value) << c.text;
        }
    }
}

TEST(NumberText, reals) {
    struct Case {
        const char* text;
        const char* value; // as the writer writes it
    } cases[] = {
        {"1.5", "1.5"},
        {" -2 ", "-2.0"},
        {"+.5x", "0.5"},
        {"5.", "5.0"},
        {"1e5", "100000.0"},
        {"1E-2", "0.01"},
        {"2e", "2.0"},
        {"2e+x", "2.0"},
        {".", "0.0"},
        {"", "0.0"},
        {"0x10", "0.0"},
        {"inf", "+infinity"},
        {"+INF", "+infinity"},
        {"-inf", "-infinity"},
        {"Infinity", "+infinity"},
        {"-infinityx", "-infinity"},
        {"nan", "nan"},
        {"-NaN", "nan"},
        {"1e400", "+infinity"},
        {"-1e400", "-infinity"},
        {"1e-400", "0.0"},
        {"-1e-400", "-0.0"},
        {"4e-324", "5e-324"},
        {"in", "0.0"},
        // The shortest text that reads back as the same double.
        {"100", "100.0"},
        {"0.0001", "0.0001"},
        {"0.00001", "1e-05"},
        {"1.5e20", "1.5e+20"},
        {"1e16", "1e+16"},
        {"9999999999999998", "9999999999999998.0"},
        {"0.333333333333333314829616256247", "0.3333333333333333"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(doubleText(scanReal(c.text)), c.value) << c.text;
}
