// carryover-cli: the merge of a configuration property list into a newer sample, without a window.
#include <csignal>
#include <cstdlib>
#include <getopt.h>
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

// The file name that stands for standard input, and for standard output after -o.
const std::string standardStream = "-";

constexpr const char* usage = "usage: carryover-cli dump [--paths | --json] FILE\n"
                              "       carryover-cli format FILE [-o OUT]\n"
                              "       carryover-cli diff [--all | --stat | --tsv | --paths | --json | -q] "
                              "[--color[=WHEN]] CONFIG SAMPLE\n"
                              "       carryover-cli merge CONFIG SAMPLE [-o OUT]\n"
                              "       carryover-cli git-diff [--color[=WHEN]] PATH OLD-FILE OLD-HEX OLD-MODE "
                              "NEW-FILE NEW-HEX NEW-MODE\n"
                              "       carryover-cli --help | --version | COMMAND --help\n";

constexpr const char* help =
    "Carries a configuration property list over into the structure of a newer full sample.\n\n"
    "  dump FILE                    print FILE's tree, one tab-separated line per node:\n"
    "                               depth, name, kind, value, operation, enabled\n"
    "  format FILE [-o OUT]         write FILE again in Carryover's layout\n"
    "  diff CONFIG SAMPLE           print what carrying CONFIG over into SAMPLE decides\n"
    "  merge CONFIG SAMPLE [-o OUT] write the merged property list\n"
    "  git-diff PATH OLD-FILE ...   the same as diff, as git's external diff command\n\n"
    "  -h, --help                   print this help; after a command, that command's help\n"
    "  --version                    print the version\n\n"
    "A file named \"-\" is standard input (for one of the two files at most); -o - writes standard\n"
    "output. Without -o, output goes to standard output; with it, OUT is replaced atomically (a device\n"
    "or named pipe is written directly; a symbolic link stays one, the file it leads to is replaced).\n"
    "\"--\" ends the options: the words after it are file names.\n"
    "Exit status: 0 success (diff: no differences), 1 differences (diff), 2 trouble.\n";

// The options, by the value getopt_long gives for them.
enum Option : int {
    Help = 'h',   // -h, --help: the command's help
    Output = 'o', // -o, --output: the file to write
    Quiet = 'q',  // -q, --quiet: print nothing
    Color = 256,  // --color[=WHEN]
    All,          // --all: the whole differences tree
    Stat,         // --stat: counts per operation
    Tsv,          // --tsv: dump's lines
    Paths,        // --paths: key-path lines
    Json,         // --json: JSON
};

const option everyOption[] = {
    {"help", no_argument, nullptr, Help},   {"output", required_argument, nullptr, Output},
    {"quiet", no_argument, nullptr, Quiet}, {"color", optional_argument, nullptr, Color},
    {"all", no_argument, nullptr, All},     {"stat", no_argument, nullptr, Stat},
    {"tsv", no_argument, nullptr, Tsv},     {"paths", no_argument, nullptr, Paths},
    {"json", no_argument, nullptr, Json},
};

// How a command prints a tree; the options that choose one exclude each other.
enum class Form {
    Default, // dump: its lines; diff: the decisions
    All,     // the whole tree, indented
    Stat,    // the number of nodes per operation
    Tsv,     // dump's lines
    Paths,   // key-path lines of the leaves
    Json,    // the leaves as JSON
    Quiet,   // nothing
};

// The form an option chooses; Default for one that chooses none.
Form formOf(Option option) {
    switch (option) {
    case All:
        return Form::All;
    case Stat:
        return Form::Stat;
    case Tsv:
        return Form::Tsv;
    case Paths:
        return Form::Paths;
    case Json:
        return Form::Json;
    case Quiet:
        return Form::Quiet;
    case Help:
    case Output:
    case Color:
        break;
    }
    return Form::Default;
}

// When lines are coloured.
enum class Colour {
    Auto,   // on a terminal, unless NO_COLOR is set to something or TERM is "dumb"
    Always, // also into files and pipes
    Never,  // not at all
};

struct Arguments {
    std::vector<std::string> files;
    std::string output; // -o OUT
    Form form = Form::Default;
    Colour colour = Colour::Auto;
};

struct Command {
    const char* name;
    size_t files;
    size_t otherFiles;        // another number of files it takes; `files` again for most
    const char* takes;        // the files it takes, in words
    std::vector<int> options; // besides -h, --help
    const char* help;         // the usage line and what the command does
    int (*run)(const Arguments&);
};

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

