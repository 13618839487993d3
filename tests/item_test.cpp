// Paths and look-up in Item trees.
#include <gtest/gtest.h>

#include "PlistText.h"
#include "model/Item.h"

using namespace carryover;
using test::document;
using test::read;

TEST(ItemPath, pathsAndLookUp) {
    auto root = read(document("<key>Network</key><dict><key>Port</key><integer>80</integer>"
                              "<key>Port</key><integer>81</integer><key>Host</key><string>h</string></dict>"
                              "<key>a\u00B0b</key><true/><key></key><false/>"));
    const auto& network = root->children[0];
    const auto& host = network->children[2];
    EXPECT_EQ(root->path(), "");
    EXPECT_EQ(network->children[0]->path(), "\u00B0Network\u00B0Port");
    EXPECT_EQ(&host->top(), root.get());

    const auto ports = root->getItems("\u00B0Network\u00B0Port");
    ASSERT_EQ(ports.size(), 2u); // both duplicates, in order
    EXPECT_EQ(ports[0]->data.intValue(), 80);
    EXPECT_EQ(ports[1]->data.intValue(), 81);
    EXPECT_EQ(host->getItems("\u00B0Network\u00B0Port"), ports); // absolute from anywhere
    EXPECT_EQ(root->getItems("Network\u00B0Port"), ports);       // relative
    EXPECT_TRUE(network->getItems("Network\u00B0Port").empty());
    EXPECT_EQ(network->getItems("Host").size(), 1u);
    EXPECT_TRUE(root->getItems(std::vector<std::string_view>{}).empty());
    // A key holding the separator cannot be named; the empty key can.
    EXPECT_TRUE(root->getItems("a\u00B0b").empty());
    const auto empty = root->getItems("");
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_FALSE(empty[0]->data.boolValue());
}
