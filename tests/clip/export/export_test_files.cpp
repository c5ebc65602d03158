#include "clip/export/export_test_files.h"

namespace snipwell::test {

Bytes patternBytes(std::size_t size, std::uint32_t seed) {
    Bytes bytes(size);
    std::uint32_t state = seed * 2654435761u + 12345u;
    for (auto& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<unsigned char>(state >> 24);
    }
    return bytes;
}

Bytes expectedClip(const Bytes& source, std::int64_t beginOffset, std::size_t length) {
    Bytes clip(length, 0);
    for (std::size_t i = 0; i < length; ++i) {
        const auto index = static_cast<std::size_t>(beginOffset - 1) + i;
        if (index < source.size()) clip[i] = source[index];
    }
    return clip;
}

}  // namespace snipwell::test
