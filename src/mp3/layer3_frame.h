#pragma once
// What cutting needs from a Layer III frame beyond its header: where its main
// data begins in the bit reservoir, and new headers of the same stream at
// another bitrate for frames a cut writes itself.

#include <cstdint>
#include <optional>

#include "mp3/frame_header.h"

namespace snipwell::mp3 {

// The largest distance main_data_begin can reach back: 9 bits for MPEG-1,
// 8 bits for MPEG-2 and 2.5.
std::uint32_t maxReservoirBytes(MpegVersion version);

// How many bytes before this frame's own main data its audio begins, read
// from the first field of the side information (after the CRC when the frame
// carries one). `frame` holds at least the header and side information.
std::uint32_t mainDataBegin(const std::uint8_t* frame, const FrameHeader& header);

// Bytes of the frame after its header, CRC and side information: the part
// that feeds the bit reservoir.
inline std::uint32_t payloadBytes(const FrameHeader& header) {
    return header.frameBytes - header.sideInfoEnd();
}

struct BuiltHeader {
    std::uint32_t word = 0;
    FrameHeader header;
};

// A header of the same stream as `streamWord` (version, layer, sample rate,
// channel mode, flags), without CRC and padding, at the smallest bitrate
// whose frame holds `bytesAfterSideInfo` bytes after the side information;
// `preferredBitrateIndex` is taken when it is large enough. Empty when no
// bitrate is large enough.
std::optional<BuiltHeader> headerHolding(std::uint32_t streamWord, std::uint32_t bytesAfterSideInfo,
                                         std::uint32_t preferredBitrateIndex = 0);

}  // namespace snipwell::mp3
