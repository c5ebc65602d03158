#pragma once
// An MP3 decoded to a PCM WAV file by GStreamer's decoder on the command line
// (as the player decodes it), and where the audio lies in that file.

#include <cstdint>
#include <filesystem>

namespace snipwell::test {

// Writes `wav` (16-bit little-endian samples) with gst-launch-1.0. Throws
// std::runtime_error when the decode fails.
void decodeWithGStreamer(const std::filesystem::path& mp3, const std::filesystem::path& wav);

struct WavLayout {
    std::uint32_t sampleRate = 0;
    std::uint32_t blockAlign = 0;  // bytes of one sample of every channel
    std::uint32_t dataSize = 0;    // the data chunk's own size field
    std::uint64_t dataStart = 0;   // offset of the first audio byte
};

// Reads the fmt chunk and finds the data chunk. Throws std::runtime_error
// when the file is no WAV file or has no data chunk after a fmt chunk.
WavLayout readWavLayout(const std::filesystem::path& wav);

}  // namespace snipwell::test
