#pragma once
// snipwell-cut without its process: the same guard, byte range and bytes as
// the window's Save, with the questions, progress and summary of a terminal.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <variant>

#include "common/files.h"
#include "cut/clip_trim.h"
#include "cut/cut_arguments.h"
#include "cut/cut_failure.h"
#include "level/level_probe_client.h"

namespace snipwell {

struct CutConsole {
    // Progress, questions and warnings.
    std::FILE* err = stderr;
    // Whether the person can be asked (standard input is a terminal).
    bool interactive = false;
    // Reads one answer line; false at the end of input.
    std::function<bool(std::string&)> readAnswer;
    // The summary line of a saved clip.
    std::FILE* out = stdout;
};

// The source's length in milliseconds, or why it has none
// (scannedTrackLengthMs in the program).
using TrackLengthLookup = std::function<CutResult<std::int32_t>(const std::string&)>;

// The loudest sample of a stretch of the source (the clipping guard's
// analysis, measurePeakWithProbe in the program), or why it is not known.
using ClipPeakLookup = std::function<std::variant<MeasuredPeak, LevelProbeFailure>(
    const std::string& source, std::uint64_t offset, std::uint64_t length)>;

// The loudest sample the clipping guard found for `peakOf`'s stretch, or why
// it could not measure it (no stage: the caller gives it one).
CutResult<double> guardedPeak(const ClipPeakLookup& peakOf, const std::string& source,
                              std::uint64_t offset, std::uint64_t length);

// Runs one cut: nullopt once the clip is saved, or why it was not (for
// main() to tell and end on). A saved clip ends with one summary line on
// console.out ("Saved clip.mp3: 0:02.000, 36 kB") unless arguments.quiet.
// `peakOf` is asked only for --gain max and --no-clip, `levelsOf` only for
// --trim; without them those fail.
CutOutcome runCut(const CutArguments& arguments, Files& files,
                  const TrackLengthLookup& trackLengthMs, CutConsole& console,
                  const ClipPeakLookup& peakOf = {}, const ClipLevelLookup& levelsOf = {});

// "512 bytes", "36 kB", "200.0 MB", "1.95 GB" (powers of 1000).
std::string formatByteCount(std::int64_t bytes);

}  // namespace snipwell
