// Tags for split tracks: a source's ID3v2 frames of any version read into
// ID3v2.4 form, the ID3v2.4 tag built from them, and the ID3v1 tag.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "mp3/id3v1_tag_builder.h"
#include "mp3/id3v2_frames.h"
#include "mp3/id3v2_tag_builder.h"

namespace snipwell::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

void putSize(Bytes& out, std::size_t size, bool syncsafe, int bytes = 4) {
    for (int i = bytes - 1; i >= 0; --i) {
        out.push_back(
            static_cast<std::uint8_t>(syncsafe ? (size >> (7 * i)) & 0x7F : size >> (8 * i)));
    }
}

// One frame of version `major` (2, 3 or 4).
Bytes frame(int major, const std::string& id, const Bytes& body, std::uint8_t status = 0,
            std::uint8_t format = 0) {
    Bytes out = text(id);
    putSize(out, body.size(), major == 4, major == 2 ? 3 : 4);
    if (major != 2) {
        out.push_back(status);
        out.push_back(format);
    }
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes tag(int major, const Bytes& frames, std::uint8_t flags = 0, std::size_t padding = 16) {
    Bytes out{'I', 'D', '3', static_cast<std::uint8_t>(major), 0, flags};
    putSize(out, frames.size() + padding, true);
    out.insert(out.end(), frames.begin(), frames.end());
    out.resize(out.size() + padding, 0);
    return out;
}

Bytes latin1Text(const std::string& s) {
    Bytes body(s.size() + 1, 0);  // ISO-8859-1, then the text
    std::copy(s.begin(), s.end(), body.begin() + 1);
    return body;
}

Bytes joined(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

TEST(Id3v2Frames, Version23FramesComeOutInVersion24Form) {
    const Bytes picture =
        joined({Bytes{0}, text("image/png"), Bytes{0, 3, 0}, Bytes{0xFF, 0x00, 0xFB, 0x90}});
    const Bytes source =
        tag(3, joined({
                   frame(3, "TIT2", latin1Text("Whole Album")),
                   frame(3, "TYER", latin1Text("1987")),
                   frame(3, "APIC", picture, 0x40),  // discard when audio changes
                   frame(3, "TPE1", latin1Text("Band"), 0x80, 0x00),
                   frame(3, "COMM", Bytes{0, 'e', 'n', 'g', 0, 'x'}, 0, 0x80),
                   frame(3, "TALB", joined({Bytes{7}, latin1Text("Album")}), 0, 0x20),
               }));
    const auto frames = mp3::readId3v2Frames(source);
    ASSERT_EQ(frames.size(), 5u);  // the compressed COMM is left out
    EXPECT_EQ(frames[0].id, "TIT2");
    EXPECT_EQ(mp3::id3v2FrameText(frames[0]), "Whole Album");
    EXPECT_EQ(frames[2].id, "APIC");
    EXPECT_EQ(frames[2].body, picture);
    EXPECT_EQ(frames[2].flags, mp3::kDiscardWhenAudioAltered);
    EXPECT_EQ(frames[3].flags, mp3::kDiscardWhenTagAltered);
    EXPECT_EQ(frames[4].flags, mp3::kGroupedFrame);
    EXPECT_EQ(mp3::id3v2FrameText(frames[4]), "Album");  // after the group byte
}

TEST(Id3v2Frames, UnsynchronisationAndVersion22AreUndone) {
    // A 2.3 tag unsynchronised as a whole: 0xFF 0x00 stands for 0xFF.
    // The frame's size counts the bytes after resynchronisation.
    Bytes frames = frame(3, "TPE1", Bytes{0, 'a', 0xFF, 'b'});
    frames.insert(frames.end() - 1, 0x00);
    const auto whole = mp3::readId3v2Frames(tag(3, frames, 0x80));
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_EQ(whole[0].body, (Bytes{0, 'a', 0xFF, 'b'}));

    // A 2.4 frame with its own unsynchronisation and a data length indicator.
    const Bytes stuffed{0, 0, 0, 4, 0, 'x', 0xFF, 0x00, 'y'};
    const auto single = mp3::readId3v2Frames(tag(4, frame(4, "TIT2", stuffed, 0, 0x03)));
    ASSERT_EQ(single.size(), 1u);
    EXPECT_EQ(single[0].body, (Bytes{0, 'x', 0xFF, 'y'}));
    EXPECT_EQ(single[0].flags, 0);

    // 2.2: three-letter names, PIC with an image format instead of a MIME type.
    const auto old = mp3::readId3v2Frames(
        tag(2, joined({
                   frame(2, "TT2", latin1Text("T")),
                   frame(2, "TYE", latin1Text("1975")),
                   frame(2, "XYZ", latin1Text("?")),
                   frame(2, "PIC", joined({Bytes{0}, text("JPG"), Bytes{3, 0, 0xD8}})),
               })));
    ASSERT_EQ(old.size(), 3u);
    EXPECT_EQ(old[0].id, "TIT2");
    EXPECT_EQ(old[1].id, "TDRC");
    EXPECT_EQ(old[2].id, "APIC");
    EXPECT_EQ(old[2].body, joined({Bytes{0}, text("image/jpeg"), Bytes{0, 3, 0, 0xD8}}));

    // A frame that claims more than the tag holds ends the reading; what
    // came before is kept.
    Bytes broken =
        joined({frame(4, "TIT2", latin1Text("ok")), frame(4, "TPE1", latin1Text("cut"))});
    broken.resize(broken.size() - 2);
    EXPECT_EQ(mp3::readId3v2Frames(tag(4, broken, 0, 0)).size(), 1u);
}

TEST(Id3v2Frames, TextInEveryEncodingReadsAsUtf8) {
    const struct {
        Bytes body;
        std::optional<std::string> text;
    } cases[] = {
        {{0, 'C', 'a', 'f', 0xE9}, "Caf\xC3\xA9"},
        {{1, 0xFF, 0xFE, 'C', 0, 0xE9, 0, 0x3D, 0xD8, 0x00, 0xDE}, "C\xC3\xA9\xF0\x9F\x98\x80"},
        {{1, 0xFE, 0xFF, 0, 'C', 0, 0xE9}, "C\xC3\xA9"},
        {{2, 0x20, 0xAC}, "\xE2\x82\xAC"},
        {{3, 'a', 0xC3, 0xA9, 0, 'b'}, "a\xC3\xA9"},
        {{9, 'x'}, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(mp3::id3v2FrameText({"TIT2", 0, c.body}), c.text);
    }
    EXPECT_EQ(mp3::id3v2FrameText({"TXXX", 0, {3, 'a'}}), std::nullopt);
    EXPECT_EQ(mp3::id3v2FrameText({"APIC", 0, {3, 'a'}}), std::nullopt);
}

TEST(Id3v2TagBuilder, WritesVersion24WithSyncsafeSizesThatReadBack) {
    mp3::Id3v2TagBuilder builder;
    EXPECT_TRUE(builder.build().empty());
    const Bytes cover(200, 0xAB);
    EXPECT_TRUE(builder.add({"APIC", mp3::kReadOnlyFrame, cover}));
    EXPECT_TRUE(builder.addText("TIT2", "Caf\xC3\xA9"));
    EXPECT_FALSE(builder.add({"TOOLONG", 0, {}}));
    const Bytes built = builder.build();
    ASSERT_GE(built.size(), 10u);
    EXPECT_EQ(Bytes(built.begin(), built.begin() + 6), (Bytes{'I', 'D', '3', 4, 0, 0}));
    // 10 + 200 + 10 + 6 = 226 bytes of frames: syncsafe 0x01 0x62.
    EXPECT_EQ(Bytes(built.begin() + 6, built.begin() + 10), (Bytes{0, 0, 0x01, 0x62}));
    EXPECT_EQ(Bytes(built.begin() + 14, built.begin() + 18), (Bytes{0, 0, 0x01, 0x48}));
    EXPECT_EQ(built.size(), 236u);
    const auto frames = mp3::readId3v2Frames(built);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].body, cover);
    EXPECT_EQ(frames[0].flags, mp3::kReadOnlyFrame);
    EXPECT_EQ(mp3::id3v2FrameText(frames[1]), "Caf\xC3\xA9");
}

TEST(Id3v1TrackTag, TakesTheTracksFieldsWhereTheyFitAndKeepsTheRest) {
    std::array<std::uint8_t, mp3::kId3v1Bytes> source{};
    const std::string fields = "TAGWhole Album Title";
    std::copy(fields.begin(), fields.end(), source.begin());
    const std::string artist = "Source Artist";
    std::copy(artist.begin(), artist.end(), source.begin() + 33);
    const std::string comment = "A thirty byte long comment!!!!";
    std::copy(comment.begin(), comment.end(), source.begin() + 97);
    source[127] = 8;  // Jazz

    mp3::Id3v1Fields track;
    track.title = "Caf\xC3\xA9 \xE2\x82\xAC and a title far longer than thirty bytes";
    track.album = "Best";
    track.year = "2004-05-06";
    track.genre = "hard rock";
    track.track = 7;
    const auto built = mp3::trackId3v1Tag(source, track);
    const auto field = [&](std::size_t at, std::size_t width) {
        return std::string(reinterpret_cast<const char*>(built.data() + at), width);
    };
    EXPECT_EQ(field(0, 3), "TAG");
    EXPECT_EQ(field(3, 30), "Caf\xE9 ? and a title far longer ");
    EXPECT_EQ(field(33, 13), "Source Artist");  // none given: kept
    EXPECT_EQ(field(63, 5), std::string("Best\0", 5));
    EXPECT_EQ(field(93, 4), "2004");
    EXPECT_EQ(field(97, 28), comment.substr(0, 28));
    EXPECT_EQ(built[125], 0);
    EXPECT_EQ(built[126], 7);
    EXPECT_EQ(built[127], 79);  // Hard Rock

    track.genre = "Nu Gaze";  // not an ID3v1 genre: the source's stays
    EXPECT_EQ(mp3::trackId3v1Tag(source, track)[127], 8);
    EXPECT_EQ(mp3::id3v1GenreNumber("Blues"), 0);
    EXPECT_EQ(mp3::id3v1GenreNumber("rock"), 17);
    EXPECT_EQ(mp3::id3v1GenreNumber("Rockabilly"), -1);
}

}  // namespace
}  // namespace snipwell::test
