// The comparison where the command line cannot reach it: roots that are no files, element names.
#include <gtest/gtest.h>

#include "TreeBuilder.h"
#include "merge/Comparison.h"
#include "merge/Difference.h"

using namespace carryover;
using namespace carryover::test;

namespace {

ItemPtr sampleFile() {
    return root("/tmp/Sample.plist", {integer("Port", 1)});
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

TEST(Difference, RenumbersArraysMovedAsTheyStand) {
    auto keyed = array("L", {str("", "x")});
    keyed->children[0]->name = "Key"; // the reader names an element by a key in front of it
    EXPECT_EQ(entries(*difference(root("s", {integer("L", 5)}), root("c", {keyed}))),
              "L=5 Merged off, L=[] Replacement(Item 0=x Replacement)");
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
