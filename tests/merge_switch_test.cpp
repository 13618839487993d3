// Tests of the enable switch on differences trees: which lines get one, and what a switch changes.
#include <gtest/gtest.h>

#include "TreeBuilder.h"
#include "merge/Comparison.h"
#include "merge/Switch.h"

using namespace carryover;
using namespace carryover::test;

namespace {

// The differences of a small pair: Port differs (a Merged/Replacement pair), Net is only in the
// sample (Unmatched), NewDict only in the configuration (Inserted).
ItemPtr differences() {
    auto sample =
        root("s.plist", {integer("Port", 1), dict("Net", {str("Host", "h"), dict("Deep", {str("X", "x")})})});
    auto config = root("c.plist", {integer("Port", 2), dict("NewDict", {str("K", "v")})});
    return compare(config, sample).differences;
}

Item& at(const ItemPtr& tree, std::string_view path, size_t which = 0) {
    return *tree->getItems(path).at(which);
}

} // namespace

TEST(Switch, buttonsStartRunsOfOneOperation) {
    auto tree = differences();
    EXPECT_FALSE(hasSwitch(*tree));                 // the root is None
    EXPECT_TRUE(hasSwitch(at(tree, "°Net")));       // Unmatched below a None root
    EXPECT_FALSE(hasSwitch(at(tree, "°Net°Host"))); // Unmatched below Unmatched
    EXPECT_TRUE(hasSwitch(at(tree, "°Port", 0)));   // Merged
    EXPECT_TRUE(hasSwitch(at(tree, "°Port", 1)));   // Replacement
    EXPECT_FALSE(hasSwitch(at(tree, "°NewDict°K")));
}

TEST(Switch, pairSwapsWhichValueTheResultTakes) {
    auto tree = differences();
    EXPECT_EQ(entries(*mergedResult(tree)),
              "Net={} Unmatched(Deep={} Unmatched(X=x Unmatched), Host=h Unmatched), "
              "NewDict={} Inserted(K=v Inserted), Port=2 Replacement");
    ASSERT_TRUE(switchNode(*tree, at(tree, "°Port", 1)));
    EXPECT_TRUE(at(tree, "°Port", 0).enabled);
    EXPECT_FALSE(at(tree, "°Port", 1).enabled);
    EXPECT_NE(entries(*mergedResult(tree)).find("Port=1 Merged"), std::string::npos);
    ASSERT_TRUE(switchNode(*tree, at(tree, "°Port", 0)));
    EXPECT_NE(entries(*mergedResult(tree)).find("Port=2 Replacement"), std::string::npos);

    // A pair whose path no longer finds exactly two nodes is left alone.
    auto lonely = root("x", {integer("Only", 1)});
    lonely->children[0]->operation = Operation::Merged;
    EXPECT_FALSE(switchNode(*lonely, *lonely->children[0]));
    EXPECT_TRUE(lonely->children[0]->enabled);
}

TEST(Switch, offTakesTheSubtreeOnBringsBackTheAncestorsThatWereOff) {
    auto tree = differences();
    ASSERT_TRUE(switchNode(*tree, at(tree, "°Net")));
    EXPECT_FALSE(at(tree, "°Net°Deep°X").enabled);
    EXPECT_EQ(mergedResult(tree)->getItems("°Net").size(), 0u);

    // Switching a node on whose parent and grandparent are off switches them on, and nothing above.
    ASSERT_TRUE(switchNode(*tree, at(tree, "°Net°Deep°X")));
    EXPECT_TRUE(at(tree, "°Net°Deep°X").enabled);
    EXPECT_TRUE(at(tree, "°Net°Deep").enabled);
    EXPECT_TRUE(at(tree, "°Net").enabled);
    EXPECT_FALSE(at(tree, "°Net°Host").enabled);
    EXPECT_EQ(entries(*mergedResult(tree)->getItems("°Net")[0]), "Deep={} Unmatched(X=x Unmatched)");
}
