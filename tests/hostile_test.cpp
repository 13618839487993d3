// Hostile input: documents built to exhaust the stack, memory or time, or to slip data past the
// loading step. Each is refused with a reason, or read in full; none crashes or loses a value.
#include <gtest/gtest.h>

#include <fstream>

#include "BinaryPlistBytes.h"
#include "PlistText.h"
#include "TemporaryFile.h"
#include "plist/Loading.h"
#include "plist/Writer.h"

using namespace carryover;
using carryover::test::load;
using namespace std::string_literals;

namespace {

// `levels` arrays, one inside the other, as the value of the top-level entry "a".
std::string nestedArrays(size_t levels) {
    std::string entries = "<key>a</key>";
    entries.reserve(levels * 15 + 32);
    for (size_t i = 0; i < levels; ++i)
        entries += "<array>";
    for (size_t i = 0; i < levels; ++i)
        entries += "</array>";
    return test::document(entries);
}

// A document holding one of each kind of value, nested.
const std::string everyKind = test::document(
    "<key>s</key><string> x &amp; y</string><key>i</key><integer>-3</integer><key>r</key><real>2.5</real>"
    "<key>t</key><true/><key>f</key><false/><key>d</key><date>2020-01-02T03:04:05Z</date>"
    "<key>b</key><data>AAECAw==</data><key>e</key><array/><key>n</key><dict><key>Enabled</key><false/>"
    "<key>list</key><array><string>#off</string><integer>1</integer></array></dict>");

} // namespace

