// Reading property-list text into trees.
#include <gtest/gtest.h>

#include "PlistText.h"

using namespace carryover;
using test::document;
using test::read;

namespace {
const Item& only(const ItemPtr& root) {
    EXPECT_EQ(root->children.size(), 1u);
    return *root->children.at(0);
}
std::string containerText(int nested) {
    std::string text;
    for (int i = 0; i < nested; ++i)
        text += "<array>";
    for (int i = 0; i < nested; ++i)
        text += "</array>";
    return text;
}
} // namespace

TEST(Reader, workedExample) {
    ContainerCounter counter;
    auto root =
        read(document("<key>A</key><integer>1</integer><key>B</key><array><string>x</string><dict/></array>"),
             counter);
    EXPECT_EQ(root->type(), ItemDataType::FileName);
    EXPECT_EQ(root->name, "test.plist");
    ASSERT_EQ(root->children.size(), 2u);
    const Item& a = *root->children[0];
    const Item& b = *root->children[1];
    EXPECT_EQ(a.name, "A");
    EXPECT_EQ(a.data.intValue(), 1);
    EXPECT_EQ(b.type(), ItemDataType::Array);
    EXPECT_EQ(b.data.text(), "0");
    ASSERT_EQ(b.children.size(), 2u);
    EXPECT_EQ(b.children[0]->name, "Item 0");
    EXPECT_EQ(b.children[0]->data.text(), "x");
    EXPECT_EQ(b.children[1]->name, "Item 1");
    EXPECT_EQ(b.children[1]->data.text(), "1");
    EXPECT_EQ(b.children[1]->parent, &b);
    EXPECT_EQ(a.parent, root.get());
}

TEST(Reader, countersContinueAcrossFilesThatShareOne) {
    ContainerCounter counter;
    auto one = read(document("<key>A</key><dict><key>B</key><array/></dict>"), counter);
    auto two = read(document("<key>C</key><dict/>"), counter);
    const auto& a = *one->children[0];
    EXPECT_EQ(a.data.text(), "0");
    EXPECT_EQ(a.children[0]->data.text(), "1");
    EXPECT_EQ(two->children[0]->data.text(), "2");
    EXPECT_TRUE(a.data < two->children[0]->data);
    // A comparison of its own starts again from 0.
    EXPECT_EQ(read(document("<key>C</key><dict/>"))->children[0]->data.text(), "0");
}

TEST(Reader, valuesOfEveryKind) {
    auto root = read(document("<key>t</key><true/><key>f</key><false/>"
                              "<key>i</key><integer> -7 </integer><key>j</key><integer>12abc</integer>"
                              "<key>k</key><integer>0x1F</integer><key>l</key><integer></integer>"
                              "<key>r</key><real>2.5</real><key>g</key><float>-1e3</float>"
                              "<key>d</key><data>AQID</data><key>w</key><data>\n\tAQ\n\tID\n\t</data>"
                              "<key>bad</key><data>A!Q=</data><key>e</key><data/><key>s</key><string/>"
                              "<key>date</key><date>2020-01-01T00:00:00Z</date>"));
    const auto value = [&](size_t i) -> const ItemData& { return root->children.at(i)->data; };
    EXPECT_TRUE(value(0).boolValue());
    EXPECT_FALSE(value(1).boolValue());
    EXPECT_EQ(value(2).intValue(), -7);
    EXPECT_EQ(value(3).intValue(), 12);
    EXPECT_EQ(value(4).intValue(), 0);
    EXPECT_EQ(value(5).intValue(), 0);
    EXPECT_EQ(value(6).doubleValue(), 2.5);
    EXPECT_EQ(value(7).doubleValue(), -1000.0);
    EXPECT_EQ(value(8).bytesValue(), (Bytes{1, 2, 3}));
    EXPECT_EQ(value(9).bytesValue(), (Bytes{1, 2, 3})); // wrapped over lines, as writers do
    EXPECT_TRUE(value(10).bytesValue().empty());
    EXPECT_EQ(value(11).type, ItemDataType::Data);
    EXPECT_EQ(value(12).type, ItemDataType::String);
    EXPECT_EQ(value(12).text(), "");
    EXPECT_EQ(value(13).type, ItemDataType::Date);
    EXPECT_EQ(value(13).text(), "2020-01-01T00:00:00Z");
    EXPECT_EQ(root->children.size(), 14u);
}

TEST(Reader, stringsAreTakenVerbatim) {
    auto root = read(document("<key>a</key><string></string><key>b</key><string>   </string>"
                              "<key>c</key><string>  a b  </string><key>d</key><string>x &amp; y</string>"
                              "<key>e</key><string>1 < 2</string><key>f</key><string>up</STRING>"));
    const auto text = [&](size_t i) { return root->children.at(i)->data.text(); };
    EXPECT_EQ(text(0), "");
    EXPECT_EQ(text(1), "");
    EXPECT_EQ(text(2), "a b  ");
    EXPECT_EQ(text(3), "x &amp; y");
    EXPECT_EQ(text(4), "1 < 2");
    EXPECT_EQ(text(5), "up");
}

