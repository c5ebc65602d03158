#pragma once
// Walks the frames of one MPEG audio stream, front to back, stepping over
// junk between frames the way a decoder resynchronises. Every reader of MP3
// audio in the program walks through here: the length measure, the exact
// cut and the split.
//
// A stream is believed once four frames follow each other with nothing
// between them, or when its frames run exactly to the end of the audio.
// Random bytes pass that test with a chance far below one in a billion.

#include <cstdint>
#include <functional>
#include <optional>

#include "mp3/block_reader.h"
#include "mp3/frame_header.h"
#include "mp3/mp3_error.h"
#include "mp3/tag_layout.h"

namespace snipwell::mp3 {

struct WalkedFrame {
    std::uint64_t offset = 0;
    std::uint32_t word = 0;  // the header as read, big-endian
    FrameHeader header;
};

// What to do with frames of another stream (another version, layer or
// sample rate) found after junk: a player skips them and goes on looking
// for its own stream; a cut refuses, since no clip of such a file is exact.
enum class OtherStreams : std::uint8_t { skip, refuse };

class FrameWalker {
public:
    // Finds the first frame of the stream in `audio`. noAudio when there is
    // none, freeFormat when the audio starts with free-format frames (which
    // do not state their length), or the reader's failure.
    static Mp3Result<FrameWalker> start(BlockReader& file, ByteSpan audio, OtherStreams others);

    const WalkedFrame& first() const { return first_; }

    // Called with each frame in stream order; returns false to stop there.
    using Visit = std::function<bool(const WalkedFrame&)>;

    // Hands `visit` every frame from the first on. nullopt when the stream
    // ended or `visit` stopped the walk; otherwise why the walk could not go
    // on: streamChanges (with OtherStreams::refuse), or the reader's failure.
    std::optional<Mp3Error> walk(const Visit& visit);

private:
    FrameWalker(BlockReader& file, ByteSpan audio, OtherStreams others);

    std::optional<FrameHeader> frameAt(std::uint64_t offset, std::uint32_t identity);
    bool chainStartsAt(std::uint64_t offset, std::uint32_t identity);
    std::optional<std::uint64_t> findSync(std::uint64_t from, std::uint32_t identity);
    bool freeFormatChainAt(std::uint64_t offset);

    BlockReader* file_;
    ByteSpan audio_;
    OtherStreams others_;
    std::uint32_t identity_ = 0;
    WalkedFrame first_;
};

}  // namespace snipwell::mp3
