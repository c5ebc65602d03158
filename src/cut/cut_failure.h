#pragma once
// How a step of snipwell-cut fails: what failed, why, and which tracks a
// split kept. Each step returns its result or one CutFailure; the one line
// a person reads is made from it in refusal_text.cpp, and main() alone turns
// a run's outcome into the exit status.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "clip/exact/exact_refusal.h"
#include "clip/export/export_refusal.h"
#include "level/level_probe_failure.h"
#include "mp3/mp3_error.h"
#include "split/sheet_error.h"
#include "split/split_plan.h"

namespace snipwell {

// What failed; it leads the line.
enum class CutStage : std::uint8_t {
    request,  // the request itself, refused before anything is read: no lead-in
    clip,     // "the clip was not saved: "
    split,    // "nothing was split: "
    plan,     // "the plan was not saved: "
    track,    // "the split stopped at track N ("NAME"): "
};

// The command's own refusals; what each concerns is in CommandRefusal.
enum class CommandRefusalKind : std::uint8_t {
    negativeBegin,          // BEGIN before the track
    beginNotBeforeEnd,      // the marks out of order
    overwritesSource,       // the clip's target is the source (`path`)
    trackOverwritesSource,  // a track's path is the source (`path`)
    folderInTheWay,         // `path` is a folder
    targetExists,           // `path` exists, and `count - 1` more with it
    notOverwritten,         // the person said no
    endPastTrack,           // END `first` ms past the track's `second` ms
    trackTooLong,           // a length beyond 32-bit milliseconds
    guardUnavailable,       // --gain max or --no-clip without the guard
    guardFailed,            // the guard's measurement failed: see `probe`
    nameTooLong,     // track `count`'s name `path` of `first` bytes, `second` allowed in `other`
    pathTooLong,     // track `count`'s path `path`, `second` bytes allowed
    notEnoughSpace,  // `first` bytes needed, `second` free in `path`
    planFileOverwritesSource,  // plan file option `other` would overwrite `path`
    planFileOverwritesTrack,   // plan file option `other` at `path` would overwrite a track
    planFilesClash,            // plan file options `other` and `path` name one file
    interrupted,               // the person asked the split to stop
};

struct CommandRefusal {
    explicit CommandRefusal(CommandRefusalKind refused, std::string about = {},
                            std::string otherAbout = {}, std::int64_t firstNumber = 0,
                            std::int64_t secondNumber = 0, std::int64_t countOf = 0)
        : kind(refused),
          path(std::move(about)),
          other(std::move(otherAbout)),
          first(firstNumber),
          second(secondNumber),
          count(countOf) {}

    CommandRefusalKind kind;
    std::string path;
    std::string other;
    std::int64_t first = 0;
    std::int64_t second = 0;
    std::int64_t count = 0;
    LevelProbeFailure probe;
};

// How an exact refusal is told.
enum class ExactRefusalWording : std::uint8_t {
    plain,
    // Where the byte-range rule could still cut the file, the reason says so.
    suggestingBytes,
};

struct ExactFailure {
    exact::ExactCutRefusal refusal;
    ExactRefusalWording wording = ExactRefusalWording::plain;
};

// A file the system refused, or a number out of range: the run-time error's
// own words ("cannot write \"a.mp3\": No space left on device").
struct RuntimeFault {
    std::string reason;
};

using CutCause = std::variant<RuntimeFault, CommandRefusal, mp3::Mp3Error, ExactFailure,
                              ExportRefusal, SheetError, SplitPlanError>;

// The tracks a split kept before it stopped, and where.
struct KeptTracks {
    std::vector<std::string> names;
    std::string folder;
};

struct CutFailure {
    CutStage stage = CutStage::request;
    CutCause why;
    // The file the cause concerns (the source an MP3 or exact failure names).
    std::string file;
    // For CutStage::track: the number and file name of the track it stopped at.
    int trackNumber = 0;
    std::string trackName;
    // For a split that had begun writing.
    std::optional<KeptTracks> kept;
};

// A step's result, or why the command stops there.
template <typename T>
using CutResult = std::variant<T, CutFailure>;

// What a whole run came to: nullopt when everything asked for was saved.
using CutOutcome = std::optional<CutFailure>;

// A failure for `why`, concerning `file`, with no stage yet.
inline CutFailure failureOf(CutCause why, std::string file = {}) {
    CutFailure failure;
    failure.why = std::move(why);
    failure.file = std::move(file);
    return failure;
}

// A failure of the command's own, with its stage.
inline CutFailure refusedBy(CutStage stage, CommandRefusal refusal) {
    CutFailure failure = failureOf(std::move(refusal));
    failure.stage = stage;
    return failure;
}

// The same failure, told as one of `stage`.
inline CutFailure atStage(CutFailure failure, CutStage stage) {
    failure.stage = stage;
    return failure;
}

}  // namespace snipwell
