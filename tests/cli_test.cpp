// carryover-cli as scripts use it: output formats, exit statuses, messages, and output files of every
// kind (devices, pipes, links, read-only folders, size limits).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <plist/plist.h>
#include <pwd.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "GeneratedPlist.h"
#include "PlistText.h"
#include "merge/Comparison.h"
#include "plist/Writer.h"

using namespace carryover;
namespace fs = std::filesystem;

namespace {

// How the tool is started by runCli: in which folder, with which umask and file-size limit, as whom,
// and where its standard output goes.
struct Start {
    std::string folder; // the working folder; "" for the test's own
    mode_t umask = 022;
    rlim_t fileSizeLimit = RLIM_INFINITY;
    bool unprivileged = false;       // run as the user "nobody" (when the test runs as root)
    const char* standardOutput = ""; // a file to write standard output to, e.g. "/dev/full"; "" to capture
    bool closedOutput = false;       // standard output closed
};

struct Ended {
    int status; // the exit status; 128 + the signal when one ended the tool
    std::string out, err;
};

std::string everything(int fd) {
    std::string text;
    std::array<char, 4096> buffer;
    for (off_t at = 0;;) {
        const ssize_t got = ::pread(fd, buffer.data(), buffer.size(), at);
        if (got <= 0) return text;
        text.append(buffer.data(), static_cast<size_t>(got));
        at += got;
    }
}

// Runs the tool with `words` as its arguments, without a shell, as `start` says; its standard output and
// standard error are captured in memory files, out of every folder the tests list.
Ended runCli(const std::vector<std::string>& words, const Start& start = {}) {
    const int out = ::memfd_create("out", MFD_CLOEXEC);
    const int err = ::memfd_create("err", MFD_CLOEXEC);
    std::vector<char*> argv = {const_cast<char*>(CARRYOVER_CLI)};
    for (const std::string& word : words)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    const passwd* nobody = ::getpwnam("nobody");
    const pid_t child = ::fork();
    if (child == 0) {
        if (!start.folder.empty() && ::chdir(start.folder.c_str()) != 0) ::_exit(125);
        ::umask(start.umask);
        const rlimit limit{start.fileSizeLimit, start.fileSizeLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_DFL); // as a shell leaves it, whatever the test process does
        if (start.closedOutput)
            ::close(STDOUT_FILENO);
        else if (*start.standardOutput)
            ::dup2(::open(start.standardOutput, O_WRONLY), STDOUT_FILENO);
        else
            ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        if (start.unprivileged && ::getuid() == 0 &&
            (!nobody || ::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
             ::setuid(nobody->pw_uid) != 0))
            ::_exit(126);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    Ended ended{WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), everything(out),
                everything(err)};
    ::close(out);
    ::close(err);
    return ended;
}

class Folder {
  public:
    Folder() {
        char name[] = "/tmp/carryover-cli-XXXXXX";
        path = ::mkdtemp(name);
    }
    ~Folder() { fs::remove_all(path); }
    std::string write(const std::string& name, const std::string& text) const {
        const std::string file = path + "/" + name;
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }
    std::string path;
};

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The names in `folder`, sorted.
std::vector<std::string> listing(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

using Names = std::vector<std::string>;

fs::perms permissions(const std::string& path) {
    return fs::symlink_status(path).permissions() & fs::perms::mask;
}

const std::string examples = CARRYOVER_EXAMPLES;
const std::string config = examples + "/config.plist";
const std::string sample = examples + "/sample.plist";

// What `merge` writes for the examples.
std::string mergedExamples() {
    return runCli({"merge", config, sample}).out;
}

} // namespace

TEST(CliUsage, statusesHelpAndUsageErrors) {
    Folder folder;
    const std::string input = folder.write("in.plist", test::document("<key>a</key><true/>"));
    const std::string bad = folder.write("bad.plist", "not a plist");
    const std::string usage = "usage: carryover-cli dump FILE\n";
    const struct {
        std::vector<std::string> words;
        int status;
        std::string out, err; // how standard output and standard error start
    } cases[] = {
        {{"--help"}, 0, usage, ""},
        {{"-h"}, 0, usage, ""},
        {{"help"}, 0, usage, ""},
        {{"merge", "--help"}, 0, usage, ""},
        {{"diff", "-h", "x"}, 0, usage, ""},
        {{"format", "a", "-o", "b", "--help"}, 0, usage, ""},
        {{"--version"}, 0, "carryover-cli ", ""},
        {{}, 2, "", "carryover-cli: no command given\nusage: "},
        {{"frobnicate", "x"}, 2, "", "carryover-cli: unknown command \"frobnicate\"\nusage: "},
        {{"dump"}, 2, "", "carryover-cli: dump takes one file\nusage: "},
        {{"diff", config}, 2, "", "carryover-cli: diff takes two files\nusage: "},
        {{"merge", "--bogus", "a", "b"}, 2, "", "carryover-cli: unknown option \"--bogus\"\nusage: "},
        {{"merge", "a", "b", "-o"}, 2, "", "carryover-cli: -o needs a file name\nusage: "},
        {{"format", input, "-o", ""}, 2, "", "carryover-cli: -o needs a file name\nusage: "},
        {{"dump", ""}, 2, "", "carryover-cli: an empty file name\nusage: "},
        {{"diff", config, ""}, 2, "", "carryover-cli: an empty file name\nusage: "},
        {{"dump", "-x\n"}, 2, "", "carryover-cli: unknown option \"-x\\n\"\nusage: "},
        {{"dump", bad}, 2, "", "Error reading plist: "},
        {{"dump", "/nonexistent.plist"}, 2, "", "Error reading plist: cannot read the file: "},
        {{"diff", bad, sample}, 2, "", "Error reading plist: "},
        {{"merge", config, bad}, 2, "", "Error reading plist: "},
    };
    for (const auto& c : cases) {
        const Ended ended = runCli(c.words);
        const std::string words = c.words.empty() ? "" : c.words[0];
        EXPECT_EQ(ended.status, c.status) << words;
        EXPECT_TRUE(ended.out.starts_with(c.out)) << words << ": " << ended.out;
        EXPECT_EQ(ended.out.empty(), c.out.empty()) << words;
        EXPECT_TRUE(ended.err.starts_with(c.err)) << words << ": " << ended.err;
        EXPECT_EQ(ended.err.empty(), c.err.empty()) << words;
    }
    const std::string version = runCli({"--version"}).out;
    EXPECT_EQ(std::count(version.begin(), version.end(), '\n'), 1) << version;
    EXPECT_EQ(listing(folder.path), (Names{"bad.plist", "in.plist"}));
}

TEST(CliMerge, outputIsTheResultTreeAndLibplistReadsIt) {
    Folder folder;
    for (uint64_t seed : {3u, 4u}) {
        generator::GeneratedPair pair = generator::generatePlistPair(seed, 30000);
        const std::string config = folder.write("config.plist", pair.config);
        const std::string sample = folder.write("sample.plist", pair.sample);
        const std::string out = folder.path + "/merged.plist";
        ASSERT_EQ(runCli({"merge", config, sample, "-o", out}).status, 0);
        const std::string written = readFile(out);
        EXPECT_EQ(runCli({"merge", config, sample}).out, written);
        EXPECT_TRUE(test::libplistValues(written));

        ContainerCounter counter;
        ItemPtr configRoot = readPlistText(config, pair.config, counter).root;
        ItemPtr sampleRoot = readPlistText(sample, pair.sample, counter).root;
        EXPECT_EQ(written, plistRepresentation(*compare(configRoot, sampleRoot).result, 0));
    }
}

TEST(CliOutput, aDeviceIsWrittenAndStaysADevice) {
    Folder folder;
    const std::string device = folder.path + "/null";
    if (::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0)
        GTEST_SKIP() << "cannot make a device node here: " << std::strerror(errno);
    const Ended ended = runCli({"merge", config, sample, "-o", device});
    EXPECT_EQ(ended.status, 0);
    EXPECT_EQ(ended.err, "");
    struct stat info {};
    ASSERT_EQ(::lstat(device.c_str(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    EXPECT_EQ(info.st_rdev, ::makedev(1, 3));
    EXPECT_EQ(listing(folder.path), Names{"null"});
}

TEST(CliOutput, aNamedPipeIsWrittenWhenReadAndRefusedWhenNot) {
    Folder folder;
    const std::string pipe = folder.path + "/pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    // Nobody reads: the tool says so at once rather than waiting for a reader.
    Ended ended = runCli({"merge", config, sample, "-o", pipe});
    EXPECT_EQ(ended.status, 2);
    EXPECT_EQ(ended.err, "carryover-cli: cannot write \"" + pipe + "\": nothing reads from the named pipe\n");
    EXPECT_EQ(listing(folder.path), Names{"pipe"});

    // The merged text fits in the pipe's buffer, so the tool ends before it is read.
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ended = runCli({"merge", config, sample, "-o", pipe});
    EXPECT_EQ(ended.status, 0);
    EXPECT_EQ(ended.err, "");
    std::string received(1 << 16, '\0');
    const ssize_t got = ::read(reader, received.data(), received.size());
    ::close(reader);
    received.resize(got > 0 ? static_cast<size_t>(got) : 0);
    EXPECT_EQ(received, mergedExamples());
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_EQ(listing(folder.path), Names{"pipe"});
}

TEST(CliOutput, aLinkStaysALinkADanglingOneCreatesItsFileALoopIsRefused) {
    Folder folder;
    fs::create_directory(folder.path + "/real");
    const std::string file = folder.write("real/out.plist", "old");
    fs::permissions(file, fs::perms(0604));
    fs::create_symlink("real/out.plist", folder.path + "/relative");       // relative to the link's folder
    fs::create_symlink(folder.path + "/relative", folder.path + "/chain"); // a link to a link
    fs::create_symlink("new.plist", folder.path + "/dangling");
    fs::create_symlink("loop", folder.path + "/loop");
    const std::string merged = mergedExamples();
    for (const char* link : {"relative", "chain"}) {
        folder.write("real/out.plist", "old");
        const Ended ended = runCli({"merge", config, sample, "-o", folder.path + "/" + link});
        EXPECT_EQ(ended.status, 0) << link;
        EXPECT_EQ(ended.err, "");
        EXPECT_EQ(readFile(file), merged);
        EXPECT_EQ(permissions(file), fs::perms(0604));
    }
    Start start;
    start.umask = 027;
    Ended ended = runCli({"merge", config, sample, "-o", folder.path + "/dangling"}, start);
    EXPECT_EQ(ended.status, 0);
    EXPECT_EQ(ended.err, "");
    EXPECT_EQ(readFile(folder.path + "/new.plist"), merged);
    EXPECT_EQ(permissions(folder.path + "/new.plist"), fs::perms(0640));
    ended = runCli({"merge", config, sample, "-o", folder.path + "/loop"});
    EXPECT_EQ(ended.status, 2);
    EXPECT_EQ(ended.err, "carryover-cli: cannot write \"" + folder.path +
                             "/loop\": Too many levels of symbolic links\n");
    EXPECT_EQ(fs::read_symlink(folder.path + "/relative"), "real/out.plist");
    EXPECT_EQ(fs::read_symlink(folder.path + "/chain"), folder.path + "/relative");
    EXPECT_EQ(fs::read_symlink(folder.path + "/dangling"), "new.plist");
    EXPECT_EQ(listing(folder.path), (Names{"chain", "dangling", "loop", "new.plist", "real", "relative"}));
    EXPECT_EQ(listing(folder.path + "/real"), Names{"out.plist"});
}

TEST(CliOutput, aReplacedFileKeepsItsPermissionsAndOwnerANewOneGetsTheUsualOnes) {
    Folder folder;
    const std::string input = folder.write("in.plist", test::document("<key>a</key><true/>"));
    const std::string formatted = runCli({"format", input}).out;
    for (mode_t mode : {0751, 0604, 0600, 0444}) {
        const std::string target = folder.write("old.plist", "old");
        fs::permissions(target, fs::perms(mode));
        const bool chowned = ::getuid() == 0 && ::chown(target.c_str(), 65534, 65534) == 0;
        const Ended ended = runCli({"format", input, "-o", target});
        EXPECT_EQ(ended.status, 0) << ended.err;
        EXPECT_EQ(readFile(target), formatted);
        EXPECT_EQ(permissions(target), fs::perms(mode)) << std::oct << mode;
        struct stat info {};
        ::stat(target.c_str(), &info);
        if (chowned) {
            EXPECT_EQ(info.st_uid, 65534u);
        }
    }
    for (mode_t umask : {022, 027, 0, 077}) {
        fs::remove(folder.path + "/new.plist");
        Start start;
        start.umask = umask;
        EXPECT_EQ(runCli({"format", input, "-o", folder.path + "/new.plist"}, start).status, 0);
        EXPECT_EQ(permissions(folder.path + "/new.plist"), fs::perms(0666 & ~umask)) << std::oct << umask;
    }
    EXPECT_EQ(listing(folder.path), (Names{"in.plist", "new.plist", "old.plist"}));
}

TEST(CliOutput, aFolderTheUserCannotWriteLeavesEverythingAsItWas) {
    Folder folder;
    Start start;
    start.unprivileged = true;
    fs::permissions(folder.path, fs::perms(0755)); // open to the unprivileged user
    if (runCli({"--version"}, start).status != 0)
        GTEST_SKIP() << "cannot run the tool as an unprivileged user";
    const std::string input = folder.write("in.plist", test::document("<key>a</key><true/>"));
    fs::create_directory(folder.path + "/locked");
    // Anyone may write the file itself, but only its owner may add a file next to it.
    const std::string target = folder.write("locked/out.plist", "old");
    fs::permissions(target, fs::perms(0666));
    fs::permissions(folder.path + "/locked", fs::perms(::getuid() == 0 ? 0755 : 0555));
    const Ended ended = runCli({"format", input, "-o", target}, start);
    EXPECT_EQ(ended.status, 2);
    EXPECT_EQ(ended.err, "carryover-cli: cannot write \"" + target + "\": Permission denied\n");
    EXPECT_EQ(readFile(target), "old");
    EXPECT_EQ(permissions(target), fs::perms(0666));
    EXPECT_EQ(listing(folder.path + "/locked"), Names{"out.plist"});
    fs::permissions(folder.path + "/locked", fs::perms(0755));
}

TEST(CliOutput, aFileSizeLimitFailsTheWriteAndLeavesNoTemporaryFile) {
    Folder folder;
    const std::string target = folder.write("out.plist", "old");
    Start start;
    start.fileSizeLimit = 512; // well below the merged examples
    ASSERT_GT(mergedExamples().size(), 512u);
    const Ended ended = runCli({"merge", config, sample, "-o", target}, start);
    EXPECT_EQ(ended.status, 2);
    EXPECT_EQ(ended.err, "carryover-cli: cannot write \"" + target + "\": File too large\n");
    EXPECT_EQ(readFile(target), "old");
    EXPECT_EQ(listing(folder.path), Names{"out.plist"});
}

TEST(CliOutput, everyFailureToWriteStandardOutputIsReported) {
    Folder folder;
    const std::string input = folder.write("in.plist", test::document("<key>a</key><true/>"));
    const std::vector<std::vector<std::string>> commands = {
        {"dump", input},           {"format", input},
        {"diff", config, sample},  {"diff", "--tsv", input, input},
        {"merge", config, sample}, {"--help"},
        {"merge", "--help"},       {"--version"}};
    for (const auto& words : commands) {
        Start full;
        full.standardOutput = "/dev/full";
        Ended ended = runCli(words, full);
        EXPECT_EQ(ended.status, 2) << words[0];
        EXPECT_EQ(ended.err, "carryover-cli: cannot write standard output: No space left on device\n");
        Start closed;
        closed.closedOutput = true;
        ended = runCli(words, closed);
        EXPECT_EQ(ended.status, 2) << words[0];
        EXPECT_EQ(ended.err, "carryover-cli: cannot write standard output: Bad file descriptor\n");
    }
    // With standard output closed, output to a file is written as usual.
    Start closed;
    closed.closedOutput = true;
    EXPECT_EQ(runCli({"format", input, "-o", folder.path + "/out.plist"}, closed).status, 0);
    EXPECT_EQ(readFile(folder.path + "/out.plist"), runCli({"format", input}).out);
}

TEST(CliMessages, fileNamesAreQuotedOnOneLine) {
    Folder folder;
    const struct {
        std::string name, quoted;
    } cases[] = {
        {"plain.plist", "plain.plist"},
        {"a\nb.plist", "a\\nb.plist"},
        {"tab\there\r", "tab\\there\\r"},
        {"esc\x1b[31m\x7f", "esc\\x1B[31m\\x7F"},
        {"quote\"back\\slash", "quote\\\"back\\\\slash"},
        {"bad\xff\xfe\xc3.plist", "bad\\xFF\\xFE\\xC3.plist"},
        {"c1\xc2\x85 \xc2\x9b", "c1\\xC2\\x85 \\xC2\\x9B"},
        {"\xc3\xbc \xe2\x82\xac \xf0\x9f\x98\x80", "\xc3\xbc \xe2\x82\xac \xf0\x9f\x98\x80"},
    };
    for (const auto& c : cases) {
        const std::string path = folder.path + "/" + c.name;
        Ended ended = runCli({"dump", path});
        EXPECT_EQ(ended.status, 2);
        EXPECT_EQ(ended.err, "Error reading plist: cannot read the file: No such file or directory (\"" +
                                 folder.path + "/" + c.quoted + "\")\n");
        ended = runCli({"merge", config, sample, "-o", path + "/out.plist"});
        EXPECT_EQ(ended.status, 2);
        EXPECT_EQ(ended.err, "carryover-cli: cannot write \"" + folder.path + "/" + c.quoted +
                                 "/out.plist\": No such file or directory\n");
    }
    EXPECT_TRUE(listing(folder.path).empty());
}
