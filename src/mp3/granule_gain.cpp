#include "mp3/granule_gain.h"

#include <algorithm>

#include "mp3/frame_crc.h"

namespace snipwell::mp3 {
namespace {

constexpr std::uint32_t bitsBeforeGlobalGain = 12 + 9;  // part2_3_length, big_values

// Bit position of global_gain from the start of the side information.
std::uint32_t globalGainBit(const SideInfoShape& shape, int granule, int channel) {
    const auto channels = static_cast<std::uint32_t>(shape.channels());
    const auto index =
        static_cast<std::uint32_t>(granule) * channels + static_cast<std::uint32_t>(channel);
    if (shape.mpeg1) {
        const std::uint32_t shared = 9 + (shape.mono ? 5u : 3u) + 4 * channels;
        return shared + index * 59 + bitsBeforeGlobalGain;
    }
    const std::uint32_t shared = 8 + (shape.mono ? 1u : 2u);
    return shared + index * 63 + bitsBeforeGlobalGain;
}

}  // namespace

std::uint32_t SideInfoShape::sideInfoBytes() const {
    if (mpeg1) return mono ? 17u : 32u;
    return mono ? 9u : 17u;
}

SideInfoShape sideInfoShapeOf(const std::uint8_t* frame) {
    SideInfoShape shape;
    shape.mpeg1 = (frame[1] & 0x18u) == 0x18u;  // version bits 11
    shape.hasCrc = (frame[1] & 0x01u) == 0;     // protection bit 0: a CRC follows
    shape.mono = (frame[3] & 0xC0u) == 0xC0u;   // channel mode 11: single channel
    return shape;
}

// An 8-bit field that starts at any bit spans at most two bytes.
std::uint8_t globalGain(const std::uint8_t* frame, const SideInfoShape& shape, int granule,
                        int channel) {
    const std::uint32_t bit = globalGainBit(shape, granule, channel);
    const std::uint8_t* at = frame + shape.sideInfoOffset() + bit / 8;
    const std::uint32_t pair = (std::uint32_t{at[0]} << 8) | at[1];
    return static_cast<std::uint8_t>(pair >> (8 - bit % 8));
}

void setGlobalGain(std::uint8_t* frame, const SideInfoShape& shape, int granule, int channel,
                   std::uint8_t value) {
    const std::uint32_t bit = globalGainBit(shape, granule, channel);
    std::uint8_t* at = frame + shape.sideInfoOffset() + bit / 8;
    const std::uint32_t shift = 8 - bit % 8;
    std::uint32_t pair = (std::uint32_t{at[0]} << 8) | at[1];
    pair = (pair & ~(0xFFu << shift)) | (std::uint32_t{value} << shift);
    at[0] = static_cast<std::uint8_t>(pair >> 8);
    at[1] = static_cast<std::uint8_t>(pair);
}

int applyGranuleChanges(std::uint8_t* frame, const SideInfoShape& shape,
                        std::span<const GranuleChange> changes) {
    int clamped = 0;
    bool changed = false;
    for (int granule = 0; granule < shape.granules(); ++granule) {
        const GranuleChange& change = changes[static_cast<std::size_t>(granule)];
        if (change.changesNothing()) continue;
        changed = true;
        for (int channel = 0; channel < shape.channels(); ++channel) {
            int value = 0;
            if (!change.mute) {
                const int wanted = globalGain(frame, shape, granule, channel) + change.steps;
                value = std::clamp(wanted, 0, 255);
                if (value != wanted) ++clamped;
            }
            setGlobalGain(frame, shape, granule, channel, static_cast<std::uint8_t>(value));
        }
    }
    if (changed && shape.hasCrc) rewriteFrameCrc(frame, shape.sideInfoBytes());
    return clamped;
}

}  // namespace snipwell::mp3
