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
#include "clip/export/clip_export.h"

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
std::vector<std::uint8_t> primingFrame(const ExactCutPlan& plan, const std::vector<std::uint8_t>& reservoir) {
    const auto header = headerHolding(plan.streamWord, static_cast<std::uint32_t>(reservoir.size()));
    if (!header) throw std::runtime_error("no frame of this stream holds the bit reservoir");
    const std::uint32_t word = header->word;
    const std::array<std::uint8_t, 4> headerBytes{
        static_cast<std::uint8_t>(word >> 24), static_cast<std::uint8_t>(word >> 16),
        static_cast<std::uint8_t>(word >> 8), static_cast<std::uint8_t>(word)};
    std::vector<std::uint8_t> frame(headerBytes.begin(), headerBytes.end());
    frame.resize(header->header.frameBytes, 0);
    std::copy(reservoir.begin(), reservoir.end(), frame.end() - static_cast<std::ptrdiff_t>(reservoir.size()));
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
            toc_[next_++] = static_cast<std::uint8_t>(std::min<std::uint64_t>(255, byteOffset * 256 / streamBytes_));
        }
    }
    const std::array<std::uint8_t, 100>& toc() const { return toc_; }

private:
    std::uint64_t frames_;
    std::uint64_t streamBytes_;
    std::array<std::uint8_t, 100> toc_{};
    std::size_t next_ = 0;
};

ExactClip writeClip(mci::BlockFileReader& file, const ExactCutPlan& plan, ClipTarget& target,
                    const ExactCutProgress& progress) {
    ClipStreamWriter out(target);
    auto sink = [&](const std::uint8_t* bytes, std::size_t count) { out.append(bytes, count); };
    for (const mci::ByteSpan& tag : plan.layout.id3v2Tags) copyId3v2Tag(file, tag, plan.clipMs, sink);

    const auto infoHeader = headerHolding(plan.streamWord, xingFieldsBytes + lameExtensionBytes,
                                          plan.constantBitrate ? plan.bitrateIndex : 0);
    if (!infoHeader) throw std::runtime_error("no frame of this stream holds an info tag");
    const std::uint32_t infoBytes = infoHeader->header.frameBytes;
    const std::int64_t infoPosition = out.reserve(infoBytes);

    // The last priming frame carries the reservoir; any before it carry nothing.
    const std::vector<std::uint8_t> silent = primingFrame(plan, {});
    const std::vector<std::uint8_t> priming = primingFrame(plan, plan.reservoir);
    const std::uint64_t primingBytes =
        plan.primingFrames == 0 ? 0 : (plan.primingFrames - 1) * silent.size() + priming.size();
    const std::uint64_t audioFrames = plan.primingFrames + plan.copiedFrames;
    const std::uint64_t streamBytes = infoBytes + primingBytes + plan.copiedBytes;
    // The Xing byte count is the stream's, as the common encoder writes it and
    // libmpg123 checks it (it warns when it is 1 % off). ffmpeg compares it
    // with the file's size after the ID3v2 tag, a trailing ID3v1 tag
    // included, and beyond 5 % ignores the frame count and with it the end
    // padding. Where the ID3v1 tag alone is 5 % of the clip, it is counted in:
    // the clip still plays exactly everywhere, at the cost of the warning.
    const bool id3v1Outweighs = plan.layout.id3v1Offset && mci::id3v1Bytes * 20 >= streamBytes;
    const std::uint64_t xingBytes = streamBytes + (id3v1Outweighs ? mci::id3v1Bytes : 0);
    if (xingBytes > std::numeric_limits<std::uint32_t>::max()) {
        throw std::runtime_error("the clip is larger than an info frame can describe (4 GiB)");
    }
    TocBuilder toc(audioFrames, xingBytes);
    std::uint64_t streamOffset = infoBytes;

    out.setAudioCrc(true);
    for (std::uint32_t index = 0; index < plan.primingFrames; ++index) {
        const std::vector<std::uint8_t>& frame = index + 1 == plan.primingFrames ? priming : silent;
        toc.frameStartsAt(index, streamOffset);
        out.append(frame.data(), frame.size());
        streamOffset += frame.size();
    }

    Mp3FrameWalker walker(file, plan.layout.audio);
    if (!walker.start()) throw std::runtime_error("the source changed while it was cut");
    walker.resumeAt(plan.firstCopiedOffset);
    std::uint64_t copied = 0;
    std::uint64_t nextProgress = 0;
    std::uint64_t copiedUpTo = plan.firstCopiedOffset;
    for (std::uint64_t index = plan.primingFrames; index < audioFrames; ++index) {
        const auto frame = walker.next();
        if (!frame) {
            throw std::runtime_error(walker.refused() ? walker.refusal()
                                                      : "the source changed while it was cut");
        }
        // The frame, and whatever lay between it and the previous one.
        toc.frameStartsAt(index, streamOffset + (frame->offset - copiedUpTo));
        const std::uint64_t end = frame->offset + frame->header.frameBytes;
        while (copiedUpTo < end) {
            const auto piece = static_cast<std::size_t>(
                std::min<std::uint64_t>(end - copiedUpTo, mci::BlockFileReader::maxSpan));
            const std::uint8_t* bytes = file.bytesAt(copiedUpTo, piece);
            if (bytes == nullptr) throw std::runtime_error("the source changed while it was cut");
            out.append(bytes, piece);
            copiedUpTo += piece;
            streamOffset += piece;
            copied += piece;
        }
        if (progress && copied >= nextProgress) {
            progress(walkShare + (1 - walkShare) * static_cast<double>(copied) /
                                     static_cast<double>(plan.copiedBytes));
            nextProgress = copied + progressStepBytes;
        }
    }
    out.setAudioCrc(false);
    if (streamOffset != streamBytes) throw std::runtime_error("the source changed while it was cut");

    if (plan.layout.id3v1Offset) {
        const std::uint8_t* tag = file.bytesAt(*plan.layout.id3v1Offset, mci::id3v1Bytes);
        if (tag == nullptr) throw std::runtime_error("cannot read the source's ID3v1 tag");
        out.append(tag, mci::id3v1Bytes);
    }
    out.flush();

    InfoFrameFields fields;
    fields.variableBitrate = !plan.constantBitrate;
    fields.audioFrames = static_cast<std::uint32_t>(audioFrames);
    fields.xingBytes = static_cast<std::uint32_t>(xingBytes);
    fields.musicBytes = static_cast<std::uint32_t>(streamBytes);
    fields.toc = toc.toc();
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
    fields.bitrateKbps = static_cast<std::uint8_t>(std::min<std::uint32_t>(255, plan.lowestBitrateKbps));
    fields.encoderDelay = plan.encoderDelay;
    fields.endPadding = plan.endPadding;
    fields.musicCrc = out.audioCrc();
    const auto info = buildInfoFrame(infoHeader->word, fields);
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
