// Hostile input: documents built to exhaust the stack, memory or time, or to slip data past the
// loading step. Each is refused with a reason, or read in full; none crashes or loses a value.
#include <gtest/gtest.h>

#include "BinaryPlistBytes.h"
#include "PlistText.h"
#include "plist/Loading.h"

using namespace carryover;
using namespace carryover::test;
using namespace std::string_literals;

TEST(Hostile, deepBinaryNestingIsRefusedWithoutRecursion) {
    std::vector<std::string> objects = {container(true, {1, 2}, 4), asciiString("a")};
    for (uint64_t i = 0; i < 1'000'000; ++i)
        objects.push_back(container(false, {3 + i}, 4));
    objects.push_back("\x10\x01");
    EXPECT_EQ(load(binaryList(objects, 4)).status, LoadStatus::TooDeep);
}

TEST(Hostile, everyTruncationOfABinaryListIsRefused) {
    const std::string whole = binaryEntry(container(false, {3, 4, 5}, 1),
                                          {asciiString("x"), utf16String({0xE9, 0x20}), integer64(7)});
    ASSERT_TRUE(load(whole).loaded());
    for (size_t length = 0; length < whole.size(); ++length)
        EXPECT_FALSE(load(whole.substr(0, length)).loaded()) << length;
}

TEST(Hostile, nulBytesAndInvalidUtf8AreRefused) {
    std::vector<std::string> documents = {
        document("<key>a</key><string>x\0y</string>"s),
        document("<key>a\0</key><string>x</string>"s),
        document("<key>a</key>\0<string>x</string>"s),
        document("<key>a</key><integer>1\0</integer>"s),
        "\0"s + document("<key>a</key><string>x</string>"),
        document("<key>a</key><string>x</string>") + "\0"s,
        document("<key>a</key><string>&#0;</string>"),
    };
    for (const char* sequence : {
             "\x80",             // a lone continuation byte
             "\xC0\xAF",         // an overlong '/'
             "\xE0\x80\xAF",     // an overlong '/' in three bytes
             "\xED\xA0\x80",     // a surrogate
             "\xF4\x90\x80\x80", // beyond U+10FFFF
             "\xC3",             // a truncated sequence
             "\xFF",             // never in UTF-8
             "\xEF\xBF\xBE",     // U+FFFE, UTF-8 but no XML character
         }) {
        documents.push_back(document("<key>a</key><string>" + std::string(sequence) + "</string>"));
        documents.push_back(document("<key>" + std::string(sequence) + "</key><true/>"));
        documents.push_back(document("<!-- " + std::string(sequence) + " --><key>a</key><true/>"));
    }
    for (const std::string& bytes : documents) {
        LoadResult result = load(bytes);
        EXPECT_FALSE(result.loaded()) << bytes;
        EXPECT_TRUE(result.message.starts_with("Error reading plist: ")) << result.message;
    }
}
