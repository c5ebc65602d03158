// The clip's bytes: marks to byte positions by one rate, chunks of 4097 bytes
// every 4096, and the resulting file compared byte for byte with the source.

#include <gtest/gtest.h>

#include <string>

#include "clip_export.h"
#include "common/runtime_error.h"
#include "disk_files.h"
#include "export_test_files.h"

namespace snipwell::test {
namespace {

struct ClipCase {
    const char* name;
    std::int64_t sourceBytes;
    std::int32_t lengthMs;
    std::int32_t beginMs;
    std::int32_t endMs;
    // What the export must make of it.
    std::int32_t bytesPerMs;
    std::int32_t beginOffset;
    std::int32_t progressMax;
    int chunks;
    std::size_t targetBytes;
};

const ClipCase kClipCases[] = {
    // 4,000,000 bytes over 250,000 ms: 16 bytes per ms; positions 160,000 to 323,840.
    {"worked example", 4'000'000, 250'000, 10'000, 20'000, 16, 160'000, 164'097, 40, 163'841},
    // A begin of 0 is raised to 1 ms: the copy starts at the rate's own byte.
    {"begin 0 raised to 1", 4'000'000, 250'000, 0, 5'000, 16, 16, 84'081, 20, 81'921},
    {"marks under 4096 bytes apart", 4'000'000, 250'000, 10'000, 10'100, 16, 160'000, 5'697, 1, 4'097},
    {"marks exactly 4096 bytes apart", 4'000'000, 250'000, 10'000, 10'256, 16, 160'000, 8'193, 2, 8'193},
    // The second chunk reaches 192 bytes past the source's end: zeros there,
    // not what the first chunk left in the buffer.
    {"end at the source's end", 4'000'000, 250'000, 249'500, 250'000, 16, 3'992'000, 12'097, 2, 8'193},
    // A rate halfway between two whole numbers goes to the even one.
    {"rate 2.5 rounded down to even", 10'000, 4'000, 1'000, 3'000, 2, 2'000, 8'097, 1, 4'097},
    {"rate 3.5 rounded up to even", 7'000, 2'000, 100, 1'000, 4, 400, 7'697, 1, 4'097},
};

class ClipBytes : public ::testing::TestWithParam<ClipCase> {};

TEST_P(ClipBytes, TargetHoldsTheSourceRangeWithZerosPastItsEnd) {
    const ClipCase& c = GetParam();
    ScratchFolder folder;
    const ByteVector source = patternBytes(static_cast<std::size_t>(c.sourceBytes));
    writeBytes(folder.file("song.mp3"), source);

    const auto beginMs = exportBeginMs(c.beginMs, c.endMs);
    ASSERT_TRUE(beginMs.has_value());
    DiskFiles files;
    ClipExport clip(files, folder.file("song.mp3"), folder.file("clip.mp3"));
    const ClipRange range = clip.measure(c.lengthMs, *beginMs, c.endMs);
    EXPECT_EQ(range.bytesPerMs, c.bytesPerMs);
    EXPECT_EQ(range.beginOffset, c.beginOffset);
    EXPECT_EQ(range.progressMax, c.progressMax);

    int chunks = 0;
    clip.copy(range, [&] { ++chunks; });
    clip.commit();
    EXPECT_EQ(chunks, c.chunks);

    const ByteVector target = readBytes(folder.file("clip.mp3"));
    ASSERT_EQ(target.size(), c.targetBytes);
    EXPECT_TRUE(target == expectedClip(source, c.beginOffset, c.targetBytes));
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"clip.mp3", "song.mp3"}));
}

INSTANTIATE_TEST_SUITE_P(Table, ClipBytes, ::testing::ValuesIn(kClipCases),
                         [](const auto& testCase) {
                             std::string name = testCase.param.name;
                             for (char& ch : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             }
                             return name;
                         });

TEST(ClipSelection, IsRefusedUnlessTheBeginComesBeforeAnEndOtherThanZero) {
    EXPECT_FALSE(exportBeginMs(5'000, 5'000));
    EXPECT_FALSE(exportBeginMs(6'000, 5'000));
    EXPECT_FALSE(exportBeginMs(-20, 0));
    EXPECT_EQ(exportBeginMs(0, 1), 1);
    EXPECT_EQ(exportBeginMs(-20, 10), -20);
}

// Ranges that cannot be addressed fail with a reason a person can act on,
// instead of copying from a wrong place.
TEST(ClipRangeFailure, SaysWhyTheRangeCannotBeCut) {
    const struct {
        std::int64_t sourceBytes;
        std::int32_t lengthMs;
        std::int32_t beginMs;
        std::int32_t endMs;
        const char* reason;
    } cases[] = {
        {4'000'000, 0, 1, 20'000, "length is 0"},
        {1'000, 250'000, 1, 20'000, "fewer bytes than the track has milliseconds"},
        {std::int64_t{1} << 31, 250'000, 1, 20'000, "2 GiB"},
        {2'000'000'000, 1'000, 1, 200'000, "32-bit"},  // 2e6 bytes per ms × 200,000 ms
    };
    for (const auto& c : cases) {
        try {
            clipRangeFor(c.sourceBytes, c.lengthMs, c.beginMs, c.endMs);
            ADD_FAILURE() << "no failure for " << c.reason;
        } catch (const RuntimeError& error) {
            EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos) << error.what();
        }
    }
}

// A sparse file of 2 GiB: its size must not wrap into a small rate.
TEST(ClipRangeFailure, SourceOfTwoGibibytesIsRefusedBeforeAnyCopy) {
    ScratchFolder folder;
    writeBytes(folder.file("huge.mp3"), {});
    std::filesystem::resize_file(folder.file("huge.mp3"), std::uintmax_t{1} << 31);
    DiskFiles files;
    ClipExport clip(files, folder.file("huge.mp3"), folder.file("clip.mp3"));
    EXPECT_THROW(clip.measure(250'000, 1'000, 2'000), RuntimeError);
}

}  // namespace
}  // namespace snipwell::test
