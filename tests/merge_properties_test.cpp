// Properties of the whole comparison on generated pairs of files: inputs untouched, runs repeatable,
// nothing of the configuration lost without a rule, parents consistent.
#include <gtest/gtest.h>

#include "GeneratedPlist.h"
#include "PlistText.h"
#include "TreeBuilder.h"
#include "merge/Comparison.h"
#include "merge/Difference.h"
#include "merge/Disabled.h"

using namespace carryover;

namespace {

struct Pair {
    ItemPtr config, sample;
};

Pair readPair(uint64_t seed, size_t bytes) {
    generator::GeneratedPair texts = generator::generatePlistPair(seed, bytes);
    ContainerCounter counter;
    ItemPtr config = readPlistText("config.plist", std::move(texts.config), counter).root;
    ItemPtr sample = readPlistText("sample.plist", std::move(texts.sample), counter).root;
    return {config, sample};
}

bool isElementName(std::string_view name) {
    return name.starts_with("Item ");
}

bool isContainer(const Item& node) {
    return node.type() == ItemDataType::Dictionary || node.type() == ItemDataType::Array;
}

// Whether the differences tree holds, at the place named by `keys` (array positions match any
// position, as elements move), the value `leaf` holds, or a container under the same key.
bool accountedFor(const Item& node, const std::vector<std::string>& keys, size_t at, const Item& leaf) {
    if (at == keys.size()) return false;
    for (const auto& child : node.children) {
        const bool exact = child->name == keys[at];
        if (!exact && !isElementName(child->name) && !isElementName(keys[at])) continue;
        if (at + 1 == keys.size()) {
            if (!isContainer(*child) && child->data == leaf.data) return true;
            if (isContainer(*child) && exact) return true;
        } else if (accountedFor(*child, keys, at + 1, leaf)) {
            return true;
        }
    }
    return false;
}

void checkLeaves(const Item& node, std::vector<std::string>& keys, const Item& differences, int& checked) {
    for (const auto& child : node.children) {
        keys.emplace_back(child->name);
        if (isContainer(*child)) {
            checkLeaves(*child, keys, differences, checked);
        } else {
            ++checked;
            EXPECT_TRUE(accountedFor(differences, keys, 0, *child)) << child->path();
        }
        keys.pop_back();
    }
}

} // namespace

TEST(MergeProperties, inputsUnchangedAndRunsRepeatable) {
    for (uint64_t seed = 1; seed <= 5; ++seed) {
        Pair pair = readPair(seed, 30000);
        const std::string config = test::dump(*pair.config), sample = test::dump(*pair.sample);
        ItemPtr first = difference(pair.sample, pair.config);
        ItemPtr second = difference(pair.sample, pair.config);
        EXPECT_EQ(test::dump(*pair.config), config);
        EXPECT_EQ(test::dump(*pair.sample), sample);
        EXPECT_EQ(test::dump(*first), test::dump(*second));
        EXPECT_TRUE(test::parentsConsistent(*first));
        ItemPtr merged = enabledOnly(first);
        ASSERT_TRUE(merged);
        EXPECT_TRUE(test::parentsConsistent(*merged));
    }
}

TEST(MergeProperties, everyConfigurationLeafIsAccountedFor) {
    for (uint64_t seed = 10; seed <= 14; ++seed) {
        Pair pair = readPair(seed, 20000);
        ItemPtr differences = difference(pair.sample, pair.config);
        std::vector<std::string> keys;
        int checked = 0;
        checkLeaves(*pair.config, keys, *differences, checked);
        EXPECT_GT(checked, 100);
    }
}

TEST(MergeProperties, identicalFilesDifferOnlyByKills) {
    const std::string text = generator::generatePlist(7, 20000);
    ContainerCounter counter;
    ItemPtr a = readPlistText("a.plist", text, counter).root,
            b = readPlistText("b.plist", text, counter).root;
    ItemPtr differences = difference(b, a);
    std::vector<const Item*> pending{differences.get()};
    while (!pending.empty()) {
        const Item* node = pending.back();
        pending.pop_back();
        EXPECT_TRUE(node->operation == Operation::None || node->operation == Operation::Kill) << node->path();
        EXPECT_EQ(node->enabled, node->operation == Operation::None) << node->path();
        for (const auto& child : node->children)
            pending.push_back(child);
    }
}