TEST(Hostile, deepNestingIsRefusedWithoutRecursion) {
    EXPECT_TRUE(load(nestedArrays(511)).loaded());
    for (size_t levels : {size_t(512), size_t(100'000), size_t(1'000'000)}) {
        LoadResult result = load(nestedArrays(levels));
        EXPECT_EQ(result.status, LoadStatus::TooDeep) << levels;
        EXPECT_NE(result.message.find("512"), std::string::npos) << result.message;
    }
    std::vector<std::string> objects = {test::container(true, {1, 2}, 4), test::asciiString("a")};
    for (uint64_t i = 0; i < 1'000'000; ++i)
        objects.push_back(test::container(false, {3 + i}, 4));
    objects.push_back("\x10\x01");
    EXPECT_EQ(load(test::binaryList(objects, 4)).status, LoadStatus::TooDeep);
}

TEST(Hostile, aLargeStringIsReadWhole) {
    constexpr size_t size = 200u << 20;
    test::TemporaryFile file;
    {
        std::ofstream out(file.path, std::ios::binary);
        out << test::prologue << "<dict>\n<key>big</key><string>";
        const std::string block(1 << 20, 'x');
        for (size_t written = 0; written < size; written += block.size())
            out << block;
        out << "</string>\n</dict>\n</plist>\n";
    }
    ContainerCounter counter;
    LoadResult result = loadPlist(file.path, counter);
    ASSERT_TRUE(result.loaded()) << result.message;
    ASSERT_EQ(result.root->children.size(), 1u);
    EXPECT_EQ(result.root->children[0]->data.text().size(), size);
}

TEST(Hostile, aMillionKeys) {
    constexpr size_t count = 1'000'000;
    std::string keys;
    keys.reserve(count * 40);
    for (size_t i = 0; i < count; ++i)
        keys += "<key>k" + std::to_string(i) + "</key><integer>" + std::to_string(i) + "</integer>";
    LoadResult result = load(test::document(keys));
    ASSERT_TRUE(result.loaded()) << result.message;
    EXPECT_EQ(result.root->children.size(), count);
    EXPECT_EQ(result.root->children.back()->name, "k999999");
}

TEST(Hostile, aMillionElements) {
    constexpr size_t count = 1'000'000;
    std::string elements = "<key>list</key><array>";
    elements.reserve(count * 20);
    for (size_t i = 0; i < count; ++i)
        elements += "<integer>" + std::to_string(i) + "</integer>";
    elements += "</array>";
    LoadResult result = load(test::document(elements));
    ASSERT_TRUE(result.loaded()) << result.message;
    EXPECT_EQ(result.root->children[0]->children.size(), count);
}

TEST(Hostile, everyTruncationAtATagBoundaryIsRefused) {
    const std::string whole = everyKind;
    ASSERT_TRUE(load(whole).loaded());
    const size_t end = whole.rfind("</plist>");
    int cuts = 0;
    for (size_t at = 0; at < end; ++at) {
        if (whole[at] != '<' && whole[at] != '>') continue;
        const size_t length = whole[at] == '>' ? at + 1 : at;
        LoadResult result = load(whole.substr(0, length));
        EXPECT_FALSE(result.loaded()) << whole.substr(0, length);
        EXPECT_TRUE(result.message.starts_with("Error reading plist: ")) << result.message;
        ++cuts;
    }
    EXPECT_GT(cuts, 60);
}

TEST(Hostile, everyTruncationOfABinaryListIsRefused) {
    const std::string whole =
        test::binaryEntry(test::container(false, {3, 4, 5}, 1),
                          {test::asciiString("x"), test::utf16String({0xE9, 0x20}), test::integer64(7)});
    ASSERT_TRUE(load(whole).loaded());
    for (size_t length = 0; length < whole.size(); ++length)
        EXPECT_FALSE(load(whole.substr(0, length)).loaded()) << length;
}

TEST(Hostile, nulBytesAreRefused) {
    const std::string documents[] = {
        test::document("<key>a</key><string>x\0y</string>"s),
        test::document("<key>a\0</key><string>x</string>"s),
        test::document("<key>a</key>\0<string>x</string>"s),
        test::document("<key>a</key><integer>1\0</integer>"s),
        "\0"s + test::document("<key>a</key><string>x</string>"),
        test::document("<key>a</key><string>x</string>") + "\0"s,
        test::document("<key>a</key><string>&#0;</string>"),
    };
    for (const std::string& bytes : documents) {
        LoadResult result = load(bytes);
        EXPECT_FALSE(result.loaded()) << bytes;
        EXPECT_TRUE(result.message.starts_with("Error reading plist: ")) << result.message;
    }
}

TEST(Hostile, invalidUtf8IsRefused) {
    const char* sequences[] = {
        "\x80",             // a lone continuation byte
        "\xC0\xAF",         // an overlong '/'
        "\xE0\x80\xAF",     // an overlong '/' in three bytes
        "\xED\xA0\x80",     // a surrogate
        "\xF4\x90\x80\x80", // beyond U+10FFFF
        "\xC3",             // a truncated sequence
        "\xFF",             // never in UTF-8
        "\xEF\xBF\xBE",     // U+FFFE, UTF-8 but no XML character
    };
    for (const char* sequence : sequences) {
        for (const std::string& bytes :
             {test::document("<key>a</key><string>" + std::string(sequence) + "</string>"),
              test::document("<key>" + std::string(sequence) + "</key><true/>"),
              test::document("<!-- " + std::string(sequence) + " --><key>a</key><true/>")}) {
            LoadResult result = load(bytes);
            EXPECT_FALSE(result.loaded()) << bytes;
        }
    }
}

TEST(Hostile, binaryListsThatExpandOrLoopAreRefused) {
    // Twelve levels of fifteen shared references: 15^12 nodes from a few hundred bytes.
    LoadResult bomb = load(test::expansion(12, 15));
    EXPECT_EQ(bomb.status, LoadStatus::TooLarge);
    EXPECT_TRUE(bomb.message.ends_with(", format: binary")) << bomb.message;
    // A cycle deep down, behind shared containers.
    std::vector<std::string> objects = {test::container(true, {1, 2}, 2), test::asciiString("a")};
    for (uint64_t i = 0; i < 400; ++i)
        objects.push_back(test::container(false, {3 + i, 3 + i + 1}, 2));
    objects.push_back(test::container(false, {200}, 2));
    LoadResult cycle = load(test::binaryList(objects, 2));
    EXPECT_EQ(cycle.status, LoadStatus::NotPlist);
    EXPECT_EQ(cycle.message, "Error reading plist: a container holds itself, format: binary");
}

TEST(Hostile, binaryValuesXmlCannotCarryAreRefusedOrEscaped) {
    EXPECT_EQ(load(test::binaryEntry(test::integer128(1, 0))).message,
              "Error reading plist: the integer at °a lies outside [-2^63, 2^64-1], format: binary");
    EXPECT_EQ(load(test::binaryEntry(test::utf16String({'a', 0, 'b'}))).message,
              "Error reading plist: the string at °a holds U+0000, which XML cannot hold, format: binary");
    LoadResult cr = load(test::binaryEntry(test::asciiString("one\r\ntwo\r")));
    ASSERT_TRUE(cr.loaded()) << cr.message;
    const std::string written = plistRepresentation(*cr.root, 0);
    EXPECT_NE(written.find("<string>one&#13;\ntwo&#13;</string>"), std::string::npos) << written;
    LoadResult again = load(written);
    ASSERT_TRUE(again.loaded()) << again.message;
    EXPECT_EQ(plistRepresentation(*again.root, 0), written);
}
