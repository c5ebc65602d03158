// The length the media service reports right after open, and snipwell-cut
// checks marks against, must be the time the file really plays, for every
// kind of MP3 we meet, whatever its header says.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "mp3/length.h"
#include "support/mp3/exact_cut_fixtures.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/temp_dir.h"

namespace snipwell::mp3 {
namespace {

using test::Mp3Fixtures;
using test::Mp3Kind;

constexpr double toleranceMs = 30.0;

class Mp3LengthByKind : public ::testing::TestWithParam<Mp3Kind> {};

TEST_P(Mp3LengthByKind, MatchesTheSamplesAFullDecodePlays) {
    const auto path = Mp3Fixtures::file(GetParam());
    const double decodedMs = test::decodedMilliseconds(path);

    const auto measured = measureLength(path.string());
    ASSERT_TRUE(std::holds_alternative<TrackLength>(measured))
        << "fault " << static_cast<int>(std::get<Mp3Error>(measured).fault);
    const auto lengthMs = static_cast<double>(std::get<TrackLength>(measured).milliseconds());

    EXPECT_NEAR(lengthMs, decodedMs, toleranceMs) << Mp3Fixtures::name(GetParam());
    RecordProperty("length_ms", std::to_string(lengthMs));
    RecordProperty("decoded_ms", std::to_string(decodedMs));
}

INSTANTIATE_TEST_SUITE_P(EveryKind, Mp3LengthByKind, ::testing::ValuesIn(Mp3Fixtures::allKinds()),
                         [](const auto& kindInfo) {
                             return std::string(Mp3Fixtures::name(kindInfo.param));
                         });

TEST(Mp3Length, TruncatedFileCountsOnlyWhatItHolds) {
    // The Info frame still claims the whole ten seconds; only the frames
    // that are there may count.
    const auto measured = measureLength(Mp3Fixtures::file(Mp3Kind::truncated).string());
    ASSERT_TRUE(std::holds_alternative<TrackLength>(measured));
    EXPECT_NEAR(static_cast<double>(std::get<TrackLength>(measured).milliseconds()), 6000.0, 100.0);
}

TEST(Mp3Length, FindsTheInfoFrameWhereEncodersPutItInACrcProtectedStream) {
    // The encoder writes the Info frame's tag as though the frame had no CRC;
    // missed, the frame would count as audio and its gapless trim be lost.
    const auto measured =
        measureLength(test::exactCutFixture(test::ExactCutKind::crcProtected).string());
    ASSERT_TRUE(std::holds_alternative<TrackLength>(measured));
    const TrackLength& length = std::get<TrackLength>(measured);
    EXPECT_TRUE(length.gaplessTrimmed);
    EXPECT_NEAR(static_cast<double>(length.milliseconds()), 10000.0, 1.0);
}

TEST(Mp3Length, AFileCutShortDuringTheScanSaysSoInsteadOfGivingALength) {
    const test::TempDir dir;
    const auto path = dir.file("shrinking.mp3");
    std::filesystem::copy_file(Mp3Fixtures::file(Mp3Kind::cbrWithInfo), path);
    auto opened = BlockReader::open(path.string());
    ASSERT_TRUE(std::holds_alternative<BlockReader>(opened));

    // Opened at its full size, then cut to 60 % before its frames are read.
    std::filesystem::resize_file(path, std::filesystem::file_size(path) * 6 / 10);
    const auto measured = measureLength(std::get<BlockReader>(opened));
    ASSERT_TRUE(std::holds_alternative<Mp3Error>(measured));
    EXPECT_EQ(std::get<Mp3Error>(measured).fault, Mp3Fault::changed);
}

struct BadInput {
    const char* name;
    std::string (*path)(const test::TempDir&);
    Mp3Fault expected;
};

const BadInput badInputs[] = {
    {"missing_file", [](const test::TempDir& dir) { return dir.file("nothing-here.mp3").string(); },
     Mp3Fault::notFound},
    {"empty_path", [](const test::TempDir&) { return std::string(); }, Mp3Fault::notFound},
    {"directory", [](const test::TempDir& dir) { return dir.path().string(); }, Mp3Fault::notAFile},
    {"named_pipe",
     [](const test::TempDir& dir) {
         const auto fifo = dir.file("pipe.mp3");
         ::mkfifo(fifo.c_str(), 0600);
         return fifo.string();
     },
     Mp3Fault::notAFile},
    {"device", [](const test::TempDir&) { return std::string("/dev/zero"); }, Mp3Fault::notAFile},
    {"empty_file", [](const test::TempDir&) { return Mp3Fixtures::emptyFile().string(); },
     Mp3Fault::empty},
    {"text_named_mp3", [](const test::TempDir&) { return Mp3Fixtures::textNamedMp3().string(); },
     Mp3Fault::noAudio},
    {"random_bytes", [](const test::TempDir&) { return Mp3Fixtures::randomBytes().string(); },
     Mp3Fault::noAudio},
};

TEST(Mp3Length, RefusesWhatIsNoMp3WithItsOwnReason) {
    const test::TempDir dir;
    for (const auto& input : badInputs) {
        const auto measured = measureLength(input.path(dir));
        ASSERT_TRUE(std::holds_alternative<Mp3Error>(measured)) << input.name;
        EXPECT_EQ(std::get<Mp3Error>(measured).fault, input.expected) << input.name;
    }
}

}  // namespace
}  // namespace snipwell::mp3
