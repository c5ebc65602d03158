// The reference for "how long does this file play": decode it completely
// with GStreamer's decoder on the command line and count the samples.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "support/mp3/decoded_wav.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/temp_dir.h"

namespace snipwell::test {
namespace {

// Milliseconds of audio in a PCM WAV file, from its fmt and data chunks.
double wavMilliseconds(const std::filesystem::path& wav) {
    const WavLayout layout = readWavLayout(wav);
    if (layout.sampleRate == 0) throw std::runtime_error("decoded WAV file has no sample rate");
    // The writer may leave the data size unset when it streams; use the file.
    const std::uint64_t bytes = std::filesystem::file_size(wav) - layout.dataStart;
    const std::uint64_t wholeFrames = bytes / layout.blockAlign;
    return static_cast<double>(wholeFrames) * 1000.0 / layout.sampleRate;
}

}  // namespace

double decodedMilliseconds(const std::filesystem::path& mp3) {
    const TempDir work;
    const auto wav = work.file("decoded.wav");
    decodeWithGStreamer(mp3, wav);
    return wavMilliseconds(wav);
}

}  // namespace snipwell::test
