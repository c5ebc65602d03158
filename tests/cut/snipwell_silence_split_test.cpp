// snipwell-cut --silence as a person runs it, with the real level probe, on
// an MP3 lame encoded from tones with near-silent gaps of several lengths
// and levels between them, a short pause and a quiet passage that must not
// split: reviewed with --dry-run into a label file, split from that file,
// and split again with another threshold.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "support/file_bytes.h"
#include "support/mp3/lame_encode.h"
#include "support/mp3/run_program.h"
#include "support/temp_dir.h"

namespace snipwell::test {
namespace {

namespace fs = std::filesystem;

// One piece of the source: a sine of `hertz` at `decibels` RMS (digital
// silence when hertz is 0), `seconds` long.
struct Piece {
    double seconds;
    int hertz;
    double decibels;
};

// 13 s: gaps at -70 dB (1 s) and -56 dB (0.7 s) and of digital silence (2 s)
// split at their middles; a pause of 0.3 s and a passage at -42 dB do not.
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
        // A sine's RMS is its amplitude over the square root of two.
        const double amplitude =
            piece.hertz == 0 ? 0 : std::pow(10.0, piece.decibels / 20) * std::sqrt(2.0);
        synth.insert(synth.end(),
                     {"sine", std::to_string(piece.hertz), "vol", std::to_string(amplitude)});
        runProgramOrThrow(synth);
        join.push_back(wav);
    }
    join.push_back(work.file("show.wav").string());
    runProgramOrThrow(join);
    return lameEncode(work, work.file("show.wav"), "show", {"-b", "128"});
}

// The lengths of the "Saved NAME: M:SS.fff, SIZE" lines, in seconds.
std::vector<double> savedLengths(const std::string& output) {
    std::vector<double> lengths;
    for (std::size_t at = output.find("Saved "); at != std::string::npos;
         at = output.find("Saved ", at + 1)) {
        int minutes = 0;
        int seconds = 0;
        int milliseconds = 0;
        const std::size_t colon = output.find(": ", at);
        if (std::sscanf(output.c_str() + colon + 2, "%d:%d.%d", &minutes, &seconds,
                        &milliseconds) == 3) {
            lengths.push_back(minutes * 60 + seconds + milliseconds / 1000.0);
        }
    }
    return lengths;
}

TEST(SnipwellSilenceSplit, ReviewedIntoLabelsThenSplitWithinTenMillisecondsOfEachGap) {
    const TempDir work;
    const std::string source = encodedShow(work).string();
    const std::string tracks = work.file("tracks").string();
    const std::string plan = work.file("plan.txt").string();
    const auto run = [&](std::vector<std::string> words) {
        words.insert(words.begin(), SNIPWELL_CUT_PATH);
        words.insert(words.end(), {"--force", source, tracks});
        return runProgramKeepingOutput(words, work.file("out.txt"), work.file("err.txt"));
    };

    const auto review = run({"--silence", "--dry-run", "--write-labels", plan});
    ASSERT_EQ(review.exitCode, 0) << review.errorOutput;
    EXPECT_NE(review.output.find("begins in the silence at 0:05.8"), std::string::npos)
        << review.output;
    EXPECT_FALSE(fs::exists(tracks));

    const auto split = run({"--labels", plan});
    ASSERT_EQ(split.exitCode, 0) << split.errorOutput;
    const std::vector<double> lengths = savedLengths(split.output);
    ASSERT_EQ(lengths.size(), std::size(kSplitSeconds) + 1) << split.output;
    double end = 0;
    for (std::size_t i = 0; i < std::size(kSplitSeconds); ++i) {
        end += lengths[i];
        EXPECT_NEAR(end, kSplitSeconds[i], 0.010) << "split " << i + 1;
    }
    EXPECT_NEAR(end + lengths.back(), 13.0, 0.002);

    // 6 dB higher, the quiet passage is a silence too.
    const auto louder = run({"--silence", "--threshold", "-40", "--dry-run"});
    ASSERT_EQ(louder.exitCode, 0) << louder.errorOutput;
    EXPECT_NE(louder.output.find("    5  "), std::string::npos) << louder.output;
    EXPECT_EQ(louder.output.find("    6  "), std::string::npos) << louder.output;
}

}  // namespace
}  // namespace snipwell::test
