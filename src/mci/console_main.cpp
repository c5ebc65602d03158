// snipwell-mci: a console onto the media service. Reads one command per line
// from standard input, sends it, and prints "<code><TAB><reply>" per line.
//
// At the end of input every device is closed and the program exits, so a
// piped session stops its playback when the pipe ends; type the commands, or
// keep the pipe open, to listen for longer.

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>

#include "common/version.h"
#include "mci/command_limits.h"
#include "mci/line_reader.h"
#include "mci/mci_error.h"
#include "mci/mci_send_string.h"
#include "mci/media_entry_point.h"

namespace {

void printUsage() {
    std::cout
        << "Usage: snipwell-mci [--help] [--version]\n"
           "Reads media service commands, one per line, from standard input and\n"
           "prints \"<code><TAB><reply>\" for each; 0 is success. At the end of input\n"
           "every device is closed.\n"
           "\n"
           "Options:\n"
           "  --help     show this help and exit\n"
           "  --version  show the version and exit\n"
           "\n"
           "Example:\n"
           "  (printf 'open \"song.mp3\" alias movie\\nplay movie\\n'; sleep 10) | snipwell-mci\n";
}

void printVersion() { std::cout << snipwell::versionNotice("snipwell-mci"); }

// The code for one input line. A NUL cannot travel through the text entry
// point (it would end the command early and run what came before it), so
// it is refused here, as every other control character is by the parser.
std::uint32_t answerLine(std::string line, char* reply, std::uint32_t capacity) {
    using snipwell::mci::MciError;
    using snipwell::mci::toCode;
    // Lines from files written elsewhere may end in a carriage return.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find('\0') != std::string::npos) return toCode(MciError::invalidCharacter);
    return mciSendStringA(line.c_str(), reply, capacity, 0);
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help") {
            printUsage();
            return 0;
        }
        if (argument == "--version") {
            printVersion();
            return 0;
        }
        std::cerr << "snipwell-mci: unknown option " << argument << " (try --help)\n";
        return 2;
    }

    // The media service of this program; its engine ends with it.
    snipwell::mci::MediaEntryPoint media;
    const snipwell::mci::InstalledMediaEntryPoint installedMedia(media);
    using snipwell::mci::InputLine;
    constexpr std::uint32_t replyCapacity = 256;
    char reply[replyCapacity];
    // One byte over the limit leaves room for a carriage return to drop.
    snipwell::mci::LineReader input(STDIN_FILENO, snipwell::mci::maxCommandBytes + 1);
    while (true) {
        InputLine line = input.next();
        if (line.kind == InputLine::Kind::end) break;
        reply[0] = '\0';
        const std::uint32_t code =
            line.kind == InputLine::Kind::tooLong
                ? snipwell::mci::toCode(snipwell::mci::MciError::commandTooLong)
                : answerLine(std::move(line.text), reply, replyCapacity);
        std::cout << code << '\t' << reply << std::endl;
    }
    mciSendStringA("close all", nullptr, 0, 0);
    return 0;
}
