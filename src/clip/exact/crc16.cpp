#include "clip/exact/crc16.h"

#include <array>

namespace snipwell::exact {
namespace {

constexpr std::array<std::uint16_t, 256> makeTable() {
    std::array<std::uint16_t, 256> table{};
    for (std::uint32_t byte = 0; byte < 256; ++byte) {
        std::uint32_t crc = byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1u) ? (crc >> 1) ^ 0xA001u : crc >> 1;
        table[byte] = static_cast<std::uint16_t>(crc);
    }
    return table;
}

constexpr auto table = makeTable();

}  // namespace

std::uint16_t crc16Update(std::uint16_t crc, const std::uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        crc = static_cast<std::uint16_t>((crc >> 8) ^ table[(crc ^ bytes[i]) & 0xFFu]);
    }
    return crc;
}

}  // namespace snipwell::exact