// Whether lines are coloured.
bool colourWanted(Colour colour) {
    switch (colour) {
    case Colour::Always:
        return true;
    case Colour::Never:
        return false;
    case Colour::Auto: {
        const char* noColour = std::getenv("NO_COLOR");
        const char* term = std::getenv("TERM");
        return ::isatty(STDOUT_FILENO) && (!noColour || !*noColour) &&
               (!term || std::string_view(term) != "dumb");
    }
    }
    return false;
}

// The word of the command line that getopt_long refused. A short option that ends its word has moved
// optind past it; one in the middle of its word has not.
std::string refusedWord(char** words, int count) {
    const bool isShort = optopt > 0 && optopt < Color;
    const std::string_view previous = words[optind - 1];
    if (!isShort || optind >= count ||
        (previous.size() > 1 && previous[0] == '-' && previous.back() == static_cast<char>(optopt)))
        return std::string(previous);
    return words[optind];
}

// Reads the options and files of `command` from `words` (words[0] is the command); false with `why`
// on a word it does not know. `help` is set by -h or --help.
bool parse(const Command& command, int count, char** words, Arguments& out, bool& help, std::string& why) {
    std::string shortOptions = ":h";
    std::vector<option> longOptions = {everyOption[0]};
    for (int id : command.options) {
        for (const option& known : everyOption)
            if (known.val == id) longOptions.push_back(known);
        if (id == Output) shortOptions += "o:";
        if (id == Quiet) shortOptions += 'q';
    }
    longOptions.push_back({nullptr, 0, nullptr, 0});

    opterr = 0;
    optind = 1;
    for (int id; (id = getopt_long(count, words, shortOptions.c_str(), longOptions.data(), nullptr)) != -1;) {
        switch (id) {
        case Help:
            help = true;
            break;
        case Output:
            if (!*optarg) return why = "-o needs a file name", false;
            out.output = optarg;
            break;
        case Color:
            if (!optarg || std::string_view(optarg) == "always")
                out.colour = Colour::Always;
            else if (std::string_view(optarg) == "never")
                out.colour = Colour::Never;
            else if (std::string_view(optarg) == "auto")
                out.colour = Colour::Auto;
            else
                return why = "--color takes auto, always or never, not " + quoted(optarg), false;
            break;
        case Quiet:
        case All:
        case Stat:
        case Tsv:
        case Paths:
        case Json:
            if (out.form != Form::Default && out.form != formOf(Option(id)))
                return why = "only one of --all, --stat, --tsv, --paths, --json and -q may be given", false;
            out.form = formOf(Option(id));
            break;
        case ':':
            return why = "-o needs a file name", false;
        default:
            return why = "unknown option " + quoted(refusedWord(words, count)), false;
        }
    }
    out.files.assign(words + optind, words + count);
    return true;
}

// Loads a file, or standard input for "-", or prints why not; null when it was refused. The files
// compared with each other share `counter`, so that their containers are numbered in reading order.
ItemPtr load(const std::string& path, ContainerCounter& counter) {
    LoadResult result = path == standardStream ? loadPlistDescriptor(STDIN_FILENO, path, counter)
                                               : loadPlist(path, counter, FileAccess::Map);
    if (!result.loaded()) {
        std::cerr << result.message << " (" << quoted(path) << ")\n";
        return nullptr;
    }
    return result.root;
}

// `root` as a property-list document, to standard output or, with -o, saved to that file.
int emitDocument(const Item& root, const std::string& output) {
    if (output.empty() || output == standardStream) return printed(writeDocument(STDOUT_FILENO, root));
    SaveResult saved = savePlist(root, output);
    if (!saved.saved()) {
        std::cerr << "carryover-cli: cannot write " << quoted(output) << ": " << saved.reason << '\n';
        return trouble;
    }
    return same;
}

// Loads both files, configuration first; false when either was refused.
bool loadBoth(const std::string& configPath, const std::string& samplePath, ItemPtr& config,
              ItemPtr& sample) {
    ContainerCounter counter;
    config = load(configPath, counter);
    if (!config) return false;
    sample = load(samplePath, counter);
    return sample != nullptr;
}

int dump(const Arguments& arguments) {
    ContainerCounter counter;
    ItemPtr root = load(arguments.files[0], counter);
    if (!root) return trouble;
    switch (arguments.form) {
    case Form::Paths:
        return print(pathLines(*root, false));
    case Form::Json:
        return print(jsonText(*root));
    case Form::Default:
    case Form::All:
    case Form::Stat:
    case Form::Tsv:
    case Form::Quiet:
        break;
    }
    return print(dumpLines(*root));
}

