#include "clip/exact/exact_cut.h"

#include <memory>

#include "clip/exact/clip_stream_writer.h"
#include "clip/exact/source_stream.h"
#include "clip/exact/track_plan.h"
#include "mp3/block_reader.h"
#include "mp3/id3v2_length_update.h"

namespace snipwell::exact {
namespace {

// Report progress about once a megabyte.
constexpr std::uint64_t progressStepBytes = 1024 * 1024;

std::optional<ExactCutRefusal> checkMarks(const ExactCutRequest& request) {
    if (request.beginMs < 0) return refusalOf(ExactRefusalKind::negativeBegin);
    if (request.endMs <= request.beginMs) {
        return refusalOf(ExactRefusalKind::beginNotBeforeEnd);
    }
    return std::nullopt;
}

std::uint64_t sampleAt(std::int64_t ms, std::uint32_t rate) {
    return static_cast<std::uint64_t>(ms) * rate / 1000;
}

// Copies the source's ID3v2 tags in front of the clip, each with the clip's
// length.
std::optional<ExactCutRefusal> writeFrontTags(mp3::BlockReader& file, const SourceStream& stream,
                                              std::int64_t clipMs, ClipStreamWriter& out) {
    auto sink = [&](const std::uint8_t* bytes, std::size_t count) { out.append(bytes, count); };
    for (const mp3::ByteSpan& tag : stream.layout.id3v2Tags) {
        if (auto error = mp3::copyId3v2Tag(file, tag, clipMs, sink)) return refusalOf(*error);
    }
    return std::nullopt;
}

std::optional<ExactCutRefusal> appendId3v1Tag(mp3::BlockReader& file, const SourceStream& stream,
                                              ClipStreamWriter& out) {
    if (!stream.layout.id3v1Offset) return std::nullopt;
    const std::uint8_t* tag = file.bytesAt(*stream.layout.id3v1Offset, mp3::id3v1Bytes);
    if (tag == nullptr) {
        return refusalOf(file.failure().value_or(
            mp3::Mp3Error{mp3::Mp3Fault::changed, *stream.layout.id3v1Offset}));
    }
    out.append(tag, mp3::id3v1Bytes);
    return std::nullopt;
}

// The one walk: every frame of the stream is checked and counted, and those
// the clip needs go to `writer` as they pass. The number of audio frames (an
// info frame the decoder skips not counted), or why the walk failed.
ExactResult<std::uint64_t> walkAndCopy(OpenedStream& opened, mp3::BlockReader& file,
                                       ExactTrackWriter& writer, const ExactCutProgress& progress) {
    std::uint64_t audioFrames = 0;
    std::uint64_t nextProgress = 0;
    bool skipInfoFrame = opened.stream.info.skippedByDecoder;
    std::optional<ExactCutRefusal> refused;
    const auto ended = opened.walker.walk([&](const mp3::WalkedFrame& frame) {
        if (skipInfoFrame) {
            skipInfoFrame = false;
            return true;
        }
        const std::uint64_t index = audioFrames++;
        if (progress && frame.offset >= nextProgress) {
            progress(static_cast<double>(frame.offset) / static_cast<double>(file.size()));
            nextProgress = frame.offset + progressStepBytes;
        }
        if (writer.pastTrack(index)) return true;
        refused = writer.take(index, frame, file);
        return !refused;
    });
    if (refused) return *refused;
    if (ended) return refusalOf(*ended);
    return audioFrames;
}

}  // namespace

ExactResult<ExactClip> cutExactClip(const ExactCutRequest& request, Files& files,
                                    const ExactCutProgress& progress,
                                    const mp3::GainSettings& gain) {
    if (auto refused = checkMarks(request)) return *refused;
    if (isSourceItself(files, request.targetPath, request.sourcePath)) {
        return refusalOf(ExactRefusalKind::targetIsSource);
    }
    auto reader = mp3::BlockReader::open(request.sourcePath);
    if (auto* error = std::get_if<mp3::Mp3Error>(&reader)) return refusalOf(*error);
    mp3::BlockReader& file = std::get<mp3::BlockReader>(reader);
    auto openedOrRefused = openSourceStream(file);
    if (auto* refused = std::get_if<ExactCutRefusal>(&openedOrRefused)) return *refused;
    OpenedStream& opened = std::get<OpenedStream>(openedOrRefused);
    const SourceStream& stream = opened.stream;

    const std::uint64_t beginSample = sampleAt(request.beginMs, stream.sampleRate);
    const std::uint64_t endSample = sampleAt(request.endMs, stream.sampleRate);
    const TrackPlan plan =
        planTrack(stream, beginSample, endSample, request.endMs - request.beginMs);

    std::unique_ptr<ClipTarget> target = files.createTarget(request.targetPath);
    ClipStreamWriter out(*target);
    if (auto refused = writeFrontTags(file, stream, plan.milliseconds, out)) return *refused;
    ExactTrackWriter writer(stream, plan, out, stream.layout.id3v1Offset.has_value());
    if (gain.changesAnything()) writer.setGain(gain.atRate(stream.sampleRate));

    auto walked = walkAndCopy(opened, file, writer, progress);
    if (auto* refused = std::get_if<ExactCutRefusal>(&walked)) return *refused;
    const std::uint64_t sourceSamples = stream.playedSamples(std::get<std::uint64_t>(walked));
    if (endSample > sourceSamples) {
        const auto trackMs = static_cast<std::int64_t>(sourceSamples * 1000 / stream.sampleRate);
        ExactCutRefusal refusal = refusalOf(ExactRefusalKind::endPastTrack);
        refusal.endMs = request.endMs;
        refusal.trackMs = trackMs;
        return refusal;
    }

    auto finished = writer.finish();
    if (auto* refused = std::get_if<ExactCutRefusal>(&finished)) return *refused;
    if (auto refused = appendId3v1Tag(file, stream, out)) return *refused;
    out.flush();
    if (progress) progress(1.0);
    target->commit();
    return finished;
}

}  // namespace snipwell::exact
