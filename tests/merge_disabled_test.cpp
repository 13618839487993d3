// Tests of handleDisabled (switched-off dictionaries) and enabledOnly (the merged result).
#include <gtest/gtest.h>

#include "TreeBuilder.h"
#include "merge/Disabled.h"
#include "merge/Reduce.h"

using namespace carryover;
using namespace carryover::test;

namespace {

const ReduceOptions disableTam = {ReduceOption::DisableTamInsertedLeaves,
                                  ReduceOption::DisableTamNotStringLeaves};

// The entries after reducing `sample` with `config` and handling disabled dictionaries.
std::string handled(const std::vector<ItemPtr>& sample, const std::vector<ItemPtr>& config,
                    ReduceOptions options = disableTam) {
    Item* result =
        handleDisabled(reduce(*combined(sample, config), disableTam, *builtNodes()), options, *builtNodes());
    EXPECT_TRUE(parentsConsistent(*result));
    return entries(*result);
}

} // namespace

TEST(HandleDisabled, EnabledFalseKillsTheWholeDictionary) {
    auto kext = [] { return dict("Kext", {boolean("Enabled", false), dict("Sub", {str("X", "x")})}); };
    EXPECT_EQ(handled({kext(), str("Other", "o")}, {kext()}),
              "Kext={} Kill off(Enabled=false Kill off, Sub={} Kill off(X=x Kill off)), Other=o None");
    EXPECT_EQ(handled({kext(), str("Other", "o")}, {kext()}, {ReduceOption::HideDisabled}), "Other=o None");
    // Switched off from the configuration only: nothing keeps its Inserted mark.
    EXPECT_EQ(handled({}, {kext()}),
              "Kext={} Kill off(Enabled=false Kill off, Sub={} Kill off(X=x Kill off))");
}

TEST(HandleDisabled, OnlyEnabledBoolEntriesCount) {
    auto enabled = [](bool value) { return std::vector<ItemPtr>{dict("D", {boolean("Enabled", value)})}; };
    EXPECT_EQ(handled(enabled(true), enabled(false)),
              "D={} Kill off(Enabled=true Kill off, Enabled=false Kill off)");
    EXPECT_EQ(handled(enabled(false), enabled(true)),
              "D={} None(Enabled=false Merged off, Enabled=true Replacement)");
    // An inserted leaf under a dictionary of both sides is disabled and so does not count.
    EXPECT_EQ(handled({dict("D", {})}, enabled(false)), "D={} None(Enabled=false Inserted off)");

    auto killed = boolean("Enabled", false);
    killed->operation = Operation::Kill;
    auto tree = root("r", {dict("Text", {str("Enabled", "false")}),
                           dict("Off", {off(boolean("Enabled", false))}), dict("Killed", {killed}),
                           dict("Last", {boolean("Enabled", false), boolean("Enabled", true)})});
    EXPECT_EQ(entries(*handleDisabled(tree.get(), disableTam, *builtNodes())),
              "Text={} None(Enabled=false None), Off={} None(Enabled=false None off), "
              "Killed={} None(Enabled=false Kill), Last={} None(Enabled=false None, Enabled=true None)");
}

TEST(HandleDisabled, NestedDictionariesAreMarkedOnTheirOwn) {
    auto tree = [] {
        return root("r",
                    {dict("Outer", {boolean("Enabled", true), dict("Inner", {boolean("Enabled", false)}),
                                    array("List", {dict("", {boolean("Enabled", false)}), str("", "s")})})});
    };
    EXPECT_EQ(entries(*handleDisabled(tree().get(), disableTam, *builtNodes())),
              "Outer={} None(Enabled=true None, Inner={} Kill off(Enabled=false Kill off), "
              "List=[] None(Item 0={} Kill off(Enabled=false Kill off), Item 1=s None))");
    Item* hidden = handleDisabled(tree().get(), {ReduceOption::HideDisabled}, *builtNodes());
    EXPECT_EQ(entries(*hidden), "Outer={} None(Enabled=true None, List=[] None(Item 0=s None))");
    EXPECT_TRUE(parentsConsistent(*hidden));
    EXPECT_EQ(handleDisabled(dict("D", {boolean("Enabled", false)}).get(), {ReduceOption::HideDisabled},
                             *builtNodes()),
              nullptr);
}

TEST(EnabledOnly, KeepsEnabledNodesUnderEnabledAncestors) {
    auto list = array("List", {str("", "a"), off(str("", "b")), str("", "c")});
    auto tree = root("r", {off(dict("Off", {integer("Kept", 1)})), list, integer("N", 3)});
    const std::string before = dump(*tree);
    auto result = enabledOnly(tree);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(entries(*result), "List=[] None(Item 0=a None, Item 2=c None), N=3 None");
    EXPECT_EQ(dump(*tree), before);
    EXPECT_TRUE(parentsConsistent(*result));

    list->children[1]->enabled = true;
    auto full = enabledOnly(list);
    EXPECT_EQ(dump(*full), dump(*list));
    full->children[0]->enabled = false; // a copy throughout
    EXPECT_TRUE(list->children[0]->enabled);

    EXPECT_EQ(enabledOnly(off(root("r", {integer("N", 1)}))), nullptr);
    EXPECT_EQ(enabledOnly(off(integer("N", 1))), nullptr);
}
