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

#include "common/files.h"
#include "cut/cut_arguments.h"
#include "cut/cut_command.h"
#include "cut/split_services.h"
#include "split/track_tags.h"

namespace snipwell {

// Runs a split: nullopt once every track (and plan file) is saved, or why
// it stopped, for main() to tell and end on.
CutOutcome runSplit(const CutArguments& arguments, Files& files, const SplitServices& services,
                    CutConsole& console);

// What the whole job may write: every track's audio (at most the source's
// audio once over, plus the few frames neighbouring tracks share and the
// frames each track adds) and its tags.
std::uint64_t splitBytesNeeded(std::uint64_t sourceBytes, const SourceTags& tags,
                               std::size_t tracks);

}  // namespace snipwell
