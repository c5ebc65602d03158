// snipwell-cut --gain, --no-clip and the fades, run as a script runs them and
// decoded by libmpg123: a gain scales every sample by 2^(steps/4) and keeps
// an exact clip exact, only side information and check words change, fades
// silence the clip's edges and leave its middle alone, the clipping guard
// picks the largest step that cannot clip, and a guard that dies writes
// nothing.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "clip/exact/mpg123_decode.h"
#include "mp3/block_reader.h"
#include "mp3/crc16.h"
#include "mp3/frame_crc.h"
#include "mp3/frame_walker.h"
#include "mp3/granule_gain.h"
#include "mp3/info_frame.h"
#include "mp3/lame_gain_fields.h"
#include "mp3/tag_layout.h"
#include "support/file_bytes.h"
#include "support/mp3/exact_cut_fixtures.h"
#include "support/mp3/lame_encode.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/mp3/run_program.h"
#include "support/temp_dir.h"

namespace snipwell::test {
namespace {

namespace fs = std::filesystem;

ProgramOutcome cut(const TempDir& work, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), SNIPWELL_CUT_PATH);
    return runProgramKeepingOutput(arguments, work.file("out.txt"), work.file("err.txt"));
}

struct ClipFrame {
    std::uint64_t offset = 0;
    mp3::FrameHeader header;
};

struct ClipLayout {
    std::vector<ClipFrame> frames;  // the info frame first
    std::uint64_t audioEnd = 0;
};

ClipLayout layoutOf(const fs::path& clip) {
    auto opened = mp3::BlockReader::open(clip.string());
    auto& file = std::get<mp3::BlockReader>(opened);
    const mp3::TagLayout tags = mp3::findTagLayout(file);
    auto started = mp3::FrameWalker::start(file, tags.audio, mp3::OtherStreams::refuse);
    auto& walker = std::get<mp3::FrameWalker>(started);
    ClipLayout layout;
    walker.walk([&](const mp3::WalkedFrame& frame) {
        layout.frames.push_back({frame.offset, frame.header});
        layout.audioEnd = frame.offset + frame.header.frameBytes;
        return true;
    });
    return layout;
}

double rms(const DecodedAudio& audio, std::size_t firstFrame, std::size_t frames) {
    const auto channels = static_cast<std::size_t>(audio.channels);
    double sum = 0;
    for (std::size_t i = firstFrame * channels; i < (firstFrame + frames) * channels; ++i) {
        const double sample = audio.samples[i];
        sum += sample * sample;
    }
    return std::sqrt(sum / static_cast<double>(frames * channels));
}

double decibels(double ratio) { return 20 * std::log10(std::max(ratio, 1e-12)); }

struct GainCase {
    std::string name;
    std::function<fs::path()> source;
    std::string gain;
    double factor;
};

std::ostream& operator<<(std::ostream& out, const GainCase& row) { return out << row.name; }

const GainCase gainCases[] = {
    {"cbr_plus3", [] { return Mp3Fixtures::file(Mp3Kind::cbrWithInfo); }, "3", std::sqrt(2.0)},
    {"cbr_minus6", [] { return Mp3Fixtures::file(Mp3Kind::cbrWithInfo); }, "-6", 0.5},
    {"crc_plus3", [] { return exactCutFixture(ExactCutKind::crcProtected); }, "3", std::sqrt(2.0)},
    {"reservoir_minus6", [] { return exactCutFixture(ExactCutKind::deepReservoir); }, "-6", 0.5},
    {"mpeg2_plus3", [] { return Mp3Fixtures::file(Mp3Kind::mpeg2Stereo); }, "3", std::sqrt(2.0)},
    {"mpeg25_mono_minus6", [] { return Mp3Fixtures::file(Mp3Kind::mpeg25Mono); }, "-6", 0.5},
};

class ExactGain : public testing::TestWithParam<GainCase> {};

