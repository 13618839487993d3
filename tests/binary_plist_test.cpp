// Binary property lists: what is refused with which reason, and what the accepted ones hold once read.
#include <gtest/gtest.h>

#include <bit>

#include "BinaryPlistBytes.h"
#include "PlistText.h"
#include "plist/BinaryPlist.h"
#include "plist/Loading.h"

using namespace carryover;
using carryover::test::load;
using namespace carryover::test;

namespace {

// The entries `bytes` hold, as test::values gives them, or the load's message when refused.
std::string entries(std::string bytes) {
    LoadResult result = load(std::move(bytes));
    return result.loaded() ? values(*result.root) : result.message;
}

} // namespace

TEST(BinaryPlist, refusalsNameTheReasonAndThePath) {
    const auto string = [](std::vector<uint16_t> units) { return binaryEntry(utf16String(units)); };
    // 400 arrays each holding the next two, the last holding the 198th: a cycle behind shared containers.
    std::vector<std::string> cycle = {container(true, {1, 2}, 2), asciiString("a")};
    for (uint64_t i = 0; i < 400; ++i)
        cycle.push_back(container(false, {3 + i, 3 + i + 1}, 2));
    cycle.push_back(container(false, {200}, 2));
    struct Case {
        std::string bytes;
        LoadStatus status;
        std::string message;
    } cases[] = {
        {binaryList({container(true, {1, 2}, 1), asciiString("a"), container(false, {0}, 1)}),
         LoadStatus::NotPlist, "a container holds itself"},
        {binaryList(cycle, 2), LoadStatus::NotPlist, "a container holds itself"},
        {binaryEntry(integer128(1, 0)), LoadStatus::NotPlist,
         "the integer at °a lies outside [-2^63, 2^64-1]"},
        {binaryEntry(integer128(UINT64_MAX, 0)), LoadStatus::NotPlist,
         "the integer at °a lies outside [-2^63, 2^64-1]"},
        {binaryEntry(asciiString(std::string("a\0b", 3))), LoadStatus::NotPlist,
         "the string at °a holds U+0000, which XML cannot hold"},
        {string({'x', 0x01}), LoadStatus::NotPlist, "the string at °a holds U+0001, which XML cannot hold"},
        {string({0x08}), LoadStatus::NotPlist, "the string at °a holds U+0008, which XML cannot hold"},
        {string({0x0B}), LoadStatus::NotPlist, "the string at °a holds U+000B, which XML cannot hold"},
        {string({0x0C}), LoadStatus::NotPlist, "the string at °a holds U+000C, which XML cannot hold"},
        {string({0x0E}), LoadStatus::NotPlist, "the string at °a holds U+000E, which XML cannot hold"},
        {string({0x1F}), LoadStatus::NotPlist, "the string at °a holds U+001F, which XML cannot hold"},
        {string({0xFFFE}), LoadStatus::NotPlist, "the string at °a holds U+FFFE, which XML cannot hold"},
        {string({0xFFFF}), LoadStatus::NotPlist, "the string at °a holds U+FFFF, which XML cannot hold"},
        {string({0xD800, 'x'}), LoadStatus::NotPlist, "the string at °a holds U+D800, which XML cannot hold"},
        {string({0xDC00}), LoadStatus::NotPlist, "the string at °a holds U+DC00, which XML cannot hold"},
        {binaryEntry(asciiString("\xC3")), LoadStatus::NotPlist,
         "the string at °a holds bytes that are not UTF-8, which XML cannot hold"},
        {binaryList({container(true, {1, 2}, 1), asciiString("k\x01"), asciiString("v")}),
         LoadStatus::NotPlist, "a key of the top level holds U+0001, which XML cannot hold"},
        {binaryEntry(container(true, {3, 4, 5, 6}, 1),
                     {asciiString("b"), asciiString("c"), container(false, {7, 8}, 1), asciiString("x"),
                      asciiString("ok"), asciiString("bad\x1B")}),
         LoadStatus::NotPlist, "the string at °a°b°Item 1 holds U+001B, which XML cannot hold"},
        {binaryEntry(container(true, {3, 4}, 1), {utf16String({0xFFFF}), asciiString("v")}),
         LoadStatus::NotPlist, "a key of °a holds U+FFFF, which XML cannot hold"},
        {binaryEntry(object('\x33', bigEndian(0x7FF8000000000000, 8))), LoadStatus::NotPlist,
         "the date at °a lies outside the years 1000 to 9999"},
        {binaryEntry(object('\x33', bigEndian(std::bit_cast<uint64_t>(252423993600.0), 8))),
         LoadStatus::NotPlist, "the date at °a lies outside the years 1000 to 9999"},
        {binaryEntry(object('\x33', bigEndian(std::bit_cast<uint64_t>(-31588531201.0), 8))),
         LoadStatus::NotPlist, "the date at °a lies outside the years 1000 to 9999"},
        {binaryList({container(false, {1}, 1), asciiString("a")}), LoadStatus::NotDictionary,
         "the top level is not a dictionary"},
        {binaryList({container(true, {1, 2}, 1), "\x10\x01", asciiString("v")}), LoadStatus::NotPlist,
         "not a valid property list"},
        {binaryEntry(container(false, {9}, 1)), LoadStatus::NotPlist, "not a valid property list"},
        {"bplist00", LoadStatus::NotPlist, "not a valid property list"},
    };
    for (const Case& c : cases) {
        LoadResult result = load(c.bytes);
        EXPECT_EQ(result.status, c.status) << c.message;
        EXPECT_EQ(result.message, "Error reading plist: " + c.message + ", format: binary");
    }
}

