// The gain edit on real frames, decoded by libmpg123: a change of n steps in
// every granule must scale every decoded sample by 2^(n/4), for each kind of
// Layer III stream (MPEG-1, 2 and 2.5, mono and stereo, CBR and VBR, with a
// CRC in every frame, with a deep bit reservoir). A field misplaced by a
// single bit decodes to noise instead.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "clip/exact/mpg123_decode.h"
#include "mp3/frame_crc.h"
#include "mp3/frame_header.h"
#include "mp3/granule_gain.h"
#include "support/file_bytes.h"
#include "support/mp3/exact_cut_fixtures.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/temp_dir.h"

namespace snipwell::test {
namespace {

namespace fs = std::filesystem;

struct Frame {
    std::size_t offset;
    std::uint32_t bytes;
};

// lame puts the tag right after the side information, and in a protected
// stream two bytes early, as if there were no check word.
bool isInfoFrame(const Bytes& file, const Frame& frame, const mp3::FrameHeader& header) {
    for (const std::uint32_t after : {header.sideInfoEnd(), header.sideInfoEnd() - 2}) {
        const std::size_t tag = frame.offset + after;
        if (tag + 4 > file.size()) continue;
        const std::string word(file.begin() + static_cast<std::ptrdiff_t>(tag),
                               file.begin() + static_cast<std::ptrdiff_t>(tag + 4));
        if (word == "Xing" || word == "Info") return true;
    }
    return false;
}

// The audio frames of a file made by lame: from the first header that the
// next frame follows, one after the other, the info frame left out.
std::vector<Frame> audioFrames(const Bytes& file) {
    std::vector<Frame> frames;
    std::size_t at = 0;
    const auto headerAt = [&](std::size_t offset) -> std::optional<mp3::FrameHeader> {
        if (offset + 4 > file.size()) return std::nullopt;
        return mp3::parseFrameHeader(file.data() + offset);
    };
    while (at + 4 <= file.size()) {
        const auto header = headerAt(at);
        if (header && headerAt(at + header->frameBytes)) break;
        ++at;
    }
    while (const auto header = headerAt(at)) {
        if (at + header->frameBytes > file.size()) break;
        const Frame frame{at, header->frameBytes};
        if (!isInfoFrame(file, frame, *header)) frames.push_back(frame);
        at += header->frameBytes;
    }
    return frames;
}

// A copy of `source` with every granule of every audio frame changed by
// `steps`; `keepCrc` leaves the old check words in place.
fs::path withGain(const fs::path& source, const TempDir& work, int steps, bool keepCrc = false) {
    Bytes file = readBytes(source);
    for (const Frame& frame : audioFrames(file)) {
        std::uint8_t* bytes = file.data() + frame.offset;
        const mp3::SideInfoShape shape = mp3::sideInfoShapeOf(bytes);
        const std::uint16_t oldCrc = shape.hasCrc ? mp3::storedFrameCrc(bytes) : 0;
        const mp3::GranuleChange changes[] = {{steps, false}, {steps, false}};
        mp3::applyGranuleChanges(bytes, shape, changes);
        if (keepCrc && shape.hasCrc) {
            bytes[4] = static_cast<std::uint8_t>(oldCrc >> 8);
            bytes[5] = static_cast<std::uint8_t>(oldCrc);
        }
    }
    fs::path target =
        work.file("gain" + std::to_string(steps) + (keepCrc ? "-old-crc" : "") + ".mp3");
    writeBytes(target, file);
    return target;
}

struct DecodeCase {
    std::string name;
    std::function<fs::path()> source;
};

std::ostream& operator<<(std::ostream& out, const DecodeCase& row) { return out << row.name; }

std::function<fs::path()> kind(Mp3Kind which) {
    return [which] { return Mp3Fixtures::file(which); };
}
std::function<fs::path()> kind(ExactCutKind which) {
    return [which] { return exactCutFixture(which); };
}

const DecodeCase decodeCases[] = {
    {"mpeg1_stereo_cbr", kind(Mp3Kind::cbrWithInfo)},
    {"mpeg1_stereo_vbr", kind(Mp3Kind::vbrWithXing)},
    {"mpeg1_mono", kind(Mp3Kind::mpeg1Mono)},
    {"mpeg1_crc", kind(ExactCutKind::crcProtected)},
    {"mpeg1_deep_reservoir", kind(ExactCutKind::deepReservoir)},
    {"mpeg1_mono_32k", kind(ExactCutKind::lowestBitrate)},
    {"mpeg2_stereo_vbr", kind(Mp3Kind::mpeg2Stereo)},
    {"mpeg2_stereo_cbr", kind(Mp3Kind::mpeg2Plain)},
    {"mpeg25_mono", kind(Mp3Kind::mpeg25Mono)},
    {"mpeg25_stereo", kind(Mp3Kind::mpeg25Stereo)},
};

class GainDecodeTest : public testing::TestWithParam<DecodeCase> {};

// Compares sample for sample, away from full scale; returns the count compared.
std::size_t expectScaled(const DecodedAudio& source, const DecodedAudio& gained, double factor) {
    EXPECT_EQ(gained.samples.size(), source.samples.size());
    EXPECT_EQ(gained.complaints, "");
    std::size_t compared = 0;
    double largest = 0;
    const std::size_t count = std::min(gained.samples.size(), source.samples.size());
    for (std::size_t i = 0; i < count; ++i) {
        const double expected = source.samples[i] * factor;
        if (std::abs(expected) > 32000) continue;
        largest = std::max(largest, std::abs(gained.samples[i] - expected));
        ++compared;
    }
    // Both decodes round to 16 bits: 0.5 + 0.5·factor at most, and the
    // synthesis's own rounding adds a little.
    EXPECT_LE(largest, 0.5 + 0.5 * factor + 1.0);
    return compared;
}

TEST_P(GainDecodeTest, EveryStepScalesTheDecodedSamplesByTwoToTheQuarter) {
    const fs::path source = GetParam().source();
    const TempDir work;
    const DecodedAudio original = decodeWithMpg123(source);
    ASSERT_GT(original.samples.size(), 10'000u);
    const struct {
        int steps;
        double factor;
    } gains[] = {{+2, std::sqrt(2.0)}, {-4, 0.5}, {+1, std::pow(2.0, 0.25)}};
    for (const auto& gain : gains) {
        SCOPED_TRACE(gain.steps);
        const DecodedAudio gained = decodeWithMpg123(withGain(source, work, gain.steps));
        EXPECT_GT(expectScaled(original, gained, gain.factor), original.samples.size() / 2);
    }
}

TEST_P(GainDecodeTest, OnlySideInformationAndCheckWordsChange) {
    const fs::path source = GetParam().source();
    const TempDir work;
    const Bytes before = readBytes(source);
    const Bytes after = readBytes(withGain(source, work, +2));
    ASSERT_EQ(after.size(), before.size());
    std::vector<bool> mayDiffer(before.size(), false);
    for (const Frame& frame : audioFrames(before)) {
        const auto shape = mp3::sideInfoShapeOf(before.data() + frame.offset);
        for (std::uint32_t i = 4; i < shape.bytesThroughSideInfo(); ++i) {
            mayDiffer[frame.offset + i] = true;
        }
    }
    std::size_t differing = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] == after[i]) continue;
        ++differing;
        EXPECT_TRUE(mayDiffer[i]) << "byte " << i << " lies outside any side information";
    }
    EXPECT_GT(differing, 0u);
}

