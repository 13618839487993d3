// Writing trees as property-list text: layout, head, value forms, and what libplist makes of it.
#include <gtest/gtest.h>

#include <plist/plist.h>

#include <cmath>
#include <filesystem>

#include "GeneratedPlist.h"
#include "PlistText.h"
#include "plist/DoubleText.h"
#include "plist/Loading.h"
#include "plist/Writer.h"

using namespace carryover;
using test::document;
using test::read;

namespace {

bool libplistAccepts(const std::string& text) {
    plist_t plist = nullptr;
    plist_from_xml(text.data(), static_cast<uint32_t>(text.size()), &plist);
    const bool dictionary = plist && plist_get_node_type(plist) == PLIST_DICT;
    plist_free(plist);
    return dictionary;
}

std::string rewritten(const std::string& text) {
    return plistRepresentation(*read(text), 0);
}

} // namespace

TEST(Writer, workedExample) {
    auto root =
        read(document("<key>A</key><true/><key>B</key><dict><key>C</key><integer>5</integer></dict>"
                      "<key>D</key><array><string>x</string><data>AQID</data></array><key>E</key><dict/>"));
    EXPECT_EQ(plistRepresentation(*root, 0), test::prologue + "<dict>\n"
                                                              "\t<key>A</key>\n"
                                                              "\t<true/>\n"
                                                              "\t<key>B</key>\n"
                                                              "\t<dict>\n"
                                                              "\t\t<key>C</key>\n"
                                                              "\t\t<integer>5</integer>\n"
                                                              "\t</dict>\n"
                                                              "\t<key>D</key>\n"
                                                              "\t<array>\n"
                                                              "\t\t<string>x</string>\n"
                                                              "\t\t<data>AQID</data>\n"
                                                              "\t</array>\n"
                                                              "\t<key>E</key>\n"
                                                              "\t<dict/>\n"
                                                              "</dict>\n"
                                                              "</plist>\n");
}

TEST(Writer, documentHead) {
    const std::string tail = "<dict>\n\t<key>a</key>\n\t<true/>\n</dict>\n</plist>\n";
    const std::string head(defaultHeader);
    EXPECT_EQ(rewritten("<DICT><key>a</key><true/></dict>"), head + "<dict>\n</dict>\n</plist>\n");
    EXPECT_EQ(rewritten(""), head + "<dict>\n</dict>\n</plist>\n");
    EXPECT_EQ(rewritten("<plist>\n<Dict>\n<key>a</key><true/></dict></plist>"), "<plist>\n" + tail);
    // An empty top-level dictionary: the head stops in front of it, not at the end of the text.
    EXPECT_EQ(rewritten("<?xml?>\n<plist><dict/></plist>\n"), "<?xml?>\n<plist><dict>\n</dict>\n</plist>\n");
    EXPECT_EQ(rewritten("no dictionary at all"), head + "<dict>\n</dict>\n</plist>\n");
    // A leading byte-order mark is part of the head.
    EXPECT_EQ(rewritten("\xEF\xBB\xBF<plist><dict><key>a</key><true/></dict></plist>"),
              "\xEF\xBB\xBF<plist>" + tail);
}

TEST(Writer, valueForms) {
    auto root =
        read(document("<key>r</key><real>3</real><key>i</key><integer>-7</integer><key>d</key><data></data>"
                      "<key>s</key><string>a &amp; b</string><key>t</key><date>2001-01-01T00:00:00Z</date>"
                      "<key>f</key><float>0.5</float>"));
    const std::string text = plistRepresentation(*root, 0);
    for (const char* line :
         {"\t<real>3.0</real>\n", "\t<integer>-7</integer>\n", "\t<data></data>\n",
          "\t<string>a &amp; b</string>\n", "\t<date>2001-01-01T00:00:00Z</date>\n", "\t<real>0.5</real>\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    EXPECT_EQ(text.find("float"), std::string::npos);
}

TEST(Writer, entriesWithoutPlistFormAreLeftOutWithTheirKey) {
    auto root = read(
        document("<key>a</key><true/><key>odd</key><real-ish>1</real-ish><!-- c --><key>b</key><false/>"));
    const std::string text = plistRepresentation(*root, 0);
    EXPECT_EQ(text.find("odd"), std::string::npos);
    EXPECT_TRUE(libplistAccepts(text));
    auto inArray =
        read(document("<key>a</key><array><string>x</string><!-- c --><string>y</string></array>"));
    EXPECT_NE(plistRepresentation(*inArray, 0).find("\t\t<string>x</string>\n\t\t<string>y</string>\n"),
              std::string::npos);
}

TEST(Writer, indentsByDepth) {
    auto root = read(document("<key>B</key><dict><key>C</key><integer>5</integer></dict>"));
    EXPECT_EQ(plistRepresentation(*root->children[0], 2),
              "\t\t<dict>\n\t\t\t<key>C</key>\n\t\t\t<integer>5</integer>\n\t\t</dict>\n");
    Item none;
    EXPECT_EQ(plistRepresentation(none, 0), "");
}

TEST(DoubleText, shortestRoundTripForms) {
    struct Case {
        double value;
        const char* text;
    } cases[] = {{1.0, "1.0"},        {-2.0, "-2.0"},     {100.0, "100.0"},
                 {0.1, "0.1"},        {0.0001, "0.0001"}, {0.00001, "1e-05"},
                 {1.5e20, "1.5e+20"}, {1e16, "1e+16"},    {9999999999999998.0, "9999999999999998.0"},
                 {0.0, "0.0"},        {-0.0, "-0.0"},     {INFINITY, "inf"},
                 {-INFINITY, "-inf"}, {NAN, "nan"},       {1.0 / 3, "0.3333333333333333"}};
    for (const Case& c : cases)
        EXPECT_EQ(doubleText(c.value), c.text);
}

TEST(WriterRoundTrip, fixedPointAndAcceptedByLibplist) {
    std::vector<std::string> documents;
    for (uint64_t seed = 1; seed <= 6; ++seed)
        documents.push_back(generator::generatePlist(seed, 150000));
    for (const auto& entry : std::filesystem::directory_iterator(CARRYOVER_EXAMPLES)) {
        ContainerCounter counter;
        LoadResult loaded = loadPlist(entry.path().string(), counter);
        ASSERT_TRUE(loaded.loaded()) << loaded.message;
        documents.push_back(loaded.root->data.text());
    }
    for (const std::string& text : documents) {
        ASSERT_TRUE(libplistAccepts(text));
        const std::string once = rewritten(text);
        EXPECT_TRUE(libplistAccepts(once));
        EXPECT_EQ(rewritten(once), once);
    }
}
