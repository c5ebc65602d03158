// Costs while playing: a position query (the preview polls it to stop at a
// mark), the process's CPU while a file plays, and how closely the reported
// position follows the wall clock.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "big_mp3.h"
#include "mci/mci_send_string.h"
#include "process_cpu_time.h"
#include "support/mp3/mp3_fixtures.h"

namespace {

using Clock = std::chrono::steady_clock;

bool openAndPlay(const std::filesystem::path& path, bool play) {
    const std::string open = "open \"" + path.string() + "\" type mpegvideo alias movie";
    if (mciSendStringA(open.c_str(), nullptr, 0, 0) != 0) return false;
    return !play || mciSendStringA("play movie", nullptr, 0, 0) == 0;
}

long long positionMs() {
    char reply[128];
    mciSendStringA("status movie position wait", reply, sizeof reply, 0);
    return std::atoll(reply);
}

void positionQuery(benchmark::State& state, bool playing) {
    // The big file plays for hours, so it never ends under the benchmark.
    if (!openAndPlay(snipwell::bench::bigHeaderlessMp3(), playing)) {
        state.SkipWithError("cannot open and play");
        return;
    }
    char reply[128];
    for (auto _ : state) {
        mciSendStringA("status movie position wait", reply, sizeof reply, 0);
        benchmark::DoNotOptimize(reply);
    }
    mciSendStringA("close all", nullptr, 0, 0);
}

void BM_PositionQuery_WhilePlaying(benchmark::State& state) { positionQuery(state, true); }
// Timed by the wall clock: the query's work is done in the media engine
// process, so the caller's CPU time says little about what it costs.
BENCHMARK(BM_PositionQuery_WhilePlaying)->UseRealTime();

void BM_PositionQuery_WhilePaused(benchmark::State& state) { positionQuery(state, false); }
BENCHMARK(BM_PositionQuery_WhilePaused)->UseRealTime();

// "play from" while playing: halt, seek, wait for the pipeline, play on.
void BM_PlayFromWhilePlaying(benchmark::State& state) {
    if (!openAndPlay(snipwell::bench::bigHeaderlessMp3(), true)) {
        state.SkipWithError("cannot open and play");
        return;
    }
    long long from = 0;
    for (auto _ : state) {
        from = (from + 61000) % 3600000;
        const std::string command = "play movie from " + std::to_string(from);
        mciSendStringA(command.c_str(), nullptr, 0, 0);
    }
    mciSendStringA("close all", nullptr, 0, 0);
}
BENCHMARK(BM_PlayFromWhilePlaying)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CpuWhilePlaying(benchmark::State& state) {
    constexpr auto playFor = std::chrono::seconds(5);
    for (auto _ : state) {
        if (!openAndPlay(snipwell::test::Mp3Fixtures::twoTone(), true)) {
            state.SkipWithError("cannot open and play");
            return;
        }
        const double cpuBefore = snipwell::bench::processCpuSeconds();
        std::this_thread::sleep_for(playFor);
        const double cpu = snipwell::bench::processCpuSeconds() - cpuBefore;
        mciSendStringA("close all", nullptr, 0, 0);
        state.counters["cpu_percent_of_one_core"] =
            100.0 * cpu / std::chrono::duration<double>(playFor).count();
    }
}
BENCHMARK(BM_CpuWhilePlaying)->Iterations(1)->Unit(benchmark::kSecond);

// Samples the position every 5 ms for 3 s and compares its progress with the
// wall clock: the largest gap between the two after a straight-line fit
// tells how far a preview could overshoot a mark.
void BM_PositionFollowsWallClock(benchmark::State& state) {
    for (auto _ : state) {
        if (!openAndPlay(snipwell::test::Mp3Fixtures::twoTone(), true)) {
            state.SkipWithError("cannot open and play");
            return;
        }
        std::vector<double> wall;
        std::vector<double> position;
        const auto start = Clock::now();
        while (Clock::now() - start < std::chrono::seconds(3)) {
            const long long ms = positionMs();
            wall.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            position.push_back(static_cast<double>(ms));
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        mciSendStringA("close all", nullptr, 0, 0);

        const auto n = static_cast<double>(wall.size());
        double sumX = 0, sumY = 0, sumXX = 0, sumXY = 0;
        for (std::size_t i = 0; i < wall.size(); ++i) {
            sumX += wall[i];
            sumY += position[i];
            sumXX += wall[i] * wall[i];
            sumXY += wall[i] * position[i];
        }
        const double slope = (n * sumXY - sumX * sumY) / (n * sumXX - sumX * sumX);
        const double offset = (sumY - slope * sumX) / n;
        double worst = 0;
        for (std::size_t i = 0; i < wall.size(); ++i) {
            worst = std::max(worst, std::abs(position[i] - (offset + slope * wall[i])));
        }
        state.counters["rate_vs_wall_clock"] = slope;
        state.counters["max_deviation_ms"] = worst;
        state.counters["start_stall_ms"] = -offset / slope;
    }
}
BENCHMARK(BM_PositionFollowsWallClock)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
