// Tests of the comparison pipeline on hand-made file roots.
#include <gtest/gtest.h>

#include "TreeBuilder.h"
#include "merge/Difference.h"
#include "merge/Disabled.h"

using namespace carryover;
using namespace carryover::test;

namespace {

using Lines = std::vector<std::string>;

ItemPtr sampleFile() {
    return root("/tmp/Sample.plist",
                {integer("Port", 1), array("List", {str("", "a"), str("", "b"), str("", "#off")}),
                 dict("Net", {str("Host", "h")}), dict("Kext", {boolean("Enabled", false), str("Path", "k")}),
                 array("Drivers", {dict("", {str("Path", "x.efi")}), dict("", {str("Path", "y.efi")})})});
}

ItemPtr configFile() {
    return root("/tmp/Config.plist",
                {integer("Port", 2), array("List", {str("", "a"), str("", "x"), str("", "b")}), integer("Extra", 1),
                 dict("NewDict", {str("K", "v")}), array("Drivers", {dict("", {str("Path", "y.efi"), boolean("On", true)})})});
}

// Whether every array below `node` names its elements "Item 0", "Item 1", ... in order.
bool numbered(const Item& node) {
    for (size_t i = 0; i < node.children.size(); ++i) {
        if (node.type() == ItemDataType::Array && node.children[i]->name != elementName(i)) return false;
        if (!numbered(*node.children[i])) return false;
    }
    return true;
}

} // namespace

TEST(Difference, ErrorNodeWhenARootIsNotAFile) {
    const Item unreadable("Dateifehler: /tmp/x.plist", ItemDataType::Error, nullptr);
    const Item notLoaded;
    auto file = sampleFile();
    for (auto [sample, config] : {std::pair<const Item*, const Item*>{file.get(), &unreadable},
                                  {&unreadable, file.get()}, {&notLoaded, file.get()}, {file.get(), &notLoaded}}) {
        auto result = difference(*sample, *config);
        EXPECT_EQ(dump(*result), "Fehler|None|Fehler|None|on|closed\n");
        EXPECT_EQ(result->parent, nullptr);
    }
}

TEST(Difference, MergesTheConfigurationIntoTheSample) {
    auto sample = sampleFile();
    auto config = configFile();
    auto result = difference(*sample, *config);
    EXPECT_EQ(result->name, "/tmp/Sample.plist");
    EXPECT_EQ(result->data.text(), sample->data.text());
    EXPECT_EQ(lines(*result), (Lines{"Drivers=[] None", "Extra=1 Inserted off", "Kext={} Kill off", "List=[] None",
                                     "Net={} Unmatched", "NewDict={} Inserted", "Port=1 Merged off",
                                     "Port=2 Replacement"}));
    EXPECT_EQ(lines(*result->children[0]), (Lines{"Item 0={} Unmatched", "Item 1={} None"}));
    EXPECT_EQ(lines(*result->children[0]->children[1]), (Lines{"On=true Inserted off", "Path=y.efi None"}));
    EXPECT_EQ(lines(*result->children[3]),
              (Lines{"Item 0=a None", "Item 1=b None", "Item 2=x Inserted", "Item 3=#off Kill off"}));
    EXPECT_EQ(lines(*result->children[5]), (Lines{"K=v Inserted"}));
    EXPECT_TRUE(parentsConsistent(*result));
    EXPECT_TRUE(numbered(*result));

    auto merged = enabledOnly(*result);
    ASSERT_NE(merged, nullptr);
    EXPECT_EQ(lines(*merged), (Lines{"Drivers=[] None", "List=[] None", "Net={} Unmatched", "NewDict={} Inserted",
                                     "Port=2 Replacement"}));
    EXPECT_EQ(lines(*merged->children[1]), (Lines{"Item 0=a None", "Item 1=b None", "Item 2=x Inserted"}));
}

TEST(Difference, IdenticalFilesKeepEverythingButSwitchedOffEntries) {
    auto result = difference(*sampleFile(), *sampleFile());
    EXPECT_EQ(lines(*result), (Lines{"Drivers=[] None", "Kext={} Kill off", "List=[] None", "Net={} None", "Port=1 None"}));
    EXPECT_EQ(lines(*result->children[2]), (Lines{"Item 0=a None", "Item 1=b None", "Item 2=#off Kill off"}));
    EXPECT_EQ(lines(*result->children[1]), (Lines{"Enabled=false Kill off", "Path=k Kill off"}));
    auto merged = enabledOnly(*result);
    EXPECT_EQ(lines(*merged), (Lines{"Drivers=[] None", "List=[] None", "Net={} None", "Port=1 None"}));
    EXPECT_EQ(merged->children[1]->children.size(), 2u);
}

TEST(Difference, LeavesInputsUnchangedAndRepeats) {
    auto sample = sampleFile();
    auto config = configFile();
    const std::string sampleBefore = dump(*sample);
    const std::string configBefore = dump(*config);
    auto first = difference(*sample, *config);
    auto second = difference(*sample, *config);
    EXPECT_EQ(dump(*sample), sampleBefore);
    EXPECT_EQ(dump(*config), configBefore);
    EXPECT_TRUE(parentsConsistent(*sample));
    EXPECT_TRUE(parentsConsistent(*config));
    EXPECT_EQ(dump(*first), dump(*second));
    EXPECT_NE(first, sample);
    EXPECT_EQ(first->parent, nullptr);
}

TEST(Difference, EmptyFiles) {
    auto result = difference(*root("s", {}), *root("c", {}));
    EXPECT_EQ(dump(*result), "s|FileName|<plist><dict></dict></plist>|None|on|closed\n");
}
