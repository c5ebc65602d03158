#include "clip/exact/exact_cut.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>

#include "clip/exact/clip_stream_writer.h"
#include "clip/exact/encoder_name.h"
#include "clip/exact/exact_cut_plan.h"
#include "clip/exact/id3v2_length_update.h"
#include "clip/exact/info_frame_writer.h"
#include "clip/exact/layer3_frame.h"
#include "clip/exact/mp3_frame_walker.h"

namespace snipwell::exact {
namespace {

constexpr std::uint64_t progressStepBytes = 1024 * 1024;
// The walk over the whole source and the copy of the clip take about as long
// per byte; the share of the progress each gets.
constexpr double walkShare = 0.5;

std::string readerErrorText(mci::MciError error, const std::string& path) {
    const std::string quoted = "\"" + path + "\"";
    switch (error) {
        case mci::MciError::fileNotFound: return quoted + " does not exist";
        case mci::MciError::notAFile: return quoted + " is not a regular file";
        case mci::MciError::emptyFile: return quoted + " is empty";
        default: return "cannot read " + quoted;
    }
}

// A frame that decodes to silence: header, then side information all zero
// (main_data_begin 0, no audio bits), then `reservoir` at its very end for the
// frames after it to reach back to.
std::vector<std::uint8_t> primingFrame(const ExactCutPlan& plan,
                                       const std::vector<std::uint8_t>& reservoir) {
    const auto header =
        headerHolding(plan.streamWord, static_cast<std::uint32_t>(reservoir.size()));
    if (!header) throw std::runtime_error("no frame of this stream holds the bit reservoir");
    const std::uint32_t word = header->word;
    const std::array<std::uint8_t, 4> headerBytes{
        static_cast<std::uint8_t>(word >> 24), static_cast<std::uint8_t>(word >> 16),
        static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word)};
    std::vector<std::uint8_t> frame(headerBytes.begin(), headerBytes.end());
    frame.resize(header->header.frameBytes, 0);
    std::copy(reservoir.begin(), reservoir.end(),
              frame.end() - static_cast<std::ptrdiff_t>(reservoir.size()));
    return frame;
}

// Fills the TOC as the audio frames go by: entry i holds where, as a share
// of 256 of the stream's bytes, the frame at i % of the playing time starts.
class TocBuilder {
public:
    TocBuilder(std::uint64_t frames, std::uint64_t streamBytes)
        : frames_(frames), streamBytes_(streamBytes) {}

    void frameStartsAt(std::uint64_t frameIndex, std::uint64_t byteOffset) {
        while (next_ < toc_.size() && next_ * frames_ / 100 <= frameIndex) {
            toc_[next_++] = static_cast<std::uint8_t>(
                std::min<std::uint64_t>(255, byteOffset * 256 / streamBytes_));
        }
    }
    const std::array<std::uint8_t, 100>& toc() const { return toc_; }

private:
    std::uint64_t frames_;
    std::uint64_t streamBytes_;
    std::array<std::uint8_t, 100> toc_{};
    std::size_t next_ = 0;
};

// The frames that go before the copied ones. The last of them carries the
// reservoir; any before it carry nothing.
struct PrimingFrames {
    std::uint32_t count = 0;
    std::vector<std::uint8_t> silent;
    std::vector<std::uint8_t> last;

