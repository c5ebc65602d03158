// snipwell-media-engine: runs the media service's devices (the decoder) in a
// process of its own, so that a decoder that crashes or hangs on a damaged
// file takes only this process down. The entry point starts it and speaks
// to it over its standard input and output (engine_protocol.h); it is not
// meant to be started by hand, though it works from a terminal too.
//
// It ends at the end of its input, and at once when its parent ends.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iostream>
#include <string>
#include <string_view>

#include "common/helper_parent.h"
#include "common/version.h"
#include "mci/command_limits.h"
#include "mci/engine_protocol.h"
#include "mci/gst_media_device.h"
#include "mci/line_reader.h"
#include "mci/mci_service.h"
#include "mci/mp3_error_codes.h"
#include "mp3/block_reader.h"
#include "mp3/length.h"
#include "mp3/tag_check.h"

namespace {

using namespace snipwell::mci;

void printUsage() {
    std::cout << "Usage: snipwell-media-engine [--parent-pid PID]\n"
                 "The media engine of Snipwell: reads media service commands, one per line,\n"
                 "from standard input and answers \"<code><TAB><reply>\" on standard output.\n"
                 "Programs start it themselves; it ends at the end of its input.\n"
                 "\n"
                 "Options:\n"
                 "  --parent-pid PID  end as soon as process PID is no longer the parent\n"
                 "  --help           show this help and exit\n"
                 "  --version        show the version and exit\n"
                 "\n"
                 "Example:\n"
                 "  printf 'open \"song.mp3\" alias movie\\nstatus movie length\\n' | "
                 "snipwell-media-engine\n";
}

void printVersion() { std::cout << snipwell::versionNotice("snipwell-media-engine"); }

// A file with tags no writer makes is refused before the decoder sees it;
// a file that is no MP3 at all still answers as such.
DeviceOpenResult openChecked(const std::string& path) {
    auto opened = snipwell::mp3::BlockReader::open(path);
    if (const auto* error = std::get_if<snipwell::mp3::Mp3Error>(&opened))
        return mciErrorOf(*error);
    auto& file = std::get<snipwell::mp3::BlockReader>(opened);
    if (const auto damaged = snipwell::mp3::findMalformedTag(file)) {
        const auto measured = snipwell::mp3::measureLength(file);
        if (const auto* error = std::get_if<snipwell::mp3::Mp3Error>(&measured)) {
            return mciErrorOf(*error);
        }
        return mciErrorOf(*damaged);
    }
    return GstMediaDevice::open(path);
}

bool writeAll(int fd, const std::string& text) {
    std::size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t written = ::write(fd, text.data() + sent, text.size() - sent);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        sent += static_cast<std::size_t>(written);
    }
    return true;
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
        if (argument == snipwell::parentPidOption && i + 1 < argc) {
            const std::string_view value = argv[++i];
            const auto parent = snipwell::parseParentPid(value);
            if (!parent) {
                std::cerr << "snipwell-media-engine: bad parent pid " << value << "\n";
                return 2;
            }
            snipwell::followParent(*parent);
            continue;
        }
        std::cerr << "snipwell-media-engine: unknown option " << argument << " (try --help)\n";
        return 2;
    }

    // Answers go out on a private copy of standard output; whatever a
    // library prints to standard output goes to standard error instead, so
    // that it can never be read as an answer.
    const int answers = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    if (answers < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0) return 1;
    // A parent gone while an answer is written must end this process
    // quietly, not with a signal.
    std::signal(SIGPIPE, SIG_IGN);

    // Loaded before saying ready, so the first open's time limit covers the
    // open alone. Without GStreamer every open answers mediaSystemUnavailable.
    GstMediaDevice::initialise();
    if (!writeAll(answers, std::string(engineReadyLine) + '\n')) return 0;

    MciService service(&openChecked);
    LineReader input(STDIN_FILENO, maxCommandBytes);
    while (true) {
        const InputLine line = input.next();
        if (line.kind == InputLine::Kind::end) break;
        const MciOutcome outcome =
            line.kind == InputLine::Kind::tooLong       ? MciOutcome{MciError::commandTooLong, {}}
            : line.text.find('\0') != std::string::npos ? MciOutcome{MciError::invalidCharacter, {}}
                                                        : service.execute(line.text);
        if (!writeAll(answers, formatReplyLine(outcome))) break;
    }
    service.execute("close all");
    return 0;
}
