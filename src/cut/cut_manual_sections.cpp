// Writes the synopsis and the option list of snipwell-cut's manual page from
// its option table, for the build to paste into the page:
//   snipwell_cut_manual_sections SYNOPSIS_FILE OPTIONS_FILE

#include <cstdio>
#include <fstream>
#include <string>

#include "cut/cut_manual.h"

namespace {

bool writeFile(const char* path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (file) return true;
    std::fprintf(stderr, "snipwell_cut_manual_sections: cannot write %s\n", path);
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: snipwell_cut_manual_sections SYNOPSIS_FILE OPTIONS_FILE\n", stderr);
        return 2;
    }
    const bool written = writeFile(argv[1], snipwell::cutManualSynopsis()) &&
                         writeFile(argv[2], snipwell::cutManualOptions());
    return written ? 0 : 1;
}
