// A whole file's window levels through the real probe: the windows lie on
// the samples a gapless decoder plays, two probes at once measure what one
// measures, a range measures what the whole measures there, and every way a
// probe fails during a scan is a reason, with nothing left running.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "level/level_probe_client.h"
#include "level/silence_finder.h"
#include "level/stand_in_probe.h"
#include "mp3/length.h"
#include "support/mp3/lame_encode.h"
#include "support/mp3/run_program.h"
#include "support/temp_dir.h"

namespace snipwell {
namespace {

namespace fs = std::filesystem;
using level::SampleRange;
using test::TempDir;

constexpr std::uint32_t kWindow = 441;  // 10 ms at 44.1 kHz
constexpr std::uint64_t kRate = 44'100;
constexpr std::uint64_t kGapBegin = 2 * kRate;  // 2 s of tone, 0.5 s of silence, 1.5 s of tone
constexpr std::uint64_t kGapEnd = kGapBegin + kRate / 2;
constexpr std::uint64_t kLameDelay = 576 + 529;  // lame's encoder delay and the decoder's

// The tone, the silence and the tone again, as a WAV file made once.
const fs::path& showWav() {
    static const TempDir work;
    static const fs::path wav = [] {
        const auto part = [](const fs::path& path, std::vector<std::string> effect) {
            std::vector<std::string> command{"sox", "-n", "-r", "44100",      "-c",
                                             "2",   "-b", "16", path.string()};
            command.insert(command.end(), effect.begin(), effect.end());
            test::runProgramOrThrow(command);
        };
        part(work.file("a.wav"), {"synth", "2", "sine", "440", "vol", "0.5"});
        part(work.file("gap.wav"), {"trim", "0", "0.5"});
        part(work.file("b.wav"), {"synth", "1.5", "sine", "660", "vol", "0.5"});
        test::runProgramOrThrow({"sox", work.file("a.wav").string(), work.file("gap.wav").string(),
                                 work.file("b.wav").string(), work.file("show.wav").string()});
        return work.file("show.wav");
    }();
    return wav;
}

LevelScanRequest requestFor(const std::string& program, const fs::path& source) {
    LevelScanRequest request;
    request.program = program;
    request.source = source.string();
    request.windowSamples = kWindow;
    return request;
}

ScannedLevels scanned(const LevelScanRequest& request) {
    auto result = scanLevels(request);
    if (const auto* failure = std::get_if<LevelProbeFailure>(&result)) {
        ADD_FAILURE() << failure->reason;
        return {};
    }
    return std::get<ScannedLevels>(std::move(result));
}

TEST(LevelScan, WindowsLieOnThePlayedSamplesAndTwoProbesMeasureWhatOneDoes) {
    const TempDir work;
    const auto program = findLevelProbe();
    ASSERT_TRUE(program) << "snipwell-level-probe is not beside the test program";
    const struct {
        const char* name;
        std::vector<std::string> lameOptions;
        std::uint64_t shift;  // samples a decoder plays before the first one encoded
    } cases[] = {
        {"CBR with an Info frame", {"-b", "128"}, 0},
        {"VBR with a Xing frame", {"-V", "2"}, 0},
        {"no info frame", {"-t", "-b", "160"}, kLameDelay},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path mp3 = test::lameEncode(work, showWav(), c.name, c.lameOptions);
        LevelScanRequest request = requestFor(*program, mp3);
        const ScannedLevels both = scanned(request);
        request.useBothCores = false;
        const ScannedLevels one = scanned(request);

        const auto length = mp3::measureLength(mp3.string());
        ASSERT_TRUE(std::holds_alternative<mp3::TrackLength>(length));
        EXPECT_EQ(both.levels.totalSamples, std::get<mp3::TrackLength>(length).samples);
        EXPECT_EQ(both.sampleRate, kRate);
        EXPECT_EQ(both.channels, 2u);

        const auto found = level::findSilenceSplits(both.levels, {-48, kRate * 3 / 10});
        ASSERT_TRUE(std::holds_alternative<level::SilencePlan>(found));
        const auto& splits = std::get<level::SilencePlan>(found).splits;
        ASSERT_EQ(splits.size(), 1u);
        const auto middle = static_cast<std::int64_t>((kGapBegin + kGapEnd) / 2 + c.shift);
        EXPECT_LE(std::llabs(static_cast<std::int64_t>(splits[0].sample) - middle), kWindow);

        // The second probe decodes a few frames before its first one, so
        // the decoder's state at the seam is what it is in one pass.
        EXPECT_EQ(one.levels.totalSamples, both.levels.totalSamples);
        EXPECT_EQ(one.levels.rms, both.levels.rms);

        // A range that starts on a window boundary measures the whole's
        // windows there.
        request.range = SampleRange{150 * kWindow, 250 * kWindow};
        const ScannedLevels part = scanned(request);
        EXPECT_EQ(part.firstSample, 150 * kWindow);
        EXPECT_EQ(part.levels.totalSamples, 100 * kWindow);
        ASSERT_GE(one.levels.rms.size(), 250u);
        EXPECT_EQ(part.levels.rms,
                  std::vector<float>(one.levels.rms.begin() + 150, one.levels.rms.begin() + 250));
    }
}

TEST(LevelScan, EveryWayAProbeFailsMidScanIsAReason) {
    const TempDir work;
    const fs::path mp3 = test::lameEncode(work, showWav(), "show", {"-b", "128"});
    const char* levelsLine = "printf 'levels first-frame 0 rate 44100 channels 2 samples 441 ";
    const struct {
        const char* name;
        std::string body;
        const char* reasonHas;
    } cases[] = {
        {"crashes", "echo progress 1; kill -SEGV $$", "killed by signal 11 (SIGSEGV)"},
        {"hangs", "echo progress 1; exec sleep 30", "made no progress for 0.3 s"},
        {"values cut short", std::string(levelsLine) + "windows 1\\n\\0\\0'", "no usable answer"},
        {"more windows than samples", std::string(levelsLine) + "windows 2\\n'; exec sleep 30",
         "no usable answer"},
        {"a level that is no number", std::string(levelsLine) + "windows 1\\n\\377\\377\\377\\177'",
         "no usable answer"},
        {"levels of frames elsewhere", std::string(levelsLine) + "windows 1\\n\\0\\0\\0\\0'",
         "did not begin at the frame"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LevelScanRequest request = requestFor(test::script(work, c.name, c.body).string(), mp3);
        request.silenceLimit = std::chrono::milliseconds(300);
        const auto result = scanLevels(request);
        const auto* failure = std::get_if<LevelProbeFailure>(&result);
        ASSERT_NE(failure, nullptr);
        EXPECT_NE(failure->reason.find(c.reasonHas), std::string::npos) << failure->reason;
    }
    const auto missing = scanLevels(requestFor(*findLevelProbe(), work.file("none.mp3")));
    ASSERT_TRUE(std::holds_alternative<LevelProbeFailure>(missing));
    EXPECT_EQ(std::get<LevelProbeFailure>(missing).fileError->fault, mp3::Mp3Fault::notFound);
}

// One probe crashes while the other hangs without a word: the hung one is
// stopped at once, not after the silence limit, and whatever it started ends
// with it.
TEST(LevelScan, WhenOneProbeFailsTheOtherIsStoppedWithWhatItStarted) {
    const TempDir work;
    const fs::path mp3 = test::lameEncode(work, showWav(), "show", {"-b", "128"});
    const std::string hung = work.file("hung.pid").string();
    const std::string child = work.file("child.pid").string();
    const auto probe = test::script(work, "probe",
                                    "if mkdir " + work.file("first").string() +
                                        " 2>/dev/null; then\n"
                                        "  sleep 600 >/dev/null 2>&1 & echo $! >" +
                                        child +
                                        "\n"
                                        "  echo $$ >" +
                                        hung +
                                        "; exec sleep 600\n"
                                        "fi\n"
                                        "while [ ! -s " +
                                        hung + " ]; do sleep 0.01; done; kill -SEGV $$");
    const auto started = std::chrono::steady_clock::now();
    const auto result = scanLevels(requestFor(probe.string(), mp3));
    const auto waited = std::chrono::steady_clock::now() - started;
    ASSERT_TRUE(std::holds_alternative<LevelProbeFailure>(result));
    EXPECT_NE(std::get<LevelProbeFailure>(result).reason.find("SIGSEGV"), std::string::npos)
        << std::get<LevelProbeFailure>(result).reason;
    EXPECT_LT(waited, level::probeSilenceLimit);
    for (const std::string& pidFile : {hung, child}) {
        const int pid = test::pidIn(pidFile);
        ASSERT_GT(pid, 0) << pidFile;
        const bool ended = test::processEnds(pid);
        EXPECT_TRUE(ended) << pidFile;
        if (!ended) ::kill(pid, SIGKILL);
    }
}

}  // namespace
}  // namespace snipwell
