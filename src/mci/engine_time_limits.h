#pragma once
// How long the entry point waits for the media engine's answer before it
// ends the engine and fails the command with engineTimedOut.

#include <chrono>

namespace snipwell::mci {

// The engine's start: loading GStreamer, which on a machine that has never
// run it builds the plugin registry first (seconds); normally 0.1-0.3 s.
inline constexpr std::chrono::milliseconds engineStartTimeLimit{20000};
// Opening reads the whole file's frame headers and prerolls the pipeline:
// tens of milliseconds for good files, seconds only when the decoder is stuck.
inline constexpr std::chrono::milliseconds openTimeLimit{5000};
// Everything else answers in well under 100 ms; "play from" and "seek" wait
// for the pipeline to settle at the new place, and a stalled audio output is
// rebuilt during a position query, which takes tens of milliseconds.
inline constexpr std::chrono::milliseconds commandTimeLimit{2000};

}  // namespace snipwell::mci
