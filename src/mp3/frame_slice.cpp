#include "mp3/frame_slice.h"

#include <algorithm>

#include "mp3/audio_frames.h"

namespace snipwell::mp3 {
namespace {

std::uint64_t sampleAt(std::int64_t ms, std::uint32_t rate) {
    return static_cast<std::uint64_t>(std::max<std::int64_t>(ms, 0)) * rate / 1000;
}

}  // namespace

FrameRun framesHoldingMarks(std::int64_t beginMs, std::int64_t endMs, std::uint32_t sampleRate,
                            std::uint32_t samplesPerFrame, std::uint64_t lead) {
    const std::uint64_t beginSample = sampleAt(beginMs, sampleRate);
    // The end mark is the first sample no longer wanted.
    const std::uint64_t endSample = std::max(sampleAt(endMs, sampleRate), beginSample + 1);
    return {(beginSample + lead) / samplesPerFrame, (endSample - 1 + lead) / samplesPerFrame};
}

Mp3Result<ByteSpan> findFrameSlice(BlockReader& file, std::int64_t beginMs, std::int64_t endMs) {
    // Frames of another stream after junk are stepped over, as a player
    // steps over them, so the numbering is the one playback follows.
    auto opened = AudioFrames::open(file, OtherStreams::skip);
    if (auto* error = std::get_if<Mp3Error>(&opened)) return *error;
    AudioFrames& frames = std::get<AudioFrames>(opened);
    const AudioStream& stream = frames.stream();
    const FrameRun run =
        framesHoldingMarks(beginMs, endMs, stream.sampleRate, stream.samplesPerFrame, stream.lead);

    ByteSpan slice{stream.layout.audio.end, stream.layout.audio.end};
    const auto ended = frames.walk([&](std::uint64_t index, const WalkedFrame& frame) {
        if (index == run.first) slice.begin = frame.offset;
        if (index >= run.first) slice.end = frame.offset + frame.header.frameBytes;
        return index < run.last;
    });
    if (ended) return *ended;
    return slice;
}

}  // namespace snipwell::mp3