TEST(Reader, unknownElementsBecomeNoneNodes) {
    auto root = read(document("<key>a</key><true/><!-- note --><key>b</key><STRING>x</STRING>"));
    ASSERT_EQ(root->children.size(), 4u);
    EXPECT_EQ(root->children[1]->type(), ItemDataType::None);
    EXPECT_EQ(root->children[1]->name, "");
    EXPECT_EQ(root->children[2]->name, "b"); // the capitalised tag is unknown
    EXPECT_EQ(root->children[2]->type(), ItemDataType::None);
    EXPECT_EQ(root->children[3]->name, ""); // and its closing tag too
    EXPECT_EQ(root->children[3]->type(), ItemDataType::None);
}

TEST(Reader, keysAndTheirEdges) {
    auto dup = read(document("<key>k</key><integer>1</integer><key>k</key><integer>2</integer>"));
    ASSERT_EQ(dup->children.size(), 2u);
    EXPECT_EQ(dup->children[1]->name, "k");
    EXPECT_EQ(dup->children[1]->data.intValue(), 2);

    auto dangling =
        read(document("<key>d</key><dict><key>x</key><true/><key>lost</key></dict><key>after</key><true/>"));
    ASSERT_EQ(dangling->children.size(), 2u);
    EXPECT_EQ(dangling->children[0]->children.size(), 1u);
    EXPECT_EQ(dangling->children[1]->name, "after");

    auto empty =
        read(document("<key>d</key><dict><key></key><true/><key>  </key><false/><key>z</key><true/></dict>"));
    const Item& d = only(empty);
    ASSERT_EQ(d.children.size(), 3u);
    EXPECT_EQ(d.children[0]->name, "");
    EXPECT_EQ(d.children[1]->name, "");
    EXPECT_EQ(d.children[2]->name, "z");

    auto keyed = read(document("<key>a</key><array><key>named</key><string>x</string></array>"));
    EXPECT_EQ(only(keyed).children.at(0)->name, "named");
}

TEST(Reader, closingTagsEndTheInnermostContainer) {
    auto root =
        read(document("<key>a</key><dict><key>b</key><array><string>x</string></dict><key>c</key><true/>"));
    // </dict> ended the array; the dict then ran on to the top-level </dict>, so </plist> is left to
    // the root, where it reads as an unknown element.
    ASSERT_EQ(root->children.size(), 2u);
    EXPECT_EQ(root->children[1]->type(), ItemDataType::None);
    const Item& a = *root->children[0];
    ASSERT_EQ(a.children.size(), 2u);
    EXPECT_EQ(a.children[0]->children.size(), 1u);
    EXPECT_EQ(a.children[1]->name, "c");
}

TEST(Reader, documentsWithoutEntries) {
    for (std::string text : {"", "   \n", "<dict><key>a</key><true/></dict>",
                             " \n<dict><key>a</key><true/></dict>", "<plist><array/></plist>"}) {
        auto root = read(text);
        EXPECT_EQ(root->type(), ItemDataType::FileName) << text;
        EXPECT_EQ(root->data.text(), text);
        EXPECT_TRUE(root->children.empty()) << text;
    }
    EXPECT_EQ(read("x<dict><key>a</key><true/></dict>")->children.size(), 1u);
}

TEST(Reader, readingStopsAtTheTopLevelClose) {
    auto root = read(document("<key>a</key><true/>") + "<dict><key>after</key><true/></dict>");
    EXPECT_EQ(root->children.size(), 1u);
}

TEST(Reader, refusesTextThatIsNotUtf8) {
    ContainerCounter counter;
    for (std::string bad : {"\xFF", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82"}) {
        auto result =
            readPlistText("bad.plist", document("<key>a</key><string>" + bad + "</string>"), counter);
        EXPECT_EQ(result.status, ReadStatus::NotUtf8);
        EXPECT_EQ(result.root->type(), ItemDataType::Error);
        EXPECT_EQ(result.root->data.text(), "Dateifehler: bad.plist");
        EXPECT_TRUE(result.root->children.empty());
    }
    EXPECT_TRUE(isValidUtf8("caf\xC3\xA9 \xF0\x9F\x98\x80 \xE2\x82\xAC"));
}

TEST(Reader, nestingAtTheLimitOneBelowAndOneAbove) {
    // The top-level dictionary counts as one level.
    ContainerCounter counter;
    EXPECT_EQ(readPlistText("t", document("<key>a</key>" + containerText(maximumDepth - 1)), counter).status,
              ReadStatus::Ok);
    EXPECT_EQ(readPlistText("t", document("<key>a</key>" + containerText(maximumDepth - 2)), counter).status,
              ReadStatus::Ok);
    auto deep = readPlistText("t", document("<key>a</key>" + containerText(maximumDepth)), counter);
    EXPECT_EQ(deep.status, ReadStatus::TooDeep);
    EXPECT_EQ(deep.root->type(), ItemDataType::Error);
    EXPECT_EQ(readPlistText("t", document(containerText(200000)), counter).status, ReadStatus::TooDeep);
}
