#pragma once
// The exact split in one pass: one walk over the source's frames, each frame
// handed to the one or two tracks open at that moment (a track's copy starts
// a few frames before its begin, so neighbouring tracks share a few frames).
// A track is opened when the walk reaches the first frame it needs, written
// through its own Files::createTarget, and committed (synced, then renamed
// into place) as soon as its last frame has passed, so finished tracks are
// on the disk while the walk goes on. Memory stays flat: a buffer per open
// track and the walk's own.

#include <string>

#include "cut/split_writer.h"
#include "split/split_plan.h"

namespace snipwell {

// The source as the exact split sees it: every frame walked once, another
// stream after junk refused, the played samples counted as the exact cut
// counts them. Throws RuntimeError with the exact cut's reason; where the
// byte-range rule could still split the file, the reason says so.
SourceLength measureExactSource(const std::string& path);

// The SplitWriter of the exact split.
void writeExactTracks(const SplitJob& job, Files& files, const SplitCallbacks& callbacks);

}  // namespace snipwell
