#include "clip/exact/track_writer.h"

#include <algorithm>
#include <limits>

#include "clip/exact/encoder_name.h"
#include "mp3/info_frame_writer.h"
#include "mp3/layer3_frame.h"
#include "mp3/length.h"

namespace snipwell::exact {
namespace {

// Copied bytes held back at most while the reservoir's size is not known
// yet: far more than the frames that could reach back into it, so only junk
// between the first frames of a damaged stream ends the wait early.
constexpr std::size_t heldLimitBytes = 256 * 1024;

ExactCutRefusal sourceChanged(const mp3::BlockReader& file, std::uint64_t offset) {
    return refusalOf(file.failure().value_or(mp3::Mp3Error{mp3::Mp3Fault::changed, offset}));
}

// A frame that decodes to silence: header, then side information all zero
// (main_data_begin 0, no audio bits), then `reservoir` at its very end for the
// frames after it to reach back to.
std::optional<std::vector<std::uint8_t>> primingFrame(std::uint32_t streamWord,
                                                      const std::vector<std::uint8_t>& reservoir) {
    const auto header =
        mp3::headerHolding(streamWord, static_cast<std::uint32_t>(reservoir.size()));
    if (!header) return std::nullopt;
    std::vector<std::uint8_t> frame(header->header.frameBytes, 0);
    if (frame.size() < 4 + reservoir.size()) return std::nullopt;
    mp3::writeBigEndian32(frame.data(), header->word);
    std::copy(reservoir.begin(), reservoir.end(),
              frame.end() - static_cast<std::ptrdiff_t>(reservoir.size()));
    return frame;
}

}  // namespace

ExactTrackWriter::ExactTrackWriter(const SourceStream& stream, const TrackPlan& plan,
                                   ClipStreamWriter& out, bool endsWithId3v1)
    : stream_(stream),
      plan_(plan),
      out_(out),
      endsWithId3v1_(endsWithId3v1),
      reservoirLimit_(mp3::maxReservoirBytes(stream.first.header.version)) {}

std::optional<ExactCutRefusal> ExactTrackWriter::take(std::uint64_t index,
                                                      const mp3::WalkedFrame& frame,
                                                      mp3::BlockReader& file) {
    if (index < plan_.lookbackFrom || index > plan_.lastCopied) return std::nullopt;
    const std::uint8_t* bytes = file.bytesAt(frame.offset, frame.header.frameBytes);
    if (bytes == nullptr) return sourceChanged(file, frame.offset);
    if (index < plan_.copyStart.firstFrame) {
        keepPayload(frame, bytes);
        return std::nullopt;
    }
    noteReachBack(frame.header, bytes);
    return copy(frame, file);
}

// Only the last reservoirLimit_ bytes before the first copied frame can be
// reached back to.
void ExactTrackWriter::keepPayload(const mp3::WalkedFrame& frame, const std::uint8_t* bytes) {
    recentPayload_.insert(recentPayload_.end(), bytes + frame.header.sideInfoEnd(),
                          bytes + frame.header.frameBytes);
    if (recentPayload_.size() > reservoirLimit_) {
        recentPayload_.erase(recentPayload_.begin(),
                             recentPayload_.end() - static_cast<std::ptrdiff_t>(reservoirLimit_));
    }
}

// How far before the first copied frame's payload this frame's main data
// starts: the last priming frame must hold that much.
void ExactTrackWriter::noteReachBack(const mp3::FrameHeader& header, const std::uint8_t* bytes) {
    if (payloadSinceFirst_ >= reservoirLimit_) return;
    const std::uint32_t begins = mp3::mainDataBegin(bytes, header);
    if (begins > payloadSinceFirst_) {
        reservoirNeeded_ =
            std::max(reservoirNeeded_, static_cast<std::uint32_t>(begins - payloadSinceFirst_));
    }
}

std::optional<ExactCutRefusal> ExactTrackWriter::beginCopy(const mp3::WalkedFrame& frame) {
    streamWord_ = frame.word;
    lowestBitrateKbps_ = frame.header.bitrateKbps;
    copiedUpTo_ = frame.offset;
    // Room for the info frame, filled in once the copy is done; at the copied
    // frames' bitrate where it holds the fields, as a constant-bitrate
    // stream's info frame should be.
    const auto infoHeader =
        mp3::headerHolding(streamWord_, mp3::xingFieldsBytes + mp3::lameExtensionBytes,
                           mp3::bitrateIndexOf(streamWord_));
    if (!infoHeader) return refusalOf(ExactRefusalKind::trimDoesNotFit);
    infoBytes_ = infoHeader->header.frameBytes;
    infoPosition_ = out_.reserve(infoBytes_);
    streamBytes_ = infoBytes_;
    out_.setAudioCrc(true);
    return std::nullopt;
}

std::optional<ExactCutRefusal> ExactTrackWriter::copy(const mp3::WalkedFrame& frame,
                                                      mp3::BlockReader& file) {
    if (copiedSoFar_ == 0) {
        if (auto refused = beginCopy(frame)) return refused;
    }
    // The frame, and whatever lay between it and the previous one, so that
    // the decoder meets the same bytes as in the source and resynchronises
    // the same way.
    const std::uint64_t clipFrame = primingFrames_ + copiedSoFar_;
    const std::uint64_t gap = frame.offset - copiedUpTo_;
    if (holding_) {
        heldFrameOffsets_.push_back(held_.size() + gap);
    } else {
        frameStartsAt(clipFrame, streamBytes_ + gap);
    }
    const std::uint64_t end = frame.offset + frame.header.frameBytes;
    if (gainEditor_) {
        if (auto refused = emitSource(frame.offset, file)) return refused;
        if (auto refused = emitEditedFrame(frame, file)) return refused;
    }
    if (auto refused = emitSource(end, file)) return refused;
    payloadSinceFirst_ += mp3::payloadBytes(frame.header);
    ++copiedSoFar_;
    if (mp3::bitrateIndexOf(frame.word) != mp3::bitrateIndexOf(streamWord_)) {
        constantBitrate_ = false;
    }
    lowestBitrateKbps_ = std::min(lowestBitrateKbps_, frame.header.bitrateKbps);

    if (holding_ &&
        (payloadSinceFirst_ >= reservoirLimit_ || complete() || held_.size() >= heldLimitBytes)) {
        return writePrimingAndHeld();
    }
    return std::nullopt;
}

// Copies the source from where the copy stands up to `to`.
std::optional<ExactCutRefusal> ExactTrackWriter::emitSource(std::uint64_t to,
                                                            mp3::BlockReader& file) {
    while (copiedUpTo_ < to) {
        const auto piece = static_cast<std::size_t>(
            std::min<std::uint64_t>(to - copiedUpTo_, mp3::BlockReader::maxSpan));
        const std::uint8_t* bytes = file.bytesAt(copiedUpTo_, piece);
        if (bytes == nullptr) return sourceChanged(file, copiedUpTo_);
        emit(bytes, piece);
        copiedUpTo_ += piece;
    }
    return std::nullopt;
}

// The frame's header, CRC and side information with the gain applied; the
// rest of the frame follows unchanged.
std::optional<ExactCutRefusal> ExactTrackWriter::emitEditedFrame(const mp3::WalkedFrame& frame,
                                                                 mp3::BlockReader& file) {
    const std::uint8_t* bytes = file.bytesAt(frame.offset, frame.header.sideInfoEnd());
    if (bytes == nullptr) return sourceChanged(file, frame.offset);
    std::array<std::uint8_t, 40> edited{};
    std::copy(bytes, bytes + frame.header.sideInfoEnd(), edited.begin());
    gainEditor_->editNext(edited.data());
    emit(edited.data(), frame.header.sideInfoEnd());
    copiedUpTo_ = frame.offset + frame.header.sideInfoEnd();
    return std::nullopt;
}

std::uint64_t ExactTrackWriter::clipRawBegin() const {
    const std::uint64_t spf = stream_.samplesPerFrame;
    return std::uint64_t{primingFrames_} * spf + plan_.rawBegin - plan_.copyStart.firstFrame * spf;
}

std::uint64_t ExactTrackWriter::clipRawEnd() const {
    const std::uint64_t spf = stream_.samplesPerFrame;
    return std::uint64_t{primingFrames_} * spf + plan_.rawEnd - plan_.copyStart.firstFrame * spf;
}

// Once the priming frames are known, so is where the track's samples lie in
// the clip's decode. The priming frames play silence and stay as they are;
// the held frames are edited before they go out, later ones as they pass.
void ExactTrackWriter::startGain() {
    if (!gain_) return;
    const mp3::GainPlan plan(*gain_, {clipRawBegin(), clipRawEnd()});
    if (!plan.changesAnything()) return;
    gainEditor_.emplace(plan);
    std::array<std::uint8_t, 4> primingHeader{};
    mp3::writeBigEndian32(primingHeader.data(), streamWord_);
    const mp3::SideInfoShape primingShape = mp3::sideInfoShapeOf(primingHeader.data());
    for (std::uint32_t index = 0; index < primingFrames_; ++index) {
        gainEditor_->skipNext(primingShape);
    }
    for (const std::uint64_t offset : heldFrameOffsets_) {
        gainEditor_->editNext(held_.data() + offset);
    }
}

void ExactTrackWriter::emit(const std::uint8_t* bytes, std::size_t count) {
    if (holding_) {
        held_.insert(held_.end(), bytes, bytes + count);
    } else {
        out_.append(bytes, count);
        streamBytes_ += count;
    }
}

void ExactTrackWriter::frameStartsAt(std::uint64_t clipFrame, std::uint64_t streamOffset) {
    const std::uint64_t frames = primingFrames_ + plan_.copiedFrames();
    while (tocNext_ < tocOffsets_.size() && tocNext_ * frames / 100 <= clipFrame) {
        tocOffsets_[tocNext_++] = streamOffset;
    }
}

// The priming frames go first: a priming frame where the copy start asks for
// one, and wherever the first copied frames reach back into the reservoir.
// (At the stream's start the first frame normally needs none; one that does
// belongs to a damaged stream, whose decode is approximate anyway.) The last
// one carries the reservoir bytes; bytes the source itself never had (a
// broken stream) stay zero.
std::optional<ExactCutRefusal> ExactTrackWriter::writePrimingAndHeld() {
    primingFrames_ = plan_.copyStart.primingFrames;
    if (reservoirNeeded_ > 0 && primingFrames_ == 0) primingFrames_ = 1;
    std::vector<std::uint8_t> reservoir(reservoirNeeded_, 0);
    const std::size_t known = std::min<std::size_t>(reservoirNeeded_, recentPayload_.size());
    std::copy(recentPayload_.end() - static_cast<std::ptrdiff_t>(known), recentPayload_.end(),
              reservoir.end() - static_cast<std::ptrdiff_t>(known));
    const auto silent = primingFrame(streamWord_, {});
    const auto last = primingFrame(streamWord_, reservoir);
    if (!silent || !last) return refusalOf(ExactRefusalKind::reservoirDoesNotFit);

    startGain();
    holding_ = false;
    for (std::uint32_t index = 0; index < primingFrames_; ++index) {
        const std::vector<std::uint8_t>& frame = index + 1 == primingFrames_ ? *last : *silent;
        frameStartsAt(index, streamBytes_);
        emit(frame.data(), frame.size());
    }
    for (std::size_t held = 0; held < heldFrameOffsets_.size(); ++held) {
        frameStartsAt(primingFrames_ + held, streamBytes_ + heldFrameOffsets_[held]);
    }
    emit(held_.data(), held_.size());
    held_ = {};
    heldFrameOffsets_ = {};
    return std::nullopt;
}

ExactResult<ExactClip> ExactTrackWriter::finish() {
    if (!complete()) {
        return refusalOf(mp3::Mp3Error{mp3::Mp3Fault::changed, copiedUpTo_});
    }
    const std::uint16_t musicCrc = out_.audioCrc();
    out_.setAudioCrc(false);

    // The trim that makes the decode start at the begin mark and stop at the
    // end mark, in the clip's own decoder output.
    const std::uint64_t spf = stream_.samplesPerFrame;
    const std::uint64_t audioFrames = primingFrames_ + copiedSoFar_;
    const std::uint64_t delay = clipRawBegin() - mp3::decoderDelaySamples;
    const std::uint64_t padding = audioFrames * spf + mp3::decoderDelaySamples - clipRawEnd();
    if (delay > mp3::maxGaplessField || padding > mp3::maxGaplessField) {
        return refusalOf(ExactRefusalKind::trimDoesNotFit);
    }

    // The Xing byte count is the stream's, as the common encoder writes it and
    // libmpg123 checks it (it warns when it is 1 % off). ffmpeg compares it
    // with the file's size after the ID3v2 tag, a trailing ID3v1 tag
    // included, and beyond 5 % ignores the frame count and with it the end
    // padding. Where the ID3v1 tag alone is 5 % of the clip, it is counted in:
    // the clip still plays exactly everywhere, at the cost of the warning.
    const bool id3v1Outweighs = endsWithId3v1_ && mp3::id3v1Bytes * 20 >= streamBytes_;
    const std::uint64_t xingBytes = streamBytes_ + (id3v1Outweighs ? mp3::id3v1Bytes : 0);
    if (xingBytes > std::numeric_limits<std::uint32_t>::max()) {
        return refusalOf(ExactRefusalKind::clipTooLarge);
    }

    mp3::InfoFrameFields fields;
    fields.variableBitrate = !constantBitrate_;
    fields.audioFrames = static_cast<std::uint32_t>(audioFrames);
    fields.xingBytes = static_cast<std::uint32_t>(xingBytes);
    fields.musicBytes = static_cast<std::uint32_t>(streamBytes_);
    // Entry i: where, as a share of 256 of the stream's bytes, the frame at
    // i % of the playing time starts.
    for (std::size_t i = 0; i < fields.toc.size(); ++i) {
        fields.toc[i] = static_cast<std::uint8_t>(
            std::min<std::uint64_t>(255, tocOffsets_[i] * 256 / xingBytes));
    }
    fields.encoder = clipEncoderName(stream_.info.lame);
    if (stream_.info.lame) {
        fields.quality = stream_.info.quality;
        fields.revisionAndMethod = stream_.info.lame->revisionAndMethod;
        fields.lowpassHundredsHz = stream_.info.lame->lowpassHundredsHz;
        fields.miscFlags = stream_.info.lame->miscFlags;
    } else {
        // Revision 0; method 1 (constant bitrate) or 3 (variable, as far as we know).
        fields.revisionAndMethod = constantBitrate_ ? 1 : 3;
    }
    fields.bitrateKbps =
        static_cast<std::uint8_t>(std::min<std::uint32_t>(255, lowestBitrateKbps_));
    fields.encoderDelay = static_cast<std::uint32_t>(delay);
    fields.endPadding = static_cast<std::uint32_t>(padding);
    fields.musicCrc = musicCrc;

    const auto infoHeader =
        mp3::headerHolding(streamWord_, mp3::xingFieldsBytes + mp3::lameExtensionBytes,
                           mp3::bitrateIndexOf(streamWord_));
    const auto info = infoHeader ? mp3::buildInfoFrame(infoHeader->word, fields) : std::nullopt;
    if (!info || info->size() != infoBytes_) return refusalOf(ExactRefusalKind::trimDoesNotFit);
    out_.writeLater(infoPosition_, info->data(), info->size());

    ExactClip clip;
    clip.sampleRate = stream_.sampleRate;
    clip.samples = plan_.samples();
    clip.milliseconds = plan_.milliseconds;
    clip.bytes = out_.written() + (endsWithId3v1_ ? mp3::id3v1Bytes : 0);
    clip.clampedGranules = gainEditor_ ? gainEditor_->clampedGranules() : 0;
    return clip;
}

}  // namespace snipwell::exact
