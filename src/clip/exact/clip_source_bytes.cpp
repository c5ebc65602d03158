#include "clip/exact/clip_source_bytes.h"

#include "clip/exact/source_stream.h"
#include "clip/exact/track_plan.h"
#include "mp3/block_reader.h"

namespace snipwell::exact {

ExactResult<ClipSourceBytes> exactClipSourceBytes(const ExactCutRequest& request) {
    if (request.beginMs < 0) return refusalOf(ExactRefusalKind::negativeBegin);
    if (request.endMs <= request.beginMs) return refusalOf(ExactRefusalKind::beginNotBeforeEnd);
    auto reader = mp3::BlockReader::open(request.sourcePath);
    if (auto* error = std::get_if<mp3::Mp3Error>(&reader)) return refusalOf(*error);
    mp3::BlockReader& file = std::get<mp3::BlockReader>(reader);
    auto openedOrRefused = openSourceStream(file);
    if (auto* refused = std::get_if<ExactCutRefusal>(&openedOrRefused)) return *refused;
    OpenedStream& opened = std::get<OpenedStream>(openedOrRefused);
    const SourceStream& stream = opened.stream;
    const auto sampleAt = [&](std::int64_t ms) {
        return static_cast<std::uint64_t>(ms) * stream.sampleRate / 1000;
    };
    const TrackPlan plan = planTrack(stream, sampleAt(request.beginMs), sampleAt(request.endMs),
                                     request.endMs - request.beginMs);

    ClipSourceBytes bytes;
    bool reachedEnd = false;
    std::uint64_t index = 0;
    bool skipInfoFrame = stream.info.skippedByDecoder;
    const auto ended = opened.walker.walk([&](const mp3::WalkedFrame& frame) {
        if (skipInfoFrame) {
            skipInfoFrame = false;
            return true;
        }
        if (index == plan.copyStart.firstFrame) bytes.offset = frame.offset;
        if (index == plan.lastCopied) {
            bytes.length = frame.offset + frame.header.frameBytes - bytes.offset;
            reachedEnd = true;
            return false;
        }
        ++index;
        return true;
    });
    if (ended) return refusalOf(*ended);
    if (!reachedEnd) {
        ExactCutRefusal refusal = refusalOf(ExactRefusalKind::endPastTrack);
        refusal.endMs = request.endMs;
        refusal.trackMs =
            static_cast<std::int64_t>(stream.playedSamples(index) * 1000 / stream.sampleRate);
        return refusal;
    }
    return bytes;
}

}  // namespace snipwell::exact
