#pragma once
// Decoding a stretch of an MP3 file with libmpg123 to floating point, frame
// by frame, for whatever is measured of the samples (the peak, the level of
// short windows). A stream that already decodes beyond full scale shows by
// how much instead of being clipped at 1.0.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace snipwell::level {

struct ByteStretch {
    std::uint64_t offset = 0;
    std::optional<std::uint64_t> length;  // to the end of the file when empty
};

struct DecodeFailure {
    std::string reason;
};

// One decoded frame: `values` floats, the channels interleaved.
struct DecodedFrame {
    std::uint64_t offset = 0;  // where the frame starts in the file
    const float* samples = nullptr;
    std::size_t values = 0;
    int channels = 1;
    long sampleRate = 0;
};

// Which frames to hand on, by where they start in the file, and how far to
// read. Reading a little past the last counted frame's start lets it be
// decoded whole.
struct FrameWindow {
    std::uint64_t countFrom = 0;
    std::uint64_t countUntil = UINT64_MAX;
    std::uint64_t readUntil = UINT64_MAX;
    // Every sample of every frame, without leaving out the encoder delay
    // and padding an info frame names: then a frame's samples are the same
    // whether or not the decoder saw the info frame, so stretches decoded
    // apart line up with a decode of the whole.
    bool wholeFrames = false;
};

using FrameSink = std::function<void(const DecodedFrame&)>;

// Told how many bytes have been read and decoded so far, after each block.
using DecodeProgress = std::function<void(std::uint64_t bytes)>;

// Decodes the file open as `fd` from a little before `frames.countFrom`
// (so the first counted frame has the bit reservoir it needs) and hands
// `sink` each frame that starts in [countFrom, countUntil). Damaged frames
// are skipped the way a player skips them; only a file the decoder cannot
// read at all fails. `progress`, when given, hears of each block decoded.
std::optional<DecodeFailure> decodeFrames(int fd, const FrameWindow& frames, const FrameSink& sink,
                                          const DecodeProgress& progress = {});

}  // namespace snipwell::level
