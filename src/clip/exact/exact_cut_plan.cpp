#include "clip/exact/exact_cut_plan.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "clip/exact/copy_start.h"
#include "clip/exact/info_frame_writer.h"
#include "clip/exact/layer3_frame.h"
#include "clip/exact/mp3_frame_walker.h"

namespace snipwell::exact {
namespace {

// Report progress about once a megabyte.
constexpr std::uint64_t progressStepBytes = 1024 * 1024;

// Frames before the first copied one whose payload may hold reservoir bytes:
// 511 bytes spread over the smallest frames any stream has.
constexpr std::uint64_t reservoirLookbackFrames = 16;

std::string secondsText(std::int64_t ms) {
    const std::string fraction = std::to_string(1000 + ms % 1000).substr(1);
    return std::to_string(ms / 1000) + "." + fraction + " s";
}

// The encoder fields of a Xing/Info frame's LAME extension, where it has one.
SourceEncoderInfo readSourceEncoder(const std::uint8_t* frame, const mci::MpegFrameHeader& header) {
    SourceEncoderInfo info;
    const std::uint32_t xing = header.sideInfoEnd();
    if (header.frameBytes < xing + 8) return info;
    if (std::memcmp(frame + xing, "Xing", 4) != 0 && std::memcmp(frame + xing, "Info", 4) != 0) {
        return info;
    }
    const std::uint32_t flags = mci::readBigEndian32(frame + xing + 4);
    std::uint32_t at = xing + 8;
    if (flags & 1u) at += 4;
    if (flags & 2u) at += 4;
    if (flags & 4u) at += 100;
    if (flags & 8u) {
        if (at + 4 <= header.frameBytes) info.quality = mci::readBigEndian32(frame + at);
        at += 4;
    }
    if (at + 36 > header.frameBytes) return info;
    const std::uint8_t* lame = frame + at;
    info.hasLameExtension = true;
    std::copy(lame, lame + 9, info.name.begin());
    info.revisionAndMethod = lame[9];
    info.lowpassHundredsHz = lame[10];
    info.miscFlags = lame[24];
    return info;
}

struct SampleWindow {
    std::uint64_t rawBegin = 0;  // decoder output position of the first wanted sample
    std::uint64_t rawEnd = 0;    // ... and of the first sample after the clip
};

// Reads the source's info frame and encoder fields from its first frame;
// false when that frame cannot be read.
bool readSourceTags(mci::BlockFileReader& file, const WalkedFrame& first, ExactCutPlan& plan) {
    const std::uint8_t* bytes = file.bytesAt(first.offset, first.header.frameBytes);
    if (bytes == nullptr) return false;
    plan.sourceInfo = mci::readInfoFrame(bytes, first.header);
    plan.sourceEncoder = readSourceEncoder(bytes, first.header);
    if (!plan.sourceInfo.skippedByDecoder && first.header.hasCrc) {
        // The common encoder writes its info tag where it would lie
        // without a CRC, two bytes early, even in a stream with CRCs;
        // decoders look there too.
        mci::MpegFrameHeader withoutCrc = first.header;
        withoutCrc.hasCrc = false;
        plan.sourceInfo = mci::readInfoFrame(bytes, withoutCrc);
        plan.sourceEncoder = readSourceEncoder(bytes, withoutCrc);
    }
    return true;
}

// Takes in the frames around the copy, one at a time in stream order: those
// just before the first copied frame for the reservoir bytes they leave, the
// copied ones for how far they reach back into that reservoir and for the
// extent and bitrates of the copy.
class CopiedFrames {
public:
    CopiedFrames(std::uint64_t firstCopied, std::uint64_t lastCopied, std::uint32_t reservoirLimit)
        : firstCopied_(firstCopied),
          lastCopied_(lastCopied),
          lookbackFrom_(
              firstCopied > reservoirLookbackFrames ? firstCopied - reservoirLookbackFrames : 0),
          reservoirLimit_(reservoirLimit) {}

    // Frames before the lookback and after the last copied one play no part.
    bool wants(std::uint64_t index) const { return index >= lookbackFrom_ && index <= lastCopied_; }

    void take(std::uint64_t index, const WalkedFrame& frame, const std::uint8_t* bytes,
              ExactCutPlan& plan) {
        if (index < firstCopied_) {
            keepPayload(frame.header, bytes);
        } else {
            copy(index, frame, bytes, plan);
        }
    }

    std::uint32_t reservoirNeeded() const { return reservoirNeeded_; }
    const std::vector<std::uint8_t>& recentPayload() const { return recentPayload_; }

private:
    // Only the last reservoirLimit_ bytes before the first copied frame can
    // be reached back to.
    void keepPayload(const mci::MpegFrameHeader& header, const std::uint8_t* bytes) {
        recentPayload_.insert(recentPayload_.end(), bytes + header.sideInfoEnd(),
                              bytes + header.frameBytes);
        if (recentPayload_.size() > reservoirLimit_) {
            recentPayload_.erase(
                recentPayload_.begin(),
                recentPayload_.end() - static_cast<std::ptrdiff_t>(reservoirLimit_));
        }
    }

