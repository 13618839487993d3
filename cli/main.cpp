// carryover-cli: the merge of a configuration property list into a newer sample, without a window.
#include <csignal>
#include <functional>
#include <iostream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "TreeText.h"
#include "merge/Comparison.h"
#include "merge/Difference.h"
#include "plist/Loading.h"
#include "plist/Quoted.h"
#include "plist/Saving.h"
#include "plist/Writer.h"

using namespace carryover;

namespace {

// Exit statuses, as diff tools have them.
constexpr int same = 0, differs = 1, trouble = 2;

constexpr const char* usage = "usage: carryover-cli dump FILE\n"
                              "       carryover-cli format FILE [-o OUT]\n"
                              "       carryover-cli diff [--tsv] CONFIG SAMPLE\n"
                              "       carryover-cli merge CONFIG SAMPLE [-o OUT]\n"
                              "       carryover-cli --help | --version\n";

constexpr const char* help =
    "Carries a configuration property list over into the structure of a newer full sample.\n\n"
    "  dump FILE                    print FILE's tree, one tab-separated line per node:\n"
    "                               depth, name, kind, value, operation, enabled\n"
    "  format FILE [-o OUT]         write FILE again in Carryover's layout\n"
    "  diff [--tsv] CONFIG SAMPLE   print the differences tree (--tsv: in the form of dump)\n"
    "  merge CONFIG SAMPLE [-o OUT] write the merged property list\n\n"
    "  -h, --help                   print this help\n"
    "  --version                    print the version\n\n"
    "Without -o, output goes to standard output; with it, OUT is replaced atomically (a device or\n"
    "named pipe is written directly; a symbolic link stays one, the file it leads to is replaced).\n"
    "\"--\" ends the options: the words after it are file names.\n"
    "Exit status: 0 success (diff: no differences), 1 differences (diff), 2 trouble.\n";

int usageError(const std::string& why) {
    std::cerr << "carryover-cli: " << why << '\n' << usage;
    return trouble;
}

// Says on standard error why standard output could not be written, if it could not (`reason` is not "").
// Returns `same` or `trouble`.
int printed(const std::string& reason) {
    if (reason.empty()) return same;
    std::cerr << "carryover-cli: cannot write standard output: " << reason << '\n';
    return trouble;
}

// Writes `text` to standard output; on failure says why on standard error. Returns `same` or `trouble`.
int print(std::string_view text) {
    return printed(writeAll(STDOUT_FILENO, text));
}

struct Arguments {
    std::vector<std::string> files;
    std::string output; // -o OUT
    bool tsv = false;
    bool help = false; // -h or --help among the options
};

// Splits the words after the command into files and options; false on a word it does not know.
bool parse(const std::vector<std::string>& words, bool allowOutput, bool allowTsv, Arguments& out,
           std::string& why) {
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "-h" || word == "--help") {
            out.help = true;
        } else if (allowOutput && word == "-o") {
            if (i + 1 == words.size() || words[i + 1].empty()) return why = "-o needs a file name", false;
            out.output = words[++i];
        } else if (allowTsv && word == "--tsv") {
            out.tsv = true;
        } else if (word == "--") {
            out.files.insert(out.files.end(), words.begin() + static_cast<long>(i) + 1, words.end());
            return true;
        } else if (word.size() > 1 && word[0] == '-') {
            return why = "unknown option " + quoted(word), false;
        } else {
            out.files.push_back(word);
        }
    }
    return true;
}

// Loads a file, or prints why not; null when it was refused. The files compared with each other share
// `counter`, so that their containers are numbered in reading order.
ItemPtr load(const std::string& path, ContainerCounter& counter) {
    LoadResult result = loadPlist(path, counter, FileAccess::Map); // the tool ends before the file may change
    if (!result.loaded()) {
        std::cerr << result.message << " (" << quoted(path) << ")\n";
        return nullptr;
    }
    return result.root;
}

// `root` as a property-list document, to standard output or, with -o, saved to that file.
int emitDocument(const Item& root, const std::string& output) {
    if (output.empty()) return printed(writeDocument(STDOUT_FILENO, root));
    SaveResult saved = savePlist(root, output);
    if (!saved.saved()) {
        std::cerr << "carryover-cli: cannot write " << quoted(output) << ": " << saved.reason << '\n';
        return trouble;
    }
    return same;
}

// Loads both files, configuration first; false when either was refused.
bool loadBoth(const Arguments& arguments, ItemPtr& config, ItemPtr& sample) {
    ContainerCounter counter;
    config = load(arguments.files[0], counter);
    if (!config) return false;
    sample = load(arguments.files[1], counter);
    return sample != nullptr;
}

int dump(const Arguments& arguments) {
    ContainerCounter counter;
    ItemPtr root = load(arguments.files[0], counter);
    return root ? print(dumpLines(*root)) : trouble;
}

int format(const Arguments& arguments) {
    ContainerCounter counter;
    ItemPtr root = load(arguments.files[0], counter);
    return root ? emitDocument(*root, arguments.output) : trouble;
}

// The command runs once, so the engine may take the loaded trees instead of copying them.
int diff(const Arguments& arguments) {
    ItemPtr config, sample;
    if (!loadBoth(arguments, config, sample)) return trouble;
    const ItemPtr differences = differenceTaking(std::move(sample), std::move(config));
    const Item& tree = *differences;
    if (print(arguments.tsv ? dumpLines(tree) : treeText(tree, ::isatty(STDOUT_FILENO))) != same)
        return trouble;
    return OperationCounts(tree).differ() ? differs : same;
}

int merge(const Arguments& arguments) {
    ItemPtr config, sample;
    if (!loadBoth(arguments, config, sample)) return trouble;
    const ItemPtr result = mergedResultTaking(std::move(config), std::move(sample));
    if (!result || result->type() != ItemDataType::FileName) {
        std::cerr << "carryover-cli: the comparison gave no document to write\n";
        return trouble;
    }
    return emitDocument(*result, arguments.output);
}

struct Command {
    const char* name;
    size_t files;
    bool output, tsv;
    std::function<int(const Arguments&)> run;
};

int printHelp() {
    return print(std::string(usage) + '\n' + help);
}

} // namespace

int main(int argc, char** argv) {
    // A file-size limit makes a write fail with EFBIG, reported like any other failure, instead of
    // killing the process with a temporary file left behind.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) return usageError("no command given");
    if (words[0] == "--help" || words[0] == "-h" || words[0] == "help") return printHelp();
    if (words[0] == "--version") return print(std::string("carryover-cli ") + CARRYOVER_VERSION + '\n');
    const Command commands[] = {
        {"dump", 1, false, false, dump},
        {"format", 1, true, false, format},
        {"diff", 2, false, true, diff},
        {"merge", 2, true, false, merge},
    };
    for (const Command& command : commands) {
        if (words[0] != command.name) continue;
        Arguments arguments;
        std::string why;
        if (!parse({words.begin() + 1, words.end()}, command.output, command.tsv, arguments, why))
            return usageError(why);
        if (arguments.help) return printHelp();
        for (const std::string& file : arguments.files)
            if (file.empty()) return usageError("an empty file name");
        if (arguments.files.size() != command.files)
            return usageError(std::string(command.name) + " takes " +
                              (command.files == 1 ? "one file" : "two files"));
        return command.run(arguments);
    }
    return usageError("unknown command " + quoted(words[0]));
}
