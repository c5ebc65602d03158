#pragma once
// Stand-ins for the level probe in tests of its client: shell scripts that
// answer, crash, hang or ramble, and a look at whether a process they
// started is gone.

#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "level/level_probe_protocol.h"
#include "support/temp_dir.h"

namespace snipwell::test {

// An executable shell script in `work`.
inline std::filesystem::path script(const TempDir& work, const std::string& name,
                                    const std::string& body) {
    std::filesystem::path path = work.file(name);
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    ::chmod(path.c_str(), 0755);
    return path;
}

// The process id a script wrote into `file`; 0 when there is none.
inline int pidIn(const std::string& file) {
    std::ifstream text(file);
    int pid = 0;
    return text >> pid ? pid : 0;
}

// Whether the process has ended (or is a zombie nobody reaped yet) within
// two seconds: a killed process takes a moment to go.
inline bool processEnds(int pid) {
    for (int waited = 0; waited < 2000; waited += 20) {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        const auto close = text.rfind(')');
        const char state =
            close == std::string::npos || close + 2 >= text.size() ? '\0' : text[close + 2];
        if (state == '\0' || state == 'Z' || state == 'X') return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

// The probe the program finds, replaced by a stand-in for one test.
class StandInProbe {
public:
    explicit StandInProbe(const std::filesystem::path& program) {
        ::setenv(level::levelProbeVariable, program.c_str(), 1);
    }
    ~StandInProbe() { ::unsetenv(level::levelProbeVariable); }
    StandInProbe(const StandInProbe&) = delete;
    StandInProbe& operator=(const StandInProbe&) = delete;
};

}  // namespace snipwell::test
