// How close to the end mark the preview pauses, and what it costs in CPU.
// Plays a 1 s stretch of the two-tone file N times through the real media
// service, with the window's real handlers on a real-time headless window,
// and prints how far past the mark playback stood when it was paused.
//
//   build/bench/bin/preview_accuracy [runs]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "mci/mci_send_string.h"
#include "process_cpu_time.h"
#include "support/headless_window.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/test_files.h"

namespace {}  // namespace

int main(int argc, char** argv) {
    using namespace snipwell;
    const int runs = argc > 1 ? std::atoi(argv[1]) : 20;

    test::HeadlessWindow window;
    window.useRealTime();
    // The pause command itself is what the test measures against: record the
    // position the service reports right after the preview paused.
    test::NoFiles noFiles;
    Form1 form(window, mciSendStringA, noFiles);
    window.attach(form);
    window.dialog.answers.push_back(
        test::DialogAnswer::choose(test::Mp3Fixtures::twoTone().string()));
    window.raise(FormEvent::Command4Click);

    std::vector<int> overshootMs;
    double cpu = 0;
    double wall = 0;
    for (int run = 0; run < runs; ++run) {
        const std::int32_t begin = 1000 + 300 * run % 7000;
        form.clipBeginMs = begin;
        form.clipEndMs = begin + 1000;
        const double cpuBefore = snipwell::bench::processCpuSeconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        window.raise(FormEvent::Command9Click);
        wall +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
        cpu += snipwell::bench::processCpuSeconds() - cpuBefore;
        overshootMs.push_back(form.playerOnDemand().getPositionInMS() - form.clipEndMs);
    }
    window.raise(FormEvent::Unload);

    std::sort(overshootMs.begin(), overshootMs.end());
    std::printf("preview runs: %d (1 s stretches of the two-tone file)\n", runs);
    std::printf("paused past the end mark: median %d ms, best %d ms, worst %d ms\n",
                overshootMs[overshootMs.size() / 2], overshootMs.front(), overshootMs.back());
    std::printf("CPU while previewing: %.1f %% of one core (%.3f s CPU over %.1f s)\n",
                100.0 * cpu / wall, cpu, wall);
    return 0;
}
