// Writing trees as property-list text: layout, head, value forms, and what libplist makes of it.
#include <gtest/gtest.h>

#include <filesystem>

#include "GeneratedPlist.h"
#include "PlistText.h"
#include "plist/Loading.h"
#include "plist/Writer.h"

using namespace carryover;
using test::document;
using test::formatted;

TEST(Writer, documentsInExactTextOut) {
    struct Case {
        const char* entries;
        const char* written; // between the top-level <dict> and </dict>
    } cases[] = {
        {"<key>A</key><true/><key>B</key><dict><key>C</key><integer>5</integer></dict>"
         "<key>D</key><array><string>x</string><data>AQID</data></array><key>E</key><dict/>",
         "\t<key>A</key>\n\t<true/>\n\t<key>B</key>\n\t<dict>\n\t\t<key>C</key>\n\t\t<integer>5</integer>\n"
         "\t</dict>\n\t<key>D</key>\n\t<array>\n\t\t<string>x</string>\n\t\t<data>AQID</data>\n\t</array>\n"
         "\t<key>E</key>\n\t<dict/>\n"},
        // Empty containers take the empty form.
        {"<key>a</key><array></array><key>d</key><dict> <!-- c --> </dict>",
         "\t<key>a</key>\n\t<array/>\n\t<key>d</key>\n\t<dict/>\n"},
        {"<key>r</key><real>3</real><key>f</key><float>0.5</float><key>n</key><real>-inf</real>",
         "\t<key>r</key>\n\t<real>3.0</real>\n\t<key>f</key>\n\t<real>0.5</real>\n\t<key>n</key>\n"
         "\t<real>-infinity</real>\n"},
        {"<key>i</key><integer>-7</integer><key>u</key><integer>0xFFFFFFFFFFFFFFFF</integer>",
         "\t<key>i</key>\n\t<integer>-7</integer>\n\t<key>u</key>\n\t<integer>18446744073709551615</"
         "integer>\n"},
        {"<key>d</key><data></data><key>o</key><data>AQ==</data><key>w</key><data>AQI=</data>",
         "\t<key>d</key>\n\t<data></data>\n\t<key>o</key>\n\t<data>AQ==</data>\n\t<key>w</key>\n"
         "\t<data>AQI=</data>\n"},
        {"<key>s</key><string>a &amp; b</string><key>c</key><string><![CDATA[a<b]]></string>",
         "\t<key>s</key>\n\t<string>a &amp; b</string>\n\t<key>c</key>\n\t<string>a&lt;b</string>\n"},
        {"<key>t</key><date>2001-01-01T00:00:00Z</date>",
         "\t<key>t</key>\n\t<date>2001-01-01T00:00:00Z</date>\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatted(document(c.entries)),
                  test::prologue + "<dict>\n" + c.written + "</dict>\n</plist>\n");
}

TEST(Writer, documentHead) {
    const std::string tail = "<dict>\n\t<key>a</key>\n\t<true/>\n</dict>\n</plist>\n";
    const std::string head(defaultHeader);
    struct Case {
        std::string text, written;
    } cases[] = {
        {"<plist>\n<dict >\n<key>a</key><true/></dict></plist>", "<plist>\n" + tail},
        // An empty top-level dictionary: the head stops in front of it, not at the end of the text.
        {"<?xml version=\"1.0\"?>\n<plist><dict/></plist>\n",
         "<?xml version=\"1.0\"?>\n<plist><dict>\n</dict>\n</plist>\n"},
        // A byte-order mark is not written.
        {"\xEF\xBB\xBF<plist><dict><key>a</key><true/></dict></plist>", "<plist>" + tail},
        // "<dict>" inside comments, processing instructions and the document type does not end the head.
        {"<!-- one <dict> --><?pi <dict>?><!DOCTYPE plist [<!ENTITY e \"<dict>\">]><plist><!-- <dict/> -->"
         "<dict><key>a</key><true/></dict></plist>",
         "<!-- one <dict> --><?pi <dict>?><!DOCTYPE plist [<!ENTITY e \"<dict>\">]><plist><!-- <dict/> -->" +
             tail},
        // Without a <plist> start tag in front of the dictionary, the default header.
        {"<dict><key>a</key><true/></dict>", head + tail},
        {"<!-- c -->\n<dict><key>a</key><true/></dict>", head + tail},
        // Written text is UTF-8: a head declaring another encoding gives way to the default header.
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><plist><dict><key>a</key><true/></dict></plist>",
         head + tail},
        {"<?xml version=\"1.0\" encoding=\"utf-8\"?><plist><dict><key>a</key><true/></dict></plist>",
         "<?xml version=\"1.0\" encoding=\"utf-8\"?><plist>" + tail},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatted(c.text), c.written) << c.text;
    EXPECT_EQ(documentHead("no document"), std::nullopt);
    EXPECT_EQ(documentHead("<plist><array/></plist>"), std::nullopt);
}

TEST(Writer, entriesWithoutPlistFormAreLeftOutWithTheirKey) {
    auto root = test::read(document("<key>a</key><true/><key>d</key><dict><key>x</key><true/></dict>"
                                    "<key>l</key><array><string>x</string></array>"));
    for (const auto& child : root->children)
        if (!child->children.empty()) child->children[0]->data = ItemData("odd", ItemDataType::None);
    root->children[0]->data = ItemData("", ItemDataType::Error);
    // A container holding nothing that is written takes its empty form, as it would when read again.
    EXPECT_EQ(plistRepresentation(*root, 0),
              test::prologue +
                  "<dict>\n\t<key>d</key>\n\t<dict/>\n\t<key>l</key>\n\t<array/>\n</dict>\n</plist>\n");
}

TEST(WriterRoundTrip, fixedPointAndAcceptedByLibplist) {
    std::vector<std::string> documents;
    for (uint64_t seed = 1; seed <= 6; ++seed)
        documents.push_back(generator::generatePlist(seed, 150000));
    for (const auto& entry : std::filesystem::directory_iterator(CARRYOVER_EXAMPLES)) {
        ContainerCounter counter;
        LoadResult loaded = loadPlist(entry.path().string(), counter);
        ASSERT_TRUE(loaded.loaded()) << loaded.message;
        documents.emplace_back(loaded.root->data.text());
    }
    for (const std::string& text : documents) {
        ASSERT_TRUE(test::libplistValues(text));
        const std::string once = formatted(text);
        EXPECT_TRUE(test::libplistValues(once));
        EXPECT_EQ(formatted(once), once);
    }
}
