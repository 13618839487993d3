// The generator behind GeneratedPlist.h.
#include "GeneratedPlist.h"

#include <random>
#include <string_view>

namespace carryover::generator {

namespace {

constexpr std::string_view keyWords[] = {
    "Kernel",  "Quirks",  "Add",     "Delete",      "Patch",        "Booter",    "Misc",      "Security",
    "Path",    "Comment", "Enabled", "Arch",        "Identifier",   "MaxKernel", "MinKernel", "Find",
    "Replace", "Count",   "Limit",   "Caf\xC3\xA9", "Cafe\xCC\x81", "A&amp;B",   "zeta",      "Zeta"};

// Writes one document. The layout follows `shape`; when `mutate` is set, values and entries are
// changed by `mutations` without disturbing the layout drawn from `shape`.
class Generator {
  public:
    Generator(uint64_t seed, bool mutate)
        : shape_(seed), mutations_(seed ^ 0x9E3779B97F4A7C15ull), mutate_(mutate) {}

    std::string document(size_t bytes) {
        out_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
               "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
               "<plist version=\"1.0\">\n<dict>\n";
        for (int section = 0; out_.size() < bytes; ++section) {
            line(1, "<key>Section" + std::to_string(section) + "</key>");
            dictionary(2, 0);
        }
        out_ += "</dict>\n</plist>\n";
        return std::move(out_);
    }

  private:
    size_t draw(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(shape_); }
    bool change(int percent) {
        return mutate_ && std::uniform_int_distribution<int>(0, 99)(mutations_) < percent;
    }

    void line(int depth, const std::string& text) {
        out_.append(static_cast<size_t>(depth), '\t');
        out_ += text;
        out_ += '\n';
    }

    std::string key() { return std::string(keyWords[draw(std::size(keyWords))]) + std::to_string(draw(40)); }

    void leaf(int depth) {
        const size_t kind = draw(8);
        const bool changed = change(8);
        const size_t value = draw(1000) + (changed ? 1 : 0);
        switch (kind) {
        case 0:
            line(depth, value % 2 ? "<true/>" : "<false/>");
            break;
        case 1:
            line(depth, "<integer>" + std::to_string(static_cast<int64_t>(value) - 300) + "</integer>");
            break;
        case 2:
            line(depth, "<real>" + std::to_string(value) + ".25</real>");
            break;
        case 3:
            line(depth, "<string>text " + std::to_string(value) + " &lt;x&gt;</string>");
            break;
        case 4:
            line(depth, "<data>" + std::string(value % 2 ? "AQID" : "SGVsbG8gd29ybGQ=") + "</data>");
            break;
        case 5:
            line(depth, "<date>20" + std::to_string(10 + value % 20) + "-01-02T03:04:05Z</date>");
            break;
        case 6:
            line(depth, value % 3 ? "<string/>" : "<data/>");
            break;
        default:
            line(depth, "<string>" + std::string(value % 5 ? "plain" : "#commented") + "</string>");
            break;
        }
    }

    void entries(int depth, int level, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            const std::string name = key();
            const size_t kind = draw(level < 4 ? 10 : 14);
            const bool dropped = change(4);
            std::string saved;
            if (dropped) saved.swap(out_);
            line(depth, "<key>" + name + "</key>");
            if (kind == 0)
                dictionary(depth, level + 1);
            else if (kind == 1)
                elementArray(depth, level + 1);
            else if (kind == 2)
                stringArray(depth);
            else if (kind == 3)
                line(depth, draw(2) ? "<dict/>" : "<array/>");
            else
                leaf(depth);
            if (dropped) out_.swap(saved);
            if (change(3)) {
                line(depth, "<key>Extra" + std::to_string(draw(100)) + "</key>");
                leaf(depth);
            }
        }
    }

    void dictionary(int depth, int level) {
        line(depth, "<dict>");
        if (draw(4) == 0) {
            line(depth + 1, "<key>Enabled</key>");
            line(depth + 1, (draw(3) == 0) != change(10) ? "<false/>" : "<true/>");
        }
        entries(depth + 1, level, 2 + draw(6));
        line(depth, "</dict>");
    }

    void elementArray(int depth, int level) {
        static constexpr std::string_view identities[] = {"Path", "BundlePath", "Comment", "Other"};
        line(depth, "<array>");
        const size_t count = 1 + draw(6);
        for (size_t i = 0; i < count; ++i) {
            line(depth + 1, "<dict>");
            const std::string_view identity = identities[draw(std::size(identities))];
            line(depth + 2, "<key>" + std::string(identity) + "</key>");
            line(depth + 2, "<string>" + std::string(identity) + "/" + std::to_string(draw(8)) + "</string>");
            if (draw(3) == 0) {
                line(depth + 2, "<key>Enabled</key>");
                line(depth + 2, draw(2) != change(10) ? "<true/>" : "<false/>");
            }
            entries(depth + 2, level + 1, 1 + draw(3));
            line(depth + 1, "</dict>");
        }
        line(depth, "</array>");
    }

    void stringArray(int depth) {
        line(depth, "<array>");
        const size_t count = 1 + draw(5);
        for (size_t i = 0; i < count; ++i) {
            const size_t value = draw(12) + (change(10) ? 20 : 0);
            line(depth + 1, "<string>" + std::string(value % 6 == 0 ? "#" : "") + "-v" +
                                std::to_string(value) + "</string>");
        }
        if (draw(4) == 0) line(depth + 1, "<integer>" + std::to_string(draw(5)) + "</integer>");
        line(depth, "</array>");
    }

    std::mt19937_64 shape_;
    std::mt19937_64 mutations_;
    bool mutate_;
    std::string out_;
};

} // namespace

std::string generatePlist(uint64_t seed, size_t bytes) {
    return Generator(seed, false).document(bytes);
}

GeneratedPair generatePlistPair(uint64_t seed, size_t bytes) {
    return {Generator(seed, true).document(bytes), Generator(seed, false).document(bytes)};
}

} // namespace carryover::generator
