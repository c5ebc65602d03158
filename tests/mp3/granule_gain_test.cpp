// Where global_gain lies in Layer III side information, and the edit that
// changes it: checked against side information assembled field by field in
// the order the format lays it out, so a misplaced field or a mask that
// spills into a neighbour shows as a wrong value or a changed bit.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "mp3/frame_crc.h"
#include "mp3/granule_gain.h"

namespace snipwell::mp3 {
namespace {

class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& bytes, std::size_t startByte)
        : bytes_(bytes), bit_(startByte * 8) {}
    void put(std::uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            const std::size_t byte = bit_ / 8;
            const auto mask = static_cast<std::uint8_t>(0x80u >> (bit_ % 8));
            if ((value >> i) & 1u) {
                bytes_[byte] = static_cast<std::uint8_t>(bytes_[byte] | mask);
            } else {
                bytes_[byte] = static_cast<std::uint8_t>(bytes_[byte] & ~mask);
            }
            ++bit_;
        }
    }
    std::size_t bit() const { return bit_; }

private:
    std::vector<std::uint8_t>& bytes_;
    std::size_t bit_;
};

struct ShapeCase {
    const char* name;
    SideInfoShape shape;
    std::array<std::uint8_t, 4> header;
};

// Real header bytes of each kind; channel mode 01 (joint stereo) or 11 (mono).
const ShapeCase shapes[] = {
    {"mpeg1 stereo", {true, false, false}, {0xFF, 0xFB, 0x90, 0x64}},
    {"mpeg1 stereo crc", {true, false, true}, {0xFF, 0xFA, 0x90, 0x64}},
    {"mpeg1 mono", {true, true, false}, {0xFF, 0xFB, 0x50, 0xC4}},
    {"mpeg2 stereo", {false, false, false}, {0xFF, 0xF3, 0x80, 0x64}},
    {"mpeg2 mono crc", {false, true, true}, {0xFF, 0xF2, 0x80, 0xC4}},
    {"mpeg2.5 stereo", {false, false, false}, {0xFF, 0xE3, 0x40, 0x44}},
    {"mpeg2.5 mono", {false, true, false}, {0xFF, 0xE3, 0x40, 0xC4}},
};

// Side information with every field set to a pattern that differs from its
// neighbours, and global_gain[gr][ch] = 100 + 10·gr + ch.
std::vector<std::uint8_t> assembledFrame(const ShapeCase& row) {
    const SideInfoShape& shape = row.shape;
    std::vector<std::uint8_t> frame(shape.bytesThroughSideInfo() + 8, 0xA5);
    std::copy(row.header.begin(), row.header.end(), frame.begin());
    BitWriter out(frame, shape.sideInfoOffset());
    const int channels = shape.channels();
    if (shape.mpeg1) {
        out.put(0x1FF, 9);                                      // main_data_begin
        out.put(0, shape.mono ? 5 : 3);                         // private bits
        for (int ch = 0; ch < channels; ++ch) out.put(0xF, 4);  // scfsi
    } else {
        out.put(0xFF, 8);
        out.put(0, shape.mono ? 1 : 2);
    }
    for (int gr = 0; gr < shape.granules(); ++gr) {
        for (int ch = 0; ch < channels; ++ch) {
            out.put(0xFFF, 12);  // part2_3_length
            out.put(0x1FF, 9);   // big_values
            out.put(static_cast<std::uint32_t>(100 + 10 * gr + ch), 8);
            out.put(shape.mpeg1 ? 0xFu : 0x1FFu, shape.mpeg1 ? 4 : 9);  // scalefac_compress
            out.put(0, 1);                                              // window switching
            out.put(0x7FFF, 15);                                        // table_select ×3
            out.put(0xFF, 7);                                           // region counts
            if (shape.mpeg1)
                out.put(0x7, 3);  // preflag, scale, count1
            else
                out.put(0x3, 2);  // scale, count1 table
        }
    }
    EXPECT_EQ(out.bit(), (shape.sideInfoOffset() + shape.sideInfoBytes()) * 8) << row.name;
    return frame;
}

TEST(GranuleGain, ShapeAndGainsReadFromTheFormatsLayout) {
    for (const ShapeCase& row : shapes) {
        const auto frame = assembledFrame(row);
        const SideInfoShape read = sideInfoShapeOf(frame.data());
        EXPECT_EQ(read.mpeg1, row.shape.mpeg1) << row.name;
        EXPECT_EQ(read.mono, row.shape.mono) << row.name;
        EXPECT_EQ(read.hasCrc, row.shape.hasCrc) << row.name;
        for (int gr = 0; gr < row.shape.granules(); ++gr) {
            for (int ch = 0; ch < row.shape.channels(); ++ch) {
                EXPECT_EQ(globalGain(frame.data(), row.shape, gr, ch), 100 + 10 * gr + ch)
                    << row.name << " granule " << gr << " channel " << ch;
            }
        }
    }
}

