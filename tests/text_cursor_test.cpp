// The scans of TextCursor.
#include <gtest/gtest.h>

#include <limits>

#include "plist/TextCursor.h"

using namespace carryover;

TEST(TextCursor, literalsIgnoreAsciiCaseAndSkipBlanks) {
    TextCursor cursor(" \t\n<DiCt>rest");
    EXPECT_TRUE(cursor.scanString("<dict>"));
    EXPECT_EQ(cursor.scanUpToString("</x>").value(), "rest");
    EXPECT_TRUE(cursor.isAtEnd());
}

TEST(TextCursor, unicodeBlanksAreSkipped) {
    // NEL, no-break space, ogham, en quad, hair space, line and paragraph separators, narrow no-break,
    // medium mathematical and ideographic spaces.
    TextCursor cursor("\xC2\x85\xC2\xA0\xE1\x9A\x80\xE2\x80\x80\xE2\x80\x8A\xE2\x80\xA8\xE2\x80\xA9"
                      "\xE2\x80\xAF\xE2\x81\x9F\xE3\x80\x80x");
    EXPECT_TRUE(cursor.scanString("x"));
    TextCursor zeroWidth("\xE2\x80\x8Bx"); // U+200B is not a blank
    EXPECT_FALSE(zeroWidth.scanString("x"));
    EXPECT_FALSE(TextCursor("\xE2\x80\x8B").isAtEnd());
}

TEST(TextCursor, scanThatYieldsNothingDoesNotMove) {
    TextCursor cursor("   </key>tail");
    EXPECT_FALSE(cursor.scanUpToString("</key>"));
    EXPECT_EQ(cursor.position(), 0u);
    EXPECT_FALSE(cursor.scanString("<x>"));
    EXPECT_EQ(cursor.position(), 0u);
    EXPECT_FALSE(cursor.scanInt());
    EXPECT_FALSE(cursor.scanDouble());
    EXPECT_EQ(cursor.position(), 0u);
    EXPECT_TRUE(cursor.scanString("</KEY>"));
}

TEST(TextCursor, collectsToTheEndWhenTheLiteralIsMissingAndKeepsTrailingBlanks) {
    TextCursor cursor("  a b  ");
    EXPECT_EQ(cursor.scanUpToString("<").value(), "a b  ");
    EXPECT_TRUE(cursor.isAtEnd());
    EXPECT_FALSE(cursor.scanUpToString("<"));
}

TEST(TextCursor, literalSearchDoesNotStopAtAPartialMatch) {
    TextCursor cursor("a</strin</STRING>");
    EXPECT_EQ(cursor.scanUpToString("</string>").value(), "a</strin");
}

TEST(TextCursor, integers) {
    struct Case {
        const char* text;
        std::optional<int64_t> value;
        size_t end;
    } cases[] = {
        {"12abc", 12, 2},
        {" -7 ", -7, 3},
        {"+5", 5, 2},
        {"0x1F", 0, 1},
        {"-", std::nullopt, 0},
        {"abc", std::nullopt, 0},
        {"9223372036854775807", std::numeric_limits<int64_t>::max(), 19},
        {"9223372036854775808", std::numeric_limits<int64_t>::max(), 19},
        {"-9223372036854775808", std::numeric_limits<int64_t>::min(), 20},
        {"-99999999999999999999999", std::numeric_limits<int64_t>::min(), 24},
    };
    for (const Case& c : cases) {
        TextCursor cursor(c.text);
        EXPECT_EQ(cursor.scanInt(), c.value) << c.text;
        EXPECT_EQ(cursor.position(), c.end) << c.text;
    }
}

TEST(TextCursor, doubles) {
    struct Case {
        const char* text;
        std::optional<double> value;
        size_t end;
    } cases[] = {
        {"1.5", 1.5, 3},
        {"-2", -2.0, 2},
        {"+.5x", 0.5, 3},
        {"5.", 5.0, 2},
        {"1e5", 1e5, 3},
        {"1E-2", 0.01, 4},
        {"2e", 2.0, 1}, // no digit after the exponent mark: not consumed
        {"2e+x", 2.0, 1},
        {".", std::nullopt, 0},
        {"inf", std::nullopt, 0},
        {"nan", std::nullopt, 0},
        {"0x10", 0.0, 1},
        {"1e400", std::numeric_limits<double>::max(), 5},
        {"-1e400", -std::numeric_limits<double>::max(), 6},
        {"1e-400", 0.0, 6},
    };
    for (const Case& c : cases) {
        TextCursor cursor(c.text);
        EXPECT_EQ(cursor.scanDouble(), c.value) << c.text;
        EXPECT_EQ(cursor.position(), c.end) << c.text;
    }
}

TEST(TextCursor, scanThroughIsScanUpToStringThenScanString) {
    for (std::string_view text : {"abc</k>rest", "  </k>rest", "</k>", "  abc  ", "", "ab</K>", "x</k"}) {
        TextCursor pair(text), fused(text);
        const auto expected = pair.scanUpToString("</k>");
        pair.scanString("</k>");
        EXPECT_EQ(fused.scanThrough("</k>"), expected) << text;
        EXPECT_EQ(fused.position(), pair.position()) << text;
    }
}
