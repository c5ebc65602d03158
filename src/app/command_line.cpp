#include "app/command_line.h"

#include <string_view>

#include "common/version.h"

namespace snipwell {
namespace {

constexpr const char* kHelp =
    "Usage: snipwell [QT-OPTION...]\n"
    "Cut a clip out of an MP3 file: open the file and it plays, mark a begin and\n"
    "an end while listening, hear the marked stretch, and save it as a new MP3.\n"
    "\n"
    "Options:\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n"
    "  Qt's own options, such as -platform NAME, are handed to Qt.\n"
    "\n"
    "Example:\n"
    "  snipwell -platform xcb\n"
    "\n"
    "The same cut without the window: snipwell-cut --help.\n";

}  // namespace

std::optional<int> answerInformationalOption(int argc, const char* const* argv, std::FILE* out) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help") {
            std::fputs(kHelp, out);
            return 0;
        }
        if (argument == "--version") {
            std::fputs(versionNotice("snipwell").c_str(), out);
            return 0;
        }
    }
    return std::nullopt;
}

}  // namespace snipwell
