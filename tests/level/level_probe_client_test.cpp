// The clipping guard's analysis: the real probe measures the peak of
// generated files, and the caller turns every way the probe can go wrong
// (not there, killed, hung, rambling, failing) into a reason, never a peak.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <variant>

#include "level/level_probe_client.h"
#include "level/level_probe_protocol.h"
#include "level/stand_in_probe.h"
#include "mp3/gain_plan.h"
#include "support/mp3/lame_encode.h"
#include "support/mp3/run_program.h"
#include "support/temp_dir.h"

namespace snipwell {
namespace {

namespace fs = std::filesystem;
using test::pidIn;
using test::processEnds;
using test::script;
using test::StandInProbe;
using test::TempDir;

// A tone at `dbfs` of full scale, 3 s, 44.1 kHz stereo, 128 kbit/s.
fs::path toneAt(const TempDir& work, double dbfs, const std::string& name) {
    const fs::path wav = work.file(name + ".wav");
    test::runProgramOrThrow({"sox", "-n", "-r", "44100", "-c", "2", "-b", "16", wav.string(),
                             "synth", "3", "sine", "1000", "gain", std::to_string(dbfs)});
    return test::lameEncode(work, wav, name, {"-b", "128"});
}

LevelProbeRequest requestFor(const std::string& program, const std::string& source,
                             std::uint64_t offset = 0,
                             std::optional<std::uint64_t> length = std::nullopt) {
    LevelProbeRequest request;
    request.program = program;
    request.source = source;
    request.offset = offset;
    request.length = length;
    return request;
}

std::string probe() {
    const auto found = findLevelProbe();
    if (!found) throw std::runtime_error("snipwell-level-probe is not beside the test program");
    return *found;
}

double peakOf(const LevelProbeRequest& request) {
    const auto measured = measurePeak(request);
    if (const auto* failure = std::get_if<LevelProbeFailure>(&measured)) {
        ADD_FAILURE() << failure->reason;
        return -1;
    }
    return std::get<MeasuredPeak>(measured).peak;
}

TEST(LevelProbe, MeasuresThePeakOfTheWholeFileOrAStretch) {
    const TempDir work;
    const fs::path loud = toneAt(work, -2, "minus2");
    const fs::path quiet = toneAt(work, -12, "minus12");
    const double loudPeak = peakOf(requestFor(probe(), loud.string()));
    const double quietPeak = peakOf(requestFor(probe(), quiet.string()));
    EXPECT_NEAR(20 * std::log10(loudPeak), -2, 0.5);
    EXPECT_NEAR(20 * std::log10(quietPeak), -12, 0.5);
    // A stretch from the middle decodes its first frames with the bit
    // reservoir in place: no garbage louder than the tone.
    const double stretchPeak = peakOf(requestFor(probe(), loud.string(), 20'000, 40'000));
    EXPECT_NEAR(stretchPeak, loudPeak, 0.01);
}

TEST(LevelProbe, TheGuardPicksTheLargestStepThatCannotClip) {
    const TempDir work;
    const double peak = peakOf(requestFor(probe(), toneAt(work, -2, "minus2").string()));
    EXPECT_EQ(mp3::largestSafeGainSteps(peak), 1);  // +1.5 dB, not +3
}

TEST(LevelProbe, EveryWayTheProbeFailsIsAReason) {
    const TempDir work;
    const struct {
        const char* name;
        std::string body;
        const char* reasonHas;
    } cases[] = {
        {"killed mid-way", "printf 'peak 0.'; kill -KILL $$", "killed by signal 9 (SIGKILL)"},
        {"crashed", "kill -SEGV $$", "killed by signal 11 (SIGSEGV)"},
        {"hung", "exec sleep 30", "made no progress for 0.3 s and was stopped"},
        {"repeats itself", "while :; do echo progress 7; sleep 0.05; done",
         "made no progress for 0.3 s and was stopped"},
        {"reports progress after its answer", "echo 'peak 0.5 samples 10'; echo 'progress 9'",
         "no usable answer"},
        {"rambling", "echo 'all is well'", "no usable answer"},
        {"two answers", "echo 'peak 0.5 samples 10'; echo 'peak 0.9 samples 10'",
         "no usable answer"},
        {"peak but failed", "echo 'peak 0.5 samples 10'; exit 3", "ended with status 3"},
        {"silent failure", "exit 4", "ended with status 4"},
        {"reported failure", "echo 'error the frames are damaged'; exit 1",
         "the level analysis failed: the frames are damaged"},
    };
    for (const auto& c : cases) {
        LevelProbeRequest request = requestFor(script(work, c.name, c.body).string(), "song.mp3");
        request.silenceLimit = std::chrono::milliseconds(300);
        const auto started = std::chrono::steady_clock::now();
        const auto measured = measurePeak(request);
        const auto* failure = std::get_if<LevelProbeFailure>(&measured);
        ASSERT_NE(failure, nullptr) << c.name;
        EXPECT_NE(failure->reason.find(c.reasonHas), std::string::npos)
            << c.name << ": " << failure->reason;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5)) << c.name;
    }
    const auto missing = measurePeak(requestFor(work.file("none").string(), "song.mp3"));
    ASSERT_TRUE(std::holds_alternative<LevelProbeFailure>(missing));
    EXPECT_NE(std::get<LevelProbeFailure>(missing).reason.find("cannot start"), std::string::npos);
}

