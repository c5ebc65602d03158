#pragma once
// The tags each track of a split starts and ends with. The ID3v2.4 tag holds
// the source's own frames (cover art and all) except those that describe the
// whole file or that the track replaces, then the track's TIT2, TPE1
// (the track's performer, else the sheet's), TALB (the sheet's title),
// TRCK n/N, TDRC and TCON (REM DATE and REM GENRE) and its TLEN. Where the
// sheet says nothing, the source's own album, performer, date and genre
// stay. A source with an ID3v1 tag gives each track one with the same
// fields, as far as they fit.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "mp3/id3v1_tag_builder.h"
#include "mp3/id3v2_frames.h"
#include "split/split_plan.h"

namespace snipwell {

struct SourceTags {
    std::vector<mp3::Id3v2Frame> frames;  // of every ID3v2 tag in front, in order
    std::uint64_t id3v2Bytes = 0;         // what those tags take in the source
    std::optional<std::array<std::uint8_t, mp3::kId3v1Bytes>> id3v1;
};

std::vector<std::uint8_t> trackId3v2Tag(const SourceTags& source, const SplitPlan& plan,
                                        const PlannedTrack& track);

std::optional<std::array<std::uint8_t, mp3::kId3v1Bytes>> trackId3v1Tag(const SourceTags& source,
                                                                        const SplitPlan& plan,
                                                                        const PlannedTrack& track);

}  // namespace snipwell