int format(const Arguments& arguments) {
    ContainerCounter counter;
    ItemPtr root = load(arguments.files[0], counter);
    return root ? emitDocument(*root, arguments.output) : trouble;
}

// The differences tree in the form asked for.
std::string differencesText(const Item& tree, const Arguments& arguments) {
    const bool colour = colourWanted(arguments.colour);
    switch (arguments.form) {
    case Form::Default:
        return changesText(tree, colour);
    case Form::All:
        return treeText(tree, colour);
    case Form::Stat:
        return countsText(tree, colour);
    case Form::Tsv:
        return dumpLines(tree);
    case Form::Paths:
        return pathLines(tree, true);
    case Form::Json:
        return jsonText(tree);
    case Form::Quiet:
        break;
    }
    return "";
}

// The command runs once, so the engine may take the loaded trees instead of copying them.
int diff(const Arguments& arguments) {
    ItemPtr config, sample;
    if (!loadBoth(arguments.files[0], arguments.files[1], config, sample)) return trouble;
    const ItemPtr differences = differenceTaking(std::move(sample), std::move(config));
    if (print(differencesText(*differences, arguments)) != same) return trouble;
    return OperationCounts(*differences).differ() ? differs : same;
}

int merge(const Arguments& arguments) {
    ItemPtr config, sample;
    if (!loadBoth(arguments.files[0], arguments.files[1], config, sample)) return trouble;
    const ItemPtr result = mergedResultTaking(std::move(config), std::move(sample));
    if (!result || result->type() != ItemDataType::FileName) {
        std::cerr << "carryover-cli: the comparison gave no document to write\n";
        return trouble;
    }
    return emitDocument(*result, arguments.output);
}

// git's external diff: PATH OLD-FILE OLD-HEX OLD-MODE NEW-FILE NEW-HEX NEW-MODE, and for a renamed or
// copied file NEW-PATH and git's lines that say so. The old file is carried over into the new one.
// Differences are no failure here: git stops at a status other than 0.
int gitDiff(const Arguments& arguments) {
    const bool renamed = arguments.files.size() == 9;
    const std::string& path = arguments.files[0];
    const std::string& newPath = renamed ? arguments.files[7] : path;
    const std::string &oldFile = arguments.files[1], &oldMode = arguments.files[3];
    const std::string &newFile = arguments.files[4], &newMode = arguments.files[6];
    const std::string absent = "/dev/null";
    if (oldFile == standardStream && newFile == standardStream)
        return usageError("only one of the two files may be standard input");
    const bool colour = colourWanted(arguments.colour);
    std::string text = "diff --carryover a/" + escaped(path) + " b/" + escaped(newPath) + '\n';
    if (renamed) {
        text += arguments.files[8];
        if (text.back() != '\n') text += '\n';
    }
    if (oldFile == absent || newFile == absent) {
        const bool added = oldFile == absent;
        ContainerCounter counter;
        const ItemPtr root = load(added ? newFile : oldFile, counter);
        if (!root) return trouble;
        text += (added ? "new file mode " + newMode : "deleted file mode " + oldMode) + '\n';
        return print(text + entriesText(*root, colour));
    }
    if (oldMode != newMode) text += "old mode " + oldMode + "\nnew mode " + newMode + '\n';
    ItemPtr config, sample;
    if (!loadBoth(oldFile, newFile, config, sample)) return trouble;
    const ItemPtr differences = differenceTaking(std::move(sample), std::move(config));
    return print(text + changesText(*differences, colour));
}

