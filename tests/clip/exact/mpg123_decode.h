#pragma once
// Decodes an MP3 file completely with libmpg123, gapless trimming on, into
// 16-bit samples, and keeps what the decoder complained about.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace snipwell::test {

struct DecodedAudio {
    long rate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples;  // interleaved
    std::string complaints;             // the decoder's warnings and errors, one per line

    std::size_t frames() const {
        return channels <= 0 ? 0 : samples.size() / static_cast<std::size_t>(channels);
    }
};

// Throws std::runtime_error when the file cannot be opened or decoded at all.
DecodedAudio decodeWithMpg123(const std::filesystem::path& mp3);

}  // namespace snipwell::test
