#include "cut/exact_split_writer.h"

#include <deque>
#include <memory>

#include "clip/exact/clip_stream_writer.h"
#include "clip/exact/source_stream.h"
#include "clip/exact/track_plan.h"
#include "clip/exact/track_writer.h"
#include "common/runtime_error.h"
#include "cut/refusal_text.h"
#include "cut/track_committer.h"
#include "mp3/block_reader.h"

namespace snipwell {
namespace {

constexpr std::uint64_t kProgressStepBytes = 1024 * 1024;

bool bytesCouldSplit(const exact::ExactCutRefusal& refusal) {
    if (refusal.kind != exact::ExactRefusalKind::unreadableSource) return false;
    const mp3::Mp3Fault fault = refusal.source.fault;
    return fault == mp3::Mp3Fault::freeFormat || fault == mp3::Mp3Fault::notLayer3 ||
           fault == mp3::Mp3Fault::streamChanges;
}

[[noreturn]] void refuse(const exact::ExactCutRefusal& refusal, const std::string& source) {
    std::string reason = describeExactRefusal(refusal, source);
    if (bytesCouldSplit(refusal)) reason += " (--bytes splits it by the byte-range rule instead)";
    throw RuntimeError(ErrorKind::FileError, reason);
}

mp3::BlockReader openSource(const std::string& path) {
    auto reader = mp3::BlockReader::open(path);
    if (auto* error = std::get_if<mp3::Mp3Error>(&reader)) {
        throw RuntimeError(ErrorKind::FileError, describeSourceError(*error, path));
    }
    return std::move(std::get<mp3::BlockReader>(reader));
}

exact::OpenedStream openStream(mp3::BlockReader& file, const std::string& path) {
    auto opened = exact::openSourceStream(file);
    if (auto* refusal = std::get_if<exact::ExactCutRefusal>(&opened)) refuse(*refusal, path);
    return std::move(std::get<exact::OpenedStream>(opened));
}

// Walks every audio frame (an info frame the decoder skips passed over),
// handing each to `visit` with its index; whatever the walk or `visit`
// refuses is thrown.
template <typename Visit>
std::uint64_t walkAudioFrames(exact::OpenedStream& opened, const std::string& path, Visit visit) {
    std::uint64_t audioFrames = 0;
    bool skipInfoFrame = opened.stream.info.skippedByDecoder;
    std::optional<exact::ExactCutRefusal> refused;
    const auto ended = opened.walker.walk([&](const mp3::WalkedFrame& frame) {
        if (skipInfoFrame) {
            skipInfoFrame = false;
            return true;
        }
        refused = visit(audioFrames++, frame);
        return !refused;
    });
    if (refused) refuse(*refused, path);
    if (ended) refuse(exact::refusalOf(*ended), path);
    return audioFrames;
}

// One track while it is written: its temporary file, the buffer in front of
// it and the exact cut's writer that fills it from the walk's frames.
struct OpenTrack {
    std::size_t index = 0;
    exact::TrackPlan plan;
    std::unique_ptr<ClipTarget> target;
    std::unique_ptr<exact::ClipStreamWriter> out;
    std::unique_ptr<exact::ExactTrackWriter> writer;
    std::optional<std::array<std::uint8_t, mp3::kId3v1Bytes>> id3v1;
};

class OnePassSplit {
public:
    OnePassSplit(const SplitJob& job, Files& files, const SplitCallbacks& callbacks)
        : job_(job), files_(files), callbacks_(callbacks), committer_(callbacks.saved) {}

    void run() {
        try {
            walkAndWrite();
        } catch (...) {
            // The failure befell a commit, or the track the walk was busy
            // with; told before the commits that follow may fail as well.
            if (callbacks_.failed) {
                callbacks_.failed(committer_.thrownFailureTrack().value_or(busyTrack_));
            }
            // The tracks finished before the failure are whole: they still
            // go onto the disk before the failure is told.
            try {
                committer_.finish();
            } catch (...) {  // the first failure is the one told
            }
            throw;
        }
    }

private:
    void walkAndWrite() {
        mp3::BlockReader file = openSource(job_.sourcePath);
        exact::OpenedStream opened = openStream(file, job_.sourcePath);
        const exact::SourceStream& stream = opened.stream;
        if (stream.sampleRate != job_.plan.sampleRate) {
            throw RuntimeError(ErrorKind::FileError,
                               "\"" + job_.sourcePath + "\" changed while it was being read");
        }
        for (const PlannedTrack& track : job_.plan.tracks) {
            plans_.push_back(
                exact::planTrack(stream, track.beginSample, track.endSample,
                                 samplesToMilliseconds(track.samples(), job_.plan.sampleRate)));
        }
        std::uint64_t nextProgress = 0;
        const double size = static_cast<double>(std::max<std::uint64_t>(1, file.size()));
        walkAudioFrames(
            opened, job_.sourcePath,
            [&](std::uint64_t index,
                const mp3::WalkedFrame& frame) -> std::optional<exact::ExactCutRefusal> {
                if (callbacks_.progress && frame.offset >= nextProgress) {
                    callbacks_.progress(static_cast<double>(frame.offset) / size);
                    nextProgress = frame.offset + kProgressStepBytes;
                }
                return take(index, frame, stream, file);
            });
        if (next_ < plans_.size() || !open_.empty()) {
            // The walk ended before the last track did: the source is shorter
            // than when it was measured.
            committer_.finish();
            throw RuntimeError(ErrorKind::FileError,
                               "\"" + job_.sourcePath + "\" changed while it was being read");
        }
        committer_.finish();
    }

