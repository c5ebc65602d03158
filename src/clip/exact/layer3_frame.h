#pragma once
// What the exact cut needs from a Layer III frame beyond its header: where
// its main data begins in the bit reservoir, and new headers of the same
// stream at another bitrate for the frames the cut writes itself.

#include <cstdint>
#include <optional>

#include "mci/mpeg_frame_header.h"

namespace snipwell::exact {

using mci::MpegFrameHeader;
using mci::MpegVersion;

// The largest distance main_data_begin can reach back: 9 bits for MPEG-1,
// 8 bits for MPEG-2 and 2.5.
std::uint32_t maxReservoirBytes(MpegVersion version);

// How many bytes before this frame's own main data its audio begins, read
// from the first field of the side information (after the CRC when the frame
// carries one). `frame` holds at least the header and side information.
std::uint32_t mainDataBegin(const std::uint8_t* frame, const MpegFrameHeader& header);

// Bytes of the frame after its header, CRC and side information: the part
// that feeds the bit reservoir.
inline std::uint32_t payloadBytes(const MpegFrameHeader& header) {
    return header.frameBytes - header.sideInfoEnd();
}

struct BuiltHeader {
    std::uint32_t word = 0;
    MpegFrameHeader header;
};

// A header of the same stream as `streamWord` (version, layer, sample rate,
// channel mode, flags), without CRC and padding, at the smallest bitrate
// whose frame holds `bytesAfterSideInfo` bytes after the side information;
// `preferredBitrateIndex` is taken when it is large enough. Empty when no
// bitrate is large enough.
std::optional<BuiltHeader> headerHolding(std::uint32_t streamWord, std::uint32_t bytesAfterSideInfo,
                                         std::uint32_t preferredBitrateIndex = 0);

inline std::uint32_t bitrateIndexOf(std::uint32_t word) { return (word >> 12) & 15u; }

// The header that a 32-bit header word (as read big-endian) stands for;
// empty when it is no valid frame header.
std::optional<MpegFrameHeader> headerOfWord(std::uint32_t word);

// A header with sync, a valid version, layer and sample rate, but bitrate
// index 0: a free-format frame, whose length the header does not tell.
bool isFreeFormatHeader(std::uint32_t word);

}  // namespace snipwell::exact
