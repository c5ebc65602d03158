#pragma once
// How many samples GStreamer's decoder (as the player uses it) puts out for a
// file, from a decode to WAV by gst-launch-1.0.

#include <cstdint>
#include <filesystem>

namespace snipwell::test {

// Samples per channel. Throws std::runtime_error when the decode fails.
std::uint64_t gstreamerDecodedSamples(const std::filesystem::path& mp3);

}  // namespace snipwell::test
