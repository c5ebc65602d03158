#pragma once
// The loudest sample of a stretch of an MP3 file, decoded with libmpg123 to
// floating point, so that a stream which already decodes beyond full scale
// shows by how much instead of being clipped at 1.0.

#include <cstdint>
#include <variant>

#include "level/stretch_decoding.h"

namespace snipwell::level {

struct Peak {
    double peak = 0;            // largest magnitude of any sample; 1.0 is full scale
    std::uint64_t samples = 0;  // per channel
};

// Decodes the stretch of the file open as `fd`, from whichever frame the
// decoder finds first in it. Damaged frames are skipped the way a player
// skips them; only a file the decoder cannot read at all fails.
// `progress` hears of each block decoded.
std::variant<Peak, DecodeFailure> decodePeak(int fd, const ByteStretch& stretch,
                                             const DecodeProgress& progress = {});

}  // namespace snipwell::level