TEST_P(ExactGain, ScalesEverySampleAndStaysExact) {
    const GainCase& row = GetParam();
    const fs::path source = row.source();
    const TempDir work;
    const fs::path plain = work.file("plain.mp3");
    const fs::path gained = work.file("gained.mp3");
    ASSERT_EQ(cut(work, {"--exact", source.string(), "1.2", "7.9", plain.string()}).exitCode, 0);
    const ProgramOutcome outcome =
        cut(work, {"--exact", "--gain", row.gain, source.string(), "1.2", "7.9", gained.string()});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.errorOutput;
    EXPECT_NE(outcome.output.find(row.gain == "3" ? "gain +3.0 dB (2 steps), may clip"
                                                  : "gain -6.0 dB (-4 steps)"),
              std::string::npos)
        << outcome.output;

    const DecodedAudio reference = decodeWithMpg123(plain);
    const DecodedAudio louder = decodeWithMpg123(gained);
    EXPECT_EQ(louder.complaints, "");
    const auto wanted = static_cast<std::size_t>((7900 - 1200) * reference.rate / 1000);
    ASSERT_EQ(reference.frames(), wanted);
    ASSERT_EQ(louder.frames(), wanted) << "no longer exact";
    double largest = 0;
    std::size_t compared = 0;
    for (std::size_t i = 0; i < reference.samples.size(); ++i) {
        const double expected = reference.samples[i] * row.factor;
        if (std::abs(expected) > 32000) continue;
        largest = std::max(largest, std::abs(louder.samples[i] - expected));
        ++compared;
    }
    EXPECT_LE(largest, 0.5 + 0.5 * row.factor + 1.0);
    EXPECT_GT(compared, reference.samples.size() / 2);
}

TEST_P(ExactGain, ChangesOnlySideInformationAndCheckWords) {
    const GainCase& row = GetParam();
    const fs::path source = row.source();
    const TempDir work;
    const fs::path plain = work.file("plain.mp3");
    const fs::path gained = work.file("gained.mp3");
    ASSERT_EQ(cut(work, {"--exact", source.string(), "0.5", "4.0", plain.string()}).exitCode, 0);
    ASSERT_EQ(
        cut(work, {"--exact", "--gain", row.gain, source.string(), "0.5", "4.0", gained.string()})
            .exitCode,
        0);
    const Bytes before = readBytes(plain);
    const Bytes after = readBytes(gained);
    ASSERT_EQ(after.size(), before.size());
    const ClipLayout layout = layoutOf(plain);
    ASSERT_GT(layout.frames.size(), 2u);
    std::vector<bool> mayDiffer(before.size(), false);
    // The info frame's music CRC and its tag CRC after it.
    const ClipFrame& info = layout.frames.front();
    const auto lame = mp3::readInfoFrame(before.data() + info.offset, info.header).lame;
    ASSERT_TRUE(lame.has_value());
    for (std::uint32_t i = mp3::lameMusicCrcOffset; i < mp3::lameTagCrcOffset + 2; ++i) {
        mayDiffer[info.offset + lame->offset + i] = true;
    }
    for (std::size_t f = 1; f < layout.frames.size(); ++f) {
        const ClipFrame& frame = layout.frames[f];
        for (std::uint32_t i = 4; i < frame.header.sideInfoEnd(); ++i) {
            mayDiffer[frame.offset + i] = true;
        }
    }
    std::size_t differing = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] == after[i]) continue;
        ++differing;
        EXPECT_TRUE(mayDiffer[i]) << "byte " << i << " is no side information or check word";
    }
    EXPECT_GT(differing, layout.frames.size());
}

INSTANTIATE_TEST_SUITE_P(Kinds, ExactGain, testing::ValuesIn(gainCases),
                         [](const auto& testCase) { return testCase.param.name; });

TEST(ExactGain, ProtectedFramesAndTheMusicCrcStayRight) {
    const fs::path source = exactCutFixture(ExactCutKind::crcProtected);
    const TempDir work;
    const fs::path gained = work.file("gained.mp3");
    ASSERT_EQ(cut(work, {"--exact", "--gain", "4.5", "--fade-in", "0.5", source.string(), "1.0",
                         "6.0", gained.string()})
                  .exitCode,
              0);
    const Bytes clip = readBytes(gained);
    const ClipLayout layout = layoutOf(gained);
    std::size_t protectedFrames = 0;
    for (std::size_t f = 1; f < layout.frames.size(); ++f) {
        const ClipFrame& frame = layout.frames[f];
        if (!frame.header.hasCrc) continue;  // the priming frame the cut made itself
        ++protectedFrames;
        EXPECT_TRUE(
            mp3::frameCrcMatches(clip.data() + frame.offset,
                                 mp3::sideInfoShapeOf(clip.data() + frame.offset).sideInfoBytes()))
            << "frame " << f;
    }
    EXPECT_GT(protectedFrames, 100u);
    // The music CRC covers every audio frame after the info frame; the tag
    // CRC the info frame up to itself.
    const ClipFrame& info = layout.frames.front();
    const auto lame = mp3::readInfoFrame(clip.data() + info.offset, info.header).lame;
    ASSERT_TRUE(lame.has_value());
    const std::uint64_t musicFrom = info.offset + info.header.frameBytes;
    const std::uint16_t music =
        mp3::crc16Update(0, clip.data() + musicFrom, layout.audioEnd - musicFrom);
    const std::uint8_t* stored = clip.data() + info.offset + lame->offset;
    EXPECT_EQ(stored[mp3::lameMusicCrcOffset] << 8 | stored[mp3::lameMusicCrcOffset + 1], music);
    const std::uint16_t tag =
        mp3::crc16Update(0, clip.data() + info.offset, lame->offset + mp3::lameTagCrcOffset);
    EXPECT_EQ(stored[mp3::lameTagCrcOffset] << 8 | stored[mp3::lameTagCrcOffset + 1], tag);
    // No peak or ReplayGain that the gain would have made false.
    for (std::uint32_t i = 0; i < mp3::lameGainFieldsBytes; ++i) {
        EXPECT_EQ(stored[mp3::lamePeakOffset + i], 0) << "gain field byte " << i;
    }
    EXPECT_EQ(decodeWithMpg123(gained).complaints, "");
}

