// Tests of reduce, appendElement, appendLeave and elementOrder on hand-made combined trees.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "TreeBuilder.h"
#include "merge/Reduce.h"

using namespace carryover;
using namespace carryover::test;

namespace {

const ReduceOptions disableTam = {ReduceOption::DisableTamInsertedLeaves, ReduceOption::DisableTamNotStringLeaves};

// The only entry of the reduced root: the merge of the sample's and the configuration's `name`.
ItemPtr reduceOne(const ItemPtr& sample, const ItemPtr& config, ReduceOptions options = disableTam) {
    auto result = reduce(*combined({sample}, {config}), options);
    EXPECT_EQ(result->children.size(), 1u);
    return result->children.at(0);
}

} // namespace

TEST(ReduceDictionary, LeavesByName) {
    auto run = [](ReduceOptions options) {
        auto tree = combined({integer("Port", 1), str("Host", "a"), str("Only", "x"), str("Note", "#s")},
                             {integer("Port", 1), str("Host", "b"), integer("Extra", 5), str("Tag", "#c")});
        return lines(*reduce(*tree, options));
    };
    using Lines = std::vector<std::string>;
    EXPECT_EQ(run(disableTam), (Lines{"Extra=5 Inserted off", "Host=a Merged off", "Host=b Replacement",
                                      "Note=#s None", "Only=x None", "Port=1 None", "Tag=#c Inserted off"}));
    EXPECT_EQ(run({}), (Lines{"Extra=5 Inserted", "Host=a Merged off", "Host=b Replacement", "Note=#s None",
                              "Only=x None", "Port=1 None", "Tag=#c Inserted"}));
    EXPECT_EQ(run({ReduceOption::HideMerged}),
              (Lines{"Extra=5 Inserted", "Host=b Replacement", "Note=#s None", "Only=x None", "Port=1 None",
                     "Tag=#c Inserted"}));
    EXPECT_EQ(run({ReduceOption::HideInsertedLeaves}),
              (Lines{"Host=a Merged off", "Host=b Replacement", "Note=#s None", "Only=x None", "Port=1 None"}));
}

TEST(ReduceDictionary, KeepsSampleNodesAndFlags) {
    auto sample = integer("Port", 1);
    auto only = str("Only", "x");
    only->enabled = false;
    auto config = integer("Port", 1);
    auto result = reduce(*combined({sample, only}, {config}), disableTam);
    ASSERT_EQ(result->children.size(), 2u);
    EXPECT_EQ(result->children[0], only);
    EXPECT_EQ(line(*only), "Only=x None off");
    EXPECT_EQ(result->children[1], sample);
    EXPECT_TRUE(parentsConsistent(*result));
}

TEST(ReduceDictionary, NameOrderIsCodePointOrderAndStable) {
    auto tree = combined({str("alpha", "1"), str("Zeta", "2"), str("K", "3"), str("K", "4")}, {str("K", "5")});
    // The two sample K entries pair with each other; the configuration's K is left alone.
    EXPECT_EQ(lines(*reduce(*tree, disableTam)), (std::vector<std::string>{"K=3 Merged off", "K=4 Replacement",
                                                                           "K=5 Inserted off", "Zeta=2 None",
                                                                           "alpha=1 None"}));
}

TEST(ReduceDictionary, OneSidedContainers) {
    for (auto options : {disableTam, ReduceOptions{ReduceOption::HideInsertedLeaves}}) {
        auto tree = combined({dict("Net", {integer("A", 1), dict("Sub", {integer("B", 2)})})},
                             {dict("New", {integer("C", 3), array("L", {str("", "x"), integer("", 4)})})});
        auto result = reduce(*tree, options);
        ASSERT_EQ(lines(*result), (std::vector<std::string>{"Net={} Unmatched", "New={} Inserted"}));
        const Item& net = *result->children[0];
        EXPECT_EQ(lines(net), (std::vector<std::string>{"A=1 Unmatched", "Sub={} Unmatched"}));
        EXPECT_EQ(lines(*net.children[1]), (std::vector<std::string>{"B=2 Unmatched"}));
        const Item& inserted = *result->children[1];
        EXPECT_EQ(lines(inserted), (std::vector<std::string>{"C=3 Inserted", "L=[] Inserted"}));
        EXPECT_EQ(lines(*inserted.children[1]), (std::vector<std::string>{"Item 0=x Inserted", "Item 1=4 Inserted"}));
        EXPECT_TRUE(parentsConsistent(*result));
    }
}

