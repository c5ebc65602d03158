#pragma once
// What carries out a split plan: the tracks written one after another into
// FOLDER, each through Files::createTarget, so each appears under its name
// only once it is complete and synced. A failure part-way throws
// RuntimeError with the reason; the unfinished track's temporary file is
// gone by then, and the tracks reported through `saved` stay.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/files.h"
#include "mp3/gain_plan.h"
#include "split/split_plan.h"
#include "split/track_tags.h"

namespace snipwell {

struct SplitJob {
    const SplitPlan& plan;
    std::string sourcePath;
    std::vector<std::string> trackPaths;  // one per planned track
    const SourceTags& tags;
    // Louder, quieter or faded, every track alike (none by default).
    mp3::GainSettings gain{};
};

struct SplitCallbacks {
    // The share of the whole job done, from 0 to 1.
    std::function<void(double done)> progress;
    // After the track at `index` is committed, with its size in bytes.
    std::function<void(std::size_t index, std::uint64_t bytes)> saved;
    // With a gain, before the track at `index` is committed: how many of its
    // granule gains had to be clamped to 0…255.
    std::function<void(std::size_t index, std::uint64_t clampedGranules)> clamped;
    // Before a failure is thrown: the track at `index` is the one it befell.
    // A writer that commits each track before it begins the next need not
    // call it; the first track not reported `saved` is then the one.
    std::function<void(std::size_t index)> failed;
};

using SplitWriter = std::function<void(const SplitJob&, Files&, const SplitCallbacks&)>;

// The window's byte-range rule for each track, as a single snipwell-cut
// writes it: quick and approximate, for sources the exact cut refuses. The
// tracks hold the source's bytes only, without tags of their own.
void writeByteRangeTracks(const SplitJob& job, Files& files, const SplitCallbacks& callbacks);

}  // namespace snipwell
