// The track the exact cut will cut is the track the media service and
// snipwell-cut measure: both read the same walk of the frames, so a cut up
// to the measured end is taken, to the sample, and one sample further is
// refused, for every kind of MP3 the exact cut takes.

#include <gtest/gtest.h>

#include <filesystem>
#include <variant>

#include "clip/exact/exact_cut.h"
#include "clip/export/disk_files.h"
#include "mp3/length.h"
#include "support/mp3/exact_cut_fixtures.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/temp_dir.h"

namespace snipwell::test {
namespace {

namespace fs = std::filesystem;

TEST(ExactCutTrackLength, EndsWhereTheMeasuredLengthEndsForEveryKind) {
    std::vector<fs::path> sources;
    for (const Mp3Kind kind : Mp3Fixtures::allKinds()) {
        if (kind != Mp3Kind::mpeg1Layer2) sources.push_back(Mp3Fixtures::file(kind));
    }
    for (const ExactCutKind kind : {ExactCutKind::crcProtected, ExactCutKind::deepReservoir,
                                    ExactCutKind::lowestBitrate, ExactCutKind::junkInside}) {
        sources.push_back(exactCutFixture(kind));
    }
    const TempDir work;
    DiskFiles files;
    for (const fs::path& source : sources) {
        SCOPED_TRACE(source.filename().string());
        const auto measured = mp3::measureLength(source.string());
        ASSERT_TRUE(std::holds_alternative<mp3::TrackLength>(measured));
        const mp3::TrackLength& length = std::get<mp3::TrackLength>(measured);
        const std::uint64_t rate = length.sampleRate;

        // The last whole millisecond inside the track, and the first one
        // whose sample lies past it.
        const auto lastMs = static_cast<std::int64_t>(length.samples * 1000 / rate);
        const auto pastMs =
            static_cast<std::int64_t>(((length.samples + 1) * 1000 + rate - 1) / rate);
        const auto whole = exact::cutExactClip(
            {source.string(), lastMs - 1000, lastMs, work.file("end.mp3").string()}, files);
        ASSERT_TRUE(std::holds_alternative<exact::ExactClip>(whole));
        EXPECT_EQ(std::get<exact::ExactClip>(whole).samples,
                  static_cast<std::uint64_t>(lastMs) * rate / 1000 -
                      static_cast<std::uint64_t>(lastMs - 1000) * rate / 1000);

        const auto past = exact::cutExactClip(
            {source.string(), lastMs - 1000, pastMs, work.file("past.mp3").string()}, files);
        ASSERT_TRUE(std::holds_alternative<exact::ExactCutRefusal>(past));
        EXPECT_EQ(std::get<exact::ExactCutRefusal>(past).kind,
                  exact::ExactRefusalKind::endPastTrack);
        EXPECT_EQ(std::get<exact::ExactCutRefusal>(past).trackMs, lastMs);
        EXPECT_FALSE(fs::exists(work.file("past.mp3")));
    }
}

}  // namespace
}  // namespace snipwell::test
