#include "mp3/crc16.h"

#include <array>

namespace snipwell::mp3 {
namespace {

using Table = std::array<std::uint16_t, 256>;

// tables[k][b]: the checksum of byte b followed by k zero bytes, so that eight
// bytes are taken at once (slicing by eight): the music CRC of a long clip
// then costs a fraction of copying it.
constexpr std::array<Table, 8> makeTables() {
    std::array<Table, 8> tables{};
    for (std::uint32_t byte = 0; byte < 256; ++byte) {
        std::uint32_t crc = byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1u) ? (crc >> 1) ^ 0xA001u : crc >> 1;
        tables[0][byte] = static_cast<std::uint16_t>(crc);
    }
    for (std::size_t k = 1; k < tables.size(); ++k) {
        for (std::size_t byte = 0; byte < 256; ++byte) {
            const std::uint16_t previous = tables[k - 1][byte];
            tables[k][byte] =
                static_cast<std::uint16_t>((previous >> 8) ^ tables[0][previous & 0xFFu]);
        }
    }
    return tables;
}

constexpr auto tables = makeTables();

}  // namespace

std::uint16_t crc16Update(std::uint16_t crc, const std::uint8_t* bytes, std::size_t count) {
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const std::uint8_t* b = bytes + i;
        crc = static_cast<std::uint16_t>(tables[7][b[0] ^ (crc & 0xFFu)] ^
                                         tables[6][b[1] ^ (crc >> 8)] ^ tables[5][b[2]] ^
                                         tables[4][b[3]] ^ tables[3][b[4]] ^ tables[2][b[5]] ^
                                         tables[1][b[6]] ^ tables[0][b[7]]);
    }
    for (; i < count; ++i) {
        crc = static_cast<std::uint16_t>((crc >> 8) ^ tables[0][(crc ^ bytes[i]) & 0xFFu]);
    }
    return crc;
}

}  // namespace snipwell::mp3
