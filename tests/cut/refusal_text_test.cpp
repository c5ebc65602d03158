// The one line snipwell-cut prints when it stops: each kind of failure, at
// each stage, becomes exactly the line scripts and people have been reading.

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "cut/refusal_text.h"

namespace snipwell::test {
namespace {

CutFailure at(CutStage stage, CutCause why, std::string file = {}) {
    CutFailure failure = failureOf(std::move(why), std::move(file));
    failure.stage = stage;
    return failure;
}

CutFailure command(CutStage stage, CommandRefusal refusal) { return at(stage, std::move(refusal)); }

CutFailure stoppedAtTrack(CutCause why, std::vector<std::string> kept) {
    CutFailure failure = at(CutStage::track, std::move(why));
    failure.trackNumber = 3;
    failure.trackName = "03 C.mp3";
    failure.kept = KeptTracks{std::move(kept), "out"};
    return failure;
}

CommandRefusal guardFailed() {
    CommandRefusal refusal(CommandRefusalKind::guardFailed);
    refusal.probe.reason = "the level probe was killed by signal 9";
    return refusal;
}

exact::ExactCutRefusal freeFormat() {
    return exact::refusalOf(mp3::Mp3Error{mp3::Mp3Fault::freeFormat});
}

TEST(RefusalText, EveryFailureBecomesItsOneLine) {
    using Kind = CommandRefusalKind;
    const struct {
        CutFailure failure;
        const char* line;
    } cases[] = {
        {command(CutStage::request, CommandRefusal(Kind::negativeBegin)),
         "invalid selection: BEGIN must not be negative"},
        {command(CutStage::request, CommandRefusal(Kind::beginNotBeforeEnd)),
         "invalid selection: the begin mark must come before the end mark"},
        {command(CutStage::request, CommandRefusal(Kind::overwritesSource, "a.mp3")),
         "cannot overwrite the source file \"a.mp3\""},
        {command(CutStage::split, CommandRefusal(Kind::trackOverwritesSource, "a.mp3")),
         "nothing was split: a track would overwrite the source file \"a.mp3\""},
        {command(CutStage::plan, CommandRefusal(Kind::folderInTheWay, "out")),
         "the plan was not saved: \"out\" is a folder, not a file"},
        {command(CutStage::request, CommandRefusal(Kind::targetExists, "c.mp3", {}, 0, 0, 1)),
         "\"c.mp3\" already exists (use --force to overwrite)"},
        {command(CutStage::split, CommandRefusal(Kind::targetExists, "01.mp3", {}, 0, 0, 3)),
         "nothing was split: \"01.mp3\" and 2 more already exist (use --force to overwrite)"},
        {command(CutStage::request, CommandRefusal(Kind::notOverwritten)), "not overwritten"},
        {command(CutStage::clip, CommandRefusal(Kind::endPastTrack, {}, {}, 25'001, 25'000)),
         "the clip was not saved: END 0:25.001 lies past the end of the track (0:25.000)"},
        {command(CutStage::clip, CommandRefusal(Kind::trackTooLong)),
         "the clip was not saved: the track is longer than 596 hours"},
        {command(CutStage::clip, CommandRefusal(Kind::guardUnavailable)),
         "the clip was not saved: the clipping guard is not available"},
        {command(CutStage::split, guardFailed()),
         "nothing was split: the clipping guard could not measure the clip: the level probe was "
         "killed by signal 9"},
        {command(CutStage::split, CommandRefusal(Kind::nameTooLong, "x.mp3", "out", 300, 255, 4)),
         "nothing was split: track 4: the name \"x.mp3\" is 300 bytes long, more than the 255 a "
         "file name may have in \"out\""},
        {command(CutStage::split, CommandRefusal(Kind::pathTooLong, "out/x.mp3", {}, 0, 4095, 2)),
         "nothing was split: track 2: the path \"out/x.mp3\" is longer than the 4095 bytes a path "
         "may have"},
        {command(CutStage::split,
                 CommandRefusal(Kind::notEnoughSpace, "out", {}, 2'500'000, 36'000)),
         "nothing was split: the tracks need about 2.5 MB and \"out\" has 36 kB free"},
        {command(CutStage::split,
                 CommandRefusal(Kind::planFileOverwritesSource, "a.mp3", "--write-cue")),
         "nothing was split: --write-cue would overwrite the source file \"a.mp3\""},
        {command(CutStage::split,
                 CommandRefusal(Kind::planFileOverwritesTrack, "out/01.mp3", "--write-labels")),
         "nothing was split: --write-labels \"out/01.mp3\" would overwrite a track"},
        {command(CutStage::split,
                 CommandRefusal(Kind::planFilesClash, "--write-cue", "--write-labels")),
         "nothing was split: --write-labels and --write-cue name one file"},
        {stoppedAtTrack(CommandRefusal(Kind::interrupted), {"01 A.mp3", "02 B.mp3"}),
         "the split stopped at track 3 (\"03 C.mp3\"): interrupted; kept \"01 A.mp3\", "
         "\"02 B.mp3\" in \"out\""},
        {stoppedAtTrack(RuntimeFault{"cannot write: No space left on device"}, {}),
         "the split stopped at track 3 (\"03 C.mp3\"): cannot write: No space left on device; "
         "no track was saved"},
        {at(CutStage::split, mp3::Mp3Error{mp3::Mp3Fault::notFound}, "a.mp3"),
         "nothing was split: cannot open \"a.mp3\": No such file or directory"},
        {at(CutStage::clip, mp3::Mp3Error{mp3::Mp3Fault::malformedTag, 10}, "a.mp3"),
         "the clip was not saved: \"a.mp3\" has a damaged tag at byte 10"},
        {at(CutStage::clip, ExactFailure{freeFormat(), ExactRefusalWording::plain}, "a.mp3"),
         "the clip was not saved: \"a.mp3\" is a free-format MPEG stream, whose frames do not "
         "state their length, so it cannot be cut frame by frame"},
        {at(CutStage::split, ExactFailure{freeFormat(), ExactRefusalWording::suggestingBytes},
            "a.mp3"),
         "nothing was split: \"a.mp3\" is a free-format MPEG stream, whose frames do not state "
         "their length, so it cannot be cut frame by frame (--bytes splits it by the byte-range "
         "rule instead)"},
        {at(CutStage::clip, ExportRefusal(ExportRefusalKind::beginPastAudio)),
         "the clip was not saved: the begin mark lies past the end of the audio"},
        {at(CutStage::clip, ExportRefusal(ExportRefusalKind::sourceUnreadable,
                                          mp3::Mp3Error{mp3::Mp3Fault::unreadable, 0, EACCES})),
         "the clip was not saved: the source file cannot be read: Permission denied"},
        {at(CutStage::clip,
            ExportRefusal(ExportRefusalKind::framesUnwalkable,
                          mp3::Mp3Error{mp3::Mp3Fault::changed, 4096}),
            "a.mp3"),
         "the clip was not saved: \"a.mp3\" changed while it was being read"},
        {at(CutStage::split, SheetError{"album.cue", 12, "INDEX 01 is no time"}),
         "nothing was split: \"album.cue\", line 12: INDEX 01 is no time"},
        {at(CutStage::split, SplitPlanError{"track 2 begins after the end of the source"}),
         "nothing was split: track 2 begins after the end of the source"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(refusalText(c.failure), c.line);
    }
}

// The program's name leads the line, and the line ends it.
TEST(RefusalText, IsToldAsOneLineOfTheProgram) {
    std::FILE* err = std::tmpfile();
    tellCutFailure(err,
                   command(CutStage::request, CommandRefusal(CommandRefusalKind::notOverwritten)));
    std::rewind(err);
    char text[64] = {};
    const std::size_t read = std::fread(text, 1, sizeof text - 1, err);
    std::fclose(err);
    EXPECT_EQ(std::string(text, read), "snipwell-cut: not overwritten\n");
}

}  // namespace
}  // namespace snipwell::test
