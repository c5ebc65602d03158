#pragma once
// What the exact cut learns about its source before the walk: where the
// audio lies between the tags, the first frame and what its info frame says,
// and how far into the frames' output the source's own gapless decode starts
// (mp3::AudioStream), with the stream's audio frames ready to be walked.

#include "clip/exact/exact_refusal.h"
#include "mp3/audio_frames.h"
#include "mp3/block_reader.h"

namespace snipwell::exact {

using SourceStream = mp3::AudioStream;

// Refuses what cannot be cut exactly: no MPEG audio, free-format frames,
// Layer I and II. Another stream later on is refused by the walk.
ExactResult<mp3::AudioFrames> openSourceStream(mp3::BlockReader& file);

}  // namespace snipwell::exact
