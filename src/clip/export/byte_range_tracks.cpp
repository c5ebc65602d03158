#include "clip/export/byte_range_tracks.h"

#include <limits>
#include <utility>

#include "clip/export/byte_range_gain.h"
#include "clip/export/clip_export.h"
#include "clip/export/export_refusal.h"
#include "clip/export/patched_clip_target.h"
#include "clip/export/source_clip_range.h"
#include "common/runtime_error.h"

namespace snipwell {
namespace {

std::int32_t asMilliseconds(std::int64_t ms) {
    if (ms > std::numeric_limits<std::int32_t>::max()) throw RuntimeError::overflow();
    return static_cast<std::int32_t>(ms);
}

TrackSourceBytes sourceBytesOfRange(const ClipRange& range) {
    // The range counts from 1, the bytes the guard decodes from 0.
    return {static_cast<std::uint64_t>(range.beginOffset - 1),
            static_cast<std::uint64_t>(range.clipBytes())};
}

}  // namespace

ByteRangeTracks::ByteRangeTracks(const TrackJob& job, Files& files)
    : job_(job), files_(files), ranges_(job.tracks.size()) {}

const ClipRange& ByteRangeTracks::rangeOf(std::size_t index) {
    std::optional<ClipRange>& range = ranges_.at(index);
    if (!range) {
        const TrackToWrite& track = job_.tracks[index];
        range = clipRangeInSource(job_.sourcePath, files_.fileSize(job_.sourcePath),
                                  asMilliseconds(job_.sourceLengthMs),
                                  asMilliseconds(track.beginMs), asMilliseconds(track.endMs))
                    .range;
    }
    return *range;
}

TrackSourceBytes ByteRangeTracks::sourceBytesOf(std::size_t index) {
    return sourceBytesOfRange(rangeOf(index));
}

void ByteRangeTracks::write(const TrackCallbacks& callbacks) {
    std::uint64_t doneBytes = 0;
    for (std::size_t index = 0; index < job_.tracks.size(); ++index) {
        writeTrack(index, doneBytes, callbacks);
    }
}

void ByteRangeTracks::writeTrack(std::size_t index, std::uint64_t& doneBytes,
                                 const TrackCallbacks& callbacks) {
    const TrackToWrite& track = job_.tracks[index];
    const bool gain = track.gain.changesAnything();
    // With a gain, the frames inside the track's bytes are found first and
    // edited as they are copied.
    ClipEdits edits;
    if (gain) {
        const TrackSourceBytes bytes = sourceBytesOf(index);
        auto planned = planByteRangeGain(job_.sourcePath, bytes.offset, bytes.length, track.gain);
        if (const auto* error = std::get_if<mp3::Mp3Error>(&planned)) {
            throw ExportRefusal(ExportRefusalKind::framesUnwalkable, *error);
        }
        edits = std::move(std::get<ClipEdits>(planned));
    }
    FrameEditTally tally;
    PatchingFiles patched(files_, track.targetPath, std::move(edits), tally);
    ClipExport clip(patched, job_.sourcePath, track.targetPath);
    const ClipRange& range = rangeOf(index);
    const auto trackBytes = static_cast<std::uint64_t>(range.clipBytes());
    if (callbacks.copyStarts) callbacks.copyStarts(index, trackBytes);
    clip.copyInBlocks(range, [&](std::int64_t done, std::int64_t) {
        if (callbacks.progress) {
            callbacks.progress(doneBytes + static_cast<std::uint64_t>(done),
                               doneBytes + trackBytes);
        }
    });
    clip.commit();
    if (gain && callbacks.clamped) callbacks.clamped(index, tally.clampedGranules);
    doneBytes += trackBytes;
    if (callbacks.saved) callbacks.saved(index, trackBytes);
}

}  // namespace snipwell
