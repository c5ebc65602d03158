// mci_soak: 1,000 cycles of open, play, seek, position and close over many
// files through the entry point, printing every 100 cycles the resident
// memory and open descriptors of this process (the client) and of the media
// engine process. Both must stay flat: anything that grows per cycle is a
// leak that a long session would feel.
//
//   build/bench/bin/mci_soak [CYCLES]

#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "mci/mci_send_string.h"
#include "mci/media_engine_control.h"
#include "support/mp3/mp3_fixtures.h"

namespace {

long residentKiB(int pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return -1;
}

int openDescriptors(int pid) {
    const std::string folder = "/proc/" + std::to_string(pid) + "/fd";
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return -1;
    int count = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] != '.') ++count;
    }
    ::closedir(dir);
    return pid == ::getpid() ? count - 1 : count;  // less the folder being read
}

bool send(const std::string& command) {
    return mciSendStringA(command.c_str(), nullptr, 0, 0) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 1000;
    std::vector<std::string> files{snipwell::test::Mp3Fixtures::twoTone().string()};
    for (const auto kind : snipwell::test::Mp3Fixtures::allKinds()) {
        files.push_back(snipwell::test::Mp3Fixtures::file(kind).string());
    }

    std::printf(
        "| cycle | client RSS (KiB) | engine RSS (KiB) | client fds | engine fds | failed commands "
        "| s |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    const auto start = std::chrono::steady_clock::now();
    int failures = 0;
    char reply[128];
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        const std::string& file = files[static_cast<std::size_t>(cycle) % files.size()];
        failures += !send("open \"" + file + "\" type mpegvideo alias movie");
        failures += !send("play movie");
        failures += mciSendStringA("status movie length", reply, sizeof reply, 0) != 0;
        const long length = std::atol(reply);
        failures += !send("seek movie to " + std::to_string(length / 2));
        failures += !send("play movie from " + std::to_string(length / 3));
        failures += mciSendStringA("status movie position wait", reply, sizeof reply, 0) != 0;
        failures += !send("close movie");
        if (cycle % 100 == 0 || cycle == 1) {
            const int engine = snipwell::mci::mediaEngineProcessId();
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::printf("| %d | %ld | %ld | %d | %d | %d | %.1f |\n", cycle,
                        residentKiB(::getpid()), residentKiB(engine), openDescriptors(::getpid()),
                        openDescriptors(engine), failures, seconds);
            std::fflush(stdout);
        }
    }
    send("close all");
    return failures == 0 ? 0 : 1;
}
