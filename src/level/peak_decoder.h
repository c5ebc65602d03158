#pragma once
// The loudest sample of a stretch of an MP3 file, decoded with libmpg123 to
// floating point, so that a stream which already decodes beyond full scale
// shows by how much instead of being clipped at 1.0.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>

namespace snipwell::level {

struct ByteStretch {
    std::uint64_t offset = 0;
    std::optional<std::uint64_t> length;  // to the end of the file when empty
};

struct Peak {
    double peak = 0;            // largest magnitude of any sample; 1.0 is full scale
    std::uint64_t samples = 0;  // per channel
};

struct DecodeFailure {
    std::string reason;
};

// Told how many bytes have been read and decoded so far, after each block.
using DecodeProgress = std::function<void(std::uint64_t bytes)>;

// Decodes the stretch of the file open as `fd`, from whichever frame the
// decoder finds first in it. Damaged frames are skipped the way a player
// skips them; only a file the decoder cannot read at all fails.
std::variant<Peak, DecodeFailure> decodePeak(int fd, const ByteStretch& stretch,
                                             const DecodeProgress& progress);

}  // namespace snipwell::level
