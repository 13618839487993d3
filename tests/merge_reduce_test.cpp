// Tests of reduce, appendElement, appendLeave and elementOrder on hand-made combined trees.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <string_view>

#include "TreeBuilder.h"
#include "merge/Reduce.h"

using namespace carryover;
using namespace carryover::test;

namespace {

const ReduceOptions disableTam = {ReduceOption::DisableTamInsertedLeaves,
                                  ReduceOption::DisableTamNotStringLeaves};
const ReduceOptions hideInserted = {ReduceOption::HideInsertedLeaves};

// The entries of the reduced combination of `sample` and `config`.
std::string reduced(const std::vector<ItemPtr>& sample, const std::vector<ItemPtr>& config,
                    ReduceOptions options = disableTam) {
    auto result = reduce(*combined(sample, config), options, *builtNodes());
    EXPECT_TRUE(parentsConsistent(*result));
    return entries(*result);
}

// `prefix` followed by `number` in two digits or more, so that the order of texts is that of numbers.
std::string numbered(std::string_view prefix, size_t number) {
    std::string text(prefix);
    if (number < 10) text += '0';
    text += std::to_string(number);
    return text;
}

} // namespace

TEST(ReduceDictionary, LeavesPairByName) {
    auto run = [](ReduceOptions options) {
        return reduced({integer("Port", 1), str("Host", "a"), off(str("Only", "x")), str("Note", "#s")},
                       {integer("Port", 1), str("Host", "b"), integer("Extra", 5), str("Tag", "#c")},
                       options);
    };
    EXPECT_EQ(run(disableTam), "Extra=5 Inserted off, Host=a Merged off, Host=b Replacement, Note=#s None, "
                               "Only=x None off, Port=1 None, Tag=#c Inserted off");
    EXPECT_EQ(run({}),
              "Extra=5 Inserted, Host=a Merged off, Host=b Replacement, Note=#s None, Only=x None off, "
              "Port=1 None, Tag=#c Inserted");
    EXPECT_EQ(
        run({ReduceOption::HideMerged}),
        "Extra=5 Inserted, Host=b Replacement, Note=#s None, Only=x None off, Port=1 None, Tag=#c Inserted");
    EXPECT_EQ(run(hideInserted),
              "Host=a Merged off, Host=b Replacement, Note=#s None, Only=x None off, Port=1 None");
}

TEST(ReduceDictionary, NameOrderIsCodePointOrderAndStable) {
    // The two sample K entries pair with each other; the configuration's K is left alone.
    EXPECT_EQ(reduced({str("alpha", "1"), str("Zeta", "2"), str("K", "3"), str("K", "4")}, {str("K", "5")}),
              "K=3 Merged off, K=4 Replacement, K=5 Inserted off, Zeta=2 None, alpha=1 None");
}

TEST(ReduceDictionary, OneSidedContainers) {
    for (auto options : {disableTam, hideInserted}) {
        EXPECT_EQ(reduced({dict("Net", {integer("A", 1), dict("Sub", {integer("B", 2)})})},
                          {dict("New", {integer("C", 3), array("L", {str("", "x"), integer("", 4)})})},
                          options),
                  "Net={} Unmatched(A=1 Unmatched, Sub={} Unmatched(B=2 Unmatched)), "
                  "New={} Inserted(C=3 Inserted, L=[] Inserted(Item 0=x Inserted, Item 1=4 Inserted))");
    }
    // Below an inserted container HideInsertedLeaves no longer applies, even under a base that is not.
    auto tree = combined({}, {dict("New", {dict("Mid", {}), dict("Mid", {integer("L", 1)})})});
    tree->children[0]->children[0]->operation = Operation::None;
    EXPECT_EQ(entries(*reduce(*tree, hideInserted, *builtNodes())),
              "New={} Inserted(Mid={} None(L=1 Inserted))");
}

TEST(ReduceDictionary, ContainersAgainstLeavesAndContainers) {
    EXPECT_EQ(reduced({dict("K", {integer("A", 1)})}, {integer("K", 5)}), "K={} None(A=1 None)");
    EXPECT_EQ(reduced({integer("L", 5)}, {dict("L", {integer("A", 1), array("B", {str("", "#x")})})}),
              "L=5 Merged off, L={} Replacement(A=1 Replacement, B=[] Replacement(Item 0=#x Replacement))");

    EXPECT_EQ(
        reduced({dict("D", {integer("A", 1), dict("E", {})})}, {dict("D", {integer("A", 2), dict("E", {})})}),
        "D={} None(A=1 Merged off, A=2 Replacement, E={} None)");
}

TEST(ReduceArray, ElementsPairByValueAndKeepSamplePositions) {
    EXPECT_EQ(
        reduced({array("Arr", {str("", "A"), str("", "B")})}, {array("Arr", {str("", "B"), str("", "C")})}),
        "Arr=[] None(Item 0=A None, Item 1=B None, Item 2=C Inserted)");

    EXPECT_EQ(reduced({array("I", {integer("", 1)})}, {array("I", {integer("", 1), integer("", 2)})}),
              "I=[] None(Item 0=1 None, Item 1=2 Inserted off)");
    // Of three equal neighbours the first two pair; the third stays alone.
    EXPECT_EQ(reduced({array("T", {str("", "x"), str("", "x")})}, {array("T", {str("", "x")})}),
              "T=[] None(Item 0=x None, Item 1=x Inserted)");
}

