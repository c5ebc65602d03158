// How long it takes to know a file's length: our frame scan of a 200 MB file
// against reading the same bytes and nothing else (what `cat file >/dev/null`
// does) and against the library scanner, and a whole open up to the answer of
// "status movie length".

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "big_mp3.h"
#include "mci/mci_send_string.h"
#include "mp3/length.h"
#include "support/mp3/mp3_fixtures.h"

#ifdef SNIPWELL_BENCH_WITH_MPG123
#include <mpg123.h>
#endif

namespace {

double maxResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void reportFile(benchmark::State& state, const std::filesystem::path& path) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
    state.counters["max_rss_MiB"] = maxResidentMiB();
}

void BM_ScanLength200MB_OurScanner(benchmark::State& state) {
    const auto path = snipwell::bench::bigHeaderlessMp3();
    std::int64_t ms = 0;
    for (auto _ : state) {
        const auto length = snipwell::mp3::measureLength(path.string());
        ms = std::get<snipwell::mp3::TrackLength>(length).milliseconds();
        benchmark::DoNotOptimize(ms);
    }
    state.counters["length_s"] = static_cast<double>(ms) / 1000.0;
    reportFile(state, path);
}
BENCHMARK(BM_ScanLength200MB_OurScanner)->Unit(benchmark::kMillisecond);

void BM_ScanLength200MB_ReadOnlyReference(benchmark::State& state) {
    const auto path = snipwell::bench::bigHeaderlessMp3();
    std::vector<char> block(1024 * 1024);
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        while (::read(fd, block.data(), block.size()) > 0) benchmark::ClobberMemory();
        ::close(fd);
    }
    reportFile(state, path);
}
BENCHMARK(BM_ScanLength200MB_ReadOnlyReference)->Unit(benchmark::kMillisecond);

#ifdef SNIPWELL_BENCH_WITH_MPG123
void BM_ScanLength200MB_Mpg123Scan(benchmark::State& state) {
    const auto path = snipwell::bench::bigHeaderlessMp3();
    off_t samples = 0;
    long rate = 0;
    for (auto _ : state) {
        int error = 0;
        mpg123_handle* handle = mpg123_new(nullptr, &error);
        mpg123_param(handle, MPG123_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0);
        mpg123_open(handle, path.c_str());
        int channels = 0;
        int encoding = 0;
        mpg123_getformat(handle, &rate, &channels, &encoding);
        mpg123_scan(handle);
        samples = mpg123_length(handle);
        mpg123_delete(handle);
    }
    state.counters["length_s"] =
        rate > 0 ? static_cast<double>(samples) / static_cast<double>(rate) : 0.0;
    reportFile(state, path);
}
BENCHMARK(BM_ScanLength200MB_Mpg123Scan)->Unit(benchmark::kMillisecond)->Iterations(3);
#endif

void openToLength(benchmark::State& state, const std::filesystem::path& path) {
    const std::string open = "open \"" + path.string() + "\" type mpegvideo alias movie";
    char reply[128];
    for (auto _ : state) {
        if (mciSendStringA(open.c_str(), nullptr, 0, 0) != 0) {
            state.SkipWithError("open failed");
            break;
        }
        mciSendStringA("status movie length", reply, sizeof reply, 0);
        state.PauseTiming();
        mciSendStringA("close movie", nullptr, 0, 0);
        state.ResumeTiming();
    }
}

void BM_OpenToLength_TwoToneFile(benchmark::State& state) {
    openToLength(state, snipwell::test::Mp3Fixtures::twoTone());
}
// Timed by the wall clock: opening happens in the media engine process.
BENCHMARK(BM_OpenToLength_TwoToneFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenToLength_200MBHeaderless(benchmark::State& state) {
    openToLength(state, snipwell::bench::bigHeaderlessMp3());
}
BENCHMARK(BM_OpenToLength_200MBHeaderless)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
