#pragma once
// A split as pure data: which tracks a whole file is cut into, where each
// begins and ends (as given, in milliseconds and in samples), what each is
// called and what its tags say. Planning writes nothing; --dry-run prints a
// plan, and the split writer carries one out.
//
// Every source of split points (split_point_source.h) gives a list of
// TrackSpecs, and one planner checks them all against the source the same
// way. The planner knows no source.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "split/planned_tracks.h"
#include "split/split_time.h"

namespace snipwell {

// More tracks than a cue sheet can number are refused: thousands of files
// are far more likely a slip (a length of 7 ms for 7 s) than a wish.
inline constexpr std::size_t kMostTracks = 999;

struct TrackSpec {
    int number = 0;
    SplitTime begin;
    std::optional<SplitTime> end;  // none: up to where the next track begins, or the source's end
    std::string title;
    std::string performer;
    // How a refusal names the track: "line 12: track 3", "track 3".
    std::string where;
    // What a cue sheet said of the track besides, for a sheet written again.
    std::string isrc;
    std::string songwriter;
    std::optional<SplitTime> pregap;
    // What a dry run tells under the track's line: why it begins where it
    // does (the silence it was split in), what a trim took off.
    std::vector<std::string> notes;
};

// The source as a gapless decoder plays it.
struct SourceLength {
    std::uint32_t sampleRate = 0;
    std::uint64_t samples = 0;  // per channel

    SplitTime end() const { return {static_cast<std::int64_t>(samples), sampleRate}; }
};

struct SplitPlanError {
    std::string reason;
};

// Track `number`, beginning at `begin`, called "track N" in refusals.
TrackSpec numberedTrack(int number, SplitTime begin);

// Places the tracks on the source's samples, checks that each begins before
// the source ends, ends where it may and holds at least one sample, and
// names it by `nameTemplate` (track_names.h). A track without an end runs to
// the next track's begin, the last to the source's end.
std::variant<SplitPlan, SplitPlanError> planSplit(const std::vector<TrackSpec>& specs,
                                                  const AlbumInfo& album,
                                                  const SourceLength& source,
                                                  const std::string& nameTemplate);

// The length of `samples` at `rate`, rounded to the nearest millisecond.
std::int64_t samplesToMilliseconds(std::uint64_t samples, std::uint32_t rate);

}  // namespace snipwell
