// The exact cut keeps the source's tags: the ID3v2 tag in front, with its
// TLEN frame stating the clip's length, and the ID3v1 tag behind.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <variant>

#include "clip/exact/exact_cut.h"
#include "clip/exact/mpg123_decode.h"
#include "clip/export/disk_files.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/mp3/mp3_tag_writer.h"
#include "support/temp_dir.h"

namespace snipwell::test {
namespace {

namespace fs = std::filesystem;

void appendFrame(Bytes& tag, int major, const std::string& id, const std::string& text) {
    const auto size = static_cast<std::uint32_t>(text.size() + 1);
    tag.insert(tag.end(), id.begin(), id.end());
    if (major == 4) {
        for (int shift : {21, 14, 7, 0})
            tag.push_back(static_cast<std::uint8_t>((size >> shift) & 0x7F));
    } else {
        for (int shift : {24, 16, 8, 0}) tag.push_back(static_cast<std::uint8_t>(size >> shift));
    }
    tag.push_back(0);
    tag.push_back(0);
    tag.push_back(0);  // ISO-8859-1
    tag.insert(tag.end(), text.begin(), text.end());
}

// An ID3v2 tag (version 2.3 or 2.4) with a title, a TLEN frame, an artist and
// some padding.
Bytes tagWithLength(int major) {
    Bytes body;
    appendFrame(body, major, "TIT2", "Two tones");
    appendFrame(body, major, "TLEN", "10000");
    appendFrame(body, major, "TPE1", "Sine and Son");
    body.resize(body.size() + 64, 0);
    Bytes tag{'I', 'D', '3', static_cast<std::uint8_t>(major), 0, 0};
    const auto size = static_cast<std::uint32_t>(body.size());
    for (int shift : {21, 14, 7, 0})
        tag.push_back(static_cast<std::uint8_t>((size >> shift) & 0x7F));
    tag.insert(tag.end(), body.begin(), body.end());
    return tag;
}

// The text of frame `id` in the ID3v2 tag at the front of `file`.
std::string frameText(const Bytes& file, const std::string& id) {
    const int major = file[3];
    std::size_t at = 10;
    const std::size_t end = 10 + ((std::size_t{file[6]} << 21) | (std::size_t{file[7]} << 14) |
                                  (std::size_t{file[8]} << 7) | file[9]);
    while (at + 10 <= end && file[at] != 0) {
        const std::size_t size =
            major == 4 ? ((std::size_t{file[at + 4]} << 21) | (std::size_t{file[at + 5]} << 14) |
                          (std::size_t{file[at + 6]} << 7) | file[at + 7])
                       : ((std::size_t{file[at + 4]} << 24) | (std::size_t{file[at + 5]} << 16) |
                          (std::size_t{file[at + 6]} << 8) | file[at + 7]);
        if (std::memcmp(&file[at], id.data(), 4) == 0) {
            return std::string(file.begin() + static_cast<std::ptrdiff_t>(at + 11),
                               file.begin() + static_cast<std::ptrdiff_t>(at + 10 + size));
        }
        at += 10 + size;
    }
    return "(none)";
}

TEST(ExactCutTags, TheId3v2TagStaysInFrontWithTheClipsLength) {
    for (int major : {3, 4}) {
        SCOPED_TRACE(major);
        const TempDir work;
        Bytes source = tagWithLength(major);
        const Bytes audio = readBytes(Mp3Fixtures::file(Mp3Kind::cbrWithInfo));
        source.insert(source.end(), audio.begin(), audio.end());
        const Bytes v1 = id3v1Tag();
        source.insert(source.end(), v1.begin(), v1.end());
        writeBytes(work.file("tagged.mp3"), source);

        DiskFiles files;
        const auto result = exact::cutExactClip(
            {work.file("tagged.mp3").string(), 2500, 4250, work.file("clip.mp3").string()}, files);
        ASSERT_TRUE(std::holds_alternative<exact::ExactClip>(result))
            << "refused: kind " << static_cast<int>(std::get<exact::ExactCutRefusal>(result).kind)
            << ", fault "
            << static_cast<int>(std::get<exact::ExactCutRefusal>(result).source.fault);

        const Bytes clip = readBytes(work.file("clip.mp3"));
        ASSERT_GT(clip.size(), 200u);
        EXPECT_EQ(frameText(clip, "TLEN"), "1750");
        EXPECT_EQ(frameText(clip, "TIT2"), "Two tones");
        EXPECT_EQ(frameText(clip, "TPE1"), "Sine and Son");
        EXPECT_TRUE(std::equal(v1.begin(), v1.end(), clip.end() - 128))
            << "the ID3v1 tag ends the clip";
        EXPECT_EQ(decodeWithMpg123(work.file("clip.mp3")).frames(), 1750u * 441 / 10);
    }
}

TEST(ExactCutTags, ALargePictureTagIsCopiedWhole) {
    const fs::path source = Mp3Fixtures::file(Mp3Kind::id3v2Picture);
    const TempDir work;
    DiskFiles files;
    const auto result =
        exact::cutExactClip({source.string(), 1000, 1300, work.file("clip.mp3").string()}, files);
    ASSERT_TRUE(std::holds_alternative<exact::ExactClip>(result));
    const Bytes original = readBytes(source);
    const Bytes clip = readBytes(work.file("clip.mp3"));
    const std::size_t tagBytes =
        10 + ((std::size_t{original[6]} << 21) | (std::size_t{original[7]} << 14) |
              (std::size_t{original[8]} << 7) | original[9]);
    ASSERT_GT(tagBytes, 1024u * 1024u);
    ASSERT_GT(clip.size(), tagBytes);
    EXPECT_TRUE(std::equal(original.begin(),
                           original.begin() + static_cast<std::ptrdiff_t>(tagBytes), clip.begin()));
    EXPECT_EQ(std::get<exact::ExactClip>(result).bytes, clip.size());
}

}  // namespace
}  // namespace snipwell::test
