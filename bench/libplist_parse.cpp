// The whole-process baseline for the merge: reads each file given and has libplist parse it, as XML or
// as a binary list by its first bytes, and free the tree: as little as any program reading both files
// must do.
#include <cstdio>
#include <fstream>
#include <string>

#include <plist/plist.h>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary | std::ios::ate);
        std::string text(static_cast<size_t>(in.tellg()), '\0');
        in.seekg(0).read(text.data(), static_cast<std::streamsize>(text.size()));
        plist_t plist = nullptr;
        if (text.starts_with("bplist00"))
            plist_from_bin(text.data(), static_cast<uint32_t>(text.size()), &plist);
        else
            plist_from_xml(text.data(), static_cast<uint32_t>(text.size()), &plist);
        if (!plist) {
            std::fprintf(stderr, "libplist refused %s\n", argv[i]);
            return 2;
        }
        plist_free(plist);
    }
    return 0;
}
