// The clip's bytes for a source whose frames cannot be followed (these
// sources hold no MPEG frames): marks to byte positions by one rate over the
// audio, chunks of 4097 bytes every 4096 up to the range's last byte, and the
// resulting file compared byte for byte with the source.

#include <gtest/gtest.h>

#include <string>

#include "clip/export/clip_export.h"
#include "clip/export/disk_files.h"
#include "clip/export/export_refusal.h"
#include "clip/export/export_test_files.h"
#include "clip/export/faulty_files.h"
#include "common/runtime_error.h"

namespace snipwell::test {
namespace {

struct ClipCase {
    const char* name;
    std::int64_t sourceBytes;
    std::int32_t lengthMs;
    std::int32_t beginMs;
    std::int32_t endMs;
    // What the export must make of it.
    std::int32_t beginOffset;
    std::int32_t progressMax;
    int chunks;
    std::size_t targetBytes;
};

const ClipCase kClipCases[] = {
    // 4,000,000 bytes over 250,000 ms: 16 bytes per ms; positions 160,001 to 320,000.
    {"worked example", 4'000'000, 250'000, 10'000, 20'000, 160'001, 164'096, 40, 160'000},
    {"begin 0 from the first byte", 4'000'000, 250'000, 0, 5'000, 1, 84'096, 20, 80'000},
    {"begin 1 at the rate's byte", 4'000'000, 250'000, 1, 5'000, 17, 84'080, 20, 79'984},
    {"marks under 4096 bytes apart", 4'000'000, 250'000, 10'000, 10'100, 160'001, 5'696, 1, 1'600},
    // One chunk holds 4097 bytes; one byte more takes a second chunk.
    {"one whole chunk", 5'000, 5'000, 0, 4'097, 1, 8'193, 1, 4'097},
    {"one byte past a chunk", 5'000, 5'000, 0, 4'098, 1, 8'194, 2, 4'098},
    // The last chunk stops at the source's last byte: no zeros past it.
    {"end at the source's end", 4'000'000, 250'000, 249'500, 250'000, 3'992'001, 12'096, 2, 8'000},
    {"end past the track", 4'000'000, 250'000, 249'500, 260'000, 3'992'001, 12'096, 2, 8'000},
    // The rate is not rounded to whole bytes per millisecond.
    {"rate of 2.5 bytes per ms", 10'000, 4'000, 1'000, 3'000, 2'501, 9'096, 2, 5'000},
};

class ClipBytes : public ::testing::TestWithParam<ClipCase> {};

// Both copies, the window's 4097-byte chunks and snipwell-cut's large blocks,
// must give these bytes.
TEST_P(ClipBytes, TargetHoldsExactlyTheSourceRange) {
    const ClipCase& c = GetParam();
    TempDir folder;
    const Bytes source = patternBytes(static_cast<std::size_t>(c.sourceBytes));
    writeBytes(folder.file("song.mp3").string(), source);
    ASSERT_TRUE(isSavableSelection(c.beginMs, c.endMs));
    DiskFiles files;

    for (const bool inBlocks : {false, true}) {
        SCOPED_TRACE(inBlocks ? "in blocks" : "in chunks");
        ClipExport clip(files, folder.file("song.mp3").string(), folder.file("clip.mp3").string());
        const ClipRange range = clip.measure(c.lengthMs, c.beginMs, c.endMs);
        EXPECT_EQ(range.beginOffset, c.beginOffset);
        EXPECT_EQ(range.progressMax, c.progressMax);
        EXPECT_EQ(range.clipBytes(), static_cast<std::int64_t>(c.targetBytes));

        if (inBlocks) {
            std::int64_t lastDone = 0;
            clip.copyInBlocks(range, [&](std::int64_t done, std::int64_t total) {
                EXPECT_GT(done, lastDone);
                EXPECT_EQ(total, range.clipBytes());
                lastDone = done;
            });
            EXPECT_EQ(lastDone, range.clipBytes());
        } else {
            int chunks = 0;
            clip.copy(range, [&] { ++chunks; });
            EXPECT_EQ(chunks, c.chunks);
        }
        clip.commit();

        const Bytes target = readBytes(folder.file("clip.mp3").string());
        ASSERT_EQ(target.size(), c.targetBytes);
        EXPECT_TRUE(target == expectedClip(source, c.beginOffset, c.targetBytes));
        EXPECT_EQ(folder.names(), (std::vector<std::string>{"clip.mp3", "song.mp3"}));
    }
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
    EXPECT_FALSE(isSavableSelection(5'000, 5'000));
    EXPECT_FALSE(isSavableSelection(6'000, 5'000));
    EXPECT_FALSE(isSavableSelection(-20, 0));
    EXPECT_TRUE(isSavableSelection(0, 1));
    EXPECT_TRUE(isSavableSelection(-20, 10));
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
        {4'000'000, 250'000, 250'000, 260'000, kBeginPastAudio},
        {std::int64_t{1} << 31, 250'000, 1, 20'000, "2 GiB"},
    };
    for (const auto& c : cases) {
        try {
            clipRangeByRate(c.sourceBytes, 0, static_cast<std::uint64_t>(c.sourceBytes), c.lengthMs,
                            c.beginMs, c.endMs);
            ADD_FAILURE() << "no failure for " << c.reason;
        } catch (const ExportRefusal& refusal) {
            const std::string why = describeExportRefusal(refusal);
            EXPECT_NE(why.find(c.reason), std::string::npos) << why;
        }
    }
}

// A sparse file of 2 GiB: its size must not wrap into a small rate.
TEST(ClipRangeFailure, SourceOfTwoGibibytesIsRefusedBeforeAnyCopy) {
    TempDir folder;
    writeBytes(folder.file("huge.mp3").string(), {});
    std::filesystem::resize_file(folder.file("huge.mp3").string(), std::uintmax_t{1} << 31);
    DiskFiles files;
    ClipExport clip(files, folder.file("huge.mp3").string(), folder.file("clip.mp3").string());
    EXPECT_THROW(clip.measure(250'000, 1'000, 2'000), ExportRefusal);
}

// A source that another program shortens during the copy fails the clip
// instead of padding it with zeros; one that grows gives the clip as it was
// measured. Both copies behave alike, and an existing target is kept.
TEST(ClipSourceChange, ShorterSourceFailsAndLongerSourceIsCutAsMeasured) {
    const struct {
        const char* what;
        std::uintmax_t newSize;  // after the second read
        bool fails;
    } cases[] = {
        {"cut short inside the range", 600'000, true},
        {"cut short just before the range's last byte", 959'999, true},
        {"emptied", 0, true},
        {"grown", 5'000'000, false},
    };
    for (const auto& c : cases) {
        for (const bool inBlocks : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (inBlocks ? ", in blocks" : ", in chunks"));
            TempDir folder;
            const Bytes source = patternBytes(4'000'000);
            writeBytes(folder.file("song.mp3").string(), source);
            const Bytes old = patternBytes(100, 4);
            writeBytes(folder.file("clip.mp3").string(), old);
            DiskFiles disk;
            ResizingSourceFiles files(disk, 2, c.newSize);

            // Positions 160,001 to 960,000 of the source: 196 chunks, or
            // four blocks, so the source changes while the copy runs.
            const auto cut = [&] {
                ClipExport clip(files, folder.file("song.mp3").string(),
                                folder.file("clip.mp3").string());
                const ClipRange range = clip.measure(250'000, 10'000, 60'000);
                if (inBlocks) {
                    clip.copyInBlocks(range, [](std::int64_t, std::int64_t) {});
                } else {
                    clip.copy(range, [] {});
                }
                clip.commit();
            };
            if (c.fails) {
                try {
                    cut();
                    ADD_FAILURE() << "the copy did not fail";
                } catch (const ExportRefusal& refusal) {
                    EXPECT_EQ(refusal.kind(), ExportRefusalKind::sourceChangedInCopy);
                    EXPECT_EQ(describeExportRefusal(refusal), kSourceChanged);
                }
                EXPECT_TRUE(readBytes(folder.file("clip.mp3").string()) == old);
            } else {
                cut();
                EXPECT_TRUE(readBytes(folder.file("clip.mp3").string()) ==
                            expectedClip(source, 160'001, 800'000));
            }
            EXPECT_EQ(folder.names(), (std::vector<std::string>{"clip.mp3", "song.mp3"}));
        }
    }
}

}  // namespace
}  // namespace snipwell::test