TEST(ReduceDictionary, ContainerAgainstLeaf) {
    auto sampleDict = reduceOne(dict("K", {integer("A", 1)}), integer("K", 5));
    EXPECT_EQ(line(*sampleDict), "K={} None");
    EXPECT_EQ(lines(*sampleDict), (std::vector<std::string>{"A=1 None"}));

    auto config = dict("L", {integer("A", 1), array("B", {str("", "#x")})});
    auto result = reduce(*combined({integer("L", 5)}, {config}), disableTam);
    ASSERT_EQ(lines(*result), (std::vector<std::string>{"L=5 Merged off", "L={} Replacement"}));
    EXPECT_EQ(result->children[1], config); // moved as it is, not reduced
    EXPECT_EQ(lines(*config), (std::vector<std::string>{"A=1 Replacement", "B=[] Replacement"}));
    EXPECT_EQ(lines(*config->children[1]), (std::vector<std::string>{"Item 0=#x Replacement"}));
}

TEST(ReduceDictionary, MergedContainersAndEmptyOnes) {
    auto merged = reduceOne(dict("D", {integer("A", 1), dict("E", {})}), dict("D", {integer("A", 2), dict("E", {})}));
    EXPECT_EQ(line(*merged), "D={} None");
    EXPECT_EQ(lines(*merged), (std::vector<std::string>{"A=1 Merged off", "A=2 Replacement", "E={} None"}));
    EXPECT_TRUE(merged->children[2]->children.empty());

    auto single = dict("S", {integer("A", 1)});
    auto result = reduce(*single, disableTam);
    EXPECT_EQ(lines(*result), (std::vector<std::string>{"A=1 None"}));
    EXPECT_EQ(result->children[0]->parent, result.get());
    EXPECT_TRUE(reduce(*integer("Leaf", 1), disableTam)->children.empty());
}

TEST(ReduceArray, StringsMergeByValueAndKeepSamplePositions) {
    auto sample = array("Arr", {str("", "A"), str("", "B")});
    auto sampleB = sample->children[1];
    auto result = reduceOne(sample, array("Arr", {str("", "B"), str("", "C")}));
    EXPECT_EQ(lines(*result), (std::vector<std::string>{"Item 0=A None", "Item 1=B None", "Item 2=C Inserted"}));
    EXPECT_EQ(result->children[1], sampleB);
    EXPECT_TRUE(parentsConsistent(*result));
}

TEST(ReduceArray, InsertedElementsAndCommentedStrings) {
    EXPECT_EQ(lines(*reduceOne(array("S", {str("", "a")}), array("S", {str("", "a"), str("", "b")}))),
              (std::vector<std::string>{"Item 0=a None", "Item 1=b Inserted"}));
    EXPECT_EQ(lines(*reduceOne(array("I", {integer("", 1)}), array("I", {integer("", 1), integer("", 2)}))),
              (std::vector<std::string>{"Item 0=1 None", "Item 1=2 Inserted off"}));
    for (auto options : {disableTam, ReduceOptions{ReduceOption::HideInsertedLeaves}}) {
        auto result = reduceOne(array("H", {str("", "#x"), str("", "y")}), array("H", {str("", "y"), str("", "#z")}),
                                options);
        EXPECT_EQ(lines(*result),
                  (std::vector<std::string>{"Item 0=#x Kill off", "Item 1=#z Kill off", "Item 2=y None"}));
    }
    // Without a source container that is inserted, HideInsertedLeaves drops the plain string.
    EXPECT_EQ(lines(*reduceOne(array("S", {}), array("S", {str("", "b")}), {ReduceOption::HideInsertedLeaves})),
              (std::vector<std::string>{}));
}

TEST(ReduceArray, DictionariesMatchByPathAtAnyPosition) {
    auto sample = array("Drivers", {dict("", {str("Path", "a"), integer("V", 1)}),
                                    dict("", {str("Path", "b"), integer("V", 2)})});
    auto config = array("Drivers", {dict("", {str("Path", "b"), integer("V", 3)}),
                                    dict("", {str("Path", "c"), integer("V", 4)}),
                                    dict("", {str("Path", "a"), integer("V", 1)})});
    auto result = reduceOne(sample, config);
    ASSERT_EQ(lines(*result), (std::vector<std::string>{"Item 0={} None", "Item 1={} None", "Item 2={} Inserted"}));
    EXPECT_EQ(lines(*result->children[0]), (std::vector<std::string>{"Path=a None", "V=1 None"}));
    EXPECT_EQ(lines(*result->children[1]), (std::vector<std::string>{"Path=b None", "V=2 Merged off", "V=3 Replacement"}));
    EXPECT_EQ(lines(*result->children[2]), (std::vector<std::string>{"Path=c Inserted", "V=4 Inserted"}));
    EXPECT_TRUE(parentsConsistent(*result));
}

