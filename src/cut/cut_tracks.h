#pragma once
// The track engine as snipwell-cut drives it, for a single clip and a split
// alike: the exact engine or the byte-range one, opened when it is first
// needed (so a question or the clipping guard's checks come first), and
// whatever either refuses put into the command's words as a RuntimeError.

#include <optional>
#include <string>

#include "clip/exact/exact_refusal.h"
#include "clip/exact/exact_tracks.h"
#include "clip/export/byte_range_tracks.h"
#include "clip/tracks/track_job.h"
#include "common/files.h"

namespace snipwell {

// How an exact refusal is told.
enum class ExactRefusalWording : std::uint8_t {
    plain,
    // Where the byte-range rule could still cut the file, the reason says so.
    suggestingBytes,
};

class CutTracks {
public:
    // `job` must outlive the engine; its gains may be settled until write().
    CutTracks(const TrackJob& job, bool exactly, Files& files, ExactRefusalWording wording);

    // The source bytes of the track at `index`, for the clipping guard.
    TrackSourceBytes sourceBytesOf(std::size_t index);

    // Writes every track (see exact_tracks.h and byte_range_tracks.h).
    void write(const TrackCallbacks& callbacks);

private:
    exact::ExactTracks& exactTracks();
    [[noreturn]] void refuse(const exact::ExactCutRefusal& refusal) const;

    const TrackJob& job_;
    bool exactly_;
    Files& files_;
    ExactRefusalWording wording_;
    std::optional<exact::ExactTracks> exact_;
    std::optional<ByteRangeTracks> bytes_;
};

// The reason for an exact refusal, worded as `wording` asks.
std::string describeExactTrackRefusal(const exact::ExactCutRefusal& refusal,
                                      const std::string& source, ExactRefusalWording wording);

}  // namespace snipwell
