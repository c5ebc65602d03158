#pragma once
// The audio frames of an MP3 file in the order they play, numbered from 0:
// the tags at both ends are stepped over, and a Xing/Info frame, which holds
// a summary of the stream and plays nothing, is not one of them. What the
// first frame tells about the whole stream (sample rate, frame size in
// samples, the gapless trim an info frame declares) is known before the walk.

#include <cstdint>
#include <functional>
#include <optional>

#include "mp3/block_reader.h"
#include "mp3/frame_walker.h"
#include "mp3/info_frame.h"
#include "mp3/mp3_error.h"
#include "mp3/tag_layout.h"

namespace snipwell::mp3 {

struct AudioStream {
    TagLayout layout;
    WalkedFrame first;  // the stream's first frame: the info frame, where there is one
    InfoFrame info;
    std::uint32_t sampleRate = 0;
    std::uint32_t samplesPerFrame = 0;
    // Samples of the frames' output that a gapless decode of the stream
    // drops before its first sample (the encoder delay and the decoder's
    // own delay); 0 without gapless information.
    std::uint64_t lead = 0;

    // The samples a gapless decode plays from a stream of `audioFrames`
    // frames: what they put out less the gapless trim at both ends. A
    // stream cut short of the frames its info frame declares has lost its
    // padded end, so only its start is trimmed.
    std::uint64_t playedSamples(std::uint64_t audioFrames) const;
};

class AudioFrames {
public:
    // Finds the stream's first frame and reads its info frame. noAudio,
    // freeFormat or the reader's failure when there is no stream to walk.
    static Mp3Result<AudioFrames> open(BlockReader& file, OtherStreams others);

    const AudioStream& stream() const { return stream_; }

    // Called with each audio frame and its number; returns false to stop.
    using Visit = std::function<bool(std::uint64_t index, const WalkedFrame& frame)>;

    // nullopt when the stream ended or `visit` stopped the walk; otherwise
    // why the walk could not go on (see FrameWalker::walk).
    std::optional<Mp3Error> walk(const Visit& visit);

private:
    AudioFrames(AudioStream stream, FrameWalker walker)
        : stream_(std::move(stream)), walker_(walker) {}

    AudioStream stream_;
    FrameWalker walker_;
};

}  // namespace snipwell::mp3