TEST(ReduceArray, CommentedStringsAreKilledFromEitherSide) {
    for (auto options : {disableTam, hideInserted}) {
        EXPECT_EQ(reduced({array("H", {str("", "#x"), str("", "y")})},
                          {array("H", {str("", "y"), str("", "#z")})}, options),
                  "H=[] None(Item 0=#x Kill off, Item 1=#z Kill off, Item 2=y None)");
    }
    // Its source container not being inserted, HideInsertedLeaves drops a plain string.
    EXPECT_EQ(reduced({array("S", {})}, {array("S", {str("", "b")})}, hideInserted), "S=[] None");
}

TEST(ReduceArray, DictionariesPairByPathElseByPosition) {
    EXPECT_EQ(reduced({array("D", {dict("", {str("Path", "a"), integer("V", 1)}),
                                   dict("", {str("Path", "b"), integer("V", 2)})})},
                      {array("D", {dict("", {str("Path", "b"), integer("V", 3)}),
                                   dict("", {str("Path", "c"), integer("V", 4)}),
                                   dict("", {str("Path", "a"), integer("V", 1)})})}),
              "D=[] None(Item 0={} None(Path=a None, V=1 None), "
              "Item 1={} None(Path=b None, V=2 Merged off, V=3 Replacement), "
              "Item 2={} Inserted(Path=c Inserted, V=4 Inserted))");
    EXPECT_EQ(reduced({array("A", {dict("", {integer("X", 1)}), dict("", {integer("X", 2)})})},
                      {array("A", {dict("", {integer("X", 1)}), dict("", {integer("X", 3)})})}),
              "A=[] None(Item 0={} None(X=1 None), Item 1={} None(X=2 Merged off, X=3 Replacement))");
}

TEST(ReduceArray, NamesWithoutIndexSortLast) {
    auto node =
        array("A", {str("", "a"), str("", "b"), str("", "c"), str("", "d"), str("", "e"), str("", "f")});
    const char* names[] = {"Item 2", "Foo", "Item -1", "Item Item 0", "99999999999999999999", "+3"};
    for (size_t i = 0; i < 6; ++i)
        node->children[i]->name = names[i];
    EXPECT_EQ(entries(*reduce(*node, disableTam, *builtNodes())),
              "Item 0=c None, Item 1=d None, Item 2=a None, Item 3=f None, Item 4=b None, Item 5=e None");

    // A sample array paired with a configuration dictionary receives entries named by keys.
    auto result =
        reduce(*combined({array("K", {str("", "a")})},
                         {dict("K", {str("Zed", "z"), integer("Bee", 2), str("Zed", "y"), dict("Sub", {})})}),
               disableTam, *builtNodes());
    const Item& merged = *result->children[0];
    ASSERT_EQ(merged.children.size(), 5u);
    EXPECT_EQ(line(*merged.children[0]), "Item 0=a None");
    std::multiset<std::string> rest;
    for (size_t i = 1; i < 5; ++i) {
        EXPECT_EQ(merged.children[i]->name, elementName(i));
        rest.insert(line(*merged.children[i]).substr(7));
    }
    EXPECT_EQ(rest,
              (std::multiset<std::string>{"2 Inserted off", "y Inserted", "z Inserted", "{} Inserted"}));
}

TEST(ElementOrder, ComparesValuesOrIdentifyingKeys) {
    EXPECT_EQ(elementOrder(*str("", "a"), *str("", "b")), -1);
    EXPECT_EQ(elementOrder(*str("", "b"), *str("", "b")), 0);
    EXPECT_EQ(elementOrder(*integer("", 2), *integer("", 1)), 1);
    EXPECT_EQ(elementOrder(*integer("", 1), *str("", "1")), 1);
    auto first = dict("Item 0", {});
    EXPECT_EQ(elementOrder(*str("Item 0", "x"), *first), 1); // only the first node's kind decides
    EXPECT_EQ(elementOrder(*first, *str("Item 0", "x")), 0);
    EXPECT_EQ(elementOrder(*first, *dict("Item 1", {})), -1);
    auto pathA = dict("Item 0", {str("Path", "a"), str("Comment", "z")});
    EXPECT_EQ(elementOrder(*pathA, *dict("Item 1", {str("Path", "b")})), -1);
    EXPECT_EQ(elementOrder(*pathA, *dict("Item 1", {str("Comment", "z")})), 0);
    EXPECT_EQ(elementOrder(*dict("", {str("Path", "a"), str("BundlePath", "q")}),
                           *dict("", {str("BundlePath", "p"), str("Path", "a")})),
              0);
    EXPECT_EQ(elementOrder(*dict("", {str("BundlePath", "q"), str("Comment", "a")}),
                           *dict("", {str("BundlePath", "p"), str("Comment", "a")})),
              1);
}

