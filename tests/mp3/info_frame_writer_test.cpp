// The clip's info frame: every field reads back, both CRCs are right, and the
// delay and padding are written at their limits and refused beyond them.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "mp3/crc16.h"
#include "mp3/frame_header.h"
#include "mp3/info_frame.h"
#include "mp3/info_frame_writer.h"
#include "mp3/layer3_frame.h"

namespace snipwell::mp3 {
namespace {

std::uint32_t bigEndian32(const std::uint8_t* at) { return readBigEndian32(at); }

FrameHeader headerOf(const std::vector<std::uint8_t>& frame) {
    return *parseFrameHeader(frame.data());
}

InfoFrameFields sampleFields() {
    InfoFrameFields fields;
    fields.variableBitrate = true;
    fields.audioFrames = 12345;
    fields.xingBytes = 6543338;
    fields.musicBytes = 6543210;
    for (std::size_t i = 0; i < fields.toc.size(); ++i)
        fields.toc[i] = static_cast<std::uint8_t>(i * 2);
    fields.quality = 57;
    fields.encoder = "LAME3.100";
    fields.revisionAndMethod = 0x14;
    fields.lowpassHundredsHz = 195;
    fields.bitrateKbps = 128;
    fields.miscFlags = 0x48;
    fields.encoderDelay = 1105;
    fields.endPadding = 1234;
    fields.musicCrc = 0xBEEF;
    return fields;
}

struct StreamCase {
    const char* name;
    std::uint32_t streamWord;  // a header of the stream the frame is built for
    std::uint32_t tagCrcOffset;
};

// MPEG-1 stereo, MPEG-1 mono, MPEG-2 stereo, MPEG-2 mono, MPEG-2.5 mono (8 kHz,
// a CRC in the stream's own frames).
const StreamCase streams[] = {
    {"mpeg1_stereo", 0xFFFB9044u, 190},    {"mpeg1_mono", 0xFFFB90C4u, 175},
    {"mpeg2_stereo", 0xFFF39044u, 175},    {"mpeg2_mono", 0xFFF390C4u, 167},
    {"mpeg25_mono_crc", 0xFFE218C4u, 167},
};

TEST(InfoFrameWriter, EveryFieldAndBothCrcsReadBackForEachStreamLayout) {
    for (const StreamCase& stream : streams) {
        SCOPED_TRACE(stream.name);
        const auto built = headerHolding(stream.streamWord, xingFieldsBytes + lameExtensionBytes);
        ASSERT_TRUE(built);
        const InfoFrameFields fields = sampleFields();
        const auto frame = buildInfoFrame(built->word, fields);
        ASSERT_TRUE(frame);
        const FrameHeader header = headerOf(*frame);
        EXPECT_FALSE(header.hasCrc);
        const std::uint8_t streamBytes[4] = {static_cast<std::uint8_t>(stream.streamWord >> 24),
                                             static_cast<std::uint8_t>(stream.streamWord >> 16),
                                             static_cast<std::uint8_t>(stream.streamWord >> 8),
                                             static_cast<std::uint8_t>(stream.streamWord)};
        EXPECT_EQ(header.sampleRate, parseFrameHeader(streamBytes)->sampleRate);
        EXPECT_EQ(header.mono, parseFrameHeader(streamBytes)->mono);
        EXPECT_EQ(frame->size(), header.frameBytes);

        // What the project's own scan reads from it.
        const InfoFrame info = readInfoFrame(frame->data(), header);
        EXPECT_TRUE(info.skippedByDecoder);
        EXPECT_TRUE(info.hasGaplessInfo);
        EXPECT_EQ(info.declaredFrames, 12345u);
        EXPECT_EQ(info.encoderDelay, 1105u);
        EXPECT_EQ(info.endPadding, 1234u);

        const std::uint8_t* tag = frame->data() + header.sideInfoEnd();
        EXPECT_EQ(std::memcmp(tag, "Xing", 4), 0);
        EXPECT_EQ(bigEndian32(tag + 4), 0x0Fu);
        EXPECT_EQ(bigEndian32(tag + 12), 6543338u);
        EXPECT_EQ(tag[16 + 50], 100);
        EXPECT_EQ(bigEndian32(tag + 116), 57u);
        const std::uint8_t* lame = tag + 120;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(lame), 9), "LAME3.100");
        EXPECT_EQ(lame[9], 0x14);
        EXPECT_EQ(lame[10], 195);
        EXPECT_EQ(lame[20], 128);
        EXPECT_EQ(lame[24], 0x48);
        EXPECT_EQ(bigEndian32(lame + 28), 6543210u);
        EXPECT_EQ((lame[32] << 8) | lame[33], 0xBEEF);