struct FadeCase {
    const char* fadeIn;
    const char* fadeOut;
    double fadeInSeconds;
    double fadeOutSeconds;
    const char* summary;
};

// Long fades, and fades so short that the staircase alone would not reach
// far enough down at the edges: the silent granules must.
const FadeCase fadeCases[] = {
    {"1", "2", 1, 2, "fade-in 1.000 s, fade-out 2.000 s"},
    {"0.1", "0.1", 0.1, 0.1, "fade-in 0.100 s, fade-out 0.100 s"},
};

class ExactFade : public testing::TestWithParam<FadeCase> {};

TEST_P(ExactFade, SilentEdgesUntouchedMiddleAndAStaircaseThatRises) {
    const FadeCase& row = GetParam();
    const fs::path source = exactCutFixture(ExactCutKind::deepReservoir);
    const TempDir work;
    const fs::path plain = work.file("plain.mp3");
    const fs::path faded = work.file("faded.mp3");
    ASSERT_EQ(cut(work, {"--exact", source.string(), "1.3", "8.7", plain.string()}).exitCode, 0);
    const ProgramOutcome outcome =
        cut(work, {"--exact", "--fade-in", row.fadeIn, "--fade-out", row.fadeOut, source.string(),
                   "1.3", "8.7", faded.string()});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.errorOutput;
    EXPECT_NE(outcome.output.find(row.summary), std::string::npos) << outcome.output;

    const DecodedAudio reference = decodeWithMpg123(plain);
    const DecodedAudio fadedAudio = decodeWithMpg123(faded);
    ASSERT_EQ(fadedAudio.frames(), reference.frames()) << "no longer exact";
    const std::size_t frames = reference.frames();
    const auto rate = static_cast<std::size_t>(reference.rate);
    const auto fadeIn =
        static_cast<std::size_t>(row.fadeInSeconds * static_cast<double>(reference.rate));
    const auto fadeOut =
        static_cast<std::size_t>(row.fadeOutSeconds * static_cast<double>(reference.rate));
    const double middle = rms(reference, frames / 2 - rate / 2, rate);
    EXPECT_LE(decibels(rms(fadedAudio, 0, 576) / middle), -40) << "first granule";
    EXPECT_LE(decibels(rms(fadedAudio, frames - 576, 576) / middle), -40) << "last granule";

    // The middle, from a few granules past the fade-in to a few before the
    // fade-out, is the unfaded clip sample for sample.
    const auto channels = static_cast<std::size_t>(reference.channels);
    std::size_t differing = 0;
    for (std::size_t i = (fadeIn + 4 * 576) * channels; i < (frames - fadeOut - 4 * 576) * channels;
         ++i) {
        if (fadedAudio.samples[i] != reference.samples[i]) ++differing;
    }
    EXPECT_EQ(differing, 0u);

    // The fade-in's level, window by window against the unfaded clip, only
    // ever rises (half a step of slack for windows that straddle two stairs),
    // and the fade-out's only ever falls.
    double previous = -1000;
    for (std::size_t at = 576; at + 576 <= fadeIn + 576; at += 576) {
        const double level = decibels(rms(fadedAudio, at, 576) / rms(reference, at, 576));
        EXPECT_GE(level, previous - 0.75) << "fade-in at sample " << at;
        previous = std::max(previous, level);
    }
    EXPECT_GT(previous, -3.0);
    previous = 1000;
    for (std::size_t at = frames - fadeOut - 576; at + 2 * 576 <= frames; at += 576) {
        const double level = decibels(rms(fadedAudio, at, 576) / rms(reference, at, 576));
        EXPECT_LE(level, previous + 0.75) << "fade-out at sample " << at;
        previous = std::min(previous, level);
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, ExactFade, testing::ValuesIn(fadeCases));

// A 1 kHz tone whose peak is `dbfs`, 3 s, 44.1 kHz stereo.
fs::path toneAt(const TempDir& work, double dbfs) {
    const fs::path wav = work.file("tone.wav");
    runProgramOrThrow({"sox", "-n", "-r", "44100", "-c", "2", "-b", "16", wav.string(), "synth",
                       "3", "sine", "1000", "gain", std::to_string(dbfs)});
    return lameEncode(work, wav, "tone", {"-b", "160"});
}

TEST(ClippingGuard, PicksTheLargestStepThatCannotClip) {
    const TempDir work;
    const fs::path source = toneAt(work, -2);
    const struct {
        std::vector<std::string> options;
        const char* summary;
    } cases[] = {
        {{"--exact", "--gain", "max"}, "gain +1.5 dB (1 step), cannot clip"},
        {{"--gain", "max"}, "gain +1.5 dB (1 step), cannot clip"},
        {{"--exact", "--gain", "3", "--no-clip"},
         "gain +1.5 dB (1 step, lowered from +3.0 dB so that it cannot clip), cannot clip"},
        {{"--exact", "--gain", "1.5", "--no-clip"}, "gain +1.5 dB (1 step), cannot clip"},
        {{"--exact", "--gain", "3"}, "gain +3.0 dB (2 steps), may clip"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = c.options;
        const fs::path target = work.file("clip.mp3");
        for (const std::string& word : {std::string("--force"), source.string(), std::string("0.5"),
                                        std::string("2.5"), target.string()}) {
            arguments.push_back(word);
        }
        const ProgramOutcome outcome = cut(work, arguments);
        ASSERT_EQ(outcome.exitCode, 0) << outcome.errorOutput;
        EXPECT_NE(outcome.output.find(c.summary), std::string::npos) << outcome.output;
    }
    // What the guard allowed does not clip in the decode.
    const fs::path target = work.file("max.mp3");
    ASSERT_EQ(
        cut(work, {"--exact", "--gain", "max", source.string(), "0.5", "2.5", target.string()})
            .exitCode,
        0);
    const DecodedAudio clip = decodeWithMpg123(target);
    int peak = 0;
    for (const std::int16_t sample : clip.samples) peak = std::max(peak, std::abs(int{sample}));
    EXPECT_LT(peak, 32767);
    EXPECT_GT(peak, 32767 / 2);
}

fs::path script(const TempDir& work, const std::string& name, const std::string& body) {
    fs::path path = work.file(name);
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    ::chmod(path.c_str(), 0755);
    return path;
}

TEST(ClippingGuard, AnAnalysisThatDiesOrFailsWritesNothing) {
    const TempDir work;
    const TempDir targets;
    const fs::path source = Mp3Fixtures::file(Mp3Kind::cbrWithInfo);
    const struct {
        const char* name;
        std::string body;
        const char* reasonHas;
    } cases[] = {
        {"killed", "printf 'peak 0.'; kill -KILL $$", "killed by signal 9 (SIGKILL)"},
        {"crashed", "kill -SEGV $$", "killed by signal 11 (SIGSEGV)"},
        {"failed", "echo 'error the decoder gave up'; exit 1", "the decoder gave up"},
    };
    for (const auto& c : cases) {
        ::setenv("SNIPWELL_LEVEL_PROBE", script(work, c.name, c.body).c_str(), 1);
        for (const std::string mode : {"--exact", "bytes", "split"}) {
            std::vector<std::string> arguments{"--gain", "max", source.string(),
                                               "1.0",    "3.0", targets.file("clip.mp3").string()};
            if (mode == "--exact") arguments.insert(arguments.begin(), "--exact");
            if (mode == "split") {
                arguments = {"--at", "2.0",           "--gain",
                             "max",  source.string(), targets.file("tracks").string()};
            }
            const ProgramOutcome outcome = cut(work, arguments);
            EXPECT_EQ(outcome.exitCode, 1) << c.name << " " << mode;
            EXPECT_NE(outcome.errorOutput.find(c.reasonHas), std::string::npos)
                << c.name << ": " << outcome.errorOutput;
            EXPECT_NE(outcome.errorOutput.find(mode == "split" ? "nothing was split"
                                                               : "the clip was not saved"),
                      std::string::npos)
                << outcome.errorOutput;
            EXPECT_TRUE(targets.names().empty()) << c.name << " " << mode << " left a file";
        }
    }
    ::unsetenv("SNIPWELL_LEVEL_PROBE");
}

// Every track of a split, exact or by bytes, gets the gain and stays as long
// as the plain split's.
TEST(SplitGain, EveryTrackIsScaledAndKeepsItsLength) {
    const fs::path source = Mp3Fixtures::file(Mp3Kind::cbrWithInfo);
    for (const bool bytes : {false, true}) {
        const TempDir work;
        std::vector<std::string> plain{"--at", "3.0,6.5", source.string(),
                                       work.file("plain").string()};
        std::vector<std::string> gained{"--at", "3.0,6.5",       "--gain",
                                        "-6",   source.string(), work.file("gained").string()};
        if (bytes) {
            plain.insert(plain.begin(), "--bytes");
            gained.insert(gained.begin(), "--bytes");
        }
        ASSERT_EQ(cut(work, plain).exitCode, 0) << bytes;
        const ProgramOutcome outcome = cut(work, gained);
        ASSERT_EQ(outcome.exitCode, 0) << outcome.errorOutput;
        for (const char* track : {"Track 01.mp3", "Track 02.mp3", "Track 03.mp3"}) {
            SCOPED_TRACE(std::string(track) + (bytes ? " by bytes" : " exact"));
            const DecodedAudio reference = decodeWithMpg123(work.file("plain") / track);
            const DecodedAudio quieter = decodeWithMpg123(work.file("gained") / track);
            ASSERT_EQ(quieter.samples.size(), reference.samples.size());
            ASSERT_GT(reference.samples.size(), 10'000u);
            double largest = 0;
            for (std::size_t i = 0; i < reference.samples.size(); ++i) {
                largest =
                    std::max(largest, std::abs(quieter.samples[i] - reference.samples[i] * 0.5));
            }
            EXPECT_LE(largest, 2.0);
        }
        std::size_t lines = 0;
        for (std::size_t at = outcome.output.find("gain -6.0 dB (-4 steps)");
             at != std::string::npos; at = outcome.output.find("gain -6.0 dB", at + 1)) {
            ++lines;
        }
        EXPECT_EQ(lines, 3u) << outcome.output;
    }
}

// A clip from 0 holds the source's frames only: the info frame, whose
// loudness a gain would make wrong, stays behind, and every frame is scaled.
TEST(ByteRangeGain, ScalesTheFramesInsideTheCopyAndLeavesTheInfoFrameBehind) {
    // lame states the radio ReplayGain in its info frame unless told not to.
    const TempDir work;
    const fs::path wav = work.file("sweep.wav");
    runProgramOrThrow({"sox", "-n", "-r", "44100", "-c", "2", "-b", "16", wav.string(), "synth",
                       "6", "sine", "300-3000", "vol", "0.3"});
    const fs::path source = work.file("rg.mp3");
    runProgramOrThrow(
        {"lame", "--quiet", "--replaygain-accurate", "-b", "128", wav.string(), source.string()});
    const fs::path plain = work.file("plain.mp3");
    const fs::path gained = work.file("gained.mp3");
    ASSERT_EQ(cut(work, {source.string(), "0", "4.0", plain.string()}).exitCode, 0);
    const ProgramOutcome outcome =
        cut(work, {"--gain", "-6", source.string(), "0", "4.0", gained.string()});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.errorOutput;

    const Bytes before = readBytes(plain);
    ASSERT_EQ(readBytes(gained).size(), before.size());
    const ClipFrame& first = layoutOf(plain).frames.front();
    EXPECT_FALSE(mp3::readInfoFrame(before.data() + first.offset, first.header).skippedByDecoder);

    const DecodedAudio reference = decodeWithMpg123(plain);
    const DecodedAudio quieter = decodeWithMpg123(gained);
    ASSERT_EQ(quieter.samples.size(), reference.samples.size());
    double largest = 0;
    for (std::size_t i = 0; i < reference.samples.size(); ++i) {
        largest = std::max(largest, std::abs(quieter.samples[i] - reference.samples[i] * 0.5));
    }
    EXPECT_LE(largest, 2.0);
}

}  // namespace
}  // namespace snipwell::test
