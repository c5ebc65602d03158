#pragma once
// A clip that is exact to the sample, made without decoding or re-encoding.
//
// The clip plays, in a decoder that honours the encoder delay and padding of
// a LAME info frame, exactly the samples the source plays from
// ⌊beginMs·rate/1000⌋ up to (not including) ⌊endMs·rate/1000⌋. It is made of:
//   the source's ID3v2 tags (a TLEN frame updated to the clip's length);
//   a fresh Xing/Info frame whose delay and padding trim the clip exactly;
//   a priming frame that plays silence and carries the bit-reservoir bytes
//     the first copied frame reaches back to;
//   the source's frames, unchanged, from at least 1,152 samples before the
//     begin (so the decoder has settled) to the frame of the last wanted sample;
//   the source's ID3v1 tag.
// Only the first and last frames need work; the rest is a copy, made during
// the one walk over the source's frames that also checks the whole stream:
// the clip is a job of one track for the exact engine (exact_tracks.h).
//
// The clip is written through Files::createTarget: into a temporary file
// beside the target, which takes the target's name only once it is complete
// and synced. On any failure or refusal the target is left as it was.

#include <cstdint>
#include <functional>
#include <string>

#include "clip/exact/exact_clip.h"
#include "clip/exact/exact_refusal.h"
#include "common/files.h"
#include "mp3/gain_plan.h"

namespace snipwell::exact {

struct ExactCutRequest {
    std::string sourcePath;
    std::int64_t beginMs = 0;
    std::int64_t endMs = 0;
    std::string targetPath;
};

// Called now and then with the share of the work done, from 0 to 1.
using ExactCutProgress = std::function<void(double done)>;

// Refuses what cannot be cut exactly: free-format streams, Layer I and II, a
// stream whose sample rate changes, marks outside the track or not in order,
// and a target that is the source itself. A target that cannot be written
// throws the Files service's RuntimeError; whatever `progress` throws ends
// the cut and is passed on. Either way the target is left as it was.
// `gain` makes the clip louder, quieter or faded through each frame's
// global_gain, and leaves it exact (see ExactTrackWriter::setGain in
// track_writer.h).
ExactResult<ExactClip> cutExactClip(const ExactCutRequest& request, Files& files,
                                    const ExactCutProgress& progress = {},
                                    const mp3::GainSettings& gain = {});

}  // namespace snipwell::exact
