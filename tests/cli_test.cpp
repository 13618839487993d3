// carryover-cli as scripts use it: output formats, exit statuses, atomic output files.
#include <gtest/gtest.h>

#include <plist/plist.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "GeneratedPlist.h"
#include "PlistText.h"
#include "merge/Comparison.h"
#include "merge/Difference.h"
#include "merge/Disabled.h"
#include "plist/Writer.h"

using namespace carryover;
namespace fs = std::filesystem;

namespace {

struct CliRun {
    int status;
    std::string out;
};

// Runs the command line tool with `arguments` (shell words); standard error is discarded, or with
// `errors` taken in place of standard output.
CliRun cli(const std::string& arguments, bool errors = false) {
    const std::string command =
        std::string(CARRYOVER_CLI) + " " + arguments + (errors ? " 2>&1 >/dev/null" : " 2>/dev/null");
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    std::array<char, 4096> buffer;
    while (size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe))
        out.append(buffer.data(), got);
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
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

const std::string examples = CARRYOVER_EXAMPLES;

// What survives writing and reading again: kinds, names and values, not marks or serial numbers.
std::string content(const Item& node, int depth = 0) {
    std::string out =
        std::to_string(depth) + " " + std::string(node.name) + " " + std::string(typeName(node.type()));
    if (node.type() != ItemDataType::Dictionary && node.type() != ItemDataType::Array &&
        node.type() != ItemDataType::FileName)
        out += " " + plistRepresentation(node, 0);
    out += "\n";
    for (const auto& child : node.children)
        out += content(*child, depth + 1);
    return out;
}

} // namespace

TEST(CliDump, linesWithEscapes) {
    Folder folder;
    const std::string file = folder.write(
        "a.plist",
        test::document("<key>t\tab</key><string>x\\y\nz\r</string><key>n</key><integer>-3</integer>"
                       "<key>r</key><real>0.5</real><key>d</key><data>AQID</data>"
                       "<key>a</key><array><true/></array><!-- c -->"
                       "<key>u</key><integer>18446744073709551615</integer><key>i</key><real>-inf</real>"));
    const CliRun run = cli("dump " + file);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "0\t" + file +
                           "\tFileName\t\tNone\t1\n"
                           "1\tt\\tab\tString\tx\\\\y\\nz\\n\tNone\t1\n"
                           "1\tn\tInt\t-3\tNone\t1\n"
                           "1\tr\tDouble\t0.5\tNone\t1\n"
                           "1\td\tData\tAQID\tNone\t1\n"
                           "1\ta\tArray\t\tNone\t1\n"
                           "2\tItem 0\tBool\ttrue\tNone\t1\n"
                           "1\tu\tInt\t18446744073709551615\tNone\t1\n"
                           "1\ti\tDouble\t-infinity\tNone\t1\n");
}

TEST(CliStatus, troubleAndUsage) {
    Folder folder;
    const std::string bad = folder.write("bad.plist", "not a plist");
    EXPECT_EQ(cli("dump " + bad).status, 2);
    EXPECT_EQ(cli("dump /nonexistent.plist").status, 2);
    EXPECT_EQ(cli("").status, 2);
    EXPECT_EQ(cli("frobnicate x").status, 2);
    EXPECT_EQ(cli("dump").status, 2);
    EXPECT_EQ(cli("diff " + examples + "/config.plist").status, 2);
    EXPECT_EQ(cli("merge --bogus a b").status, 2);
    EXPECT_EQ(cli("merge a b -o").status, 2);
    EXPECT_EQ(cli("--help").status, 0);
    EXPECT_NE(cli("--version").out.find("carryover-cli"), std::string::npos);
    EXPECT_EQ(cli("diff " + bad + " " + examples + "/sample.plist").status, 2);
    EXPECT_EQ(cli("merge " + examples + "/config.plist " + bad).status, 2);
}

TEST(CliStatus, refusedFilesSayWhyAndWhere) {
    Folder folder;
    const std::string file = folder.write("a.plist", test::document("<key>a</key><key>b</key><true/>"));
    const CliRun run = cli("format " + file, true);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "Error reading plist: the key \"a\" has no value at line 5, column 1, format: XML (" +
                           file + ")\n");
}

TEST(CliFormat, writesOurLayoutAtomically) {
    Folder folder;
    const std::string file = folder.write("a.plist", test::document("<key>a</key>   <integer>1</integer>"));
    const std::string out = folder.path + "/out.plist";
    EXPECT_EQ(cli("format " + file + " -o " + out).status, 0);
    EXPECT_EQ(readFile(out),
              test::prologue + "<dict>\n\t<key>a</key>\n\t<integer>1</integer>\n</dict>\n</plist>\n");
    EXPECT_EQ(cli("format " + file).out, readFile(out));
    EXPECT_EQ(cli("format " + file + " -o " + folder.path + "/missing/out.plist").status, 2);
    // A target that cannot be replaced stays as it was, and no temporary file is left behind.
    fs::create_directory(folder.path + "/target");
    EXPECT_EQ(cli("format " + file + " -o " + folder.path + "/target").status, 2);
    EXPECT_TRUE(fs::is_directory(folder.path + "/target"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()), 3);
}

TEST(CliDiff, exitStatusTellsWhetherFilesDiffer) {
    const CliRun differing = cli("diff --tsv " + examples + "/config.plist " + examples + "/sample.plist");
    EXPECT_EQ(differing.status, 1);
    EXPECT_NE(differing.out.find("\tReplacement\t1\n"), std::string::npos);
    EXPECT_EQ(differing.out.find('\x1b'), std::string::npos);
    EXPECT_EQ(cli("diff " + examples + "/sample.plist " + examples + "/sample.plist").status, 0);
    const CliRun people = cli("diff " + examples + "/config.plist " + examples + "/sample.plist");
    EXPECT_EQ(people.status, 1);
    EXPECT_NE(people.out.find("Theme  String  Dark  Replacement"), std::string::npos);
    EXPECT_NE(people.out.find("(off)"), std::string::npos);
}

TEST(CliMerge, outputIsTheResultTreeAndLibplistReadsIt) {
    Folder folder;
    for (uint64_t seed : {3u, 4u}) {
        generator::GeneratedPair pair = generator::generatePlistPair(seed, 30000);
        const std::string config = folder.write("config.plist", pair.config);
        const std::string sample = folder.write("sample.plist", pair.sample);
        const std::string out = folder.path + "/merged.plist";
        ASSERT_EQ(cli("merge " + config + " " + sample + " -o " + out).status, 0);
        const std::string written = readFile(out);
        EXPECT_EQ(cli("merge " + config + " " + sample).out, written);

        plist_t plist = nullptr;
        plist_from_xml(written.data(), static_cast<uint32_t>(written.size()), &plist);
        EXPECT_TRUE(plist);
        plist_free(plist);

        ContainerCounter counter;
        ItemPtr configRoot = readPlistText(config, pair.config, counter).root;
        ItemPtr sampleRoot = readPlistText(sample, pair.sample, counter).root;
        ItemPtr result = mergedResult(difference(sampleRoot, configRoot));
        ItemPtr reread = readPlistText(sample, written, counter).root;
        EXPECT_EQ(content(*reread), content(*result));
    }
}
