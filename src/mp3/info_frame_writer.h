#pragma once
// The info frame the exact cut puts in front of a clip: a frame of the clip's
// stream that decoders skip, holding a "Xing" (variable bitrate) or "Info"
// (constant bitrate) summary and a LAME extension with the encoder delay and
// end padding that make a decoder play exactly the wanted samples.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "mp3/info_frame.h"

namespace snipwell::mp3 {

// The delay and padding fields are 12 bits wide.
inline constexpr std::uint32_t maxGaplessField = 4095;

// Where the fields lie in a frame whose side information ends at `sideInfoEnd`.
inline constexpr std::uint32_t xingFieldsBytes = 4 + 4 + 4 + 4 + 100 + 4;

struct InfoFrameFields {
    bool variableBitrate = false;   // "Xing" when true, else "Info"
    std::uint32_t audioFrames = 0;  // frames after the info frame
    std::uint32_t xingBytes = 0;    // the Xing field: the stream's bytes (see exact_cut.cpp)
    std::uint32_t musicBytes = 0;   // the LAME field: the info frame plus all audio frames
    std::array<std::uint8_t, 100> toc{};
    std::uint32_t quality = 0;  // the Xing quality field (0 best .. 100)
    std::string encoder;        // nine characters at most, padded with blanks
    std::uint8_t revisionAndMethod = 0;
    std::uint8_t lowpassHundredsHz = 0;
    std::uint8_t bitrateKbps = 0;  // as the LAME extension states it (255 for 255 and above)
    std::uint8_t miscFlags = 0;    // noise shaping, stereo mode, source rate
    std::uint32_t encoderDelay = 0;
    std::uint32_t endPadding = 0;
    std::uint16_t musicCrc = 0;  // CRC-16 over all audio frames after the info frame
};

// The whole frame, its header `headerWord` (no CRC) and side information all
// zero, or nullopt when the delay or padding does not fit in 12 bits or the
// frame is too small for the fields. `headerWord` must come from
// headerHolding(…, xingFieldsBytes + lameExtensionBytes).
std::optional<std::vector<std::uint8_t>> buildInfoFrame(std::uint32_t headerWord,
                                                        const InfoFrameFields& fields);

}  // namespace snipwell::mp3