TEST(BinaryPlist, textIsHeldAsXmlSpellsIt) {
    struct Case {
        std::string bytes;
        std::string text;
    } cases[] = {
        {binaryEntry(asciiString("a\rb")), "a:String=a&#13;b"},
        {binaryEntry(asciiString("\r\n")), "a:String=&#13;\n"},
        {binaryEntry(asciiString("<&>]]>'\"")), "a:String=&lt;&amp;&gt;]]&gt;'\""},
        {binaryEntry(asciiString("\t x \n")), "a:String=\t x \n"},
        {binaryEntry(utf16String({0xD83D, 0xDE00, 0xE9, 0xFFFD})), "a:String=\U0001F600\u00E9\uFFFD"},
        {binaryEntry(asciiString("caf\xC3\xA9")), "a:String=caf\u00E9"},
        {binaryEntry(integer128(0, UINT64_MAX)), "a:Int=18446744073709551615"},
        {binaryEntry(integer128(0, 1)), "a:Int=1"},
        {binaryEntry(integer128(UINT64_MAX, UINT64_MAX - 4)), "a:Int=-5"},
        {binaryEntry(integer128(UINT64_MAX, uint64_t(1) << 63)), "a:Int=-9223372036854775808"},
        {binaryEntry(integer64(uint64_t(1) << 63)), "a:Int=-9223372036854775808"},
        {binaryEntry(object('\x23', bigEndian(0x4004000000000000, 8))), "a:Double=2.5"},
        {binaryEntry(object('\x23', bigEndian(0x7FF0000000000000, 8))), "a:Double=+infinity"},
        {binaryEntry(object('\x33', bigEndian(0x41cdcd6500000000, 8))), "a:Date=2032-09-09T01:46:40Z"},
        {binaryEntry(object('\x43', std::string("\0\1\2", 3))), "a:Data=AAEC"},
        {binaryEntry(object('\x33', bigEndian(std::bit_cast<uint64_t>(-31588531200.0), 8))),
         "a:Date=1000-01-01T00:00:00Z"},
        {binaryEntry(object('\x33', bigEndian(std::bit_cast<uint64_t>(252423993599.0), 8))),
         "a:Date=9999-12-31T23:59:59Z"},
        {binaryEntry("\x09"), "a:Bool=true"},
        {binaryEntry("\x80\x07"), "a:Dictionary{CF$UID:Int=7}"},
        {binaryEntry("\xC2\x03\x03", {"\x08"}), "a:Array{Item 0:Bool=false Item 1:Bool=false}"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(entries(c.bytes), c.text);
}

TEST(BinaryPlist, sharedObjectsExpandWithinBounds) {
    // 15^5 integers from about a hundred bytes: far beyond both the floor and ten nodes a byte.
    LoadResult bomb = load(expansion(5, 15));
    EXPECT_EQ(bomb.status, LoadStatus::TooLarge);
    EXPECT_TRUE(
        bomb.message.starts_with("Error reading plist: shared objects expand the property list to 813"))
        << bomb.message;
    // 15^4 integers: many per byte, yet below the floor.
    EXPECT_TRUE(load(expansion(4, 15)).loaded());
    // 600,000 references to an array of four integers: 3 million nodes, five a byte, beyond what
    // reading takes within memory.
    std::vector<uint64_t> shared(600'000, 3);
    LoadResult dense =
        load(binaryList({container(true, {1, 2}, 1), asciiString("a"), container(false, shared, 1),
                         container(false, {4, 4, 4, 4}, 1), "\x10\x07"}));
    EXPECT_EQ(dense.status, LoadStatus::TooLarge) << dense.message;
    // 200,000 references to one integer: beyond the floor, one node a byte.
    std::vector<uint64_t> refs(200'000, 2);
    std::string many =
        binaryList({container(true, {1, 3}, 1), asciiString("a"), "\x10\x07", container(false, refs, 1)});
    LoadResult flat = load(many);
    ASSERT_TRUE(flat.loaded()) << flat.message;
    EXPECT_EQ(flat.root->children[0]->children.size(), 200'000u);
}

TEST(BinaryPlist, nestingIsCountedThroughSharedContainers) {
    // Each array holds the next; the last holds an integer. The top-level dictionary counts.
    const auto nested = [](int arrays) {
        std::vector<std::string> objects = {container(true, {1, 2}, 2), asciiString("a")};
        for (int i = 0; i < arrays; ++i)
            objects.push_back(container(false, {uint64_t(3 + i)}, 2));
        objects.push_back("\x10\x01");
        return binaryList(objects, 2);
    };
    EXPECT_TRUE(load(nested(511)).loaded());
    EXPECT_EQ(load(nested(512)).status, LoadStatus::TooDeep);
    EXPECT_EQ(load(nested(100'000)).status, LoadStatus::TooDeep);
}