TEST(ReduceArray, FuzzMixedKindsPlaceEachElementAtMostOnce) {
    std::mt19937 random(7);
    auto pick = [&](int count) { return static_cast<int>(random() % static_cast<unsigned>(count)); };
    auto element = [&]() -> ItemPtr {
        if (pick(2)) return pick(2) ? str("", std::string(1, "ab#"[pick(3)])) : integer("", pick(3));
        std::vector<ItemPtr> entries;
        for (const char* key : {"Path", "BundlePath", "Comment"})
            if (pick(2))
                entries.push_back(pick(4) ? str(key, std::string(1, "abc"[pick(3)])) : integer(key, 1));
        return dict("", entries);
    };
    for (int round = 0; round < 3000; ++round) {
        std::vector<ItemPtr> sample, config;
        for (int i = pick(7); i > 0; --i)
            sample.push_back(element());
        for (int i = pick(7); i > 0; --i)
            config.push_back(element());
        std::set<std::string> unplaced; // leaves by address, containers by serial number
        for (const auto* side : {&sample, &config})
            for (const auto& node : *side)
                unplaced.insert(node->type() == ItemDataType::Dictionary
                                    ? std::string(node->data.text())
                                    : std::to_string(uintptr_t(node.get())));
        auto result =
            reduce(*combined({array("A", sample)}, {array("A", config)}), disableTam, *builtNodes());
        const Item& merged = *result->children[0];
        for (size_t i = 0; i < merged.children.size(); ++i) {
            const Item& placed = *merged.children[i];
            EXPECT_EQ(placed.name, elementName(i));
            EXPECT_EQ(unplaced.erase(placed.type() == ItemDataType::Dictionary
                                         ? std::string(placed.data.text())
                                         : std::to_string(uintptr_t(&placed))),
                      1u);
        }
        EXPECT_TRUE(parentsConsistent(*result));
    }
}

TEST(ReduceArray, LongArraysKeepEveryElementsPositionAcrossTies) {
    // Each position holds one element on each side; the sample's comes first. More than 16 elements, so
    // that the order of equal positions depends on the sort keeping it.
    std::vector<ItemPtr> sample, config;
    std::string expected;
    for (size_t i = 0; i < 22; ++i) {
        sample.push_back(str("", numbered("a", i)));
        config.push_back(str("", numbered("b", i)));
        if (i > 0) expected += ", ";
        expected += elementName(2 * i) + "=" + numbered("a", i) + " None, ";
        expected += elementName(2 * i + 1) + "=" + numbered("b", i) + " Inserted";
    }
    EXPECT_EQ(reduced({array("A", sample)}, {array("A", config)}), "A=[] None(" + expected + ")");

    // Elements whose names spell no index all tie, and stay in the order the pairing left them.
    auto keyed = array("K", {});
    expected.clear();
    for (size_t i = 0; i < 24; ++i) {
        adopt(*keyed, {str("Key", numbered("v", i))});
        if (i > 0) expected += ", ";
        expected += elementName(i) + "=" + numbered("v", i) + " None";
    }
    EXPECT_EQ(entries(*reduce(*keyed, disableTam, *builtNodes())), expected);
}

TEST(ReduceDictionary, DuplicateKeysPairInTheirOrderInLargeDictionaries) {
    // 25 entries: ten keys on both sides, "Dup" three times in the sample and twice in the configuration.
    std::vector<ItemPtr> sample, config;
    std::string same;
    for (size_t i = 0; i < 10; ++i) {
        sample.push_back(integer(numbered("k", i), static_cast<int64_t>(i)));
        config.push_back(integer(numbered("k", i), static_cast<int64_t>(i)));
        same += ", " + numbered("k", i) + "=" + std::to_string(i) + " None";
    }
    for (int value : {1, 2, 3})
        sample.insert(sample.begin() + value * 3, integer("Dup", value));
    for (int value : {4, 5})
        config.insert(config.begin() + value, integer("Dup", value));
    // Neighbours pair in reading order, the sample's first: 1 with 2, 3 with 4; 5 is left alone.
    EXPECT_EQ(reduced(sample, config),
              "Dup=1 Merged off, Dup=2 Replacement, Dup=3 Merged off, Dup=4 Replacement, Dup=5 Inserted off" +
                  same);
}

TEST(ReduceDictionary, HideInsertedLeavesKeepsTheLeavesOfAnInsertedBase) {
    // Two configuration dictionaries of one name merge into the second; both are inserted, so their
    // leaves stay.
    EXPECT_EQ(reduced({}, {dict("D", {integer("A", 1), str("S", "s")}), dict("D", {integer("B", 2)})},
                      hideInserted),
              "D={} Inserted(A=1 Inserted, B=2 Inserted, S=s Inserted)");
    EXPECT_EQ(reduced({}, {array("L", {str("", "x")}), array("L", {integer("", 1)})}, hideInserted),
              "L=[] Inserted(Item 0=1 Inserted, Item 1=x Inserted)");
}
