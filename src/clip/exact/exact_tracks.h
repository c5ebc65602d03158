#pragma once
// The exact engine: every track of a job cut exactly to the sample in one
// walk over the source's frames, each frame handed to the one or two tracks
// open at that moment (a track's copy starts a few frames before its begin,
// so neighbouring tracks share a few frames). Each track is written through
// its own Files::createTarget, into a temporary file that takes the track's
// name only once it is complete and synced; memory stays flat: a buffer per
// open track and the walk's own.
//
// With TrackCommits::afterTheWalk every track's file is made before the
// walk, and the tracks are finished and committed once the walk has checked
// the whole source. With TrackCommits::asTheyFinish a track is begun when the
// walk reaches the first frame it needs and committed (on a thread of its
// own, see TrackCommitter) as soon as its last frame has passed, so finished
// tracks are on the disk while the walk goes on.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "clip/exact/exact_clip.h"
#include "clip/exact/exact_refusal.h"
#include "clip/tracks/track_job.h"
#include "common/files.h"

namespace snipwell::exact {

class ExactTracks {
public:
    // Opens the source and plans every track of `job`, which must outlive
    // the engine (its gains are read only when the tracks are written).
    // Refuses marks out of order, a source that is no stream of MP3 frames,
    // and one whose sample rate is not the job's.
    static ExactResult<ExactTracks> open(const TrackJob& job);

    ExactTracks(ExactTracks&&) noexcept;
    ExactTracks& operator=(ExactTracks&&) noexcept;
    ~ExactTracks();

    // Where the frames the track at `index` copies lie in the source, found
    // by walking up to them. endPastTrack when the source ends before.
    ExactResult<TrackSourceBytes> sourceBytesOf(std::size_t index);

    // The one walk that writes every track. A refusal leaves no unfinished
    // track behind (tracks already committed stay). A target that cannot be
    // written throws the Files service's RuntimeError, and whatever a
    // callback throws ends the walk the same way; `failed` is told first.
    ExactResult<std::vector<ExactClip>> write(Files& files, const TrackCallbacks& callbacks);

private:
    // The opened source, its stream and the tracks' plans.
    struct Source;

    ExactTracks(const TrackJob& job, std::unique_ptr<Source> source);

    const TrackJob* job_;
    std::unique_ptr<Source> source_;
};

// The source as the exact engine walks it: its sample rate and the samples
// a gapless decode plays.
struct ExactSourceLength {
    std::uint32_t sampleRate = 0;
    std::uint64_t samples = 0;
};

// Every frame walked once, another stream after junk refused, the played
// samples counted as the exact engine counts them.
ExactResult<ExactSourceLength> measureExactSource(const std::string& path);

}  // namespace snipwell::exact
