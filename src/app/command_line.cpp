#include "app/command_line.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include <filesystem>
#include <string_view>

#include "common/version.h"

namespace snipwell {
namespace {

constexpr const char* kHelp =
    "Usage: snipwell [QT-OPTION...] [FILE]\n"
    "Cut a clip out of an MP3 file: open the file and it plays, mark a begin and\n"
    "an end while listening, hear the marked stretch, and save it as a new MP3.\n"
    "\n"
    "FILE, an MP3 file, is opened and played at once, as Open does. Only the\n"
    "first FILE is opened.\n"
    "\n"
    "Options:\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n"
    "  Qt's own options, such as -platform NAME, are handed to Qt.\n"
    "\n"
    "Keys: Ctrl+O Open, Space Play/Pause, S Stop, I Select Start, O Select End,\n"
    "P Play Selected, Ctrl+S Save.\n"
    "\n"
    "Example:\n"
    "  snipwell song.mp3\n"
    "\n"
    "The same cut without the window: snipwell-cut --help.\n";

std::vector<std::string> filesAmong(const std::vector<std::string>& arguments) {
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (optionsEnded || argument.empty() || argument[0] != '-') {
            files.push_back(argument);
        }
    }
    return files;
}

// Why `path` cannot be opened for reading, or nothing when it can.
std::optional<std::string> unreadableBecause(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::strerror(errno);
    if (S_ISDIR(info.st_mode)) return std::strerror(EISDIR);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    ::close(fd);
    return std::nullopt;
}

}  // namespace

std::optional<int> answerInformationalOption(int argc, const char* const* argv, std::FILE* out) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--") break;
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

std::optional<std::string> fileToOpenAtStart(const std::vector<std::string>& arguments,
                                             std::FILE* err) {
    const std::vector<std::string> files = filesAmong(arguments);
    if (files.empty()) return std::nullopt;
    const std::string& file = files.front();
    if (files.size() > 1) {
        std::fprintf(err, "snipwell: opening only the first file, %s; %zu more ignored\n",
                     file.c_str(), files.size() - 1);
    }
    // Still handed on: the window says why in a message box, which a person
    // who chose "Open With" in a file manager sees where this line is lost.
    if (const auto reason = unreadableBecause(file))
        std::fprintf(err, "snipwell: cannot open %s: %s\n", file.c_str(), reason->c_str());
    std::error_code failed;
    const std::filesystem::path absolute = std::filesystem::absolute(file, failed);
    return failed ? file : absolute.string();
}

}  // namespace snipwell
