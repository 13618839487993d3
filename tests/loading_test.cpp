// The loading step: files read, refused with their message, wide encodings named, binary lists read.
#include <gtest/gtest.h>

#include <plist/plist.h>

#include "PlistText.h"
#include "TemporaryFile.h"
#include "plist/Loading.h"

using namespace carryover;
using carryover::test::TemporaryFile;

namespace {

LoadResult loadFile(const std::string& bytes) {
    ContainerCounter counter;
    TemporaryFile file(bytes);
    LoadResult result = loadPlist(file.path, counter);
    if (result.loaded()) {
        EXPECT_EQ(result.root->name, file.path);
    }
    return result;
}

} // namespace

TEST(Loading, refusalsGiveTheReasonAndTheFormat) {
    struct Case {
        std::string bytes;
        LoadStatus status;
        const char* message;
    } cases[] = {
        {"\xEF\xBB\xBF" + test::document("<key>a</key><integer>1</integer>"), LoadStatus::Loaded, ""},
        {"this is not a property list", LoadStatus::NotPlist,
         "Error reading plist: text outside elements at line 1, column 1, format: XML"},
        {test::prologue + "<array><string>x</string></array></plist>", LoadStatus::NotDictionary,
         "Error reading plist: the top level is not a dictionary at line 4, column 1, format: XML"},
        {test::document("<key>a</key><foo>1.0</foo>"), LoadStatus::NotPlist,
         "Error reading plist: an unknown element <foo> at line 5, column 13, format: XML"},
    };
    for (auto& c : cases) {
        LoadResult result = loadFile(c.bytes);
        EXPECT_EQ(result.status, c.status) << c.bytes;
        EXPECT_EQ(result.message, c.message);
    }
    ContainerCounter counter;
    LoadResult missing = loadPlist("/nonexistent/file.plist", counter);
    EXPECT_EQ(missing.status, LoadStatus::Unreadable);
    EXPECT_EQ(missing.message, "Error reading plist: cannot read the file: No such file or directory");
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

TEST(Loading, binaryListsLibplistWritesLoadLikeXml) {
    plist_t dict = plist_new_dict();
    plist_dict_set_item(dict, "Name", plist_new_string("x & y"));
    plist_dict_set_item(dict, "Count", plist_new_uint(3));
    plist_dict_set_item(dict, "Ratio", plist_new_real(0.5));
    const char bytes[] = {1, 2, 3};
    plist_dict_set_item(dict, "Blob", plist_new_data(bytes, 3));
    plist_t list = plist_new_array();
    plist_array_append_item(list, plist_new_bool(1));
    plist_dict_set_item(dict, "List", list);
    char* binary = nullptr;
    uint32_t length = 0;
    plist_to_bin(dict, &binary, &length);
    std::string written(binary, length);
    plist_to_bin_free(binary);
    plist_free(dict);

    LoadResult result = loadFile(written);
    ASSERT_TRUE(result.loaded()) << result.message;
    EXPECT_EQ(
        test::values(*result.root),
        "Name:String=x &amp; y Count:Int=3 Ratio:Double=0.5 Blob:Data=AQID List:Array{Item 0:Bool=true}");
    written[written.size() - 10] = 0x7F; // the top object's index points past the table
    EXPECT_EQ(loadFile(written).status, LoadStatus::NotPlist);
}