    std::uint64_t bytes() const {
        return count == 0 ? 0 : (count - 1) * silent.size() + last.size();
    }
};

PrimingFrames primingFrames(const ExactCutPlan& plan) {
    PrimingFrames frames;
    frames.count = plan.primingFrames;
    frames.silent = primingFrame(plan, {});
    frames.last = primingFrame(plan, plan.reservoir);
    return frames;
}

// The extent of the clip's MP3 stream, from its info frame to the end of its
// last audio frame.
struct ClipStreamSize {
    std::uint64_t audioFrames = 0;  // after the info frame
    std::uint64_t streamBytes = 0;  // the info frame and all audio frames
    std::uint64_t xingBytes = 0;    // what the info frame states as the stream's bytes
};

ClipStreamSize clipStreamSize(const ExactCutPlan& plan, std::uint32_t infoBytes,
                              const PrimingFrames& priming) {
    ClipStreamSize size;
    size.audioFrames = plan.primingFrames + plan.copiedFrames;
    size.streamBytes = infoBytes + priming.bytes() + plan.copiedBytes;
    // The Xing byte count is the stream's, as the common encoder writes it and
    // libmpg123 checks it (it warns when it is 1 % off). ffmpeg compares it
    // with the file's size after the ID3v2 tag, a trailing ID3v1 tag
    // included, and beyond 5 % ignores the frame count and with it the end
    // padding. Where the ID3v1 tag alone is 5 % of the clip, it is counted in:
    // the clip still plays exactly everywhere, at the cost of the warning.
    const bool id3v1Outweighs = plan.layout.id3v1Offset && mci::id3v1Bytes * 20 >= size.streamBytes;
    size.xingBytes = size.streamBytes + (id3v1Outweighs ? mci::id3v1Bytes : 0);
    if (size.xingBytes > std::numeric_limits<std::uint32_t>::max()) {
        throw std::runtime_error("the clip is larger than an info frame can describe (4 GiB)");
    }
    return size;
}

void writePrimingFrames(const PrimingFrames& priming, ClipStreamWriter& out, TocBuilder& toc,
                        std::uint64_t& streamOffset) {
    for (std::uint32_t index = 0; index < priming.count; ++index) {
        const std::vector<std::uint8_t>& frame =
            index + 1 == priming.count ? priming.last : priming.silent;
        toc.frameStartsAt(index, streamOffset);
        out.append(frame.data(), frame.size());
        streamOffset += frame.size();
    }
}

// Appends the source's bytes from `from` up to `to`, in pieces the reader
// can hand out at once.
void copySourceBytes(mci::BlockFileReader& file, std::uint64_t from, std::uint64_t to,
                     ClipStreamWriter& out) {
    while (from < to) {
        const auto piece = static_cast<std::size_t>(
            std::min<std::uint64_t>(to - from, mci::BlockFileReader::maxSpan));
        const std::uint8_t* bytes = file.bytesAt(from, piece);
        if (bytes == nullptr) throw std::runtime_error("the source changed while it was cut");
        out.append(bytes, piece);
        from += piece;
    }
}

// Reports the copy's share of the progress, after the walk's, about once a
// megabyte.
class CopyProgress {
public:
    CopyProgress(const ExactCutProgress& progress, std::uint64_t totalBytes)
        : progress_(progress), totalBytes_(totalBytes) {}

