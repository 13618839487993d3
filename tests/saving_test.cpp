// Tests of saving a tree as a property-list file: exactly the written text, or nothing touched.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
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

namespace {

// Every entry below `folder`, a line each in name order: the path from `top`, then what it holds or
// leads to.
std::string inventory(const fs::path& folder, const fs::path& top) {
    std::vector<fs::path> paths;
    for (const auto& entry : fs::directory_iterator(folder))
        paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    std::string lines;
    for (const fs::path& path : paths) {
        const fs::file_status status = fs::symlink_status(path);
        lines += path.lexically_relative(top).string();
        if (fs::is_symlink(status))
            lines += " -> " + fs::read_symlink(path).string() + "\n";
        else if (fs::is_fifo(status))
            lines += " pipe\n";
        else if (fs::is_directory(status))
            lines += '\n' + inventory(path, top);
        else
            lines += " = " + contents(path) + "\n";
    }
    return lines;
}

} // namespace

TEST(Saving, aTargetIsWrittenWhereItLeadsOrLeftAsItWas) {
    const fs::path folder = fs::temp_directory_path() / ("carryover-targets-" + std::to_string(::getpid()));
    const struct {
        const char* target;
        std::string reason; // "" when the write succeeds
        const char* after;  // the folder's inventory afterwards, as inventory() writes it
    } cases[] = {
        {"file", "",
         "dangling -> new\nfile = new\nlink -> sub/file\nloop -> loop\npipe pipe\nsub\nsub/file = old\n"},
        {"link", "",
         "dangling -> new\nfile = old\nlink -> sub/file\nloop -> loop\npipe pipe\nsub\nsub/file = new\n"},
        {"dangling", "",
         "dangling -> new\nfile = old\nlink -> sub/file\nloop -> loop\nnew = new\npipe pipe\nsub\nsub/file = "
         "old\n"},
        {"sub/missing/file", std::strerror(ENOENT), nullptr},
        {"sub", std::strerror(EISDIR), nullptr},
        {"loop", std::strerror(ELOOP), nullptr},
        {"pipe", "nothing reads from the named pipe", nullptr},
    };
    for (const auto& c : cases) {
        fs::remove_all(folder);
        fs::create_directories(folder / "sub");
        std::ofstream(folder / "file") << "old";
        std::ofstream(folder / "sub" / "file") << "old";
        fs::create_symlink("sub/file", folder / "link");
        fs::create_symlink("new", folder / "dangling");
        fs::create_symlink("loop", folder / "loop");
        ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
        const std::string before = inventory(folder, folder);
        EXPECT_EQ(writeFileAtomically(folder / c.target, "new"), c.reason) << c.target;
        EXPECT_EQ(inventory(folder, folder), c.after ? c.after : before) << c.target;
    }
    fs::remove_all(folder);
}
