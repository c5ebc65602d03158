#include "mp3/length.h"

#include "mp3/frame_walker.h"
#include "mp3/info_frame.h"
#include "mp3/tag_layout.h"

namespace snipwell::mp3 {

std::int64_t TrackLength::milliseconds() const {
    if (sampleRate == 0) return 0;
    return static_cast<std::int64_t>((samples * 1000 + sampleRate / 2) / sampleRate);
}

Mp3Result<TrackLength> measureLength(const std::string& path) {
    auto opened = BlockReader::open(path);
    if (auto* error = std::get_if<Mp3Error>(&opened)) return *error;
    return measureLength(std::get<BlockReader>(opened));
}

Mp3Result<TrackLength> measureLength(BlockReader& file) {
    auto started = FrameWalker::start(file, findTagLayout(file).audio, OtherStreams::skip);
    if (auto* error = std::get_if<Mp3Error>(&started)) return *error;
    FrameWalker& walker = std::get<FrameWalker>(started);
    const WalkedFrame& first = walker.first();

    const std::uint8_t* firstFrame = file.bytesAt(first.offset, first.header.frameBytes);
    if (firstFrame == nullptr) {
        return file.failure().value_or(Mp3Error{Mp3Fault::changed, first.offset});
    }
    const InfoFrame info = readInfoFrame(firstFrame, first.header);

    TrackLength length;
    length.sampleRate = first.header.sampleRate;
    std::uint64_t samples = 0;
    bool skipInfoFrame = info.skippedByDecoder;
    const auto ended = walker.walk([&](const WalkedFrame& frame) {
        if (skipInfoFrame) {
            skipInfoFrame = false;
        } else {
            ++length.audioFrames;
            samples += frame.header.samplesPerFrame;
        }
        return true;
    });
    if (ended) return *ended;
    if (length.audioFrames == 0) return Mp3Error{Mp3Fault::noAudio, first.offset};

    if (info.hasGaplessInfo) {
        // A gapless decoder drops the encoder delay plus its own decoding
        // delay at the start, and at the end the padding less that decoding
        // delay. A file cut short has lost its padded end, so only the start
        // is trimmed.
        const bool cutShort = info.declaredFrames != 0 && length.audioFrames < info.declaredFrames;
        const std::uint64_t trim = cutShort ? std::uint64_t{info.encoderDelay} + decoderDelaySamples
                                            : std::uint64_t{info.encoderDelay} + info.endPadding;
        samples = samples > trim ? samples - trim : 0;
        length.gaplessTrimmed = true;
    }
    length.samples = samples;
    return length;
}

}  // namespace snipwell::mp3
