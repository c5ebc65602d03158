// What each track's ID3v2.4 tag keeps of the source's and what it says of
// its own.

#include <gtest/gtest.h>

#include "split/track_tags.h"

namespace snipwell::test {
namespace {

std::vector<std::string> idsAndTexts(const std::vector<std::uint8_t>& tag) {
    std::vector<std::string> out;
    for (const auto& frame : mp3::readId3v2Frames(tag)) {
        out.push_back(frame.id + "=" + mp3::id3v2FrameText(frame).value_or("#"));
    }
    return out;
}

TEST(TrackTags, KeepTheSourcesFramesButWhatTheTrackReplacesOrTheWholeFileOwns) {
    SourceTags source;
    source.frames = {
        mp3::id3v2TextFrame("TIT2", "Whole Album"),
        mp3::id3v2TextFrame("TPE1", "Source Artist"),
        mp3::id3v2TextFrame("TYER", "1987"),
        {"APIC", 0, {0, 'i', 0, 3, 0, 0xFF}},
        mp3::id3v2TextFrame("TLEN", "3600000"),
        {"SYLT", 0, {0}},
        {"PRIV", mp3::kDiscardWhenAudioAltered, {1}},
        mp3::id3v2TextFrame("TCON", "Jazz"),
        // Chapters of the whole file, whose times would lie past a track's end.
        {"CTOC", 0, {'t', 0, 3, 1, 'c', 0}},
        {"CHAP", 0, {'c', 0, 0, 0, 0, 0}},
    };
    SplitPlan plan;
    plan.album = {"Sheet Album", "", "", ""};
    plan.sampleRate = 44'100;
    PlannedTrack track;
    track.number = 2;
    track.title = "Second";
    track.beginSample = 44'100;
    track.endSample = 44'100 + 66'150;  // 1.5 s
    plan.tracks = {track, track, track};

    // No performer, date or genre on the sheet: the source's stay, and its
    // 2.3 year becomes TDRC.
    EXPECT_EQ(idsAndTexts(trackId3v2Tag(source, plan, plan.tracks[1])),
              (std::vector<std::string>{"TPE1=Source Artist", "APIC=#", "TCON=Jazz", "TIT2=Second",
                                        "TALB=Sheet Album", "TRCK=2/3", "TDRC=1987", "TLEN=1500"}));

    // The sheet's performer, date and genre replace the source's.
    plan.album = {"Sheet Album", "Band", "2004", "Rock"};
    plan.tracks[1].performer = "Guest";
    EXPECT_EQ(idsAndTexts(trackId3v2Tag(source, plan, plan.tracks[1])),
              (std::vector<std::string>{"APIC=#", "TIT2=Second", "TPE1=Guest", "TALB=Sheet Album",
                                        "TRCK=2/3", "TDRC=2004", "TCON=Rock", "TLEN=1500"}));

    EXPECT_FALSE(trackId3v1Tag(source, plan, plan.tracks[1]));
}

}  // namespace
}  // namespace snipwell::test