        // The tag CRC covers the frame up to itself: 190 bytes for MPEG-1 stereo.
        const std::uint32_t crcAt = static_cast<std::uint32_t>(lame + 34 - frame->data());
        EXPECT_EQ(crcAt, stream.tagCrcOffset);
        EXPECT_EQ((lame[34] << 8) | lame[35], crc16Update(0, frame->data(), crcAt));
        // Side information all zero, so that a decoder that plays it hears silence.
        for (std::uint32_t i = 4; i < header.sideInfoEnd(); ++i) EXPECT_EQ((*frame)[i], 0) << i;
    }
}

TEST(InfoFrameWriter, InfoForConstantBitrateAndXingForVariable) {
    const auto built = headerHolding(0xFFFB9044u, xingFieldsBytes + lameExtensionBytes);
    InfoFrameFields fields = sampleFields();
    fields.variableBitrate = false;
    const auto frame = buildInfoFrame(built->word, fields);
    ASSERT_TRUE(frame);
    EXPECT_EQ(std::memcmp(frame->data() + 36, "Info", 4), 0);
}

TEST(InfoFrameWriter, DelayAndPaddingAtTheirLimitsAndRefusedBeyond) {
    const auto built = headerHolding(0xFFFB9044u, xingFieldsBytes + lameExtensionBytes);
    struct Limit {
        std::uint32_t delay;
        std::uint32_t padding;
        bool fits;
    };
    const Limit limits[] = {{0, 4095, true},  {4095, 0, true},  {4095, 4095, true},
                            {4096, 0, false}, {0, 4096, false}, {0, 0, true}};
    for (const Limit& limit : limits) {
        SCOPED_TRACE(std::to_string(limit.delay) + "/" + std::to_string(limit.padding));
        InfoFrameFields fields = sampleFields();
        fields.encoderDelay = limit.delay;
        fields.endPadding = limit.padding;
        const auto frame = buildInfoFrame(built->word, fields);
        ASSERT_EQ(frame.has_value(), limit.fits);
        if (!frame) continue;
        const InfoFrame info = readInfoFrame(frame->data(), headerOf(*frame));
        EXPECT_EQ(info.encoderDelay, limit.delay);
        EXPECT_EQ(info.endPadding, limit.padding);
    }
}

TEST(Layer3Frame, PrimingFramesTakeTheSmallestBitrateThatHoldsTheReservoir) {
    struct Case {
        std::uint32_t streamWord;
        std::uint32_t reservoirBytes;
        std::uint32_t kbps;
    };
    const Case cases[] = {
        {0xFFFB9044u, 0, 32},   // MPEG-1 44.1 kHz stereo: 104 bytes hold the side information
        {0xFFFB9044u, 68, 32},  // exactly full
        {0xFFFB9044u, 69, 40},  {0xFFFB9044u, 511, 192},  // the deepest reservoir MPEG-1 has
        {0xFFF39044u, 255, 96},                           // MPEG-2 22.05 kHz stereo, its deepest
        {0xFFE318C4u, 255, 32},                           // MPEG-2.5 8 kHz mono
    };
    for (const Case& c : cases) {
        const auto built = headerHolding(c.streamWord, c.reservoirBytes);
        ASSERT_TRUE(built);
        EXPECT_EQ(built->header.bitrateKbps, c.kbps) << c.reservoirBytes;
        EXPECT_GE(payloadBytes(built->header), c.reservoirBytes);
        EXPECT_FALSE(built->header.hasCrc);
    }
}

TEST(Layer3Frame, MainDataBeginIsReadAfterTheCrcWhenThereIsOne) {
    std::uint8_t frame[40] = {0xFF, 0xFB, 0x90, 0x44, 0xAB, 0xCD};
    frame[4] = 0xFF;  // 9 bits: 0x1FF
    frame[5] = 0x80;
    EXPECT_EQ(mainDataBegin(frame, *parseFrameHeader(frame)), 511u);
    std::uint8_t withCrc[40] = {0xFF, 0xFA, 0x90, 0x44, 0xAB, 0xCD, 0x01, 0x00};
    EXPECT_EQ(mainDataBegin(withCrc, *parseFrameHeader(withCrc)), 2u);
    std::uint8_t mpeg2[40] = {0xFF, 0xF3, 0x90, 0x44, 0xC8};
    EXPECT_EQ(mainDataBegin(mpeg2, *parseFrameHeader(mpeg2)), 200u);
}

}  // namespace
}  // namespace snipwell::mp3
