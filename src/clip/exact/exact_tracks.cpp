#include "clip/exact/exact_tracks.h"

#include <algorithm>
#include <deque>

#include "clip/exact/clip_stream_writer.h"
#include "clip/exact/source_stream.h"
#include "clip/exact/track_committer.h"
#include "clip/exact/track_plan.h"
#include "clip/exact/track_writer.h"
#include "mp3/audio_frames.h"
#include "mp3/block_reader.h"
#include "mp3/id3v2_length_update.h"

namespace snipwell::exact {
namespace {

// Report progress about once a megabyte.
constexpr std::uint64_t kProgressStepBytes = 1024 * 1024;

// A refusal met deep in the walk, carried out of it to where the walk's
// failures are handled.
struct Refused {
    ExactCutRefusal refusal;
};

void refuseIf(const std::optional<ExactCutRefusal>& refusal) {
    if (refusal) throw Refused{*refusal};
}

ExactCutRefusal sourceChanged(const mp3::BlockReader& file, std::uint64_t offset) {
    return refusalOf(file.failure().value_or(mp3::Mp3Error{mp3::Mp3Fault::changed, offset}));
}

std::uint64_t sampleAt(std::int64_t ms, std::uint32_t rate) {
    return static_cast<std::uint64_t>(ms) * rate / 1000;
}

std::int64_t millisecondsOf(std::uint64_t samples, std::uint32_t rate) {
    return static_cast<std::int64_t>(samples * 1000 / rate);
}

ExactResult<std::unique_ptr<mp3::BlockReader>> openFile(const std::string& path) {
    auto reader = mp3::BlockReader::open(path);
    if (auto* error = std::get_if<mp3::Mp3Error>(&reader)) return refusalOf(*error);
    return std::make_unique<mp3::BlockReader>(std::move(std::get<mp3::BlockReader>(reader)));
}

// One track while it is written: its temporary file, the buffer in front of
// it and the writer that fills it from the walk's frames.
struct OpenTrack {
    std::size_t index = 0;
    std::unique_ptr<ClipTarget> target;
    std::unique_ptr<ClipStreamWriter> out;
    std::unique_ptr<ExactTrackWriter> writer;
    // The ID3v1 tag to end with: the job's, or the source's own.
    std::optional<std::array<std::uint8_t, mp3::kId3v1Bytes>> id3v1;
    bool endsWithSourceId3v1 = false;
};

class TrackWalk {
public:
    TrackWalk(const TrackJob& job, const std::vector<TrackPlan>& plans, mp3::BlockReader& file,
              mp3::AudioFrames frames, Files& files, const TrackCallbacks& callbacks)
        : job_(job),
          plans_(plans),
          file_(file),
          frames_(std::move(frames)),
          files_(files),
          callbacks_(callbacks) {
        if (!afterTheWalk()) committer_.emplace(callbacks.saved);
    }

    ExactResult<std::vector<ExactClip>> run() {
        try {
            walkAndWrite();
            return std::move(clips_);
        } catch (...) {
            // The failure befell a commit, or the track the walk was busy
            // with; told before the commits that follow may fail as well.
            if (callbacks_.failed) {
                callbacks_.failed(committer_ ? committer_->thrownFailureTrack().value_or(busyTrack_)
                                             : busyTrack_);
            }
            // The tracks finished before the failure are whole: they still
            // go onto the disk before the failure is told.
            try {
                if (committer_) committer_->finish();
            } catch (...) {  // the first failure is the one told
            }
            try {
                throw;
            } catch (const Refused& refused) {
                return refused.refusal;
            }
        }
    }

private:
    bool afterTheWalk() const { return job_.commits == TrackCommits::afterTheWalk; }

    void walkAndWrite() {
        if (afterTheWalk()) {
            while (next_ < plans_.size()) openTrack();
        }
        std::uint64_t nextProgress = 0;
        std::uint64_t audioFrames = 0;
        std::optional<ExactCutRefusal> refused;
        const auto ended = frames_.walk([&](std::uint64_t index, const mp3::WalkedFrame& frame) {
            audioFrames = index + 1;
            if (callbacks_.progress && frame.offset >= nextProgress) {
                callbacks_.progress(frame.offset, file_.size());
                nextProgress = frame.offset + kProgressStepBytes;
            }
            refused = take(index, frame);
            return !refused;
        });
        refuseIf(refused);
        if (ended) throw Refused{refusalOf(*ended)};
        if (afterTheWalk()) {
            finishAfterTheWalk(audioFrames);
            return;
        }
        committer_->finish();
        if (next_ < plans_.size() || !open_.empty()) {
            // The walk ended before the last track did: the source is shorter
            // than when it was measured.
            throw Refused{refusalOf(mp3::Mp3Error{mp3::Mp3Fault::changed, file_.size()})};
        }
    }

