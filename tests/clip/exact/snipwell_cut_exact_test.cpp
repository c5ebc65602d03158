// snipwell-cut with and without --exact, as a script runs it: the plain mode
// still writes the byte range it always wrote, the exact mode writes a clip
// that decodes to exactly the range, and whatever cannot be cut exactly is
// refused with exit status 1, one line of reason, and no file written.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <variant>

#include "clip/exact/mpg123_decode.h"
#include "clip/export/source_clip_range.h"
#include "mp3/length.h"
#include "support/file_bytes.h"
#include "support/mp3/exact_cut_fixtures.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/mp3/run_program.h"
#include "support/temp_dir.h"

namespace snipwell::test {
namespace {

namespace fs = std::filesystem;

using Outcome = ProgramOutcome;

// Runs snipwell-cut with no terminal on stdin, its stderr kept.
Outcome cut(const std::vector<std::string>& arguments, const fs::path& errorFile) {
    std::vector<std::string> command{SNIPWELL_CUT_PATH};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return runProgramKeepingOutput(command, "/dev/null", errorFile);
}

TEST(SnipwellCutExact, PlainModeCopiesTheFramesThatHoldTheMarks) {
    const fs::path source = Mp3Fixtures::file(Mp3Kind::vbrWithXing);
    const TempDir work;
    const fs::path target = work.file("plain.mp3");
    const Outcome outcome =
        cut({source.string(), "3000", "5000", target.string()}, work.file("err"));
    ASSERT_EQ(outcome.exitCode, 0) << outcome.errorOutput;

    // The bytes the window's Save writes: the source's frames, unchanged.
    const auto length = std::get<mp3::TrackLength>(mp3::measureLength(source.string()));
    const Bytes whole = readBytes(source);
    const ClipRange range =
        clipRangeInSource(source.string(), static_cast<std::int64_t>(whole.size()),
                          static_cast<std::int32_t>(length.milliseconds()), 3000, 5000)
            .range;
    EXPECT_TRUE(readBytes(target) ==
                Bytes(whole.begin() + range.beginOffset - 1, whole.begin() + range.endOffset));
}

TEST(SnipwellCutExact, ExactModeWritesTheRangeToTheSample) {
    const fs::path source = Mp3Fixtures::file(Mp3Kind::vbrWithXing);
    const TempDir work;
    const fs::path target = work.file("exact.mp3");
    const Outcome outcome =
        cut({"--exact", source.string(), "0", "2345", target.string()}, work.file("err"));
    ASSERT_EQ(outcome.exitCode, 0) << outcome.errorOutput;
    const DecodedAudio clip = decodeWithMpg123(target);
    EXPECT_EQ(clip.frames(), 2345u * 441 / 10);  // a begin of 0 is the very first sample
}

TEST(SnipwellCutExact, RefusesWhatCannotBeCutExactlyAndWritesNothing) {
    const struct {
        const char* name;
        fs::path source;
        const char* beginMs;
        const char* endMs;
        const char* reason;  // a word the one-line reason must hold
    } cases[] = {
        {"layer2", Mp3Fixtures::file(Mp3Kind::mpeg1Layer2), "1000", "2000", "Layer II"},
        {"free_format", exactCutFixture(ExactCutKind::freeFormat), "1000", "2000", "free-format"},
        {"rate_change", exactCutFixture(ExactCutKind::sampleRateChange), "1000", "2000",
         "48000 Hz"},
        {"past_the_end", Mp3Fixtures::file(Mp3Kind::cbrWithInfo), "9000", "10500", "past the end"},
        {"negative_begin", Mp3Fixtures::file(Mp3Kind::cbrWithInfo), "-5", "1000", "negative"},
        {"not_mpeg", Mp3Fixtures::textNamedMp3(), "0", "1000", "no MPEG audio"},
        {"random_bytes", Mp3Fixtures::randomBytes(), "0", "1000", "no MPEG audio"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const TempDir work;
        const fs::path fresh = work.file("fresh.mp3");
        Outcome outcome =
            cut({"--exact", row.source.string(), row.beginMs, row.endMs, fresh.string()},
                work.file("err"));
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_NE(outcome.errorOutput.find(row.reason), std::string::npos) << outcome.errorOutput;
        EXPECT_EQ(std::count(outcome.errorOutput.begin(), outcome.errorOutput.end(), '\n'), 1)
            << outcome.errorOutput;
        EXPECT_FALSE(fs::exists(fresh));
        EXPECT_EQ(std::distance(fs::directory_iterator(work.path()), fs::directory_iterator()), 1)
            << "only the captured error output is left in the folder";

        // An existing target is left exactly as it was.
        const fs::path existing = work.file("existing.mp3");
        std::ofstream(existing) << "keep me";
        outcome = cut(
            {"--exact", "--force", row.source.string(), row.beginMs, row.endMs, existing.string()},
            work.file("err"));
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_EQ(readBytes(existing), Bytes({'k', 'e', 'e', 'p', ' ', 'm', 'e'}));
    }
}

}  // namespace
}  // namespace snipwell::test
