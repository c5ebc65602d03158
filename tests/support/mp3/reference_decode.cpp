// The reference for "how long does this file play": decode it completely
// with GStreamer's decoder on the command line and count the samples.

#include <cstdint>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>

#include "support/mp3/mp3_fixtures.h"
#include "support/mp3/run_program.h"
#include "support/temp_dir.h"

namespace snipwell::test {
namespace {

std::uint32_t littleEndian(const unsigned char* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

// Milliseconds of audio in a PCM WAV file, from its fmt and data chunks.
double wavMilliseconds(const std::filesystem::path& wav) {
    std::ifstream in(wav, std::ios::binary);
    unsigned char riff[12];
    if (!in.read(reinterpret_cast<char*>(riff), 12) || std::memcmp(riff, "RIFF", 4) != 0) {
        throw std::runtime_error("decoder wrote no WAV file");
    }
    std::uint32_t rate = 0;
    std::uint32_t blockAlign = 0;
    unsigned char chunk[8];
    while (in.read(reinterpret_cast<char*>(chunk), 8)) {
        const std::uint32_t size = littleEndian(chunk + 4, 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            unsigned char format[16];
            in.read(reinterpret_cast<char*>(format), 16);
            rate = littleEndian(format + 4, 4);
            blockAlign = littleEndian(format + 12, 2);
            in.seekg(size - 16, std::ios::cur);
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            // The writer may leave the size unset when it streams; use the file.
            const auto dataStart = static_cast<std::uint64_t>(in.tellg());
            const std::uint64_t bytes = std::filesystem::file_size(wav) - dataStart;
            if (rate == 0 || blockAlign == 0) break;
            return static_cast<double>(bytes / blockAlign) * 1000.0 / rate;
        } else {
            in.seekg(size + (size & 1), std::ios::cur);
        }
    }
    throw std::runtime_error("decoded WAV file has no audio");
}

}  // namespace

double decodedMilliseconds(const std::filesystem::path& mp3) {
    const TempDir work;
    const auto wav = work.file("decoded.wav");
    runProgramOrThrow({"gst-launch-1.0", "-q", "filesrc", "location=" + mp3.string(), "!",
                       "decodebin", "!", "audioconvert", "!", "audio/x-raw,format=S16LE", "!",
                       "wavenc", "!", "filesink", "location=" + wav.string()});
    return wavMilliseconds(wav);
}

}  // namespace snipwell::test
