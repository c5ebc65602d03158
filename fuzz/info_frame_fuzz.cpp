// libFuzzer target for the info frame reader: the first frame of a file,
// whatever its bytes claim (a Xing, Info or VBRI tag with any flags, a LAME
// extension cut short), read without reading past the frame; and an info
// frame written from fields the input chooses reads back as written.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "mp3/frame_header.h"
#include "mp3/info_frame.h"
#include "mp3/info_frame_writer.h"
#include "mp3/layer3_frame.h"

namespace {

using namespace snipwell::mp3;

void check(bool condition) {
    if (!condition) std::abort();
}

// Reads the frame from a copy exactly its size, so that AddressSanitizer
// sees any byte read past its end.
void readFirstFrame(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return;
    const auto header = parseFrameHeader(data);
    if (!header || header->frameBytes > size) return;
    const std::vector<std::uint8_t> frame(data, data + header->frameBytes);
    const InfoFrame info = readInfoFrame(frame.data(), *header);
    check(info.encoderDelay <= maxGaplessField && info.endPadding <= maxGaplessField);
    if (info.lame) check(info.lame->offset + lameExtensionBytes <= header->frameBytes);
    if (info.skippedByDecoder) {
        check(info.kind == InfoTagKind::xing || info.kind == InfoTagKind::info);
    }
}

// Fields from the input's first bytes, written into an info frame of the
// stream whose header the input starts with, and read back.
void writeAndReadBack(const std::uint8_t* data, std::size_t size) {
    if (size < 16) return;
    std::uint32_t word = readBigEndian32(data);
    const auto stream = parseFrameHeader(data);
    if (!stream || stream->layer != 3) return;
    const auto built = headerHolding(word, xingFieldsBytes + lameExtensionBytes);
    if (!built) return;
    InfoFrameFields fields;
    fields.variableBitrate = (data[4] & 1u) != 0;
    fields.audioFrames = readBigEndian32(data + 4);
    fields.xingBytes = readBigEndian32(data + 8);
    fields.encoderDelay = readBigEndian16(data + 12) & 0x1FFFu;
    fields.endPadding = readBigEndian16(data + 14) & 0x1FFFu;
    fields.encoder = "LAME";
    const auto frame = buildInfoFrame(built->word, fields);
    const bool fits =
        fields.encoderDelay <= maxGaplessField && fields.endPadding <= maxGaplessField;
    check(frame.has_value() == fits);
    if (!frame) return;
    check(frame->size() == built->header.frameBytes);
    const InfoFrame info = readInfoFrame(frame->data(), built->header);
    check(info.skippedByDecoder && info.hasGaplessInfo);
    check(info.declaredFrames == fields.audioFrames);
    check(info.encoderDelay == fields.encoderDelay && info.endPadding == fields.endPadding);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    readFirstFrame(data, size);
    writeAndReadBack(data, size);
    return 0;
}
