#pragma once
// The encoder's info frame some MP3 files start with ("Xing", "Info" or
// "VBRI"). It looks like an audio frame but holds a summary of the stream.
// Decoders skip a Xing/Info frame, but play a VBRI frame as a frame of
// silence, so only the former is left out of the playing time. A LAME
// extension after the Xing/Info fields names the encoder and states how many
// samples of encoder delay and end padding the stream holds.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "mp3/frame_header.h"

namespace snipwell::mp3 {

enum class InfoTagKind : std::uint8_t { none, xing, info, vbri };

// The fields of a LAME extension that say who encoded the stream and how.
struct LameExtension {
    std::size_t offset = 0;  // where it starts inside the frame
    std::array<std::uint8_t, 9> encoder{};
    std::uint8_t revisionAndMethod = 0;
    std::uint8_t lowpassHundredsHz = 0;
    std::uint8_t miscFlags = 0;  // noise shaping, stereo mode, source rate
};

struct InfoFrame {
    InfoTagKind kind = InfoTagKind::none;
    bool skippedByDecoder = false;     // a Xing/Info frame, which does not play
    std::uint32_t declaredFrames = 0;  // audio frames the encoder wrote; 0 if not stated
    std::uint32_t quality = 0;         // the Xing quality field, where present
    std::optional<LameExtension> lame;
    // Delay and padding, from a LAME extension of an encoder known to write
    // them in this layout.
    bool hasGaplessInfo = false;
    std::uint32_t encoderDelay = 0;  // samples to drop at the start
    std::uint32_t endPadding = 0;    // samples to drop at the end
};

// `frame` holds the whole first frame, `header` is its parsed header.
InfoFrame readInfoFrame(const std::uint8_t* frame, const FrameHeader& header);

// Offsets inside a LAME extension.
inline constexpr std::uint32_t lameExtensionBytes = 36;
inline constexpr std::uint32_t lameDelayPaddingOffset = 21;
inline constexpr std::uint32_t lameMusicLengthOffset = 28;
inline constexpr std::uint32_t lameMusicCrcOffset = 32;
inline constexpr std::uint32_t lameTagCrcOffset = 34;

// Flag bits of the Xing/Info fields that precede the LAME extension.
inline constexpr std::uint32_t xingFramesFlag = 1;
inline constexpr std::uint32_t xingBytesFlag = 2;
inline constexpr std::uint32_t xingTocFlag = 4;
inline constexpr std::uint32_t xingQualityFlag = 8;

// Where a VBRI tag starts: after the header and 32 bytes, whatever the stream.
inline constexpr std::uint32_t vbriTagOffset = 36;

}  // namespace snipwell::mp3
