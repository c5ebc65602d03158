#include "mp3/crc16.h"

#include <array>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace snipwell::mp3 {
namespace {

using Table = std::array<std::uint16_t, 256>;

// The polynomial x^16 + x^15 + x^2 + 1, and the same with its bits reversed
// for the least-significant-first order the checksum takes bits in.
constexpr std::uint32_t polynomial = 0x18005;
constexpr std::uint16_t reflectedPolynomial = 0xA001;

// tables[k][b]: the checksum of byte b followed by k zero bytes, so that eight
// bytes are taken at once (slicing by eight).
constexpr std::array<Table, 8> makeTables() {
    std::array<Table, 8> tables{};
    for (std::uint32_t byte = 0; byte < 256; ++byte) {
        std::uint32_t crc = byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) ? (crc >> 1) ^ reflectedPolynomial : crc >> 1;
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

std::uint16_t tableCrc(std::uint16_t crc, const std::uint8_t* bytes, std::size_t count) {
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

#if defined(__x86_64__)

// Folding with carry-less multiplication: sixteen bytes of message, seen as
// a polynomial, are moved F bits further on by multiplying their two halves
// by x^(F+64) and x^F modulo the polynomial; the sum stays congruent to the
// message, and what is left at the end is sixteen bytes whose checksum is
// the message's. The constants are x^(F+63) and x^(F-1): a carry-less
// product of two bit-reversed operands comes out shifted by one place.
constexpr std::uint32_t powerOfX(unsigned exponent) {
    std::uint32_t remainder = 1;
    for (unsigned i = 0; i < exponent; ++i) {
        remainder <<= 1;
        if (remainder & 0x10000u) remainder ^= polynomial;
    }
    return remainder;
}

// A polynomial of degree below 16, bit-reversed into 64 bits: x^d at bit 63 - d.
constexpr std::uint64_t reversed64(std::uint32_t value) {
    std::uint64_t out = 0;
    for (unsigned degree = 0; degree < 16; ++degree) {
        if (value & (1u << degree)) out |= std::uint64_t{1} << (63 - degree);
    }
    return out;
}

struct FoldConstants {
    std::uint64_t high;  // for the first eight bytes: x^(F+63)
    std::uint64_t low;   // for the last eight: x^(F-1)
};

constexpr FoldConstants foldBy(unsigned bits) {
    return {reversed64(powerOfX(bits + 63)), reversed64(powerOfX(bits - 1))};
}

constexpr FoldConstants fold128 = foldBy(128);
constexpr FoldConstants fold512 = foldBy(512);

__attribute__((target("pclmul,sse2"))) __m128i fold(__m128i value, __m128i constants) {
    return _mm_xor_si128(_mm_clmulepi64_si128(value, constants, 0x00),
                         _mm_clmulepi64_si128(value, constants, 0x11));
}

__attribute__((target("pclmul,sse2"))) __m128i load(const std::uint8_t* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// The checksum of the first count & ~15 bytes (count at least 64), then the
// rest by table.
__attribute__((target("pclmul,sse2"))) std::uint16_t foldedCrc(std::uint16_t crc,
                                                               const std::uint8_t* bytes,
                                                               std::size_t count) {
    const __m128i by128 =
        _mm_set_epi64x(static_cast<long long>(fold128.low), static_cast<long long>(fold128.high));
    const __m128i by512 =
        _mm_set_epi64x(static_cast<long long>(fold512.low), static_cast<long long>(fold512.high));
    // A checksum to continue from is the same as that many bits flipped at
    // the message's start.
    __m128i lanes[4] = {_mm_xor_si128(load(bytes), _mm_cvtsi32_si128(crc)), load(bytes + 16),
                        load(bytes + 32), load(bytes + 48)};
    std::size_t at = 64;
    for (; at + 64 <= count; at += 64) {
        for (int lane = 0; lane < 4; ++lane) {
            lanes[lane] = _mm_xor_si128(fold(lanes[lane], by512), load(bytes + at + 16 * lane));
        }
    }
    __m128i folded = lanes[0];
    for (int lane = 1; lane < 4; ++lane) folded = _mm_xor_si128(fold(folded, by128), lanes[lane]);
    for (; at + 16 <= count; at += 16)
        folded = _mm_xor_si128(fold(folded, by128), load(bytes + at));

    std::uint8_t rest[16];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rest), folded);
    return tableCrc(tableCrc(0, rest, sizeof rest), bytes + at, count - at);
}

bool canFold() {
    static const bool supported = __builtin_cpu_supports("pclmul") != 0;
    return supported;
}

#endif

}  // namespace

std::uint16_t crc16Update(std::uint16_t crc, const std::uint8_t* bytes, std::size_t count) {
#if defined(__x86_64__)
    if (count >= 64 && canFold()) return foldedCrc(crc, bytes, count);
#endif
    return tableCrc(crc, bytes, count);
}

}  // namespace snipwell::mp3