    std::optional<ExactCutRefusal> take(std::uint64_t index, const mp3::WalkedFrame& frame) {
        while (next_ < plans_.size() && plans_[next_].lookbackFrom <= index) openTrack();
        for (OpenTrack& track : open_) {
            if (track.writer->pastTrack(index)) continue;
            busyTrack_ = track.index;
            if (auto refused = track.writer->take(index, frame, file_)) return refused;
        }
        if (afterTheWalk()) return std::nullopt;
        // Tracks end in order: the one that ends first was opened first.
        while (!open_.empty() && open_.front().writer->complete()) {
            finishTrack(open_.front());
            open_.pop_front();
        }
        return std::nullopt;
    }

    // Once the whole source is walked: a track that ends past the samples it
    // plays is refused, then every track is finished and committed, here on
    // the caller's thread (whose Files may run a commit beside its events).
    void finishAfterTheWalk(std::uint64_t audioFrames) {
        const SourceStream& stream = frames_.stream();
        const std::uint64_t sourceSamples = stream.playedSamples(audioFrames);
        for (const OpenTrack& track : open_) {
            if (plans_[track.index].endSample > sourceSamples) {
                ExactCutRefusal refusal = refusalOf(ExactRefusalKind::endPastTrack);
                refusal.endMs = job_.tracks[track.index].endMs;
                refusal.trackMs = millisecondsOf(sourceSamples, stream.sampleRate);
                throw Refused{refusal};
            }
        }
        for (OpenTrack& track : open_) finishTrack(track);
        if (callbacks_.progress) callbacks_.progress(file_.size(), file_.size());
        for (OpenTrack& track : open_) {
            busyTrack_ = track.index;
            track.target->commit();
            track.target.reset();
            if (callbacks_.saved) callbacks_.saved(track.index, clips_[track.index].bytes);
        }
        open_.clear();
    }

    void openTrack() {
        const std::size_t index = next_++;
        busyTrack_ = index;
        const TrackToWrite& wanted = job_.tracks[index];
        const SourceStream& stream = frames_.stream();
        OpenTrack track;
        track.index = index;
        track.target = files_.createTarget(wanted.targetPath);
        track.out = std::make_unique<ClipStreamWriter>(*track.target);
        if (job_.tagsOf) {
            TrackTagBytes tags = job_.tagsOf(index);
            track.out->append(tags.id3v2.data(), tags.id3v2.size());
            track.id3v1 = tags.id3v1;
        } else {
            // The source's own tags, each with the track's length.
            auto sink = [&](const std::uint8_t* bytes, std::size_t count) {
                track.out->append(bytes, count);
            };
            for (const mp3::ByteSpan& tag : stream.layout.id3v2Tags) {
                if (auto error = mp3::copyId3v2Tag(file_, tag, plans_[index].milliseconds, sink)) {
                    throw Refused{refusalOf(*error)};
                }
            }
            track.endsWithSourceId3v1 = stream.layout.id3v1Offset.has_value();
        }
        track.writer = std::make_unique<ExactTrackWriter>(stream, plans_[index], *track.out,
                                                          track.id3v1 || track.endsWithSourceId3v1);
        if (wanted.gain.changesAnything()) {
            track.writer->setGain(wanted.gain.atRate(stream.sampleRate));
        }
        open_.push_back(std::move(track));
    }

    void finishTrack(OpenTrack& track) {
        busyTrack_ = track.index;
        auto finished = track.writer->finish();
        if (auto* refused = std::get_if<ExactCutRefusal>(&finished)) throw Refused{*refused};
        const ExactClip& clip = std::get<ExactClip>(finished);
        if (track.endsWithSourceId3v1) appendSourceId3v1(*track.out);
        if (track.id3v1) track.out->append(track.id3v1->data(), track.id3v1->size());
        track.out->flush();
        if (wantsGain(track.index) && callbacks_.clamped) {
            callbacks_.clamped(track.index, clip.clampedGranules);
        }
        clips_.resize(std::max(clips_.size(), track.index + 1));
        clips_[track.index] = clip;
        track.writer.reset();
        track.out.reset();
        if (committer_) committer_->handOver(track.index, std::move(track.target), clip.bytes);
    }

    void appendSourceId3v1(ClipStreamWriter& out) {
        const auto at = *frames_.stream().layout.id3v1Offset;
        const std::uint8_t* tag = file_.bytesAt(at, mp3::id3v1Bytes);
        if (tag == nullptr) throw Refused{sourceChanged(file_, at)};
        out.append(tag, mp3::id3v1Bytes);
    }

    bool wantsGain(std::size_t index) const { return job_.tracks[index].gain.changesAnything(); }

