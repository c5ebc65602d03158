#pragma once
// What the media tests need to know about the sound server they play into.

#include <string>

namespace snipwell::mci::test {

// True when a PulseAudio server answers (the one scripts/test starts, or the
// one PULSE_SERVER names).
bool pulseServerReachable();

// The null sink the tests may record from: $SNIPWELL_TEST_SINK, or empty.
std::string testSinkName();

inline constexpr const char* noPulseReason =
    "no PulseAudio server is reachable; scripts/test starts one with a null sink";

}  // namespace snipwell::mci::test
