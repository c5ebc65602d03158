#pragma once
// The words of a silence split: the note a dry run prints under a track that
// begins in a silence, and the refusal when there is none to split at, which
// names the longest quiet stretch and its level so that the next threshold
// or minimum length is a choice, not a guess.

#include <cstdint>
#include <string>

#include "level/silence_finder.h"

namespace snipwell {

// "begins in the silence at 3:11.900, 1.01 s at -63.2 dBFS"
std::string silenceSplitNote(const level::SilenceSplit& split, std::uint32_t sampleRate);

// "no silence of 0.5 s below -48 dBFS; the longest quiet stretch is 0.4 s at
// -51 dBFS, at 12:03.200"
std::string noSilenceText(const level::NoSilenceFound& found, const level::SilenceRules& rules,
                          std::uint32_t sampleRate);

// "1.01 s": seconds to the millisecond, with at least one decimal.
std::string secondsText(std::uint64_t samples, std::uint32_t sampleRate);

// "-48 dBFS", "-47.5 dBFS": to a tenth of a decibel.
std::string decibelText(double decibels);

}  // namespace snipwell
