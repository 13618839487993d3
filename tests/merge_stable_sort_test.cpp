// Tests of stableSort: order and stability with consistent comparators, safety with any other.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <utility>
#include <vector>

#include "merge/StableSort.h"

using carryover::stableSort;

TEST(StableSort, OrdersAndKeepsEqualElementsInInputOrder) {
    std::mt19937 random(1);
    auto byKey = [](const std::pair<int, int>& a, const std::pair<int, int>& b) { return a.first < b.first; };
    for (int count = 0; count < 70; ++count) { // both the short-list and the merging path
        for (unsigned keys : {1u, 3u, 1000u}) {
            std::vector<std::pair<int, int>> items;
            for (int i = 0; i < count; ++i)
                items.emplace_back(random() % keys, i);
            auto expected = items;
            std::stable_sort(expected.begin(), expected.end(), byKey);
            stableSort(items, byKey);
            EXPECT_EQ(items, expected) << count << " elements, " << keys << " keys";
        }
    }
}

TEST(StableSort, AnyComparatorKeepsThePermutation) {
    std::mt19937 random(2);
    std::vector<std::function<bool(int, int)>> comparators = {
        [&](int, int) { return random() % 2 == 0; }, [](int, int) { return true; },
        [](int a, int b) { return a <= b; }, [](int a, int b) { return (a * 7 + b) % 3 == 0; }};
    for (const auto& comparator : comparators) {
        for (int round = 0; round < 500; ++round) {
            std::vector<int> items(random() % 40);
            for (auto& item : items)
                item = static_cast<int>(random() % 10);
            auto expected = items;
            stableSort(items, comparator);
            std::sort(items.begin(), items.end());
            std::sort(expected.begin(), expected.end());
            ASSERT_EQ(items, expected);
        }
    }
}
