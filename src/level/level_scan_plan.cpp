#include "level/level_scan_plan.h"

#include <algorithm>

#include "mp3/audio_frames.h"
#include "mp3/played_samples.h"

namespace snipwell::level {
namespace {

struct FrameAt {
    std::uint64_t index = 0;
    std::uint64_t offset = 0;
};

// Follows the walk and notes the frames the plan needs. Samples here are
// "raw": counted from the first audio frame's first sample, as a decode of
// every sample of every frame gives them.
class ShareFrames {
public:
    ShareFrames(const mp3::AudioStream& stream, const LevelScanAsk& ask)
        : samplesPerFrame_(stream.samplesPerFrame),
          windowSamples_(ask.windowSamples),
          rawBegin_(stream.lead + (ask.range ? ask.range->begin : 0)),
          rawWantedEnd_(ask.range ? stream.lead + ask.range->end : UINT64_MAX),
          seamByte_(ask.shareBetweenTwo && !ask.range && ask.windowSamples > 0
                        ? std::optional(stream.layout.audio.begin + stream.layout.audio.size() / 2)
                        : std::nullopt) {}

    void visit(std::uint64_t index, const mp3::WalkedFrame& frame) {
        frames_ = index + 1;
        const std::uint64_t raw = index * samplesPerFrame_;
        if (raw >= rawWantedEnd_) return;
        last_ = {index, frame.offset};
        if (!first_ && raw + samplesPerFrame_ > rawBegin_) first_ = last_;
        if (!first_ || !seamByte_ || seam_) return;
        if (!seamRaw_ && frame.offset >= *seamByte_) {
            // The first window boundary at or after this frame's first sample.
            const std::uint64_t measured = raw > rawBegin_ ? raw - rawBegin_ : 0;
            const std::uint64_t window = windowSamples_;
            seamRaw_ = rawBegin_ + (measured + window - 1) / window * window;
        }
        if (seamRaw_ && *seamRaw_ < raw + samplesPerFrame_) seam_ = last_;
    }

    // The parts, once the walk is over and the track's end known.
    std::vector<ProbeShare> shares(std::uint64_t rawEnd) const {
        if (!first_ || rawEnd <= rawBegin_) return {};
        const auto from = [&](const FrameAt& frame, std::uint64_t rawFirst, std::uint64_t rawUntil,
                              const FrameAt& until) {
            return ProbeShare{
                frame.offset, until.offset + 1 - frame.offset,
                LevelWindowing{windowSamples_, rawFirst - frame.index * samplesPerFrame_,
                               rawUntil - rawFirst}};
        };
        if (!seam_ || *seamRaw_ <= rawBegin_ || *seamRaw_ >= rawEnd) {
            return {from(*first_, rawBegin_, rawEnd, *last_)};
        }
        return {from(*first_, rawBegin_, *seamRaw_, *seam_),
                from(*seam_, *seamRaw_, rawEnd, *last_)};
    }

    std::uint64_t frames() const { return frames_; }

private:
    std::uint64_t samplesPerFrame_;
    std::uint32_t windowSamples_;
    std::uint64_t rawBegin_;
    std::uint64_t rawWantedEnd_;
    std::optional<std::uint64_t> seamByte_;
    std::uint64_t frames_ = 0;
    std::optional<FrameAt> first_;  // holds the first sample measured
    std::optional<FrameAt> last_;   // the last one that starts before the range's end
    std::optional<std::uint64_t> seamRaw_;
    std::optional<FrameAt> seam_;  // holds seamRaw_
};

}  // namespace

std::variant<LevelScanPlan, mp3::Mp3Error> planLevelScan(mp3::BlockReader& file,
                                                         const LevelScanAsk& ask) {
    auto opened = mp3::AudioFrames::open(file, mp3::OtherStreams::skip);
    if (auto* error = std::get_if<mp3::Mp3Error>(&opened)) return *error;
    auto& audio = std::get<mp3::AudioFrames>(opened);
    const mp3::AudioStream& stream = audio.stream();

    ShareFrames frames(stream, ask);
    const auto failed = audio.walk([&](std::uint64_t index, const mp3::WalkedFrame& frame) {
        frames.visit(index, frame);
        return true;
    });
    if (failed) return *failed;

    LevelScanPlan plan;
    plan.sampleRate = stream.sampleRate;
    const std::uint64_t played = mp3::playedSamples(stream, frames.frames());
    plan.firstSample = ask.range ? std::min(ask.range->begin, played) : 0;
    const std::uint64_t end = ask.range ? std::min(ask.range->end, played) : played;
    plan.samples = end > plan.firstSample ? end - plan.firstSample : 0;
    if (ask.windowSamples == 0 || plan.samples == 0) return plan;
    plan.shares = frames.shares(stream.lead + end);
    return plan;
}

}  // namespace snipwell::level
