// A file's own chapters, read from its ID3v2 tag in front of real audio:
// titles, the order a table of contents gives, both tag versions with and
// without unsynchronisation, and the tables a split cannot follow.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "mp3/id3v2_chapters.h"
#include "support/file_bytes.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/mp3/mp3_tag_writer.h"
#include "support/temp_dir.h"

namespace snipwell::mp3 {

std::ostream& operator<<(std::ostream& out, const ChapterError& error) {
    return out << "fault " << static_cast<int>(error.fault) << " at \"" << error.elementId << '"';
}

namespace {

using test::Bytes;
using test::ChapterFrame;
using test::ChapterTag;
using test::ContentsFrame;

constexpr std::uint32_t kTrackEndMs = 100'000;

// What a test expects of a chapter in play order.
struct Seen {
    std::string id;
    std::optional<std::string> title;
    std::uint32_t startMs;
    std::uint32_t endMs;
    friend bool operator==(const Seen&, const Seen&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Seen& seen) {
        return out << seen.id << " \"" << seen.title.value_or("(none)") << "\" " << seen.startMs
                   << '-' << seen.endMs;
    }
};

std::variant<std::vector<Seen>, ChapterError> chaptersOfFile(const ChapterTag& wanted) {
    const test::TempDir dir;
    Bytes file = test::id3v2ChapterTag(wanted);
    const Bytes audio = test::readBytes(test::Mp3Fixtures::twoTone());
    file.insert(file.end(), audio.begin(), audio.end());
    test::writeBytes(dir.file("chapters.mp3"), file);

    auto opened = BlockReader::open(dir.file("chapters.mp3").string());
    auto table = readChapterTable(std::get<BlockReader>(opened));
    auto ordered = chaptersInPlayOrder(std::get<Id3v2ChapterTable>(std::move(table)), kTrackEndMs);
    if (const auto* error = std::get_if<ChapterError>(&ordered)) return *error;
    std::vector<Seen> seen;
    for (const auto& chapter : std::get<std::vector<Id3v2Chapter>>(ordered)) {
        seen.push_back({chapter.elementId, chapter.title, chapter.startMs, chapter.endMs});
    }
    return seen;
}

ChapterFrame plain(const std::string& id, std::uint32_t startMs, std::uint32_t endMs) {
    return {id, startMs, endMs, std::nullopt, std::nullopt, std::nullopt};
}

// Chapter ids 1..3 at 0 s, 20 s and 40 s (0xFF00 ms makes unsynchronisation
// matter), given in tag order 3, 1, 2.
std::vector<ChapterFrame> threeChapters() {
    return {{"ch3", 40'000, 60'000, std::nullopt, std::nullopt, "Third"},
            {"ch1", 0, 20'000, 0, 0xFF00, "First"},
            {"ch2", 20'000, 0xFF00, 0xFF00, std::nullopt, std::nullopt}};
}

const std::vector<Seen> kByStart = {{"ch1", "First", 0, 20'000},
                                    {"ch2", std::nullopt, 20'000, 0xFF00},
                                    {"ch3", "Third", 40'000, 60'000}};

TEST(Id3v2Chapters, ComeInPlayOrderWithTheirTitlesOrAreRefusedNamingTheChapter) {
    const struct {
        const char* name;
        ChapterTag tag;
        std::variant<std::vector<Seen>, ChapterError> expected;
    } cases[] = {
        {"2.4 without a table: by start time", {4, false, {}, threeChapters()}, kByStart},
        {"2.3, unsynchronised", {3, true, {}, threeChapters()}, kByStart},
        {"2.4, each frame unsynchronised", {4, true, {}, threeChapters()}, kByStart},
        {"2.4 UTF-8 title",
         {4, false, {}, {{"a", 0, 5'000, std::nullopt, std::nullopt, "Caf\xc3\xa9"}}},
         std::vector<Seen>{{"a", "Caf\xc3\xa9", 0, 5'000}}},
        {"2.3 ISO-8859-1 title",
         {3, false, {}, {{"a", 0, 5'000, std::nullopt, std::nullopt, "Caf\xe9"}}},
         std::vector<Seen>{{"a", "Caf\xc3\xa9", 0, 5'000}}},
        {"an unordered table leaves the start order",
         {4, false, {{"toc", true, false, {"ch3", "ch2", "ch1"}}}, threeChapters()},
         kByStart},
        {"the top-level ordered table's order, nested tables opened in place",
         {4,
          false,
          {{"inner", false, true, {"ch2", "ch3", "gone"}}, {"top", true, true, {"ch1", "inner"}}},
          threeChapters()},
         kByStart},
        {"a table that lists only unknown ids leaves the start order",
         {4, false, {{"top", true, true, {"x", "y"}}}, threeChapters()},
         kByStart},
        {"a table order whose times fall",
         {4, false, {{"top", true, true, {"ch2", "ch1", "ch3"}}}, threeChapters()},
         ChapterError{ChapterFault::notRising, "ch1"}},
        {"a chapter listed twice",
         {4, false, {{"top", true, true, {"ch1", "ch2", "ch2"}}}, threeChapters()},
         ChapterError{ChapterFault::notRising, "ch2"}},
        {"two chapters start together",
         {3, false, {}, {plain("a", 0, 5'000), plain("b", 5'000, 9'000), plain("c", 5'000, 7'000)}},
         ChapterError{ChapterFault::notRising, "c"}},
        {"a chapter ends where it starts",
         {4, false, {}, {plain("a", 0, 5'000), plain("b", 5'000, 5'000)}},
         ChapterError{ChapterFault::emptyChapter, "b"}},
        {"a chapter ends past the track",
         {4, false, {}, {plain("a", 0, 5'000), plain("b", 5'000, kTrackEndMs + 1)}},
         ChapterError{ChapterFault::pastTrackEnd, "b"}},
        {"two chapters share an id",
         {4, false, {}, {plain("a", 0, 5'000), plain("a", 5'000, 9'000)}},
         ChapterError{ChapterFault::duplicateId, "a"}},
        {"a table but no chapter",
         {4, false, {{"top", true, true, {"a"}}}, {}},
         ChapterError{ChapterFault::noChapters, ""}},
    };
    for (const auto& [name, tag, expected] : cases) {
        EXPECT_EQ(chaptersOfFile(tag), expected) << name;
    }
}

TEST(Id3v2Chapters, KeepTheByteOffsetsAndFramesTheTagGives) {
    const Bytes tag = test::id3v2ChapterTag({3, true, {}, threeChapters()});
    const Id3v2ChapterTable table = readId3v2Chapters(tag);
    ASSERT_EQ(table.chapters.size(), 3u);
    EXPECT_EQ(table.chapters[0].startByte, std::nullopt);
    EXPECT_EQ(table.chapters[1].startByte, 0u);
    EXPECT_EQ(table.chapters[1].endByte, 0xFF00u);
    EXPECT_EQ(table.chapters[2].endByte, std::nullopt);
    ASSERT_EQ(table.chapters[0].frames.size(), 1u);
    EXPECT_EQ(table.chapters[0].frames[0].id, "TIT2");
    EXPECT_TRUE(table.chapters[2].frames.empty());
}

}  // namespace
}  // namespace snipwell::mp3
