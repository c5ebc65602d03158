#pragma once
// snipwell-cut's split mode without its process: the plan made from a cue
// sheet, split times, a track length or a label file; every check that can
// be made before writing; then the tracks, one summary line each.
//
// All or nothing up front: the sheet, the times, the names, existing tracks
// (refused unless --force, or asked about on a terminal) and the free space
// for the whole job are checked before FOLDER is made or anything written.
// A failure during the job stops it; the unfinished track leaves nothing
// behind, the finished ones stay, and the message names them.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "common/files.h"
#include "cut/cut_arguments.h"
#include "cut/cut_command.h"
#include "cut/split_plan.h"
#include "cut/split_writer.h"
#include "cut/track_tags.h"

namespace snipwell {

// What a split reaches outside the Files service; main() hands in the real
// ones, tests scripted ones.
struct SplitServices {
    // The source as a gapless decoder plays it, walked as the exact split
    // (`exactly`) or the byte-range split will walk it; throws RuntimeError
    // with the reason when it has no such length or cannot be split so.
    std::function<SourceLength(const std::string& source, bool exactly)> measure;
    // The source's tags; throws RuntimeError when they cannot be read.
    std::function<SourceTags(const std::string& source)> readTags;
    // Bytes free for an unprivileged writer where `folder` is, or would be
    // made; nullopt when the system does not say.
    std::function<std::optional<std::uint64_t>(const std::string& folder)> freeBytes;
    // Makes `folder` and any folder above it that is missing; throws
    // RuntimeError(FileError) when it cannot.
    std::function<void(const std::string& folder)> makeFolder;
    // The exact split; the byte-range one is writeByteRangeTracks.
    SplitWriter exactWriter;
    // The clipping guard's analysis, for --gain max and --no-clip.
    ClipPeakLookup peakOf;
    // Whether the person asked the split to stop (Ctrl-C); never when unset.
    std::function<bool()> interrupted;
};

// Runs a split and returns the exit status, as runCut does.
int runSplit(const CutArguments& arguments, Files& files, const SplitServices& services,
             CutConsole& console);

// What the whole job may write: every track's audio (at most the source's
// audio once over, plus the few frames neighbouring tracks share and the
// frames each track adds) and its tags.
std::uint64_t splitBytesNeeded(std::uint64_t sourceBytes, const SourceTags& tags,
                               std::size_t tracks);

}  // namespace snipwell