// The probe as snipwell-cut runs it, with its own limits: a probe that stops
// reporting progress mid-decode is ended long before a limit for the
// stretch's size, and whatever it started ends with it, whether it hung or
// answered.
TEST(LevelProbe, AProbeThatStopsReportingEndsPromptlyWithWhatItStarted) {
    const TempDir work;
    const std::string child = work.file("child.pid").string();
    const std::string stalled = work.file("stalled").string();
    // A child of the probe, holding nothing of the probe's output open.
    const std::string startChild = "sleep 600 >/dev/null 2>&1 & echo $! >" + child + "; ";
    const struct {
        const char* name;
        std::string body;
        const char* reasonHas;  // nullptr: measured
    } cases[] = {
        {"hangs mid-decode",
         startChild + "echo progress 0; echo progress 65536; touch " + stalled + "; exec sleep 600",
         "made no progress for 5 s and was stopped"},
        {"answers and leaves a child", startChild + "echo 'peak 0.5 samples 10'", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(child);
        const StandInProbe standIn(script(work, c.name, c.body));
        const auto started = std::chrono::steady_clock::now();
        const auto measured = measurePeakWithProbe("song.mp3", 0, 1'000'000);
        const auto waited = std::chrono::steady_clock::now() - started;
        if (c.reasonHas != nullptr) {
            ASSERT_TRUE(fs::exists(stalled)) << "the probe never reached its hang";
            const auto* failure = std::get_if<LevelProbeFailure>(&measured);
            ASSERT_NE(failure, nullptr);
            EXPECT_NE(failure->reason.find(c.reasonHas), std::string::npos) << failure->reason;
            EXPECT_LT(waited, std::chrono::seconds(20));
        } else {
            EXPECT_TRUE(std::holds_alternative<MeasuredPeak>(measured));
        }
        const int childPid = pidIn(child);
        ASSERT_GT(childPid, 0) << "the probe started no child";
        const bool ended = processEnds(childPid);
        EXPECT_TRUE(ended) << "the probe's child outlived it";
        if (!ended) ::kill(childPid, SIGKILL);
    }
}

TEST(LevelProbe, ASlowProbeThatKeepsReportingProgressIsWaitedFor) {
    const TempDir work;
    const auto slow = script(work, "slow",
                             "for i in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15; do echo progress $i; "
                             "sleep 0.2; done; echo 'peak 0.5 samples 10'");
    LevelProbeRequest request = requestFor(slow.string(), "song.mp3");
    request.silenceLimit = std::chrono::seconds(1);
    const auto started = std::chrono::steady_clock::now();
    const auto measured = measurePeak(request);
    // It ran for longer than the silence it is allowed, or this proves nothing.
    EXPECT_GT(std::chrono::steady_clock::now() - started, 2 * request.silenceLimit);
    ASSERT_TRUE(std::holds_alternative<MeasuredPeak>(measured))
        << std::get<LevelProbeFailure>(measured).reason;
    EXPECT_EQ(std::get<MeasuredPeak>(measured).peak, 0.5);
}

TEST(LevelProbe, AProbeItsVariableNamesButCannotRunIsCalledSo) {
    const TempDir work;
    const fs::path plain = work.file("plain");
    std::ofstream(plain) << "#!/bin/sh\necho 'peak 0.5 samples 10'\n";
    ::chmod(plain.c_str(), 0644);
    const fs::path folder = work.file("folder");
    fs::create_directory(folder);
    for (const fs::path& named : {plain, folder}) {
        const StandInProbe standIn(named);
        const auto measured = measurePeakWithProbe("song.mp3", 0, 1000);
        ASSERT_TRUE(std::holds_alternative<LevelProbeFailure>(measured)) << named;
        const std::string& reason = std::get<LevelProbeFailure>(measured).reason;
        for (const std::string& part :
             {std::string(level::levelProbeVariable), "\"" + named.string() + "\"",
              std::string("not an executable file")}) {
            EXPECT_NE(reason.find(part), std::string::npos) << reason;
        }
    }
}

TEST(LevelProbe, TheStretchReachesTheProbe) {
    const TempDir work;
    const auto echo = script(work, "echo", "echo \"peak 0.25 samples $(($5 * 10000 + $6))\"");
    const auto measured = measurePeak(requestFor(echo.string(), "song.mp3", 417, 1000));
    ASSERT_TRUE(std::holds_alternative<MeasuredPeak>(measured));
    EXPECT_EQ(std::get<MeasuredPeak>(measured).peak, 0.25);
    EXPECT_EQ(std::get<MeasuredPeak>(measured).samples, 4171000u);
}

}  // namespace
}  // namespace snipwell
