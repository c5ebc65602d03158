#pragma once
// Walks the frames of one MPEG audio stream, front to back, stepping over junk
// between frames the way a decoder resynchronises. It refuses what an exact
// cut cannot handle: free-format frames, Layer I and II, and a stream whose
// sample rate (or MPEG version) changes part way.

#include <cstdint>
#include <optional>
#include <string>

#include "mci/block_file_reader.h"
#include "mci/mp3_tags.h"
#include "mci/mpeg_frame_header.h"

namespace snipwell::exact {

struct WalkedFrame {
    std::uint64_t offset = 0;
    std::uint32_t word = 0;
    mci::MpegFrameHeader header;
};

class Mp3FrameWalker {
public:
    Mp3FrameWalker(mci::BlockFileReader& file, mci::ByteSpan audio);

    // Finds the stream's first frame; false (with refusal() set) when there is
    // none or the stream is of a kind we refuse.
    bool start();
    const WalkedFrame& firstFrame() const { return first_; }

    // The frame at the walk's position, then steps past it. Empty at the end
    // of the stream, or on a refusal (see refusal()).
    std::optional<WalkedFrame> next();

    // Continues the walk at a frame found earlier, after start().
    void resumeAt(std::uint64_t offset) { at_ = offset; }

    const std::string& refusal() const { return refusal_; }
    bool refused() const { return !refusal_.empty(); }

private:
    std::optional<mci::MpegFrameHeader> frameAt(std::uint64_t offset, std::uint32_t identity);
    bool chainStartsAt(std::uint64_t offset, std::uint32_t identity);
    std::optional<std::uint64_t> findSync(std::uint64_t from);
    bool freeFormatChainAt(std::uint64_t offset);
    std::string describeStream(std::uint32_t word) const;

    mci::BlockFileReader& file_;
    mci::ByteSpan audio_;
    std::uint32_t identity_ = 0;
    WalkedFrame first_;
    std::uint64_t at_ = 0;
    std::string refusal_;
};

}  // namespace snipwell::exact