    std::optional<exact::ExactCutRefusal> take(std::uint64_t index, const mp3::WalkedFrame& frame,
                                               const exact::SourceStream& stream,
                                               mp3::BlockReader& file) {
        while (next_ < plans_.size() && plans_[next_].lookbackFrom <= index) openTrack(stream);
        for (OpenTrack& track : open_) {
            if (track.writer->pastTrack(index)) continue;
            busyTrack_ = track.index;
            if (auto refused = track.writer->take(index, frame, file)) return refused;
        }
        // Tracks end in order: the one that ends first was opened first.
        while (!open_.empty() && open_.front().writer->complete()) {
            if (auto refused = finishTrack(open_.front())) return refused;
            open_.pop_front();
        }
        return std::nullopt;
    }

    void openTrack(const exact::SourceStream& stream) {
        const std::size_t index = next_++;
        busyTrack_ = index;
        const PlannedTrack& planned = job_.plan.tracks[index];
        OpenTrack track;
        track.index = index;
        track.plan = plans_[index];
        track.target = files_.createTarget(job_.trackPaths[index]);
        track.out = std::make_unique<exact::ClipStreamWriter>(*track.target);
        const std::vector<std::uint8_t> tag = trackId3v2Tag(job_.tags, job_.plan, planned);
        track.out->append(tag.data(), tag.size());
        track.id3v1 = trackId3v1Tag(job_.tags, job_.plan, planned);
        track.writer = std::make_unique<exact::ExactTrackWriter>(stream, track.plan, *track.out,
                                                                 track.id3v1.has_value());
        if (job_.gain.changesAnything()) {
            track.writer->setGain(job_.gain.atRate(stream.sampleRate));
        }
        open_.push_back(std::move(track));
    }

    std::optional<exact::ExactCutRefusal> finishTrack(OpenTrack& track) {
        busyTrack_ = track.index;
        auto finished = track.writer->finish();
        if (auto* refused = std::get_if<exact::ExactCutRefusal>(&finished)) return *refused;
        if (job_.gain.changesAnything() && callbacks_.clamped) {
            callbacks_.clamped(track.index, std::get<exact::ExactClip>(finished).clampedGranules);
        }
        if (track.id3v1) track.out->append(track.id3v1->data(), track.id3v1->size());
        track.out->flush();
        const std::uint64_t bytes = track.out->written();
        track.writer.reset();
        track.out.reset();
        committer_.handOver(track.index, std::move(track.target), bytes);
        return std::nullopt;
    }

    const SplitJob& job_;
    Files& files_;
    const SplitCallbacks& callbacks_;
    std::vector<exact::TrackPlan> plans_;
    std::size_t next_ = 0;
    std::deque<OpenTrack> open_;
    // The track the walk last wrote to or opened or finished.
    std::size_t busyTrack_ = 0;
    // Last, so that it stops (dropping uncommitted tracks) before the open
    // tracks go.
    TrackCommitter committer_;
};

}  // namespace

SourceLength measureExactSource(const std::string& path) {
    mp3::BlockReader file = openSource(path);
    exact::OpenedStream opened = openStream(file, path);
    const std::uint64_t frames =
        walkAudioFrames(opened, path, [](std::uint64_t, const mp3::WalkedFrame&) {
            return std::optional<exact::ExactCutRefusal>{};
        });
    return {opened.stream.sampleRate, opened.stream.playedSamples(frames)};
}

void writeExactTracks(const SplitJob& job, Files& files, const SplitCallbacks& callbacks) {
    OnePassSplit(job, files, callbacks).run();
}

}  // namespace snipwell