    void copy(std::uint64_t index, const WalkedFrame& frame, const std::uint8_t* bytes,
              ExactCutPlan& plan) {
        if (index == firstCopied_) {
            plan.firstCopiedOffset = frame.offset;
            plan.streamWord = frame.word;
            plan.bitrateIndex = bitrateIndexOf(frame.word);
            plan.lowestBitrateKbps = frame.header.bitrateKbps;
        }
        noteReachBack(frame.header, bytes);
        payloadSinceFirst_ += payloadBytes(frame.header);
        ++plan.copiedFrames;
        // Anything between the copied frames is copied as well, so that the
        // decoder meets the same bytes as in the source and resynchronises
        // the same way.
        plan.copiedBytes = frame.offset + frame.header.frameBytes - plan.firstCopiedOffset;
        if (bitrateIndexOf(frame.word) != plan.bitrateIndex) plan.constantBitrate = false;
        plan.lowestBitrateKbps = std::min(plan.lowestBitrateKbps, frame.header.bitrateKbps);
    }

    // How far before the first copied frame's payload this frame's main
    // data starts: the priming frame must hold that much.
    void noteReachBack(const mci::MpegFrameHeader& header, const std::uint8_t* bytes) {
        if (payloadSinceFirst_ >= reservoirLimit_) return;
        const std::uint32_t begins = mainDataBegin(bytes, header);
        if (begins > payloadSinceFirst_) {
            reservoirNeeded_ =
                std::max(reservoirNeeded_, static_cast<std::uint32_t>(begins - payloadSinceFirst_));
        }
    }

