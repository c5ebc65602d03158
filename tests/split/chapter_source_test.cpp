// Split points from the source's own chapters, written into a real MP3's
// tag by the tests' fixture maker: tracks in play order with their titles,
// and the tables a split cannot follow refused naming the chapter.

#include <gtest/gtest.h>

#include "split/chapter_source.h"
#include "support/file_bytes.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/mp3/mp3_tag_writer.h"
#include "support/temp_dir.h"

namespace snipwell::test {
namespace {

// The two-tone fixture (10 s at 44.1 kHz) behind a tag of these chapters.
SplitPointsOrRefusal chaptersOf(const TempDir& work, const ChapterTag& wanted) {
    Bytes file =
        wanted.chapters.empty() && wanted.contents.empty() ? Bytes{} : id3v2ChapterTag(wanted);
    const Bytes audio = readBytes(Mp3Fixtures::twoTone());
    file.insert(file.end(), audio.begin(), audio.end());
    const std::string path = work.file("talk.mp3").string();
    writeBytes(path, file);
    return ChapterSource().pointsFor({path, {44'100, 441'000}});
}

TEST(ChapterSource, GivesTheChaptersInPlayOrderWithTheirTitles) {
    const TempDir work;
    // Listed by the table out of tag order; the second ends before the third
    // starts, and the last ends at the source's end.
    const auto found = chaptersOf(work, {4,
                                         false,
                                         {{"toc", true, true, {"c1", "c2", "c3"}}},
                                         {{"c3", 5'000, 10'000, {}, {}, "Outro"},
                                          {"c1", 0, 2'000, {}, {}, "Intro"},
                                          {"c2", 2'000, 4'500, {}, {}, std::nullopt}}});
    ASSERT_TRUE(std::holds_alternative<SplitPoints>(found))
        << std::get<SplitPlanError>(found).reason;
    const auto& tracks = std::get<SplitPoints>(found).tracks;
    ASSERT_EQ(tracks.size(), 3u);
    const struct {
        std::int64_t beginMs;
        std::optional<std::int64_t> endMs;
        const char* title;
        const char* where;
    } expected[] = {{0, std::nullopt, "Intro", "chapter \"c1\""},
                    {2'000, 4'500, "", "chapter \"c2\""},
                    {5'000, std::nullopt, "Outro", "chapter \"c3\""}};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(tracks[i].number, static_cast<int>(i + 1));
        EXPECT_EQ(tracks[i].begin.milliseconds(), expected[i].beginMs);
        EXPECT_EQ(tracks[i].end ? std::optional(tracks[i].end->milliseconds()) : std::nullopt,
                  expected[i].endMs);
        EXPECT_EQ(tracks[i].title, expected[i].title);
        EXPECT_EQ(tracks[i].where, expected[i].where);
    }
}

TEST(ChapterSource, RefusesWhatASplitCannotFollowNamingTheChapter) {
    const TempDir work;
    const struct {
        ChapterTag tag;
        std::string reason;
    } cases[] = {
        {{}, "\"" + work.file("talk.mp3").string() + "\" has no chapters (no ID3v2 CHAP frame)"},
        {{3, false, {}, {{"a", 0, 5'000}, {"b", 5'000, 12'000}}},
         "chapter \"b\" (0:05.000 to 0:12.000) lies past the end of the source (0:10.000)"},
        {{4, false, {{"toc", true, true, {"b", "a"}}}, {{"a", 0, 5'000}, {"b", 5'000, 9'000}}},
         "chapter \"a\" (0:00.000 to 0:05.000) does not start after the chapter before it"},
        {{4, false, {}, {{"a", 0, 5'000}, {"a", 5'000, 9'000}}},
         "two chapters share the element id \"a\""},
        {{4, false, {}, {{"a", 0, 5'000}, {"b", 6'000, 6'000}}},
         "chapter \"b\" (0:06.000 to 0:06.000) ends where it starts, or before"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        const auto found = chaptersOf(work, c.tag);
        ASSERT_TRUE(std::holds_alternative<SplitPlanError>(found));
        EXPECT_EQ(std::get<SplitPlanError>(found).reason, c.reason);
    }
}

}  // namespace
}  // namespace snipwell::test
