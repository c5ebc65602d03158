#pragma once
// The track engine as snipwell-cut drives it, for a single clip and a split
// alike: the exact engine or the byte-range one, opened when it is first
// needed (so a question or the clipping guard's checks come first), and
// whatever either refuses, or the files refuse, returned as a CutFailure.

#include <exception>
#include <optional>

#include "clip/exact/exact_tracks.h"
#include "clip/export/byte_range_tracks.h"
#include "clip/tracks/track_job.h"
#include "common/files.h"
#include "cut/cut_failure.h"

namespace snipwell {

// Thrown by a callback of write() to stop the job because the person asked
// it to: the job ends as a failure does, with CommandRefusalKind::interrupted.
struct JobInterrupted : std::exception {
    const char* what() const noexcept override { return "interrupted"; }
};

class CutTracks {
public:
    // `job` must outlive the engine; its gains may be settled until write().
    CutTracks(const TrackJob& job, bool exactly, Files& files, ExactRefusalWording wording);

    // The source bytes of the track at `index`, for the clipping guard. The
    // failure names no stage; the caller gives it one.
    CutResult<TrackSourceBytes> sourceBytesOf(std::size_t index);

    // Writes every track (see exact_tracks.h and byte_range_tracks.h); nullopt
    // when all of them were saved.
    std::optional<CutFailure> write(const TrackCallbacks& callbacks);

private:
    CutResult<exact::ExactTracks*> exactTracks();
    CutFailure refused(const exact::ExactCutRefusal& refusal) const;
    CutFailure failed(CutCause why) const;

    const TrackJob& job_;
    bool exactly_;
    Files& files_;
    ExactRefusalWording wording_;
    std::optional<exact::ExactTracks> exact_;
    std::optional<ByteRangeTracks> bytes_;
};

}  // namespace snipwell
