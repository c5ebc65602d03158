// The tags around the audio: what a file's tags may be and still play, what
// is taken for damage, and how much of the end a doubtful tag may claim.

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "mp3/block_reader.h"
#include "mp3/length.h"
#include "mp3/tag_check.h"
#include "mp3/tag_layout.h"
#include "support/mp3/damaged_mp3.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/mp3/mp3_tag_writer.h"
#include "support/temp_dir.h"

namespace snipwell::mp3 {
namespace {

using test::Bytes;
using test::Mp3Fixtures;
using test::Mp3Kind;

void appendLittleEndian32(Bytes& bytes, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

// An APEv2 footer alone, claiming `tagBytes` bytes and `items` items that
// are not there: what a tool that crashed half-way through writing leaves.
Bytes apeFooterClaiming(std::uint32_t tagBytes, std::uint32_t items) {
    Bytes footer{'A', 'P', 'E', 'T', 'A', 'G', 'E', 'X'};
    appendLittleEndian32(footer, 2000);
    appendLittleEndian32(footer, tagBytes);
    appendLittleEndian32(footer, items);
    appendLittleEndian32(footer, 0);
    footer.resize(32, 0);
    return footer;
}

Bytes concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::optional<Mp3Error> malformedTagIn(const std::filesystem::path& path) {
    auto opened = BlockReader::open(path.string());
    if (!std::holds_alternative<BlockReader>(opened)) return std::get<Mp3Error>(opened);
    return findMalformedTag(std::get<BlockReader>(opened));
}

std::int64_t measuredMs(const std::filesystem::path& path) {
    const auto measured = measureLength(path.string());
    if (!std::holds_alternative<TrackLength>(measured)) return -1;
    return std::get<TrackLength>(measured).milliseconds();
}

TEST(TagCheck, RefusesImpossibleApeSizesAndPilesOfId3v2TagsOnly) {
    using namespace snipwell::test;
    const Bytes good = readBytes(Mp3Fixtures::file(Mp3Kind::cbrPlain));
    const Bytes withGoodEndTags = concat(concat(good, apeTag()), id3v1Tag());
    const Bytes impossibleApeBeforeId3v1 = concat(withImpossibleApeFooter(good), id3v1Tag());

    const struct {
        const char* name;
        Bytes bytes;
        bool malformed;
    } cases[] = {
        {"good", good, false},
        {"good APE and ID3v1 tags", withGoodEndTags, false},
        {"most stacked ID3v2 tags allowed", withEmptyId3v2Tags(good, maxStackedId3v2Tags), false},
        {"one more", withEmptyId3v2Tags(good, maxStackedId3v2Tags + 1), true},
        {"thousands of ID3v2 tags", withEmptyId3v2Tags(good, 5000), true},
        {"impossible APE size", withImpossibleApeFooter(good), true},
        {"impossible APE size before ID3v1", impossibleApeBeforeId3v1, true},
    };
    const TempDir dir;
    for (const auto& [name, bytes, malformed] : cases) {
        const auto path = dir.file("case.mp3");
        writeBytes(path, bytes);
        const auto found = malformedTagIn(path);
        EXPECT_EQ(found.has_value(), malformed) << name;
        if (found) {
            EXPECT_EQ(found->fault, Mp3Fault::malformedTag) << name;
        }
    }
}

// A footer whose items do not add up claims bytes that decoders play as
// audio: believed, it would take 1.25 s off the end of this track.
TEST(TagLayout, AnApeTagWhoseItemsDoNotFillItsSizeTakesNoAudio) {
    using namespace snipwell::test;
    const Bytes good = readBytes(Mp3Fixtures::file(Mp3Kind::cbrPlain));
    const TempDir dir;
    writeBytes(dir.file("good.mp3"), good);
    const std::int64_t goodMs = measuredMs(dir.file("good.mp3"));
    ASSERT_GT(goodMs, 2000);

    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"footer alone, one item claimed", concat(good, apeFooterClaiming(20'032, 1))},
        {"footer alone, no items", concat(good, apeFooterClaiming(20'032, 0))},
        {"header flag without a header",
         [&] {
             Bytes footer = apeFooterClaiming(20'032, 0);
             footer[23] = 0x80;  // "has a header"
             return concat(good, footer);
         }()},
        {"before an ID3v1 tag", concat(concat(good, apeFooterClaiming(20'032, 3)), id3v1Tag())},
    };
    for (const auto& [name, bytes] : cases) {
        writeBytes(dir.file("case.mp3"), bytes);
        EXPECT_EQ(measuredMs(dir.file("case.mp3")), goodMs) << name;
    }

    // A real tag is still stepped over whole, its sync-like noise unread.
    writeBytes(dir.file("tagged.mp3"), concat(concat(good, apeTag()), id3v1Tag()));
    EXPECT_EQ(measuredMs(dir.file("tagged.mp3")), goodMs);
    auto opened = BlockReader::open(dir.file("tagged.mp3").string());
    ASSERT_TRUE(std::holds_alternative<BlockReader>(opened));
    const TagLayout layout = findTagLayout(std::get<BlockReader>(opened));
    EXPECT_EQ(layout.audio.end, good.size());
    EXPECT_TRUE(layout.id3v1Offset.has_value());
}

}  // namespace
}  // namespace snipwell::mp3
