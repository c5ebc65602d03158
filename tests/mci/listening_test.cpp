// Plays from 6000 ms of the two-tone file into the null sink, records what
// our stream rendered, and checks by ear (a Goertzel filter) that the second
// tone, 880 Hz, is what played. Only our own stream is recorded, so other
// tests playing into the same sink at the same time cannot be heard.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "mci_session.h"
#include "pulse_server.h"
#include "stream_recording.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/temp_dir.h"

namespace snipwell::mci::test {
namespace {

constexpr int recordRate = 8000;

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
    StreamRecorder recorder(sink, *stream, recordRate, recording.string());
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
    const double high = tonePower(heard, recordRate, 880.0);
    const double low = tonePower(heard, recordRate, 440.0);
    EXPECT_GT(high, 100.0 * low) << "880 Hz power " << high << ", 440 Hz power " << low;
}

}  // namespace
}  // namespace snipwell::mci::test
