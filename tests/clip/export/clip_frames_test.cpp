// Where a byte-range clip starts and ends, heard: for every kind of MP3 file
// and mark pairs around the fixtures' tone change at 5 s (440 Hz, then
// 880 Hz), the clip decodes to the marked stretch within one frame at either
// end, and holds audio frames only, never a tag or the info frame. A file
// whose frames cannot be followed still saves, by one rate over its audio.

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "clip/exact/mpg123_decode.h"
#include "clip/export/clip_export.h"
#include "clip/export/disk_files.h"
#include "clip/export/source_clip_range.h"
#include "mp3/frame_header.h"
#include "mp3/info_frame.h"
#include "mp3/length.h"
#include "support/mp3/exact_cut_fixtures.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/mp3/mp3_tag_writer.h"
#include "support/temp_dir.h"

namespace snipwell::test {
namespace {

namespace fs = std::filesystem;

// `tag` in front of the bytes of `stream`, written into `folder`.
fs::path withFrontTag(const TempDir& folder, const fs::path& stream, const Bytes& tag) {
    Bytes bytes = tag;
    const Bytes audio = readBytes(stream);
    bytes.insert(bytes.end(), audio.begin(), audio.end());
    fs::path path = folder.file("tagged.mp3");
    writeBytes(path.string(), bytes);
    return path;
}

struct SourceKind {
    const char* name;
    std::function<fs::path(const TempDir&)> make;
};

const SourceKind kSources[] = {
    {"cbr_without_tags", [](const TempDir&) { return Mp3Fixtures::file(Mp3Kind::cbrPlain); }},
    {"cbr_with_large_cover",
     [](const TempDir& folder) {
         return withFrontTag(folder, Mp3Fixtures::file(Mp3Kind::cbrWithInfo),
                             id3v2TagWithPicture(420'000));
     }},
    {"vbr_with_xing", [](const TempDir&) { return Mp3Fixtures::file(Mp3Kind::vbrWithXing); }},
    {"vbr_without_xing", [](const TempDir&) { return Mp3Fixtures::file(Mp3Kind::vbrPlain); }},
    {"vbr_with_cover", [](const TempDir&) { return Mp3Fixtures::file(Mp3Kind::id3v2Picture); }},
    {"mpeg2", [](const TempDir&) { return Mp3Fixtures::file(Mp3Kind::mpeg2Plain); }},
    {"bitrate_change", [](const TempDir&) { return Mp3Fixtures::file(Mp3Kind::bitrateChange); }},
    {"ape_tag_at_end", [](const TempDir&) { return Mp3Fixtures::file(Mp3Kind::endTags); }},
};

// Each pair holds the tone change at 5 s, the landmark that tells where the
// clip lies in the track.
const std::pair<std::int32_t, std::int32_t> kMarks[] = {{0, 5'500}, {1'000, 6'000}, {4'321, 9'000}};

// The first sample of the 880 Hz part: where the tone's periods, from one
// rising swing through zero to the next, become shorter than 3/4 of a 440 Hz
// period and stay so. Swings under a tenth of full scale do not count, so
// the decoder's quiet start is no tone.
std::int64_t toneChangeAt(const DecodedAudio& audio) {
    constexpr int kSwing = 3'000;
    const double shortPeriod = 0.75 * static_cast<double>(audio.rate) / 440.0;
    const auto channels = static_cast<std::size_t>(audio.channels);
    std::int64_t lastRise = -1;
    std::int64_t changeFrom = -1;
    int shortRun = 0;
    bool low = false;
    for (std::size_t i = 0; i < audio.frames(); ++i) {
        const int sample = audio.samples[i * channels];
        if (sample < -kSwing) low = true;
        if (!low || sample <= kSwing) continue;
        low = false;
        const auto at = static_cast<std::int64_t>(i);
        if (lastRise >= 0 && static_cast<double>(at - lastRise) < shortPeriod) {
            if (shortRun++ == 0) changeFrom = lastRise;
            if (shortRun == 20) return changeFrom;
        } else {
            shortRun = 0;
        }
        lastRise = at;
    }
    return -1;
}

class ClipFrames : public ::testing::TestWithParam<SourceKind> {};

TEST_P(ClipFrames, ClipPlaysTheMarkedStretchWithinOneFrame) {
    const TempDir folder;
    const fs::path source = GetParam().make(folder);
    const auto length = std::get<mp3::TrackLength>(mp3::measureLength(source.string()));
    // Where the tone changes as the whole file plays: at 5 s, or a little
    // later in a file without gapless information, whose decode keeps the
    // encoder's and the decoder's delay.
    const DecodedAudio whole = decodeWithMpg123(source);
    const double changeMs =
        1000.0 * static_cast<double>(toneChangeAt(whole)) / static_cast<double>(whole.rate);
    ASSERT_GT(changeMs, 4'990.0);
    DiskFiles files;
    for (const auto& [beginMs, endMs] : kMarks) {
        SCOPED_TRACE(std::to_string(beginMs) + " to " + std::to_string(endMs) + " ms");
        const fs::path target = folder.file("clip.mp3");
        ClipExport clip(files, source.string(), target.string());
        const ClipRange range =
            clip.measure(static_cast<std::int32_t>(length.milliseconds()), beginMs, endMs);
        clip.copyInBlocks(range, [](std::int64_t, std::int64_t) {});
        clip.commit();

        // Frames only: a frame header first, and not the whole file's info frame.
        const Bytes bytes = readBytes(target);
        ASSERT_GE(bytes.size(), 4u);
        const auto header = mp3::parseFrameHeader(bytes.data());
        ASSERT_TRUE(header.has_value()) << "the clip starts inside a tag or a frame";
        if (bytes.size() >= header->frameBytes) {
            EXPECT_FALSE(mp3::readInfoFrame(bytes.data(), *header).skippedByDecoder);
        }

        const DecodedAudio decoded = decodeWithMpg123(target);
        const double rate = static_cast<double>(decoded.rate);
        const double frameMs = 1000.0 * header->samplesPerFrame / rate;
        const std::int64_t change = toneChangeAt(decoded);
        ASSERT_GE(change, 0) << "no tone change heard in the clip";
        const double startMs = changeMs - 1000.0 * static_cast<double>(change) / rate;
        const double endAtMs = startMs + 1000.0 * static_cast<double>(decoded.frames()) / rate;
        // 2 ms for finding the change in each decode.
        EXPECT_NEAR(startMs, beginMs, frameMs + 2);
        EXPECT_NEAR(endAtMs, endMs, frameMs + 2);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, ClipFrames, ::testing::ValuesIn(kSources),
                         [](const auto& kind) { return std::string(kind.param.name); });

// A free-format stream behind a tag: the walk cannot follow it, so the marks
// are placed by one rate over the audio bytes, the tag left out.
TEST(ClipFramesFallback, UnwalkableFileSavesByTheRateOverItsAudio) {
    const TempDir folder;
    const Bytes tag = id3v2TagWithPicture(100'000);
    const fs::path source = withFrontTag(folder, exactCutFixture(ExactCutKind::freeFormat), tag);
    const Bytes whole = readBytes(source);
    const std::int64_t audio = static_cast<std::int64_t>(whole.size() - tag.size());
    constexpr std::int32_t kLengthMs = 10'000;

    const SourceClipRange found = clipRangeInSource(
        source.string(), static_cast<std::int64_t>(whole.size()), kLengthMs, 2'500, 7'500);
    EXPECT_EQ(found.rule, ClipRangeRule::rate);

    DiskFiles files;
    const fs::path target = folder.file("clip.mp3");
    ClipExport clip(files, source.string(), target.string());
    clip.copy(clip.measure(kLengthMs, 2'500, 7'500), [] {});
    clip.commit();
    const auto from = static_cast<std::ptrdiff_t>(tag.size()) + audio / 4;
    const auto to = static_cast<std::ptrdiff_t>(tag.size()) + audio * 3 / 4;
    EXPECT_TRUE(readBytes(target) == Bytes(whole.begin() + from, whole.begin() + to));
}

}  // namespace
}  // namespace snipwell::test
