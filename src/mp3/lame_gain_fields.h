#pragma once
// The loudness a LAME extension states about the stream it heads: the peak
// sample and the two ReplayGain values. A gain change makes them false, and
// a false value is worse than none (a player would scale by it), so they
// are cleared to "not stated" rather than guessed.

#include <cstdint>

#include "mp3/info_frame.h"

namespace snipwell::mp3 {

// Offsets inside a LAME extension.
inline constexpr std::uint32_t lamePeakOffset = 11;       // 32-bit float, 0: not stated
inline constexpr std::uint32_t lameRadioGainOffset = 15;  // 16 bits, 0: not stated
inline constexpr std::uint32_t lameAudiophileGainOffset = 17;
inline constexpr std::uint32_t lameGainFieldsBytes = 8;  // the three, one after the other

// Sets the peak and both ReplayGain fields of the extension in `frame` (the
// whole info frame) to 0 and recomputes the extension's own CRC, which
// covers the frame up to it. Returns whether any byte changed.
bool clearLameGainFields(std::uint8_t* frame, const LameExtension& lame);

}  // namespace snipwell::mp3
