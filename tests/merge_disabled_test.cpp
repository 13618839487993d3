// Tests of handleDisabled (switched-off dictionaries) and enabledOnly (the merged result).
#include <gtest/gtest.h>

#include "TreeBuilder.h"
#include "merge/Disabled.h"
#include "merge/Reduce.h"

using namespace carryover;
using namespace carryover::test;

namespace {

using Lines = std::vector<std::string>;
const ReduceOptions disableTam = {ReduceOption::DisableTamInsertedLeaves, ReduceOption::DisableTamNotStringLeaves};

// Reduces the sample's and the configuration's entries together, then handles disabled dictionaries.
ItemPtr reducedAndHandled(const std::vector<ItemPtr>& sample, const std::vector<ItemPtr>& config,
                          ReduceOptions options = disableTam) {
    return handleDisabled(reduce(*combined(sample, config), disableTam), options);
}

// Whether every node of the subtree has `operation` and is disabled.
bool allKilled(const Item& node) {
    if (node.operation != Operation::Kill || node.enabled) return false;
    for (const auto& child : node.children)
        if (!allKilled(*child)) return false;
    return true;
}

} // namespace

TEST(HandleDisabled, EnabledFalseOnBothSidesKillsTheWholeDictionary) {
    auto sample = dict("Kext", {boolean("Enabled", false), dict("Sub", {str("X", "x")})});
    auto config = dict("Kext", {boolean("Enabled", false), dict("Sub", {str("X", "x")})});
    auto result = reducedAndHandled({sample, str("Other", "o")}, {config});
    ASSERT_EQ(lines(*result), (Lines{"Kext={} Kill off", "Other=o None"}));
    EXPECT_EQ(lines(*result->children[0]), (Lines{"Enabled=false Kill off", "Sub={} Kill off"}));
    EXPECT_TRUE(allKilled(*result->children[0]));
    EXPECT_TRUE(parentsConsistent(*result));

    auto hidden = reducedAndHandled({dict("Kext", {boolean("Enabled", false)}), str("Other", "o")},
                                    {dict("Kext", {boolean("Enabled", false)})}, {ReduceOption::HideDisabled});
    EXPECT_EQ(lines(*hidden), (Lines{"Other=o None"}));
}

TEST(HandleDisabled, ReplacementValueDecides) {
    auto off = reducedAndHandled({dict("D", {boolean("Enabled", true)})}, {dict("D", {boolean("Enabled", false)})});
    EXPECT_EQ(lines(*off), (Lines{"D={} Kill off"}));
    EXPECT_EQ(lines(*off->children[0]), (Lines{"Enabled=true Kill off", "Enabled=false Kill off"}));

    auto on = reducedAndHandled({dict("D", {boolean("Enabled", false)})}, {dict("D", {boolean("Enabled", true)})});
    EXPECT_EQ(lines(*on), (Lines{"D={} None"}));
    EXPECT_EQ(lines(*on->children[0]), (Lines{"Enabled=false Merged off", "Enabled=true Replacement"}));

    // Only the configuration says false, but an inserted leaf is disabled and so does not count.
    auto inserted = reducedAndHandled({dict("D", {})}, {dict("D", {boolean("Enabled", false)})});
    EXPECT_EQ(lines(*inserted), (Lines{"D={} None"}));
}

TEST(HandleDisabled, OnlyEnabledBoolEntriesCount) {
    auto text = dict("Text", {str("Enabled", "false")});
    auto disabled = dict("Disabled", {boolean("Enabled", false)});
    disabled->children[0]->enabled = false;
    auto killed = dict("Killed", {boolean("Enabled", false)});
    killed->children[0]->operation = Operation::Kill;
    auto last = dict("Last", {boolean("Enabled", false), boolean("Enabled", true)});
    auto result = handleDisabled(root("r", {text, disabled, killed, last}), disableTam);
    EXPECT_EQ(lines(*result), (Lines{"Text={} None", "Disabled={} None", "Killed={} None", "Last={} None"}));
}

TEST(HandleDisabled, NestedAndInsertedDictionaries) {
    auto inner = dict("Inner", {boolean("Enabled", false), integer("N", 1)});
    auto outer = dict("Outer", {boolean("Enabled", true), inner, array("List", {dict("", {boolean("Enabled", false)})})});
    auto result = handleDisabled(root("r", {outer}), disableTam);
    const Item& handled = *result->children[0];
    EXPECT_EQ(lines(handled), (Lines{"Enabled=true None", "Inner={} Kill off", "List=[] None"}));
    EXPECT_TRUE(allKilled(*handled.children[1]));
    EXPECT_EQ(lines(*handled.children[2]), (Lines{"Item 0={} Kill off"}));
    EXPECT_TRUE(parentsConsistent(*result));

    auto fromConfig = reducedAndHandled({}, {dict("New", {boolean("Enabled", false), dict("Deep", {integer("N", 1)})})});
    ASSERT_EQ(lines(*fromConfig), (Lines{"New={} Kill off"}));
    EXPECT_TRUE(allKilled(*fromConfig->children[0]));
}

TEST(HandleDisabled, MovesLeavesAndBuildsNewContainers) {
    auto leafNode = integer("N", 1);
    auto container = dict("D", {leafNode});
    auto result = handleDisabled(root("r", {container}), disableTam);
    EXPECT_NE(result->children[0], container);
    EXPECT_EQ(result->children[0]->children[0], leafNode);
    EXPECT_EQ(leafNode->parent, result->children[0].get());
    EXPECT_EQ(handleDisabled(leafNode, disableTam), leafNode);
    EXPECT_EQ(handleDisabled(dict("D", {boolean("Enabled", false)}), {ReduceOption::HideDisabled}), nullptr);
}

TEST(EnabledOnly, KeepsOnlyEnabledNodesUnderEnabledAncestors) {
    auto off = dict("Off", {integer("Kept", 1), dict("Deep", {integer("X", 2)})});
    off->enabled = false;
    auto list = array("List", {str("", "a"), str("", "b"), str("", "c")});
    list->children[1]->enabled = false;
    auto tree = root("r", {off, list, integer("N", 3)});
    const std::string before = dump(*tree);
    auto result = enabledOnly(*tree);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(lines(*result), (Lines{"List=[] None", "N=3 None"}));
    EXPECT_EQ(lines(*result->children[0]), (Lines{"Item 0=a None", "Item 2=c None"}));
    EXPECT_EQ(dump(*tree), before);
    EXPECT_NE(result->children[1], tree->children[2]);
    EXPECT_TRUE(parentsConsistent(*result));
}

TEST(EnabledOnly, DisabledRootOrFullyEnabledTree) {
    auto tree = root("r", {dict("D", {integer("A", 1), array("L", {str("", "x")})}), boolean("B", true)});
    auto copy = enabledOnly(*tree);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(dump(*copy), dump(*tree));
    EXPECT_EQ(copy->parent, nullptr);
    copy->children[0]->children[0]->enabled = false;
    EXPECT_TRUE(tree->children[0]->children[0]->enabled);

    tree->enabled = false;
    EXPECT_EQ(enabledOnly(*tree), nullptr);
    auto leafCopy = enabledOnly(*tree->children[1]);
    ASSERT_NE(leafCopy, nullptr);
    EXPECT_EQ(leafCopy->parent, nullptr);
    tree->children[1]->enabled = false;
    EXPECT_EQ(enabledOnly(*tree->children[1]), nullptr);
}
