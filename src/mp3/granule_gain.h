#pragma once
// The loudness of a Layer III frame without decoding it. Each granule (576
// samples) of each channel carries an 8-bit global_gain in the frame's side
// information; the decoder scales that granule's samples by
// 2^((global_gain - 210) / 4), so one step is 1.5 dB. Changing it touches no
// other bit: the main data, the bit reservoir and the frame's length stay as
// they are. Only the frame's own CRC, when it carries one, must follow.
//
// Where global_gain lies, in bits from the start of the side information:
//   MPEG-1:     main_data_begin 9, private bits 5 (mono) or 3, scfsi 4 per
//               channel, then per granule and channel 59 bits, of which
//               part2_3_length 12 and big_values 9 come before global_gain.
//   MPEG-2/2.5: main_data_begin 8, private bits 1 (mono) or 2, then one
//               granule of 63 bits per channel, laid out the same way up to
//               global_gain.

#include <cstdint>
#include <span>

namespace snipwell::mp3 {

// One step of global_gain in decibels.
inline constexpr double decibelsPerGainStep = 1.5;

// What of a frame's header decides where its side information lies.
struct SideInfoShape {
    bool mpeg1 = true;  // two granules per frame and MPEG-1 field widths; else MPEG-2 or 2.5
    bool mono = false;
    bool hasCrc = false;

    int granules() const { return mpeg1 ? 2 : 1; }
    int channels() const { return mono ? 1 : 2; }
    // 17 or 32 bytes for MPEG-1, 9 or 17 for MPEG-2 and 2.5.
    std::uint32_t sideInfoBytes() const;
    // After the header, and after the CRC word when the frame carries one.
    std::uint32_t sideInfoOffset() const { return hasCrc ? 6u : 4u; }
    // Header, CRC and side information: what a frame buffer must hold.
    std::uint32_t bytesThroughSideInfo() const { return sideInfoOffset() + sideInfoBytes(); }
};

// The shape of the Layer III frame whose four header bytes start at `frame`
// (the caller has checked it is one).
SideInfoShape sideInfoShapeOf(const std::uint8_t* frame);

std::uint8_t globalGain(const std::uint8_t* frame, const SideInfoShape& shape, int granule,
                        int channel);
void setGlobalGain(std::uint8_t* frame, const SideInfoShape& shape, int granule, int channel,
                   std::uint8_t value);

// What to do to one granule, in all its channels: add `steps` to its
// global_gain, or set it to 0 (`mute`), which scales the granule by
// 2^-52.5 (-316 dB): silent.
struct GranuleChange {
    int steps = 0;
    bool mute = false;

    bool changesNothing() const { return steps == 0 && !mute; }
    friend bool operator==(const GranuleChange&, const GranuleChange&) = default;
};

// Applies `changes[g]` to granule g of the frame, for every granule the
// frame has (`changes` holds at least shape.granules() entries), keeping
// each value within 0…255, and recomputes the frame's CRC when it carries
// one. Returns how many granule gains (a granule in one channel) had to be
// clamped; a mute is never counted.
int applyGranuleChanges(std::uint8_t* frame, const SideInfoShape& shape,
                        std::span<const GranuleChange> changes);

}  // namespace snipwell::mp3
