// Tests of saving a tree as a property-list file: exactly the written text, or nothing touched.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "PlistText.h"
#include "plist/Saving.h"
#include "plist/Writer.h"

using namespace carryover;
namespace fs = std::filesystem;

namespace {
std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
} // namespace

TEST(Saving, writesTheDocumentOrLeavesTheTargetAsItWas) {
    const fs::path folder = fs::temp_directory_path() / ("carryover-saving-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path target = folder / "out.plist";
    std::ofstream(target) << "old";
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    auto root = test::read(test::document("<key>a</key><string>ä</string>"));
    ASSERT_TRUE(savePlist(*root, target).saved());
    EXPECT_EQ(contents(target), plistRepresentation(*root, 0));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // An error node or an empty tree is no document: nothing is written.
    std::ofstream(target) << "old";
    Item fehler, empty;
    fehler.name = "Fehler";
    EXPECT_EQ(savePlist(fehler, target).status, SaveStatus::NotADocument);
    EXPECT_EQ(savePlist(empty, target).status, SaveStatus::NotADocument);
    EXPECT_EQ(contents(target), "old");

    // A folder in the target's place cannot be replaced.
    fs::create_directory(folder / "taken.plist");
    SaveResult failed = savePlist(*root, folder / "taken.plist");
    EXPECT_EQ(failed.status, SaveStatus::WriteFailed);
    EXPECT_EQ(failed.description(), "cannot write the file: Is a directory");
    fs::remove_all(folder);
}