    std::uint64_t firstCopied_;
    std::uint64_t lastCopied_;
    std::uint64_t lookbackFrom_;
    std::uint32_t reservoirLimit_;
    std::vector<std::uint8_t>
        recentPayload_;                    // the last bytes of the reservoir before firstCopied_
    std::uint64_t payloadSinceFirst_ = 0;  // reservoir bytes from firstCopied_ on
    std::uint32_t reservoirNeeded_ = 0;
};

// Walks the rest of the stream once, reporting progress about once a
// megabyte and handing the frames around the copy to `frames`. The number of
// audio frames (an info frame the decoder skips not counted), or why the
// walk failed.
std::variant<std::uint64_t, std::string> walkAudioFrames(
    Mp3FrameWalker& walker, mci::BlockFileReader& file, bool skipInfoFrame, CopiedFrames& frames,
    ExactCutPlan& plan, const std::function<void(double)>& progress) {
    std::uint64_t audioFrames = 0;
    std::uint64_t nextProgress = 0;
    while (const auto frame = walker.next()) {
        if (skipInfoFrame) {
            skipInfoFrame = false;
            continue;
        }
        const std::uint64_t index = audioFrames++;
        if (progress && frame->offset >= nextProgress) {
            progress(static_cast<double>(frame->offset) / static_cast<double>(file.size()));
            nextProgress = frame->offset + progressStepBytes;
        }
        if (!frames.wants(index)) continue;

        const std::uint8_t* bytes = file.bytesAt(frame->offset, frame->header.frameBytes);
        if (bytes == nullptr) return std::string("cannot read the source");
        frames.take(index, *frame, bytes, plan);
    }
    if (walker.refused()) return walker.refusal();
    if (progress) progress(1.0);
    return audioFrames;
}

// The samples the source plays: what its frames put out, less its own
// gapless trim at both ends.
std::uint64_t sourcePlayedSamples(const mci::Mp3InfoFrame& info, std::uint64_t audioFrames,
                                  std::uint64_t samplesPerFrame, std::uint64_t sourceLead) {
    // Where the source's decode ends, in decoder output samples.
    const std::uint64_t rawTotal = audioFrames * samplesPerFrame;
    std::uint64_t rawPlayedEnd = rawTotal;
    if (info.hasGaplessInfo) {
        const bool cutShort = info.declaredFrames != 0 && audioFrames < info.declaredFrames;
        if (!cutShort && info.endPadding >= decoderDelaySamples) {
            rawPlayedEnd =
                rawTotal - std::min<std::uint64_t>(rawTotal, info.endPadding - decoderDelaySamples);
        }
    }
    return rawPlayedEnd > sourceLead ? rawPlayedEnd - sourceLead : 0;
}

// Sets the priming frames and the clip's encoder delay and padding, which
// trim its decode to the marks; the reason when they do not fit.
std::optional<std::string> trimToMarks(ExactCutPlan& plan, const CopyStart& copyStart,
                                       const SampleWindow& wanted, std::uint32_t reservoirNeeded) {
    // A priming frame goes first where the copy start asks for one, and
    // wherever the first copied frames reach back into the reservoir.
    // (At the stream's start the first frame normally needs none; one that
    // does belongs to a damaged stream, whose decode is approximate anyway.)
    plan.primingFrames = copyStart.primingFrames;
    if (reservoirNeeded > 0 && plan.primingFrames == 0) plan.primingFrames = 1;
    const std::uint64_t spf = plan.samplesPerFrame;
    const std::uint64_t lead = plan.primingFrames * spf;
    const std::uint64_t clipRawBegin = lead + wanted.rawBegin - copyStart.firstFrame * spf;
    const std::uint64_t clipRawEnd = lead + wanted.rawEnd - copyStart.firstFrame * spf;
    const std::uint64_t clipFrames = plan.primingFrames + plan.copiedFrames;
    const std::uint64_t delay = clipRawBegin - decoderDelaySamples;
    const std::uint64_t padding = clipFrames * spf + decoderDelaySamples - clipRawEnd;
    if (delay > maxGaplessField || padding > maxGaplessField) {
        return std::string("the clip's encoder delay or padding does not fit its info frame");
    }
    plan.encoderDelay = static_cast<std::uint32_t>(delay);
    plan.endPadding = static_cast<std::uint32_t>(padding);
    return std::nullopt;
}

// The reservoir bytes the first copied frames reach back to. Bytes the
// source itself never had (a broken stream) stay zero.
void fillReservoir(ExactCutPlan& plan, const CopiedFrames& frames) {
    const std::vector<std::uint8_t>& recent = frames.recentPayload();
    plan.reservoir.assign(frames.reservoirNeeded(), 0);
    const std::size_t known = std::min<std::size_t>(frames.reservoirNeeded(), recent.size());
    std::copy(recent.end() - static_cast<std::ptrdiff_t>(known), recent.end(),
              plan.reservoir.end() - static_cast<std::ptrdiff_t>(known));
}

}  // namespace

std::variant<ExactCutPlan, std::string> planExactCut(mci::BlockFileReader& file,
                                                     std::int64_t beginMs, std::int64_t endMs,
                                                     const std::function<void(double)>& progress) {
    if (beginMs < 0) return std::string("invalid selection: the begin mark is negative");
    if (endMs <= beginMs) {
        return std::string("invalid selection: the begin mark must come before the end mark");
    }
    ExactCutPlan plan;
    plan.layout = mci::findTagLayout(file);
    Mp3FrameWalker walker(file, plan.layout.audio);
    if (!walker.start()) return walker.refusal();

    const WalkedFrame first = walker.firstFrame();
    plan.sampleRate = first.header.sampleRate;
    plan.samplesPerFrame = first.header.samplesPerFrame;
    const std::uint64_t spf = plan.samplesPerFrame;
    if (!readSourceTags(file, first, plan)) return std::string("cannot read the source");
    // The source's own gapless trim: its decode starts this many samples
    // into what its frames put out.
    const std::uint64_t sourceLead =
        plan.sourceInfo.hasGaplessInfo ? plan.sourceInfo.encoderDelay + decoderDelaySamples : 0;
    const auto beginSample = static_cast<std::uint64_t>(beginMs) * plan.sampleRate / 1000;
    const auto endSample = static_cast<std::uint64_t>(endMs) * plan.sampleRate / 1000;
    const SampleWindow wanted{beginSample + sourceLead, endSample + sourceLead};

    const CopyStart copyStart =
        chooseCopyStart(wanted.rawBegin, plan.samplesPerFrame, sourceLead, first.header.mono);
    const std::uint64_t firstCopied = copyStart.firstFrame;
    const std::uint64_t lastCopied = (wanted.rawEnd - 1) / spf;
    CopiedFrames frames(firstCopied, lastCopied, maxReservoirBytes(first.header.version));

    auto walked =
        walkAudioFrames(walker, file, plan.sourceInfo.skippedByDecoder, frames, plan, progress);
    if (auto* reason = std::get_if<std::string>(&walked)) return *reason;
    const std::uint64_t audioFrames = std::get<std::uint64_t>(walked);

    const std::uint64_t sourceSamples =
        sourcePlayedSamples(plan.sourceInfo, audioFrames, spf, sourceLead);
    if (endSample > sourceSamples) {
        const auto trackMs = static_cast<std::int64_t>(sourceSamples * 1000 / plan.sampleRate);
        return "the end mark " + secondsText(endMs) + " lies past the end of the track (" +
               secondsText(trackMs) + ")";
    }
    if (plan.copiedFrames != lastCopied - firstCopied + 1)
        return std::string("cannot read the source");

    if (auto reason = trimToMarks(plan, copyStart, wanted, frames.reservoirNeeded()))
        return *reason;
    plan.clipSamples = endSample - beginSample;
    plan.clipMs = endMs - beginMs;
    fillReservoir(plan, frames);
    return plan;
}

}  // namespace snipwell::exact
