// A split at silences of a real MP3: tones with near-silent gaps of several
// lengths and levels between them, a short pause and a quiet passage that
// must not split, encoded by lame and split exactly. The window levels are
// measured here from libmpg123's gapless decode, standing in for the level
// probe, so the test checks the rules, the plan and the writer on audio an
// encoder has smeared; each track must begin within 10 ms of the middle of
// its gap.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "clip/exact/mpg123_decode.h"
#include "clip/export/disk_files.h"
#include "cut/split_command.h"
#include "cut/split_services.h"
#include "support/mp3/lame_encode.h"
#include "support/mp3/run_program.h"
#include "support/temp_dir.h"

namespace snipwell::test {
namespace {

namespace fs = std::filesystem;

// One piece of the source: a sine of `hertz` at `decibels` RMS (silence
// when hertz is 0), `seconds` long.
struct Piece {
    double seconds;
    int hertz;
    double decibels;
};

// 13 s: gaps at -70 dB (1 s) and -56 dB (0.7 s) and of digital silence (2 s)
// split; a pause of 0.3 s and a passage at -42 dB do not.
const Piece kShow[] = {
    {2.0, 440, -6}, {1.0, 100, -70}, {1.5, 660, -6}, {0.3, 0, 0}, {1.0, 660, -6}, {0.7, 150, -56},
    {1.0, 880, -6}, {1.0, 200, -42}, {1.0, 440, -6}, {2.0, 0, 0}, {1.5, 880, -6},
};
constexpr double kSplitSeconds[] = {2.5, 6.15, 10.5};

fs::path encodedShow(const TempDir& work) {
    std::vector<std::string> join{"sox"};
    for (std::size_t i = 0; i < std::size(kShow); ++i) {
        const Piece& piece = kShow[i];
        const std::string wav = work.file("piece" + std::to_string(i) + ".wav").string();
        std::vector<std::string> synth{"sox",
                                       "-n",
                                       "-r",
                                       "44100",
                                       "-c",
                                       "2",
                                       "-b",
                                       "16",
                                       wav,
                                       "synth",
                                       std::to_string(piece.seconds)};
        if (piece.hertz == 0) {
            synth.insert(synth.end(), {"sine", "0", "vol", "0"});
        } else {
            // A sine's RMS is its amplitude over the square root of two.
            const double amplitude = std::pow(10.0, piece.decibels / 20) * std::sqrt(2.0);
            synth.insert(synth.end(),
                         {"sine", std::to_string(piece.hertz), "vol", std::to_string(amplitude)});
        }
        runProgramOrThrow(synth);
        join.push_back(wav);
    }
    join.push_back(work.file("show.wav").string());
    runProgramOrThrow(join);
    return lameEncode(work, work.file("show.wav"), "show", {"-b", "128"});
}

// The RMS of each window of both channels together, as the probe measures.
level::WindowLevels levelsOf(const DecodedAudio& audio, std::uint32_t window) {
    level::WindowLevels levels{window, audio.frames(), {}};
    const auto channels = static_cast<std::size_t>(audio.channels);
    for (std::size_t first = 0; first < audio.frames(); first += window) {
        const std::size_t last = std::min<std::size_t>(first + window, audio.frames());
        double sum = 0;
        for (std::size_t i = first * channels; i < last * channels; ++i) {
            const double value = audio.samples[i] / 32768.0;
            sum += value * value;
        }
        levels.rms.push_back(
            static_cast<float>(std::sqrt(sum / double((last - first) * channels))));
    }
    return levels;
}

TEST(SplitSilenceDecode, SplitsInTheMiddleOfEachGapAndNowhereElse) {
    const TempDir work;
    const fs::path source = encodedShow(work);
    const DecodedAudio original = decodeWithMpg123(source);
    ASSERT_EQ(original.rate, 44'100);
    SplitServices services = diskSplitServices();
    services.scanLevels = [&](const std::string&, std::uint32_t window) {
        return std::variant<level::WindowLevels, LevelProbeFailure>(levelsOf(original, window));
    };
    CutArguments arguments;
    arguments.splitBy = SplitSource::silence;
    arguments.source = source.string();
    arguments.folder = work.file("tracks").string();
    std::FILE* err = std::tmpfile();
    std::FILE* out = std::tmpfile();
    CutConsole console{err, false, {}, out};
    DiskFiles disk;
    ASSERT_EQ(runSplit(arguments, disk, services, console), kCutSucceeded);
    std::fclose(err);
    std::fclose(out);

    std::uint64_t begin = 0;
    for (std::size_t track = 0; track <= std::size(kSplitSeconds); ++track) {
        SCOPED_TRACE(track + 1);
        char name[32];
        std::snprintf(name, sizeof name, "Track %02zu.mp3", track + 1);
        ASSERT_TRUE(fs::exists(work.file("tracks") / name));
        const std::size_t samples = decodeWithMpg123(work.file("tracks") / name).frames();
        begin += samples;
        if (track == std::size(kSplitSeconds)) {
            EXPECT_EQ(begin, original.frames());
        } else {
            EXPECT_NEAR(static_cast<double>(begin) / 44'100, kSplitSeconds[track], 0.010);
        }
    }
    EXPECT_FALSE(fs::exists(work.file("tracks/Track 05.mp3")));
}

}  // namespace
}  // namespace snipwell::test
