// The music and tag CRC: the checksum the info tag's readers expect, the
// same whether it is taken bit by bit, eight bytes at a time or folded, for
// every length, alignment and starting value, and continued over pieces.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "mp3/crc16.h"

namespace snipwell::mp3 {
namespace {

// The definition: each bit, least significant first, through the reversed
// polynomial 0xA001.
std::uint16_t bitByBit(std::uint16_t crc, const std::uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = static_cast<std::uint16_t>((crc & 1u) ? (crc >> 1) ^ 0xA001u : crc >> 1);
        }
    }
    return crc;
}

std::vector<std::uint8_t> noise(std::size_t count, std::uint32_t seed) {
    std::vector<std::uint8_t> bytes(count);
    for (auto& byte : bytes) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(seed >> 16);
    }
    return bytes;
}

TEST(Crc16, IsTheChecksumTheInfoTagUses) {
    const auto* text = reinterpret_cast<const std::uint8_t*>("123456789");
    EXPECT_EQ(crc16Update(0, text, 9), 0xBB3D);
    EXPECT_EQ(crc16Update(crc16Update(0, text, 4), text + 4, 5), 0xBB3D);
    EXPECT_EQ(crc16Update(0xBB3D, text, 0), 0xBB3D);
}

TEST(Crc16, EveryLengthAlignmentAndStartGivesTheDefinitionsValue) {
    const std::vector<std::uint8_t> bytes = noise(4096 + 64, 7);
    for (std::size_t count = 0; count <= 600; ++count) {
        for (const std::size_t offset : {0u, 1u, 7u, 15u}) {
            for (const std::uint16_t start :
                 {std::uint16_t{0x0000}, std::uint16_t{0xFFFF}, std::uint16_t{0x1234}}) {
                ASSERT_EQ(crc16Update(start, bytes.data() + offset, count),
                          bitByBit(start, bytes.data() + offset, count))
                    << count << " bytes at " << offset << " from " << start;
            }
        }
    }
    // Long runs, as whole clips are taken, and in uneven pieces.
    const std::vector<std::uint8_t> clip = noise(3'000'017, 11);
    const std::uint16_t whole = bitByBit(0, clip.data(), clip.size());
    EXPECT_EQ(crc16Update(0, clip.data(), clip.size()), whole);
    std::uint16_t pieces = 0;
    for (std::size_t at = 0; at < clip.size(); at += 417) {
        pieces =
            crc16Update(pieces, clip.data() + at, std::min<std::size_t>(417, clip.size() - at));
    }
    EXPECT_EQ(pieces, whole);
}

}  // namespace
}  // namespace snipwell::mp3
