// Paths, look-up, deep copy, marking and renumbering of Item trees.
#include <gtest/gtest.h>

#include "PlistText.h"
#include "model/Item.h"

using namespace carryover;
using test::document;
using test::read;

namespace {
ItemPtr networkTree() {
    return read(
        document("<key>Network</key><dict><key>Port</key><integer>80</integer>"
                 "<key>Port</key><integer>81</integer><key>Host</key><string>h</string></dict>"
                 "<key>List</key><array><string>a</string><string>b</string><string>c</string></array>"));
}
} // namespace

TEST(ItemPath, followsKeysFromTheRoot) {
    auto root = networkTree();
    EXPECT_EQ(root->path(), "");
    const auto& network = root->children[0];
    EXPECT_EQ(network->path(), "\u00B0Network");
    EXPECT_EQ(network->children[0]->path(), "\u00B0Network\u00B0Port");
    EXPECT_EQ(&network->children[0]->top(), root.get());
    Item loose;
    loose.name = "name";
    EXPECT_EQ(loose.path(), "\u00B0name");
}

TEST(ItemGetItems, absoluteAndRelativePaths) {
    auto root = networkTree();
    const auto& network = root->children[0];
    const auto& host = network->children[2];
    const auto fromRoot = root->getItems("\u00B0Network\u00B0Port");
    ASSERT_EQ(fromRoot.size(), 2u); // both duplicates, in order
    EXPECT_EQ(fromRoot[0]->data.intValue(), 80);
    EXPECT_EQ(fromRoot[1]->data.intValue(), 81);
    EXPECT_EQ(host->getItems("\u00B0Network\u00B0Port"), fromRoot);
    EXPECT_EQ(root->getItems("Network\u00B0Port"), fromRoot);
    EXPECT_TRUE(network->getItems("Network\u00B0Port").empty());
    EXPECT_EQ(network->getItems("Host").size(), 1u);
    EXPECT_TRUE(root->getItems(std::vector<std::string_view>{}).empty());
}

TEST(ItemGetItems, separatorInsideAKeyAndEmptyKeys) {
    auto root = read(document("<key>a\u00B0b</key><true/><key></key><false/>"));
    EXPECT_TRUE(root->getItems("a\u00B0b").empty());
    const auto empty = root->getItems("");
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_FALSE(empty[0]->data.boolValue());
}

TEST(ItemRenumber, arraysAtAnyDepthOnly) {
    auto root = networkTree();
    auto& list = root->children[1];
    list->children[1] = list->children[2];
    list->children.resize(2);
    root->children[0]->name = "Renamed";
    Arena arena;
    root->renumberChildren(arena);
    EXPECT_EQ(list->children[0]->name, "Item 0");
    EXPECT_EQ(list->children[1]->name, "Item 1");
    EXPECT_EQ(list->children[1]->data.text(), "c");
    EXPECT_EQ(root->children[0]->name, "Renamed");
    EXPECT_EQ(root->children[0]->children[2]->name, "Host");
}

TEST(ItemCopy, isDeepAndIndependent) {
    auto root = networkTree();
    Arena arena;
    Item* copy = root->copy(arena, nullptr);
    ASSERT_EQ(copy->children.size(), root->children.size());
    EXPECT_NE(copy->children[0], root->children[0]);
    EXPECT_EQ(copy->children[0]->parent, copy);
    EXPECT_TRUE(copy->children[0]->data == root->children[0]->data);
    copy->children[0]->setEnabledDeep(false);
    EXPECT_TRUE(root->children[0]->enabled);
    EXPECT_TRUE(root->children[0]->children[0]->enabled);
    EXPECT_FALSE(copy->children[0]->children[1]->enabled);
}