const Command commands[] = {
    {"dump",
     1,
     1,
     "one file",
     {Paths, Json},
     "usage: carryover-cli dump [--paths | --json] FILE\n\n"
     "Prints FILE's tree, one tab-separated line per node, pre-order and root first:\n"
     "depth, name, kind, value, operation, enabled.\n\n"
     "  --paths      one line per entry that holds no other (a leaf or an empty container),\n"
     "               without the root: key path, kind, value\n"
     "  --json       the same entries as a JSON array of {path, kind, value, operation, enabled}\n"
     "  -h, --help   print this help\n\n"
     "FILE may be \"-\" for standard input.\n",
     dump},
    {"format",
     1,
     1,
     "one file",
     {Output},
     "usage: carryover-cli format FILE [-o OUT]\n\n"
     "Writes FILE again in Carryover's layout.\n\n"
     "  -o, --output OUT   write to OUT, replaced atomically, instead of standard output (\"-\")\n"
     "  -h, --help         print this help\n\n"
     "FILE may be \"-\" for standard input.\n",
     format},
    {"diff",
     2,
     2,
     "two files",
     {Quiet, Color, All, Stat, Tsv, Paths, Json},
     "usage: carryover-cli diff [OPTIONS] CONFIG SAMPLE\n\n"
     "Prints what carrying CONFIG over into SAMPLE decides: each entry that the window would let you\n"
     "switch, with what it holds (a Kill entry without), under the key path of the entry that holds it.\n\n"
     "  --all            the whole differences tree\n"
     "  --stat           the number of entries per operation\n"
     "  --tsv            the whole tree, one tab-separated line per node, as dump prints it\n"
     "  --paths          one line per entry that holds no other: key path, kind, value, operation,\n"
     "                   enabled (1 or 0)\n"
     "  --json           the same entries as a JSON array of {path, kind, value, operation, enabled}\n"
     "  -q, --quiet      print nothing; the exit status tells\n"
     "  --color[=WHEN]   colour by operation: auto (on a terminal, unless NO_COLOR is set or TERM is\n"
     "                   dumb), always (the default of a bare --color) or never\n"
     "  -h, --help       print this help\n\n"
     "One of CONFIG and SAMPLE may be \"-\" for standard input.\n"
     "Exit status: 0 no differences, 1 differences, 2 trouble.\n",
     diff},
    {"merge",
     2,
     2,
     "two files",
     {Output},
     "usage: carryover-cli merge CONFIG SAMPLE [-o OUT]\n\n"
     "Writes the merged property list: SAMPLE's structure with CONFIG's settings carried over.\n\n"
     "  -o, --output OUT   write to OUT, replaced atomically, instead of standard output (\"-\")\n"
     "  -h, --help         print this help\n\n"
     "One of CONFIG and SAMPLE may be \"-\" for standard input.\n",
     merge},
    {"git-diff",
     7,
     9,
     "seven arguments, or nine for a renamed file",
     {Color},
     "usage: carryover-cli git-diff [--color[=WHEN]] PATH OLD-FILE OLD-HEX OLD-MODE NEW-FILE NEW-HEX "
     "NEW-MODE\n\n"
     "git's external diff command: prints a \"diff --carryover a/PATH b/PATH\" line and what carrying\n"
     "OLD-FILE over into NEW-FILE decides, as diff does; a new or deleted file (/dev/null) is shown whole.\n"
     "Exits 0 whether or not the files differ.\n\n"
     "  --color[=WHEN]   colour by operation: auto, always or never\n"
     "  -h, --help       print this help\n\n"
     "In git:  git config diff.plist.command 'carryover-cli git-diff'\n"
     "         echo '*.plist diff=plist' >> .gitattributes\n",
     gitDiff},
};

int printHelp() {
    return print(std::string(usage) + '\n' + help);
}

} // namespace

int main(int argc, char** argv) {
    // A file-size limit makes a write fail with EFBIG, reported like any other failure, instead of
    // killing the process with a temporary file left behind.
    std::signal(SIGXFSZ, SIG_IGN);
    if (argc < 2) return usageError("no command given");
    const std::string_view first = argv[1];
    if (first == "--version")
        return print("carryover-cli " CARRYOVER_VERSION ", " CARRYOVER_LICENSE " license\n");
    const bool helpCommand = first == "help" && argc == 3;
    if ((first == "--help" || first == "-h" || first == "help") && !helpCommand) return printHelp();
    for (const Command& command : commands) {
        if ((helpCommand ? argv[2] : first) != std::string_view(command.name)) continue;
        if (helpCommand) return print(command.help);
        Arguments arguments;
        bool wantsHelp = false;
        std::string why;
        if (!parse(command, argc - 1, argv + 1, arguments, wantsHelp, why)) return usageError(why);
        if (wantsHelp) return print(command.help);
        // git's lines about a rename may be empty; no file name may.
        for (size_t i = 0; i < arguments.files.size() && i < command.files; ++i)
            if (arguments.files[i].empty()) return usageError("an empty file name");
        if (arguments.files.size() != command.files && arguments.files.size() != command.otherFiles)
            return usageError(std::string(command.name) + " takes " + command.takes);
        if (command.files == 2 && arguments.files[0] == standardStream &&
            arguments.files[1] == standardStream)
            return usageError("only one of the two files may be standard input");
        return command.run(arguments);
    }
    if (helpCommand) return printHelp();
    return usageError("unknown command " + quoted(first));
}
