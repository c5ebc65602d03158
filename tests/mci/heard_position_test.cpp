// Where playback says it is against what was heard. Files whose tone steps
// up every second are played after a seek into the null sink; the recording
// of our stream shows, at the last sound before a pause, which second and
// how far into it was heard. The position the window then reads (the paused
// one, and the one asked for just before the pause, as a mark is set) must
// match it. The files start with 10 s of silence, so a VBR stream's bytes
// are spread very unevenly over its time, and one hides 400 KB of cover
// picture before its audio.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "mci_session.h"
#include "pulse_server.h"
#include "stream_recording.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/temp_dir.h"

namespace snipwell::mci::test {
namespace {

using snipwell::test::kFirstSteppedSecond;
using snipwell::test::kSteppedSeconds;
using snipwell::test::Mp3Fixtures;
using snipwell::test::steppedToneHertz;
using snipwell::test::SteppedTones;

constexpr int recordRate = 16000;
constexpr int samplesPerMs = recordRate / 1000;
constexpr std::int16_t audible = 1000;
// A file without an info frame plays the encoder's delay (576 samples) and
// the decoder's (529) in front of its first sound, as every decoder does; one
// whose info frame names the delay has it taken off. So there the steps of
// tone stand this much later in what plays.
constexpr double kUntrimmedDelayMs = (576.0 + 529.0) / 44.1;

std::vector<std::int16_t> slice(const std::vector<std::int16_t>& samples, long from, long count) {
    return {samples.begin() + from, samples.begin() + from + count};
}

// The second of the file whose tone is loudest in the `count` samples from `from`.
int secondPlayingIn(const std::vector<std::int16_t>& samples, long from, long count) {
    const auto stretch = slice(samples, from, count);
    int loudest = kFirstSteppedSecond;
    for (int second = kFirstSteppedSecond; second < kSteppedSeconds; ++second) {
        if (tonePower(stretch, recordRate, steppedToneHertz(second)) >
            tonePower(stretch, recordRate, steppedToneHertz(loudest)))
            loudest = second;
    }
    return loudest;
}

// The file's time, in ms, of the last sound in the recording: the second
// heard last, and how long after that second's first sound the sound ended.
// The step into that second is where a 20 ms window, moved back a
// millisecond at a time, first hears more of the second before.
std::optional<double> lastHeardMs(const std::vector<std::int16_t>& samples) {
    long first = 0;
    while (first < static_cast<long>(samples.size()) &&
           std::abs(samples[static_cast<std::size_t>(first)]) < audible)
        ++first;
    long end = static_cast<long>(samples.size());
    while (end > first && std::abs(samples[static_cast<std::size_t>(end - 1)]) < audible) --end;
    constexpr long window = 20 * samplesPerMs;
    if (end - first < 200 * samplesPerMs) return std::nullopt;

    const int second = secondPlayingIn(samples, end - 100 * samplesPerMs, 100 * samplesPerMs);
    for (long start = end - window; start >= first; start -= samplesPerMs) {
        const auto stretch = slice(samples, start, window);
        if (tonePower(stretch, recordRate, steppedToneHertz(second - 1)) >
            tonePower(stretch, recordRate, steppedToneHertz(second))) {
            const long step = start + window / 2;
            return second * 1000.0 + static_cast<double>(end - step) / samplesPerMs;
        }
    }
    return std::nullopt;
}

struct Heard {
    long long pausedAt = -1;  // the position read once paused
    long long markedAt = -1;  // read while playing, moved on by the time until the pause
    std::optional<double> heardMs;
};

// Seeks to `targetMs` (while playing: "play from"; else "seek", then "play"),
// plays 1.3 s and pauses, recording our stream throughout.
Heard playAndPause(const std::string& file, int targetMs, bool whilePlaying) {
    Heard result;
    const std::string sink = testSinkName();
    if (send(openCommand(file)).code != 0) return result;
    send("set movie time format ms");
    const auto stream = ourSinkInput();
    if (!stream) return result;
    const snipwell::test::TempDir dir;
    const auto recording = dir.file("stream.raw");
    StreamRecorder recorder(sink, *stream, recordRate, recording.string());
    sleepMs(300);
    if (whilePlaying) {
        send("play movie");  // the silence at the start: nothing is heard
        sleepMs(500);
        send("play movie from " + std::to_string(targetMs));
    } else {
        send("seek movie to " + std::to_string(targetMs));
        send("play movie");
    }
    sleepMs(1300);
    const auto asked = std::chrono::steady_clock::now();
    const long long playingAt = positionMs();
    send("pause movie");
    const auto paused = std::chrono::steady_clock::now();
    result.pausedAt = positionMs();
    result.markedAt =
        playingAt + std::chrono::duration_cast<std::chrono::milliseconds>(paused - asked).count();
    sleepMs(300);
    send("close all");
    recorder.stop();
    result.heardMs = lastHeardMs(readSamples(recording));
    return result;
}

TEST(HeardPosition, TheReportedPositionIsWhatWasHeardAfterASeek) {
    if (!pulseServerReachable()) GTEST_SKIP() << noPulseReason;
    if (testSinkName().empty()) GTEST_SKIP() << "SNIPWELL_TEST_SINK names no null sink to record";
    struct Case {
        const char* what;
        SteppedTones kind;
        int targetMs;
        bool whilePlaying;
    };
    const Case cases[] = {
        {"VBR without an info frame, seek", SteppedTones::vbrPlain, 14300, false},
        {"VBR without an info frame, play from", SteppedTones::vbrPlain, 23300, true},
        {"VBR with a Xing frame, seek", SteppedTones::vbrWithXing, 14300, false},
        {"VBR with a Xing frame, play from", SteppedTones::vbrWithXing, 23300, true},
        {"VBR after a 400 KB cover, seek", SteppedTones::vbrWithCover, 14300, false},
        {"VBR after a 400 KB cover, play from", SteppedTones::vbrWithCover, 23300, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Heard heard =
            playAndPause(Mp3Fixtures::steppedTones(c.kind).string(), c.targetMs, c.whilePlaying);
        ASSERT_GE(heard.pausedAt, 0) << "the file did not open or play";
        ASSERT_TRUE(heard.heardMs.has_value()) << "no step between two tones was heard";
        const double heardMs =
            *heard.heardMs + (c.kind == SteppedTones::vbrPlain ? kUntrimmedDelayMs : 0.0);
        const auto pausedMs = static_cast<double>(heard.pausedAt);
        const auto markedMs = static_cast<double>(heard.markedAt);
        std::printf("%-40s heard %8.1f ms, paused at %.0f (%+.1f), marked at %.0f (%+.1f)\n",
                    c.what, heardMs, pausedMs, pausedMs - heardMs, markedMs, markedMs - heardMs);
        EXPECT_NEAR(pausedMs, heardMs, 30.0);
        EXPECT_NEAR(markedMs, heardMs, 35.0);
    }
}

}  // namespace
}  // namespace snipwell::mci::test