INSTANTIATE_TEST_SUITE_P(Kinds, GainDecodeTest, testing::ValuesIn(decodeCases),
                         [](const auto& testCase) { return testCase.param.name; });

TEST(GainDecode, ProtectedFramesCarryTheRightCheckWordBeforeAndAfter) {
    // lame -p wrote the check words: ours must agree with every one of them,
    // and hold for the edited side information too.
    const fs::path source = exactCutFixture(ExactCutKind::crcProtected);
    const TempDir work;
    for (const auto& [name, path, keepCrc] :
         {std::tuple{"source", source, false},
          std::tuple{"gained", withGain(source, work, 3), false},
          std::tuple{"old check words", withGain(source, work, 3, true), true}}) {
        const Bytes file = readBytes(path);
        const auto frames = audioFrames(file);
        ASSERT_GT(frames.size(), 100u);
        std::size_t matching = 0;
        for (const Frame& frame : frames) {
            const auto shape = mp3::sideInfoShapeOf(file.data() + frame.offset);
            ASSERT_TRUE(shape.hasCrc);
            if (mp3::frameCrcMatches(file.data() + frame.offset, shape.sideInfoBytes())) {
                ++matching;
            }
        }
        EXPECT_EQ(matching, keepCrc ? 0u : frames.size()) << name;
    }
}

}  // namespace
}  // namespace snipwell::test
