// Plays from 6000 ms of the two-tone file into the null sink, records what
// our stream rendered, and checks by ear (a Goertzel filter) that the second
// tone, 880 Hz, is what played. Only our own stream is recorded, so other
// tests playing into the same sink at the same time cannot be heard.

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "mci/media_engine_control.h"
#include "mci_session.h"
#include "pulse_server.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/temp_dir.h"

extern char** environ;

namespace snipwell::mci::test {
namespace {

constexpr int recordRate = 8000;

// Power of `hertz` in the samples (Goertzel's single-frequency DFT).
double tonePower(const std::vector<std::int16_t>& samples, double hertz) {
    const double coefficient = 2.0 * std::cos(2.0 * std::numbers::pi * hertz / recordRate);
    double previous = 0.0;
    double beforePrevious = 0.0;
    for (const std::int16_t sample : samples) {
        const double current = sample + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    return previous * previous + beforePrevious * beforePrevious -
           coefficient * previous * beforePrevious;
}

// The index of our playback stream on the sound server: the media engine
// process plays it.
std::optional<int> ourSinkInput() {
    std::FILE* pipe = ::popen("pactl list sink-inputs", "r");
    if (pipe == nullptr) return std::nullopt;
    const std::string ourPid =
        "application.process.id = \"" + std::to_string(mediaEngineProcessId()) + "\"";
    std::optional<int> current;
    std::optional<int> ours;
    char line[512];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        const std::string text(line);
        if (text.rfind("Sink Input #", 0) == 0) current = std::stoi(text.substr(12));
        if (text.find(ourPid) != std::string::npos && !ours) ours = current;
    }
    ::pclose(pipe);
    return ours;
}

// parec recording one stream into the sink as raw 16-bit mono until stopped.
class StreamRecorder {
public:
    StreamRecorder(const std::string& sink, int sinkInput, const std::string& file) {
        std::vector<std::string> arguments{"parec",
                                           "-d",
                                           sink + ".monitor",
                                           "--monitor-stream=" + std::to_string(sinkInput),
                                           "--raw",
                                           "--format=s16le",
                                           "--channels=1",
                                           "--rate=" + std::to_string(recordRate),
                                           "--latency-msec=20",
                                           file};
        std::vector<char*> argv;
        argv.reserve(arguments.size() + 1);
        for (auto& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        started_ = posix_spawnp(&pid_, "parec", nullptr, nullptr, argv.data(), environ) == 0;
    }
    ~StreamRecorder() { stop(); }
    StreamRecorder(const StreamRecorder&) = delete;
    StreamRecorder& operator=(const StreamRecorder&) = delete;

    bool started() const { return started_; }
    void stop() {
        if (!started_) return;
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        started_ = false;
    }

private:
    pid_t pid_ = 0;
    bool started_ = false;
};

std::vector<std::int16_t> readSamples(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto low = static_cast<std::uint8_t>(bytes[2 * i]);
        const auto high = static_cast<std::uint8_t>(bytes[2 * i + 1]);
        samples[i] = static_cast<std::int16_t>(low | (high << 8));
    }
    return samples;
}

// The samples from the first clearly audible one on; the recording holds
// silence until playback starts.
std::vector<std::int16_t> audiblePart(const std::vector<std::int16_t>& samples) {
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(samples[i]) > 1000) {
            return {samples.begin() + static_cast<std::ptrdiff_t>(i), samples.end()};
        }
    }
    return {};
}

TEST(Listening, PlayFromSixSecondsSoundsTheSecondTone) {
    if (!pulseServerReachable()) GTEST_SKIP() << noPulseReason;
    const std::string sink = testSinkName();
    if (sink.empty()) GTEST_SKIP() << "SNIPWELL_TEST_SINK names no null sink to record";

    ASSERT_EQ(send(openCommand(snipwell::test::Mp3Fixtures::twoTone().string())).code, 0u);
    ASSERT_EQ(send("set movie time format ms").code, 0u);
    const auto stream = ourSinkInput();
    ASSERT_TRUE(stream.has_value()) << "the opened file has no stream on the sound server";

    const snipwell::test::TempDir dir;
    const auto recording = dir.file("stream.raw");
    StreamRecorder recorder(sink, *stream, recording.string());
    ASSERT_TRUE(recorder.started()) << "parec did not start";
    sleepMs(300);
    ASSERT_EQ(send("play movie from 6000").code, 0u);
    sleepMs(1500);
    send("close all");
    sleepMs(200);
    recorder.stop();

    const auto heard = audiblePart(readSamples(recording));
    ASSERT_GE(heard.size(), static_cast<std::size_t>(recordRate))
        << "less than a second of sound reached the sink";
    const double high = tonePower(heard, 880.0);
    const double low = tonePower(heard, 440.0);
    EXPECT_GT(high, 100.0 * low) << "880 Hz power " << high << ", 440 Hz power " << low;
}

}  // namespace
}  // namespace snipwell::mci::test