    void copied(std::uint64_t bytes) {
        if (!progress_ || bytes < nextProgress_) return;
        progress_(walkShare +
                  (1 - walkShare) * static_cast<double>(bytes) / static_cast<double>(totalBytes_));
        nextProgress_ = bytes + progressStepBytes;
    }

private:
    const ExactCutProgress& progress_;
    std::uint64_t totalBytes_;
    std::uint64_t nextProgress_ = 0;
};

// Copies the planned frames, walking them again so that a source changed
// since the plan is noticed rather than cut wrongly.
void copySourceFrames(mci::BlockFileReader& file, const ExactCutPlan& plan, ClipStreamWriter& out,
                      TocBuilder& toc, std::uint64_t& streamOffset,
                      const ExactCutProgress& progress) {
    Mp3FrameWalker walker(file, plan.layout.audio);
    if (!walker.start()) throw std::runtime_error("the source changed while it was cut");
    walker.resumeAt(plan.firstCopiedOffset);
    CopyProgress copyProgress(progress, plan.copiedBytes);
    std::uint64_t copiedUpTo = plan.firstCopiedOffset;
    const std::uint64_t audioFrames = plan.primingFrames + plan.copiedFrames;
    for (std::uint64_t index = plan.primingFrames; index < audioFrames; ++index) {
        const auto frame = walker.next();
        if (!frame) {
            throw std::runtime_error(walker.refused() ? walker.refusal()
                                                      : "the source changed while it was cut");
        }
        // The frame, and whatever lay between it and the previous one.
        toc.frameStartsAt(index, streamOffset + (frame->offset - copiedUpTo));
        const std::uint64_t end = frame->offset + frame->header.frameBytes;
        copySourceBytes(file, copiedUpTo, end, out);
        streamOffset += end - copiedUpTo;
        copiedUpTo = end;
        copyProgress.copied(copiedUpTo - plan.firstCopiedOffset);
    }
}

void appendId3v1Tag(mci::BlockFileReader& file, const ExactCutPlan& plan, ClipStreamWriter& out) {
    if (!plan.layout.id3v1Offset) return;
    const std::uint8_t* tag = file.bytesAt(*plan.layout.id3v1Offset, mci::id3v1Bytes);
    if (tag == nullptr) throw std::runtime_error("cannot read the source's ID3v1 tag");
    out.append(tag, mci::id3v1Bytes);
}

// What the clip's info frame states: the clip's own sizes and trim, and the
// source's encoder where its info frame named one.
InfoFrameFields infoFrameFields(const ExactCutPlan& plan, const ClipStreamSize& size,
                                const std::array<std::uint8_t, 100>& toc, std::uint16_t musicCrc) {
    InfoFrameFields fields;
    fields.variableBitrate = !plan.constantBitrate;
    fields.audioFrames = static_cast<std::uint32_t>(size.audioFrames);
    fields.xingBytes = static_cast<std::uint32_t>(size.xingBytes);
    fields.musicBytes = static_cast<std::uint32_t>(size.streamBytes);
    fields.toc = toc;
    fields.encoder = clipEncoderName(plan.sourceEncoder);
    if (plan.sourceEncoder.hasLameExtension) {
        fields.quality = plan.sourceEncoder.quality;
        fields.revisionAndMethod = plan.sourceEncoder.revisionAndMethod;
        fields.lowpassHundredsHz = plan.sourceEncoder.lowpassHundredsHz;
        fields.miscFlags = plan.sourceEncoder.miscFlags;
    } else {
        // Revision 0; method 1 (constant bitrate) or 3 (variable, as far as we know).
        fields.revisionAndMethod = plan.constantBitrate ? 1 : 3;
    }
    fields.bitrateKbps =
        static_cast<std::uint8_t>(std::min<std::uint32_t>(255, plan.lowestBitrateKbps));
    fields.encoderDelay = plan.encoderDelay;
    fields.endPadding = plan.endPadding;
    fields.musicCrc = musicCrc;
    return fields;
}

// Writes the clip front to back: the source's ID3v2 tags, room for the info
// frame, the priming frames, the copied frames and the ID3v1 tag. The info
// frame is filled in last, once the audio CRC and the TOC are known.
ExactClip writeClip(mci::BlockFileReader& file, const ExactCutPlan& plan, ClipTarget& target,
                    const ExactCutProgress& progress) {
    ClipStreamWriter out(target);
    auto sink = [&](const std::uint8_t* bytes, std::size_t count) { out.append(bytes, count); };
    for (const mci::ByteSpan& tag : plan.layout.id3v2Tags)
        copyId3v2Tag(file, tag, plan.clipMs, sink);

    const auto infoHeader = headerHolding(plan.streamWord, xingFieldsBytes + lameExtensionBytes,
                                          plan.constantBitrate ? plan.bitrateIndex : 0);
    if (!infoHeader) throw std::runtime_error("no frame of this stream holds an info tag");
    const std::uint32_t infoBytes = infoHeader->header.frameBytes;
    const std::int64_t infoPosition = out.reserve(infoBytes);

    const PrimingFrames priming = primingFrames(plan);
    const ClipStreamSize size = clipStreamSize(plan, infoBytes, priming);
    TocBuilder toc(size.audioFrames, size.xingBytes);
    std::uint64_t streamOffset = infoBytes;

    out.setAudioCrc(true);
    writePrimingFrames(priming, out, toc, streamOffset);
    copySourceFrames(file, plan, out, toc, streamOffset, progress);
    out.setAudioCrc(false);
    if (streamOffset != size.streamBytes)
        throw std::runtime_error("the source changed while it was cut");

    appendId3v1Tag(file, plan, out);
    out.flush();

    const auto info =
        buildInfoFrame(infoHeader->word, infoFrameFields(plan, size, toc.toc(), out.audioCrc()));
    if (!info) throw std::runtime_error("the clip's info frame cannot hold its delay and padding");
    out.writeLater(infoPosition, info->data(), info->size());
    if (progress) progress(1.0);

    ExactClip clip;
    clip.sampleRate = plan.sampleRate;
    clip.samples = plan.clipSamples;
    clip.milliseconds = plan.clipMs;
    clip.bytes = out.written();
    return clip;
}

}  // namespace

std::variant<ExactClip, ExactCutError> cutExactClip(const ExactCutRequest& request, Files& files,
                                                    const ExactCutProgress& progress) {
    if (isSourceItself(files, request.targetPath, request.sourcePath)) {
        return ExactCutError{"cannot overwrite the source file \"" + request.sourcePath + "\""};
    }
    auto opened = mci::BlockFileReader::open(request.sourcePath);
    if (auto* error = std::get_if<mci::MciError>(&opened)) {
        return ExactCutError{readerErrorText(*error, request.sourcePath)};
    }
    auto& file = std::get<mci::BlockFileReader>(opened);

    auto walkProgress = [&](double done) {
        if (progress) progress(walkShare * done);
    };
    auto planned = planExactCut(file, request.beginMs, request.endMs, walkProgress);
    if (auto* reason = std::get_if<std::string>(&planned)) return ExactCutError{*reason};
    const ExactCutPlan& plan = std::get<ExactCutPlan>(planned);

    try {
        std::unique_ptr<ClipTarget> target = files.createTarget(request.targetPath);
        ExactClip clip = writeClip(file, plan, *target, progress);
        target->commit();
        return clip;
    } catch (const std::runtime_error& error) {  // RuntimeError(FileError) among them
        return ExactCutError{error.what()};
    }
}

}  // namespace snipwell::exact
