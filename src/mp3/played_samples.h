#pragma once
// How many samples a gapless decoder plays of a stream's frames: all of
// them, less the encoder delay and the decoder's own delay at the start and
// the end padding (less that decoder delay) at the end, where an info frame
// declares them. A file cut short has lost its padded end, so only its start
// is trimmed.

#include <cstdint>

#include "mp3/audio_frames.h"

namespace snipwell::mp3 {

// Per channel, for `audioFrames` frames of `stream`.
std::uint64_t playedSamples(const AudioStream& stream, std::uint64_t audioFrames);

}  // namespace snipwell::mp3