TEST(ReduceArray, DictionariesWithoutKeysPairByIndex) {
    auto result = reduceOne(array("A", {dict("", {integer("X", 1)}), dict("", {integer("X", 2)})}),
                            array("A", {dict("", {integer("X", 1)}), dict("", {integer("X", 3)})}));
    ASSERT_EQ(lines(*result), (std::vector<std::string>{"Item 0={} None", "Item 1={} None"}));
    EXPECT_EQ(lines(*result->children[0]), (std::vector<std::string>{"X=1 None"}));
    EXPECT_EQ(lines(*result->children[1]), (std::vector<std::string>{"X=2 Merged off", "X=3 Replacement"}));
}

TEST(ReduceArray, ThreeEqualNeighboursPairOnlyTheFirstTwo) {
    auto sample = array("A", {str("", "x"), str("", "x")});
    auto first = sample->children[0];
    auto result = reduceOne(sample, array("A", {str("", "x")}));
    EXPECT_EQ(lines(*result), (std::vector<std::string>{"Item 0=x None", "Item 1=x Inserted"}));
    EXPECT_EQ(result->children[0], first);
}

TEST(ReduceArray, NamesWithoutIndexSortLast) {
    auto node = array("A", {str("", "a"), str("", "b"), str("", "c"), str("", "d"), str("", "e"), str("", "f")});
    const char* names[] = {"Item 2", "Foo", "Item -1", "Item Item 1", "99999999999999999999", "+3"};
    for (size_t i = 0; i < 6; ++i) node->children[i]->name = names[i];
    EXPECT_EQ(lines(*reduce(*node, disableTam)),
              (std::vector<std::string>{"Item 0=c None", "Item 1=d None", "Item 2=a None", "Item 3=f None",
                                        "Item 4=b None", "Item 5=e None"}));

    // A sample array matched with a configuration dictionary receives entries named by keys.
    auto result = reduceOne(array("K", {str("", "a")}),
                            dict("K", {str("Zed", "z"), integer("Bee", 2), str("Zed", "y"), dict("Sub", {})}));
    ASSERT_EQ(result->children.size(), 5u);
    EXPECT_EQ(line(*result->children[0]), "Item 0=a None");
    std::multiset<std::string> rest;
    for (size_t i = 1; i < 5; ++i) {
        EXPECT_EQ(result->children[i]->name, elementName(i));
        rest.insert(line(*result->children[i]).substr(7));
    }
    EXPECT_EQ(rest, (std::multiset<std::string>{"2 Inserted off", "y Inserted", "z Inserted", "{} Inserted"}));
}

TEST(ElementOrder, ComparesValuesOrIdentifyingKeys) {
    EXPECT_EQ(elementOrder(*str("", "a"), *str("", "b")), -1);
    EXPECT_EQ(elementOrder(*str("", "b"), *str("", "b")), 0);
    EXPECT_EQ(elementOrder(*integer("", 2), *integer("", 1)), 1);
    EXPECT_EQ(elementOrder(*integer("", 1), *str("", "1")), 1);
    auto first = dict("Item 0", {});
    auto second = dict("Item 1", {});
    EXPECT_EQ(elementOrder(*str("Item 0", "x"), *first), 1); // only the first node's kind decides
    EXPECT_EQ(elementOrder(*first, *str("Item 0", "x")), 0);
    EXPECT_EQ(elementOrder(*first, *second), -1);
    EXPECT_EQ(elementOrder(*second, *first), 1);
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
        switch (pick(4)) {
        case 0: return str("", std::string(1, "ab#"[pick(3)]));
        case 1: return integer("", pick(3));
        default: {
            std::vector<ItemPtr> entries;
            for (const char* key : {"Path", "BundlePath", "Comment"})
                if (pick(2)) entries.push_back(pick(4) ? str(key, std::string(1, "abc"[pick(3)])) : integer(key, 1));
            return dict("", entries);
        }
        }
    };
    for (int round = 0; round < 3000; ++round) {
        std::vector<ItemPtr> sample, config;
        for (int i = pick(7); i > 0; --i) sample.push_back(element());
        for (int i = pick(7); i > 0; --i) config.push_back(element());
        std::set<const Item*> leaves;
        std::set<std::string> serials;
        for (const auto* side : {&sample, &config})
            for (const auto& node : *side)
                if (node->type() == ItemDataType::Dictionary)
                    serials.insert(node->data.text());
                else
                    leaves.insert(node.get());
        auto result = reduceOne(array("A", sample), array("A", config));
        ASSERT_LE(result->children.size(), sample.size() + config.size());
        for (size_t i = 0; i < result->children.size(); ++i) {
            const Item& placed = *result->children[i];
            EXPECT_EQ(placed.name, elementName(i));
            if (placed.type() == ItemDataType::Dictionary)
                EXPECT_EQ(serials.erase(placed.data.text()), 1u);
            else
                EXPECT_EQ(leaves.erase(&placed), 1u);
        }
        EXPECT_TRUE(parentsConsistent(*result));
    }
}
