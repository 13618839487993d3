// The loading step: refusals with their message, binary lists, nesting limits.
#include <gtest/gtest.h>

#include <plist/plist.h>

#include <cstdio>
#include <fstream>
#include <map>

#include "PlistText.h"
#include "TemporaryFile.h"
#include "plist/Loading.h"

using namespace carryover;
using carryover::test::TemporaryFile;

namespace {

std::string binaryOf(plist_t plist) {
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(plist, &bytes, &length);
    std::string result(bytes, length);
    plist_to_bin_free(bytes);
    return result;
}

LoadResult loadText(const std::string& bytes) {
    ContainerCounter counter;
    TemporaryFile file(bytes);
    return loadPlist(file.path, counter);
}

} // namespace

TEST(Loading, readsACheckedFile) {
    TemporaryFile file(test::document("<key>a</key><integer>1</integer>"));
    ContainerCounter counter;
    LoadResult result = loadPlist(file.path, counter);
    ASSERT_TRUE(result.loaded());
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(result.root->name, file.path);
    EXPECT_EQ(result.root->children[0]->data.intValue(), 1);
}

TEST(Loading, refusals) {
    struct Case {
        std::string bytes;
        LoadStatus status;
        const char* reason;
    } cases[] = {
        {"this is not a property list", LoadStatus::NotPlist,
         "Error reading plist: text outside elements at line 1, column 1, format: XML"},
        {test::prologue + "<array><string>x</string></array></plist>", LoadStatus::NotDictionary,
         "Error reading plist: the top level is not a dictionary at line 4, column 1, format: XML"},
        {test::document("<key>a</key><foo>1.0</foo>"), LoadStatus::NotPlist,
         "Error reading plist: an unknown element <foo> at line 5, column 13, format: XML"},
    };
    for (auto& c : cases) {
        LoadResult result = loadText(c.bytes);
        EXPECT_EQ(result.status, c.status) << c.bytes;
        EXPECT_EQ(result.message, c.reason);
    }
    ContainerCounter counter;
    LoadResult missing = loadPlist("/nonexistent/file.plist", counter);
    EXPECT_EQ(missing.status, LoadStatus::Unreadable);
    EXPECT_TRUE(missing.message.starts_with("Error reading plist: cannot read the file"));
}

TEST(Loading, byteOrderMarkIsAccepted) {
    LoadResult result = loadText("\xEF\xBB\xBF" + test::document("<key>a</key><true/>"));
    ASSERT_TRUE(result.loaded()) << result.message;
    EXPECT_EQ(result.root->children.size(), 1u);
    EXPECT_TRUE(result.root->data.text().starts_with("\xEF\xBB\xBF"));
}

TEST(Loading, wideEncodingsAreRefusedByName) {
    // The document in UTF-16 or UTF-32 as another program would write it: a byte-order mark, then each
    // character in two or four bytes.
    const auto encode = [](std::string_view mark, size_t width, bool bigEndian) {
        std::string bytes(mark);
        for (char c : test::document("<key>a</key><string>x</string>")) {
            std::string unit(width, '\0');
            unit[bigEndian ? width - 1 : 0] = c;
            bytes += unit;
        }
        return bytes;
    };
    const struct {
        std::string bytes;
        const char* encoding;
    } cases[] = {
        {encode("\xFF\xFE", 2, false), "UTF-16 (little-endian)"},
        {encode("\xFE\xFF", 2, true), "UTF-16 (big-endian)"},
        {encode(std::string_view("\xFF\xFE\0\0", 4), 4, false), "UTF-32 (little-endian)"},
        {encode(std::string_view("\0\0\xFE\xFF", 4), 4, true), "UTF-32 (big-endian)"},
        {"\xFF\xFE", "UTF-16 (little-endian)"},
    };
    for (const auto& c : cases) {
        const LoadResult result = test::load(c.bytes);
        EXPECT_EQ(result.status, LoadStatus::NotUtf8) << c.encoding;
        EXPECT_EQ(result.message, std::string("Error reading plist: the file is encoded in ") + c.encoding +
                                      ", not UTF-8, format: XML");
    }
}

TEST(Loading, deepDocumentsAreRefusedByTheReader) {
    const auto nested = [](int levels) {
        return test::document("<key>a</key>" + test::nestedArrays(levels));
    };
    EXPECT_TRUE(loadText(nested(511)).loaded());
    LoadResult deep = loadText(nested(512));
    EXPECT_EQ(deep.status, LoadStatus::TooDeep);
    EXPECT_EQ(
        deep.message,
        "Error reading plist: containers nest deeper than 512 levels at line 5, column 3590, format: XML");
    EXPECT_EQ(loadText(nested(300000)).status, LoadStatus::TooDeep);
}

TEST(Loading, binaryListsLoadLikeXml) {
    plist_t dict = plist_new_dict();
    plist_dict_set_item(dict, "Name", plist_new_string("x & y"));
    plist_dict_set_item(dict, "Count", plist_new_uint(3));
    plist_dict_set_item(dict, "Ratio", plist_new_real(0.5));
    const char bytes[] = {1, 2, 3};
    plist_dict_set_item(dict, "Blob", plist_new_data(bytes, 3));
    plist_t list = plist_new_array();
    plist_array_append_item(list, plist_new_bool(1));
    plist_dict_set_item(dict, "List", list);
    LoadResult result = loadText(binaryOf(dict));
    plist_free(dict);
    ASSERT_TRUE(result.loaded()) << result.message;
    std::map<std::string, const Item*, std::less<>> entries;
    for (const Item* child : result.root->children)
        entries.emplace(child->name, child);
    EXPECT_EQ(entries.at("Name")->data.text(), "x &amp; y"); // as the XML text spells it
    EXPECT_EQ(entries.at("Count")->data.intValue(), 3);
    EXPECT_EQ(entries.at("Ratio")->data.doubleValue(), 0.5);
    const ByteView blob = entries.at("Blob")->data.bytesValue();
    EXPECT_EQ(Bytes(blob.begin(), blob.end()), (Bytes{1, 2, 3}));
    EXPECT_TRUE(entries.at("List")->children[0]->data.boolValue());
}

TEST(Loading, binaryListsAreMeasuredBeforeLibplistSeesThem) {
    const auto nested = [](int levels) {
        plist_t inner = plist_new_array();
        for (int i = 1; i < levels; ++i) {
            plist_t outer = plist_new_array();
            plist_array_append_item(outer, inner);
            inner = outer;
        }
        plist_t dict = plist_new_dict();
        plist_dict_set_item(dict, "a", inner);
        std::string bytes = binaryOf(dict);
        plist_free(dict);
        return bytes;
    };
    EXPECT_TRUE(loadText(nested(511)).loaded());
    EXPECT_EQ(loadText(nested(512)).status, LoadStatus::TooDeep);
    plist_t list = plist_new_array();
    EXPECT_EQ(loadText(binaryOf(list)).status, LoadStatus::NotDictionary);
    plist_free(list);
    std::string broken = nested(3);
    broken[broken.size() - 10] = 0x7F; // the top object's index points past the table
    EXPECT_EQ(loadText(broken).status, LoadStatus::NotPlist);
    EXPECT_EQ(loadText("bplist00").status, LoadStatus::NotPlist);
}
