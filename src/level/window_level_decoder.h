#pragma once
// The RMS level of each short window of a stretch of an MP3 file, both
// channels together, for the silence split and the trim: one decode, and
// nothing kept of the samples but one number a window.

#include <cstdint>
#include <variant>

#include "level/stretch_decoding.h"
#include "level/window_levels.h"

namespace snipwell::level {

struct DecodedLevels {
    // The frame the first window starts with; windows count every sample of
    // every frame from there (the encoder delay too), so a caller who knows
    // the frame's place in the stream knows each window's.
    std::uint64_t firstFrameOffset = 0;
    long sampleRate = 0;
    int channels = 0;
    WindowLevels levels;  // totalSamples: the samples of the frames measured
};

// The levels of the frames that start inside `stretch`, of the samples
// `windowing` picks (counted from the first frame's start); the last frame
// is decoded whole even where it runs past the stretch's end, so two
// stretches that meet at a frame's start measure every frame once.
// `progress` hears of each block decoded.
std::variant<DecodedLevels, DecodeFailure> decodeWindowLevels(int fd, const ByteStretch& stretch,
                                                              const LevelWindowing& windowing,
                                                              const DecodeProgress& progress = {});

}  // namespace snipwell::level