    const TrackJob& job_;
    const std::vector<TrackPlan>& plans_;
    mp3::BlockReader& file_;
    mp3::AudioFrames frames_;
    Files& files_;
    const TrackCallbacks& callbacks_;
    std::vector<ExactClip> clips_;
    std::size_t next_ = 0;
    std::deque<OpenTrack> open_;
    // The track the walk last wrote to or opened or finished.
    std::size_t busyTrack_ = 0;
    // For tracks committed as they finish. Last, so that it stops (dropping
    // uncommitted tracks) before the open tracks go.
    std::optional<TrackCommitter> committer_;
};

}  // namespace

struct ExactTracks::Source {
    std::unique_ptr<mp3::BlockReader> file;  // the walker points at it
    mp3::AudioFrames frames;
    std::vector<TrackPlan> plans;
};

ExactTracks::ExactTracks(const TrackJob& job, std::unique_ptr<Source> source)
    : job_(&job), source_(std::move(source)) {}
ExactTracks::ExactTracks(ExactTracks&&) noexcept = default;
ExactTracks& ExactTracks::operator=(ExactTracks&&) noexcept = default;
ExactTracks::~ExactTracks() = default;

ExactResult<ExactTracks> ExactTracks::open(const TrackJob& job) {
    const bool inSamples = job.sampleRate != 0;
    if (!inSamples) {
        for (const TrackToWrite& track : job.tracks) {
            if (track.beginMs < 0) return refusalOf(ExactRefusalKind::negativeBegin);
            if (track.endMs <= track.beginMs) return refusalOf(ExactRefusalKind::beginNotBeforeEnd);
        }
    }
    auto file = openFile(job.sourcePath);
    if (auto* refused = std::get_if<ExactCutRefusal>(&file)) return *refused;
    auto& reader = std::get<std::unique_ptr<mp3::BlockReader>>(file);
    auto opened = openSourceStream(*reader);
    if (auto* refused = std::get_if<ExactCutRefusal>(&opened)) return *refused;
    auto source = std::make_unique<Source>(
        Source{std::move(reader), std::move(std::get<mp3::AudioFrames>(opened)), {}});
    const SourceStream& stream = source->frames.stream();
    if (inSamples && stream.sampleRate != job.sampleRate) {
        return refusalOf(mp3::Mp3Error{mp3::Mp3Fault::changed, stream.first.offset});
    }
    const std::uint32_t rate = stream.sampleRate;
    for (const TrackToWrite& track : job.tracks) {
        source->plans.push_back(
            inSamples ? planTrack(stream, track.beginSample, track.endSample, track.milliseconds)
                      : planTrack(stream, sampleAt(track.beginMs, rate),
                                  sampleAt(track.endMs, rate), track.milliseconds));
    }
    return ExactTracks(job, std::move(source));
}

ExactResult<TrackSourceBytes> ExactTracks::sourceBytesOf(std::size_t index) {
    const TrackPlan& plan = source_->plans.at(index);
    const SourceStream& stream = source_->frames.stream();
    TrackSourceBytes bytes;
    bool reachedEnd = false;
    std::uint64_t walked = 0;
    mp3::AudioFrames frames = source_->frames;
    const auto ended = frames.walk([&](std::uint64_t at, const mp3::WalkedFrame& frame) {
        if (at == plan.copyStart.firstFrame) bytes.offset = frame.offset;
        if (at == plan.lastCopied) {
            bytes.length = frame.offset + frame.header.frameBytes - bytes.offset;
            reachedEnd = true;
            return false;
        }
        walked = at + 1;
        return true;
    });
    if (ended) return refusalOf(*ended);
    if (!reachedEnd) {
        ExactCutRefusal refusal = refusalOf(ExactRefusalKind::endPastTrack);
        refusal.endMs = job_->tracks[index].endMs;
        refusal.trackMs = millisecondsOf(stream.playedSamples(walked), stream.sampleRate);
        return refusal;
    }
    return bytes;
}

ExactResult<std::vector<ExactClip>> ExactTracks::write(Files& files,
                                                       const TrackCallbacks& callbacks) {
    return TrackWalk(*job_, source_->plans, *source_->file, source_->frames, files, callbacks)
        .run();
}

ExactResult<ExactSourceLength> measureExactSource(const std::string& path) {
    auto file = openFile(path);
    if (auto* refused = std::get_if<ExactCutRefusal>(&file)) return *refused;
    auto opened = openSourceStream(*std::get<std::unique_ptr<mp3::BlockReader>>(file));
    if (auto* refused = std::get_if<ExactCutRefusal>(&opened)) return *refused;
    mp3::AudioFrames& frames = std::get<mp3::AudioFrames>(opened);
    std::uint64_t audioFrames = 0;
    const auto ended = frames.walk([&](std::uint64_t index, const mp3::WalkedFrame&) {
        audioFrames = index + 1;
        return true;
    });
    if (ended) return refusalOf(*ended);
    return ExactSourceLength{frames.stream().sampleRate,
                             frames.stream().playedSamples(audioFrames)};
}

}  // namespace snipwell::exact
