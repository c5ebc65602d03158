#pragma once
// A split plan's data: the album, each planned track and the plan as a
// whole. The planner (split_plan.h) fills it in; the track names read it
// without needing the planner.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "split/split_time.h"

namespace snipwell {

// What the sheet says about the whole album.
struct AlbumInfo {
    std::string title;
    std::string performer;
    std::string date;
    std::string genre;
};

struct PlannedTrack {
    int number = 0;
    std::string title;
    std::string performer;  // the track's own, else the album's
    SplitTime begin;
    SplitTime end;
    std::uint64_t beginSample = 0;  // the first sample the track plays
    std::uint64_t endSample = 0;    // one past its last
    std::string fileName;           // inside the folder
    std::string isrc;
    std::string songwriter;
    std::optional<SplitTime> pregap;
    std::vector<std::string> notes;  // told under the track's line in a dry run

    std::uint64_t samples() const { return endSample - beginSample; }
};

struct SplitPlan {
    AlbumInfo album;
    std::uint32_t sampleRate = 0;
    std::uint64_t sourceSamples = 0;
    std::vector<PlannedTrack> tracks;
    // Set when the first track starts after the source's beginning: that
    // stretch goes into no track.
    std::uint64_t leadingSamplesLeftOut = 0;
    // What goes into no track after the first one begins: the gaps between
    // tracks with ends of their own (labels), and the stretch after the last.
    std::uint64_t laterSamplesLeftOut = 0;
};

}  // namespace snipwell
