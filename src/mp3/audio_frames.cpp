#include "mp3/audio_frames.h"

#include <algorithm>
#include <utility>

#include "mp3/length.h"

namespace snipwell::mp3 {

std::uint64_t AudioStream::playedSamples(std::uint64_t audioFrames) const {
    // Where the decode ends, in decoder output samples.
    const std::uint64_t rawTotal = audioFrames * samplesPerFrame;
    std::uint64_t rawPlayedEnd = rawTotal;
    if (info.hasGaplessInfo) {
        const bool cutShort = info.declaredFrames != 0 && audioFrames < info.declaredFrames;
        if (!cutShort && info.endPadding >= decoderDelaySamples) {
            rawPlayedEnd =
                rawTotal - std::min<std::uint64_t>(rawTotal, info.endPadding - decoderDelaySamples);
        }
    }
    return rawPlayedEnd > lead ? rawPlayedEnd - lead : 0;
}

Mp3Result<AudioFrames> AudioFrames::open(BlockReader& file, OtherStreams others) {
    TagLayout layout = findTagLayout(file);
    auto started = FrameWalker::start(file, layout.audio, others);
    if (auto* error = std::get_if<Mp3Error>(&started)) return *error;
    FrameWalker& walker = std::get<FrameWalker>(started);
    const WalkedFrame& first = walker.first();

    AudioStream stream;
    stream.layout = std::move(layout);
    stream.first = first;
    stream.sampleRate = first.header.sampleRate;
    stream.samplesPerFrame = first.header.samplesPerFrame;
    // Info frames are written into Layer III frames only.
    if (first.header.layer == 3) {
        const std::uint8_t* bytes = file.bytesAt(first.offset, first.header.frameBytes);
        if (bytes == nullptr)
            return file.failure().value_or(Mp3Error{Mp3Fault::changed, first.offset});
        stream.info = readInfoFrame(bytes, first.header);
    }
    if (stream.info.hasGaplessInfo) {
        stream.lead = std::uint64_t{stream.info.encoderDelay} + decoderDelaySamples;
    }
    return AudioFrames(std::move(stream), walker);
}

std::optional<Mp3Error> AudioFrames::walk(const Visit& visit) {
    bool skipInfoFrame = stream_.info.skippedByDecoder;
    std::uint64_t index = 0;
    return walker_.walk([&](const WalkedFrame& frame) {
        if (skipInfoFrame) {
            skipInfoFrame = false;
            return true;
        }
        return visit(index++, frame);
    });
}

}  // namespace snipwell::mp3
