// snipwell-cut SOURCE BEGIN_MS END_MS TARGET: cuts a clip out of an MP3 file
// for scripts and batch work, the same bytes the window's Save writes.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "cut_command.h"
#include "disk_files.h"
#include "mci/mci_send_string.h"
#include "player/movie_module.h"

namespace {

// The player waits only inside timeOut, which the length query never calls;
// a command-line tool has no window events to pump.
class NoWindowEvents : public snipwell::EventPump, public snipwell::Clock {
public:
    void pumpEvents() override {}
    void waitForEvents(std::chrono::milliseconds timeout) override {
        std::this_thread::sleep_for(timeout);
    }
    double seconds() override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
};

// The track's length as the window learns it: the file opened on the media
// service under the player's alias, then its length asked in milliseconds.
std::int32_t trackLengthMs(const std::string& path) {
    NoWindowEvents noEvents;
    snipwell::MovieModule player(&mciSendStringA, noEvents, noEvents);
    player.Filename = path;
    player.openMovie();
    const std::int32_t lengthMs = player.getLengthInMS();
    player.closeMovie();
    return lengthMs;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> words(argv + 1, argv + argc);
    const auto arguments = snipwell::parseCutArguments(words);
    if (!arguments) {
        std::fprintf(stderr, "%s\n", snipwell::kCutUsage);
        return snipwell::kCutBadUsage;
    }
    snipwell::DiskFiles files;
    snipwell::CutConsole console;
    console.interactive = ::isatty(STDIN_FILENO) == 1;
    console.readAnswer = [](std::string& line) { return static_cast<bool>(std::getline(std::cin, line)); };
    return snipwell::runCut(*arguments, files, trackLengthMs, console);
}
