#pragma once
// A split as pure data: which tracks a whole file is cut into, where each
// begins and ends (as given, in milliseconds and in samples), what each is
// called and what its tags say. Planning writes nothing; --dry-run prints a
// plan, and the split writer carries one out.
//
// Every source of split points (a cue sheet, split times, a track length, a
// label file) becomes a list of TrackSpecs, and one planner checks them all
// against the source the same way.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "cut/cue_sheet.h"
#include "cut/label_file.h"
#include "cut/planned_tracks.h"
#include "cut/split_time.h"

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

// Track specs from each source of split points.
std::vector<TrackSpec> tracksFromCueSheet(const CueSheet& sheet);
std::vector<TrackSpec> tracksFromLabels(const std::vector<Label>& labels);
// Tracks from 0 to the first point, between the points, and from the last to
// the end. Points need not be checked; the planner refuses bad ones.
std::vector<TrackSpec> tracksFromSplitPoints(const std::vector<SplitTime>& points);
// Tracks `lengthMs` long from 0, the last one shorter; no empty last track.
std::vector<TrackSpec> tracksOfLength(std::int64_t lengthMs, const SourceLength& source);

AlbumInfo albumOf(const CueSheet& sheet);

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
