#include "support/mp3/decoded_wav.h"

#include <cstring>
#include <fstream>
#include <stdexcept>

#include "support/mp3/run_program.h"

namespace snipwell::test {
namespace {

std::uint32_t littleEndian(const unsigned char* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

}  // namespace

void decodeWithGStreamer(const std::filesystem::path& mp3, const std::filesystem::path& wav) {
    runProgramOrThrow({"gst-launch-1.0", "-q", "filesrc", "location=" + mp3.string(), "!",
                       "decodebin", "!", "audioconvert", "!", "audio/x-raw,format=S16LE", "!",
                       "wavenc", "!", "filesink", "location=" + wav.string()});
}

WavLayout readWavLayout(const std::filesystem::path& wav) {
    std::ifstream in(wav, std::ios::binary);
    unsigned char riff[12];
    if (!in.read(reinterpret_cast<char*>(riff), 12) || std::memcmp(riff, "RIFF", 4) != 0) {
        throw std::runtime_error("the decoder wrote no WAV file: " + wav.string());
    }
    WavLayout layout;
    unsigned char chunk[8];
    while (in.read(reinterpret_cast<char*>(chunk), 8)) {
        const std::uint32_t size = littleEndian(chunk + 4, 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            unsigned char format[16];
            in.read(reinterpret_cast<char*>(format), 16);
            layout.sampleRate = littleEndian(format + 4, 4);
            layout.blockAlign = littleEndian(format + 12, 2);
            in.seekg(size - 16, std::ios::cur);
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (layout.blockAlign == 0) break;
            layout.dataSize = size;
            layout.dataStart = static_cast<std::uint64_t>(in.tellg());
            return layout;
        } else {
            in.seekg(size + (size & 1), std::ios::cur);
        }
    }
    throw std::runtime_error("the decoded WAV file has no audio: " + wav.string());
}

}  // namespace snipwell::test
