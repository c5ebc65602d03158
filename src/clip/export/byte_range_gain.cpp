#include "clip/export/byte_range_gain.h"

#include <algorithm>

#include "mp3/audio_frames.h"
#include "mp3/block_reader.h"
#include "mp3/info_frame.h"
#include "mp3/lame_gain_fields.h"
#include "mp3/stream_gain.h"
#include "mp3/tag_layout.h"

namespace snipwell {
namespace {

BytePatch patchOf(std::uint64_t clipPosition, const std::uint8_t* bytes, std::size_t count) {
    BytePatch patch;
    patch.position = static_cast<std::int64_t>(clipPosition);
    patch.length = static_cast<std::uint8_t>(count);
    std::copy(bytes, bytes + count, patch.bytes.begin());
    return patch;
}

// The peak and ReplayGain fields of a copied info frame, cleared, and the
// LAME tag's CRC after them: two patches, or none when there is nothing to
// clear or the frame is not wholly in the clip.
void clearInfoFrameGain(mp3::BlockReader& file, const mp3::WalkedFrame& first,
                        std::uint64_t firstByte, std::uint64_t endByte,
                        std::vector<BytePatch>& patches) {
    if (first.offset < firstByte || first.offset + first.header.frameBytes > endByte) return;
    const std::uint8_t* bytes = file.bytesAt(first.offset, first.header.frameBytes);
    if (bytes == nullptr) return;
    const mp3::InfoFrame info = mp3::readInfoFrame(bytes, first.header);
    if (!info.lame) return;
    std::vector<std::uint8_t> frame(bytes, bytes + first.header.frameBytes);
    if (!mp3::clearLameGainFields(frame.data(), *info.lame)) return;
    const std::uint64_t clipFirst = first.offset - firstByte + 1;
    const std::size_t fields = info.lame->offset + mp3::lamePeakOffset;
    const std::size_t crc = info.lame->offset + mp3::lameTagCrcOffset;
    patches.push_back(patchOf(clipFirst + fields, frame.data() + fields, mp3::lameGainFieldsBytes));
    patches.push_back(patchOf(clipFirst + crc, frame.data() + crc, 2));
}

}  // namespace

mp3::Mp3Result<ClipEdits> planByteRangeGain(const std::string& source, std::uint64_t firstByte,
                                            std::uint64_t sourceBytes,
                                            const mp3::GainSettings& gain) {
    auto opened = mp3::BlockReader::open(source);
    if (auto* error = std::get_if<mp3::Mp3Error>(&opened)) return *error;
    mp3::BlockReader& file = std::get<mp3::BlockReader>(opened);
    auto walked = mp3::AudioFrames::open(file, mp3::OtherStreams::skip);
    if (auto* error = std::get_if<mp3::Mp3Error>(&walked)) return *error;
    mp3::AudioFrames& frames = std::get<mp3::AudioFrames>(walked);
    const mp3::WalkedFrame first = frames.stream().first;
    if (first.header.layer != 3) {
        return mp3::Mp3Error{mp3::Mp3Fault::notLayer3, first.offset, 0, first.word};
    }

    // The audio frames whose header and side information lie inside the copy.
    const std::uint64_t endByte = firstByte + sourceBytes;
    ClipEdits edits;
    std::uint32_t samplesPerFrame = first.header.samplesPerFrame;
    const auto ended = frames.walk([&](std::uint64_t, const mp3::WalkedFrame& frame) {
        if (frame.offset >= endByte) return false;
        if (frame.header.layer != 3) return true;
        if (frame.offset >= firstByte && frame.offset + frame.header.sideInfoEnd() <= endByte) {
            edits.frames.push_back({static_cast<std::uint32_t>(frame.offset - firstByte + 1),
                                    static_cast<std::uint8_t>(frame.header.sideInfoEnd())});
            samplesPerFrame = frame.header.samplesPerFrame;
        }
        return true;
    });
    if (ended) return *ended;

    if (frames.stream().info.skippedByDecoder) {
        clearInfoFrameGain(file, first, firstByte, endByte, edits.patches);
    }
    edits.editor.emplace(mp3::GainPlan(gain.atRate(first.header.sampleRate),
                                       {0, edits.frames.size() * samplesPerFrame}));
    return edits;
}

}  // namespace snipwell
