#include "support/mp3/damaged_mp3.h"

#include <stdexcept>

#include "mp3/frame_header.h"

namespace snipwell::test {

Bytes withFlippedLayerBit(const Bytes& mp3, std::size_t frameIndex) {
    Bytes damaged = mp3;
    std::size_t at = 0;
    // Step over an ID3v2 tag in front, if any.
    if (damaged.size() >= 10 && damaged[0] == 'I' && damaged[1] == 'D' && damaged[2] == '3') {
        at = 10 + ((std::size_t{damaged[6]} & 0x7F) << 21) +
             ((std::size_t{damaged[7]} & 0x7F) << 14) + ((std::size_t{damaged[8]} & 0x7F) << 7) +
             (std::size_t{damaged[9]} & 0x7F);
    }
    for (std::size_t frame = 0; at + 4 <= damaged.size(); ++frame) {
        const auto header = mp3::parseFrameHeader(damaged.data() + at);
        if (!header) throw std::runtime_error("no frame header where one should be");
        if (frame == frameIndex) {
            damaged[at + 1] ^= 0x04;  // layer bits 01 (Layer III) become 11 (Layer I)
            return damaged;
        }
        at += header->frameBytes;
    }
    throw std::runtime_error("the file has too few frames");
}

Bytes withImpossibleApeFooter(const Bytes& mp3) {
    Bytes damaged = mp3;
    const Bytes footer{'A',  'P',  'E',  'T',  'A', 'G', 'E', 'X',
                       0xD0, 0x07, 0x00, 0x00,  // version 2000
                       0xF0, 0xFF, 0xFF, 0xFF,  // tag size: 0xFFFFFFF0
                       0x01, 0x00, 0x00, 0x00,  // one item
                       0x00, 0x00, 0x00, 0x80,  // flags: has a header
                       0,    0,    0,    0,    0,   0,   0,   0};
    damaged.insert(damaged.end(), footer.begin(), footer.end());
    return damaged;
}

Bytes withEmptyId3v2Tags(const Bytes& mp3, std::size_t count) {
    const Bytes emptyTag{'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0};
    Bytes damaged;
    damaged.reserve(count * emptyTag.size() + mp3.size());
    for (std::size_t i = 0; i < count; ++i)
        damaged.insert(damaged.end(), emptyTag.begin(), emptyTag.end());
    damaged.insert(damaged.end(), mp3.begin(), mp3.end());
    return damaged;
}

}  // namespace snipwell::test
