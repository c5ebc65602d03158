#pragma once
// The byte-range engine: each track of a job is the run of the source's
// bytes from the frame that holds its begin mark to the frame that holds its
// end mark (the window's Save rule, see clipRangeInSource), copied as it is;
// with a gain, the side information of the frames inside it is edited on
// the way (patched_clip_target.h). Quick and approximate, for sources the
// exact cut refuses; the tracks hold no tags of their own. Each track is
// copied, committed and reported before the next one begins, so a failure
// keeps the tracks before it.

#include <cstdint>
#include <optional>
#include <vector>

#include "clip/export/clip_range.h"
#include "clip/tracks/track_job.h"
#include "common/files.h"

namespace snipwell {

class ByteRangeTracks {
public:
    // `job` must outlive the engine; its gains are read only when the tracks
    // are written.
    ByteRangeTracks(const TrackJob& job, Files& files);

    // The source bytes the track at `index` is made of, measured once for
    // both the clipping guard and the copy. Throws ExportRefusal (see
    // clipRangeInSource) or the Files service's RuntimeError.
    TrackSourceBytes sourceBytesOf(std::size_t index);

    // Copies every track in order. Throws the Files service's RuntimeError,
    // ExportRefusal (framesUnwalkable with the MP3 layer's error when a gain's
    // frames cannot be walked), or what a callback threw.
    void write(const TrackCallbacks& callbacks);

private:
    const ClipRange& rangeOf(std::size_t index);
    void writeTrack(std::size_t index, std::uint64_t& doneBytes, const TrackCallbacks& callbacks);

    const TrackJob& job_;
    Files& files_;
    std::vector<std::optional<ClipRange>> ranges_;
};

}  // namespace snipwell
