#include "clip/exact/source_stream.h"

#include <algorithm>

#include "mp3/length.h"

namespace snipwell::exact {

std::uint64_t SourceStream::playedSamples(std::uint64_t audioFrames) const {
    // Where the source's decode ends, in decoder output samples.
    const std::uint64_t rawTotal = audioFrames * samplesPerFrame;
    std::uint64_t rawPlayedEnd = rawTotal;
    if (info.hasGaplessInfo) {
        const bool cutShort = info.declaredFrames != 0 && audioFrames < info.declaredFrames;
        if (!cutShort && info.endPadding >= mp3::decoderDelaySamples) {
            rawPlayedEnd = rawTotal - std::min<std::uint64_t>(
                                          rawTotal, info.endPadding - mp3::decoderDelaySamples);
        }
    }
    return rawPlayedEnd > lead ? rawPlayedEnd - lead : 0;
}

ExactResult<OpenedStream> openSourceStream(mp3::BlockReader& file) {
    mp3::TagLayout layout = mp3::findTagLayout(file);
    auto started = mp3::FrameWalker::start(file, layout.audio, mp3::OtherStreams::refuse);
    if (auto* error = std::get_if<mp3::Mp3Error>(&started)) return refusalOf(*error);
    mp3::FrameWalker& walker = std::get<mp3::FrameWalker>(started);
    const mp3::WalkedFrame& first = walker.first();
    if (first.header.layer != 3) {
        return refusalOf(mp3::Mp3Error{mp3::Mp3Fault::notLayer3, first.offset, 0, first.word});
    }
    const std::uint8_t* bytes = file.bytesAt(first.offset, first.header.frameBytes);
    if (bytes == nullptr) {
        return refusalOf(
            file.failure().value_or(mp3::Mp3Error{mp3::Mp3Fault::changed, first.offset}));
    }
    SourceStream stream;
    stream.layout = std::move(layout);
    stream.first = first;
    stream.info = mp3::readInfoFrame(bytes, first.header);
    stream.sampleRate = first.header.sampleRate;
    stream.samplesPerFrame = first.header.samplesPerFrame;
    stream.lead =
        stream.info.hasGaplessInfo ? stream.info.encoderDelay + mp3::decoderDelaySamples : 0;
    return OpenedStream{std::move(stream), walker};
}

}  // namespace snipwell::exact