TEST(GranuleGain, WritingOneGainChangesOnlyItsEightBits) {
    for (const ShapeCase& row : shapes) {
        for (int gr = 0; gr < row.shape.granules(); ++gr) {
            for (int ch = 0; ch < row.shape.channels(); ++ch) {
                const auto before = assembledFrame(row);
                auto after = before;
                const std::uint8_t flipped = static_cast<std::uint8_t>(~(100 + 10 * gr + ch));
                setGlobalGain(after.data(), row.shape, gr, ch, flipped);
                EXPECT_EQ(globalGain(after.data(), row.shape, gr, ch), flipped) << row.name;
                int changedBits = 0;
                for (std::size_t i = 0; i < before.size(); ++i) {
                    changedBits += __builtin_popcount(static_cast<unsigned>(before[i] ^ after[i]));
                }
                EXPECT_EQ(changedBits, 8) << row.name << " granule " << gr << " channel " << ch;
            }
        }
    }
}

TEST(GranuleGain, ChangesAreClampedCountedAndMutesAreNot) {
    struct Case {
        const char* name;
        GranuleChange change;
        int expectedGain0;  // granule 0, channel 0 starts at 100
        int expectedClamped;
    };
    const Case cases[] = {
        {"up", {+2, false}, 102, 0},
        {"down", {-4, false}, 96, 0},
        {"past the top", {+200, false}, 255, 4},  // both granules, both channels
        {"past the bottom", {-120, false}, 0, 4},
        {"mute", {0, true}, 0, 0},
        {"mute with steps", {+50, true}, 0, 0},
    };
    const ShapeCase& row = shapes[0];
    for (const Case& c : cases) {
        auto frame = assembledFrame(row);
        const GranuleChange changes[] = {c.change, c.change};
        EXPECT_EQ(applyGranuleChanges(frame.data(), row.shape, changes), c.expectedClamped)
            << c.name;
        EXPECT_EQ(globalGain(frame.data(), row.shape, 0, 0), c.expectedGain0) << c.name;
    }
}

TEST(GranuleGain, EachGranuleTakesItsOwnChangeInEveryChannel) {
    const ShapeCase& row = shapes[0];
    auto frame = assembledFrame(row);
    const GranuleChange changes[] = {{-3, false}, {0, true}};
    applyGranuleChanges(frame.data(), row.shape, changes);
    EXPECT_EQ(globalGain(frame.data(), row.shape, 0, 0), 97);
    EXPECT_EQ(globalGain(frame.data(), row.shape, 0, 1), 98);
    EXPECT_EQ(globalGain(frame.data(), row.shape, 1, 0), 0);
    EXPECT_EQ(globalGain(frame.data(), row.shape, 1, 1), 0);
}

TEST(FrameCrc, IsTheCrc16WithPolynomial8005FromAllOnes) {
    // The catalogued check value of this CRC over "123456789" is 0xAEE7;
    // lay those bytes where the frame CRC reads: header bytes 2 and 3, then
    // the side information after the check word.
    std::vector<std::uint8_t> frame = {0xFF, 0xFA, '1', '2', 0,   0,  '3',
                                       '4',  '5',  '6', '7', '8', '9'};
    EXPECT_EQ(layer3FrameCrc(frame.data(), 7), 0xAEE7);
    EXPECT_FALSE(frameCrcMatches(frame.data(), 7));
    rewriteFrameCrc(frame.data(), 7);
    EXPECT_EQ(storedFrameCrc(frame.data()), 0xAEE7);
    EXPECT_TRUE(frameCrcMatches(frame.data(), 7));
}

// The edit is the gains and, in a protected frame, the check word: nothing else.
TEST(FrameCrc, GainEditIsTheGainsPlusTheCheckWordOfProtectedFrames) {
    for (const ShapeCase& row : shapes) {
        auto edited = assembledFrame(row);
        if (row.shape.hasCrc) rewriteFrameCrc(edited.data(), row.shape.sideInfoBytes());
        auto expected = edited;
        const GranuleChange changes[] = {{+2, false}, {-1, false}};
        applyGranuleChanges(edited.data(), row.shape, changes);
        for (int gr = 0; gr < row.shape.granules(); ++gr) {
            for (int ch = 0; ch < row.shape.channels(); ++ch) {
                const int gain = globalGain(expected.data(), row.shape, gr, ch);
                setGlobalGain(expected.data(), row.shape, gr, ch,
                              static_cast<std::uint8_t>(gain + (gr == 0 ? 2 : -1)));
            }
        }
        if (row.shape.hasCrc) {
            EXPECT_FALSE(frameCrcMatches(expected.data(), row.shape.sideInfoBytes())) << row.name;
            rewriteFrameCrc(expected.data(), row.shape.sideInfoBytes());
        }
        EXPECT_EQ(edited, expected) << row.name;
    }
}

}  // namespace
}  // namespace snipwell::mp3
