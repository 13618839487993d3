// Tests of the comparison pipeline on hand-made file roots.
#include <gtest/gtest.h>

#include "PlistText.h"
#include "TreeBuilder.h"
#include "merge/Comparison.h"
#include "merge/Difference.h"

using namespace carryover;
using namespace carryover::test;

namespace {

ItemPtr sampleFile() {
    return root("/tmp/Sample.plist",
                {integer("Port", 1), array("List", {str("", "a"), str("", "b"), str("", "#off")}),
                 dict("Net", {str("Host", "h")}), dict("Kext", {boolean("Enabled", false), str("Path", "k")}),
                 array("Drivers", {dict("", {str("Path", "x.efi")}), dict("", {str("Path", "y.efi")})})});
}

ItemPtr configFile() {
    return root("/tmp/Config.plist",
                {integer("Port", 2), array("List", {str("", "a"), str("", "x"), str("", "b")}),
                 integer("Extra", 1), dict("NewDict", {str("K", "v")}),
                 array("Drivers", {dict("", {str("Path", "y.efi"), boolean("On", true)})})});
}

} // namespace

TEST(Difference, ErrorNodeWhenARootIsNotAFile) {
    const ItemPtr unreadable = makeNode("", "Dateifehler: /tmp/x.plist", ItemDataType::Error);
    const ItemPtr notLoaded = makeNode("", "", ItemDataType::None);
    auto file = sampleFile();
    for (auto [sample, config] :
         {std::pair{file, unreadable}, {unreadable, file}, {notLoaded, file}, {file, notLoaded}})
        EXPECT_EQ(dump(*difference(sample, config)), "Fehler|None|Fehler|None|on\n");
    EXPECT_EQ(dump(*difference(root("s", {}), root("c", {}))),
              "s|FileName|<plist><dict></dict></plist>|None|on\n");
}

TEST(Difference, MergesTheConfigurationIntoTheSample) {
    auto sample = sampleFile();
    auto result = difference(sample, configFile());
    EXPECT_EQ(result->name, "/tmp/Sample.plist");
    EXPECT_EQ(result->data.text(), sample->data.text());
    EXPECT_EQ(
        entries(*result),
        "Drivers=[] None(Item 0={} Unmatched(Path=x.efi Unmatched), Item 1={} None(On=true Inserted off, "
        "Path=y.efi None)), Extra=1 Inserted off, Kext={} Kill off(Enabled=false Kill off, Path=k Kill off), "
        "List=[] None(Item 0=a None, Item 1=b None, Item 2=x Inserted, Item 3=#off Kill off), "
        "Net={} Unmatched(Host=h Unmatched), NewDict={} Inserted(K=v Inserted), Port=1 Merged off, "
        "Port=2 Replacement");
    EXPECT_TRUE(parentsConsistent(*result));
}

TEST(Difference, RenumbersArraysMovedAsTheyStand) {
    auto keyed = array("L", {str("", "x")});
    keyed->children[0]->name = "Key"; // the reader names an element by a key in front of it
    EXPECT_EQ(entries(*difference(root("s", {integer("L", 5)}), root("c", {keyed}))),
              "L=5 Merged off, L=[] Replacement(Item 0=x Replacement)");
}

TEST(Comparison, resultIsTheRenumberedEnabledPartAndCountsTellWhetherFilesDiffer) {
    auto compared = compare(configFile(), sampleFile());
    // The disabled "#off" and Merged entries are gone, and the List's elements are numbered afresh.
    EXPECT_EQ(
        entries(*compared.result),
        "Drivers=[] None(Item 0={} Unmatched(Path=x.efi Unmatched), Item 1={} None(Path=y.efi None)), "
        "List=[] None(Item 0=a None, Item 1=b None, Item 2=x Inserted), Net={} Unmatched(Host=h Unmatched), "
        "NewDict={} Inserted(K=v Inserted), Port=2 Replacement");
    EXPECT_EQ(compared.counts[Operation::Merged], 1u);
    EXPECT_EQ(compared.counts[Operation::Replacement], 1u);
    EXPECT_EQ(compared.counts[Operation::Kill], 4u);
    EXPECT_EQ(compared.counts[Operation::Unmatched], 4u);
    EXPECT_EQ(compared.counts[Operation::Inserted], 5u);
    EXPECT_TRUE(compared.counts.differ());
    EXPECT_FALSE(compare(sampleFile(), sampleFile()).counts.differ());

    auto switchedOff = copyTree(compared.differences);
    switchedOff->enabled = false;
    EXPECT_EQ(mergedResult(switchedOff), nullptr);
}

TEST(Difference, RenumbersNamesThatOnlyLookLikeIndices) {
    // Keys in front of elements name them; only "Item <index>" written the plain way is kept.
    auto keyed = array("L", {str("", "a"), str("", "b"), str("", "c"), str("", "d")});
    const char* names[] = {"Item 00", "Item 01", "Item 2", "Item +3"};
    for (size_t i = 0; i < 4; ++i)
        keyed->children[i]->name = names[i];
    const auto compared = compare(root("c", {keyed}), root("s", {integer("L", 5)}));
    EXPECT_EQ(entries(*compared.differences),
              "L=5 Merged off, L=[] Replacement(Item 0=a Replacement, Item 1=b Replacement, "
              "Item 2=c Replacement, Item 3=d Replacement)");
    EXPECT_EQ(entries(*compared.result),
              "L=[] Replacement(Item 0=a Replacement, Item 1=b Replacement, Item 2=c Replacement, "
              "Item 3=d Replacement)");
}

TEST(Comparison, entriesOnlyTheSampleHasMeanTheFilesDiffer) {
    const auto config = [] { return root("c", {integer("Port", 1), array("Drivers", {})}); };
    for (const auto& sample :
         {root("s", {integer("Port", 1), array("Drivers", {}), dict("Net", {str("Host", "h")})}),
          root("s", {integer("Port", 1), array("Drivers", {dict("", {str("Path", "x.efi")})})})}) {
        const auto compared = compare(config(), sample);
        EXPECT_EQ(compared.counts[Operation::Unmatched], 2u) << entries(*compared.differences);
        EXPECT_EQ(compared.counts[Operation::Merged] + compared.counts[Operation::Replacement] +
                      compared.counts[Operation::Inserted],
                  0u);
        EXPECT_TRUE(compared.counts.differ());
    }
}

// Keys and identifying values pair by their NFC form whichever way each file spells them, also where a
// file holds no text that needs normalising and its names are compared as bytes.
TEST(Difference, PairsNamesAndValuesByTheirCanonicalForm) {
    const std::string precomposed = "Caf\xC3\xA9", decomposed = "Cafe\xCC\x81";
    const auto file = [](const std::string& key, const std::string& path, const std::string& value) {
        return document("<key>" + key + "</key><string>" + value + "</string><key>List</key><array><dict>" +
                        "<key>Path</key><string>" + path +
                        "</string><key>Enabled</key><true/></dict></array>");
    };
    ContainerCounter counter;
    ItemPtr config = test::read(file(decomposed, decomposed, "config"), counter);
    ItemPtr sample = test::read(file(precomposed, precomposed, "sample"), counter);
    const std::string expected =
        precomposed + "=sample Merged off, " + decomposed +
        "=config Replacement, List=[] None(Item 0={} None(Enabled=true None, Path=" + precomposed + " None))";
    EXPECT_EQ(entries(*difference(sample, config)), expected);
    EXPECT_EQ(entries(*differenceTaking(sample, config)), expected);
}
