// Cue sheets as people have them, and what is refused with which line.

#include <gtest/gtest.h>

#include "split/cue_sheet.h"

namespace snipwell::test {
namespace {

CueSheet sheetOf(const std::variant<CueSheet, SheetError>& parsed) {
    if (const auto* error = std::get_if<SheetError>(&parsed)) {
        ADD_FAILURE() << describe(*error);
        return {};
    }
    return std::get<CueSheet>(parsed);
}

std::string withLineEnds(const std::string& text, const std::string& end) {
    std::string out;
    for (const char ch : text) out += ch == '\n' ? end : std::string(1, ch);
    return out;
}

constexpr const char* kAlbum =
    "REM GENRE \"Hard Rock\"\n"
    "REM DATE 1999\n"
    "PERFORMER \"The Band\"\n"
    "TITLE \"Caf\xC3\xA9 Songs\"\n"
    "FILE \"album.wav\" WAVE\n"
    "  TRACK 01 AUDIO\n"
    "    TITLE \"First\"\n"
    "    INDEX 01 00:00:00\n"
    "  TRACK 02 AUDIO\n"
    "    TITLE \"Second\"\n"
    "    PERFORMER \"Guest\"\n"
    "    INDEX 00 03:58:40\n"
    "    INDEX 01 04:00:74\n"
    "  TRACK 03 AUDIO\n"
    "    TITLE Third Song\n"
    "    INDEX 01 61:02:01\n"
    "    INDEX 02 62:00:00\n";

// The same sheet in each encoding and with each line end reads the same:
// the titles as UTF-8, the pregap of track 2 ignored, times in 75ths.
TEST(CueSheet, ReadsEveryEncodingAndLineEndAlike) {
    const std::string utf8 = kAlbum;
    std::string western = utf8;
    western.replace(western.find("\xC3\xA9"), 2, "\xE9");
    const struct {
        const char* what;
        std::string bytes;
        SheetEncoding encoding;
    } cases[] = {
        {"UTF-8, LF", utf8, SheetEncoding::utf8},
        {"UTF-8, CRLF", withLineEnds(utf8, "\r\n"), SheetEncoding::utf8},
        {"UTF-8, CR", withLineEnds(utf8, "\r"), SheetEncoding::utf8},
        {"UTF-8 with BOM, CRLF", "\xEF\xBB\xBF" + withLineEnds(utf8, "\r\n"),
         SheetEncoding::utf8WithBom},
        {"Western code page, CRLF", withLineEnds(western, "\r\n"), SheetEncoding::westernCodePage},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CueSheet& sheet = sheetOf(parseCueSheet(c.bytes));
        EXPECT_EQ(sheet.encoding, c.encoding);
        EXPECT_EQ(sheet.title, "Caf\xC3\xA9 Songs");
        EXPECT_EQ(sheet.performer, "The Band");
        EXPECT_EQ(sheet.date, "1999");
        EXPECT_EQ(sheet.genre, "Hard Rock");
        EXPECT_EQ(sheet.fileName, "album.wav");
        EXPECT_EQ(sheet.fileLine, 5);
        ASSERT_EQ(sheet.tracks.size(), 3u);
        EXPECT_EQ(sheet.tracks[0].begin.ticks, 0);
        EXPECT_EQ(sheet.tracks[1].begin.ticks, (4 * 60) * 75 + 74);
        EXPECT_EQ(sheet.tracks[1].begin.ticksPerSecond, 75);
        EXPECT_EQ(sheet.tracks[1].performer, "Guest");
        EXPECT_EQ(sheet.tracks[0].performer, "");
        EXPECT_EQ(sheet.tracks[2].title, "Third Song");
        EXPECT_EQ(sheet.tracks[2].begin.ticks, (61 * 60 + 2) * 75 + 1);
        EXPECT_EQ(sheet.tracks[2].number, 3);
        EXPECT_EQ(sheet.tracks[2].line, 14);
    }
}

TEST(CueSheet, WesternCodePageTurnsIntoUtf8) {
    // 0x80 is the euro sign there, 0x96 a dash, 0xE9 é.
    const CueSheet& sheet =
        sheetOf(parseCueSheet("TITLE \"\x80 \x96 \xE9\"\nTRACK 1 AUDIO\nINDEX 01 00:00:00\n"));
    EXPECT_EQ(sheet.title, "\xE2\x82\xAC \xE2\x80\x93 \xC3\xA9");
}

// Every refusal names the line it is about.
TEST(CueSheet, RefusesWithTheLineNumber) {
    const struct {
        const char* sheet;
        int line;
        const char* reason;
    } cases[] = {
        {"FILE \"a.mp3\" MP3\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nFILE \"b.mp3\" MP3\n", 4,
         "a second FILE (the first is on line 1)"},
        {"TRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 MODE1/2352\n", 3, "track 2 is MODE1/2352"},
        {"TRACK 02 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\n", 3, "track 2 comes after track 2"},
        {"INDEX 01 00:00:00\n", 1, "INDEX before the first TRACK"},
        {"TRACK 01 AUDIO\n  INDEX 01 00:60:00\n", 2, "INDEX 01 \"00:60:00\" is no time"},
        {"TRACK 01 AUDIO\n  INDEX 01 00:00:75\n", 2, "INDEX 01 \"00:00:75\" is no time"},
        {"TRACK 01 AUDIO\n  INDEX 01 0:0:0\n", 2, "INDEX 01 \"0:0:0\" is no time"},
        {"TRACK 01 AUDIO\nINDEX 01 01:00:00\nTRACK 02 AUDIO\nINDEX 01 00:59:74\n", 4,
         "track 2 begins at 00:59:74, not after track 1 (01:00:00)"},
        {"TRACK 01 AUDIO\nINDEX 01 01:00:00\nTRACK 02 AUDIO\nINDEX 01 01:00:00\n", 4,
         "track 2 begins at 01:00:00, not after track 1"},
        {"TRACK 01 AUDIO\nINDEX 00 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:10:00\n", 1,
         "track 1 has no INDEX 01"},
        {"TRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\n", 3, "track 2 has no INDEX 01"},
        {"TRACK 01 AUDIO\nINDEX 01 00:00:00\nINDEX 01 00:01:00\n", 3,
         "track 1 has a second INDEX 01"},
        {"TITLE \"Open\nTRACK 01 AUDIO\n", 1, "a quote is opened and not closed"},
        {"TRACK one AUDIO\n", 1, "TRACK needs a number"},
        {"TITLE \"x\"\r\nPERFORMER \"y\"\r\n", 2, "the sheet has no TRACK"},
        {"", 1, "the sheet has no TRACK"},
        {"\xFF\xFET\0I\0", 1, "the sheet is UTF-16"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sheet);
        const std::string bytes = c.sheet[0] == '\xFF' ? std::string(c.sheet, 6) : c.sheet;
        const auto parsed = parseCueSheet(bytes);
        ASSERT_TRUE(std::holds_alternative<SheetError>(parsed));
        const auto& error = std::get<SheetError>(parsed);
        EXPECT_EQ(error.line, c.line) << error.what;
        EXPECT_EQ(error.what.rfind(c.reason, 0), 0u) << error.what;
    }
}

}  // namespace
}  // namespace snipwell::test
