#pragma once
// Writes one exact track while the source is walked: it is handed every
// audio frame in stream order and keeps what it needs. Frames just before the
// copy give the bit-reservoir bytes the first copied frames reach back to;
// the copied frames, and anything between them, go out unchanged behind the
// priming frames; finish() then fills in the info frame whose delay and
// padding trim the decode to the track's samples.
//
// Several writers may be fed by one walk (a split), each into its own
// ClipStreamWriter: neighbouring tracks share a few frames.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "clip/exact/clip_stream_writer.h"
#include "clip/exact/exact_clip.h"
#include "clip/exact/exact_refusal.h"
#include "clip/exact/source_stream.h"
#include "clip/exact/track_plan.h"
#include "mp3/block_reader.h"
#include "mp3/frame_walker.h"
#include "mp3/gain_plan.h"
#include "mp3/stream_gain.h"

namespace snipwell::exact {

class ExactTrackWriter {
public:
    // The track's front tags must already be in `out`; its ID3v1 tag, if it
    // gets one (`endsWithId3v1`), goes after finish().
    ExactTrackWriter(const SourceStream& stream, const TrackPlan& plan, ClipStreamWriter& out,
                     bool endsWithId3v1);

    // Audio frame number `index` (the info frame not counted), in stream
    // order. Frames the track does not reach are passed over. Whatever the
    // target throws is passed on.
    std::optional<ExactCutRefusal> take(std::uint64_t index, const mp3::WalkedFrame& frame,
                                        mp3::BlockReader& file);

    // Changes the loudness of the track's frames as they are written, by
    // `gain` (in samples of the track's own decode): only global_gain in
    // their side information (and a frame's CRC) changes, so the track stays
    // exact. Set it before the first frame is taken.
    void setGain(const mp3::GainRequest& gain) { gain_ = gain; }

    // Whether the last copied frame has been taken; finish() may follow.
    bool complete() const { return copiedSoFar_ == plan_.copiedFrames(); }
    // Whether frames numbered `index` and later play no part in this track.
    bool pastTrack(std::uint64_t index) const { return index > plan_.lastCopied; }

    ExactResult<ExactClip> finish();

private:
    void keepPayload(const mp3::WalkedFrame& frame, const std::uint8_t* bytes);
    std::optional<ExactCutRefusal> copy(const mp3::WalkedFrame& frame, mp3::BlockReader& file);
    std::optional<ExactCutRefusal> beginCopy(const mp3::WalkedFrame& frame);
    void noteReachBack(const mp3::FrameHeader& header, const std::uint8_t* bytes);
    std::optional<ExactCutRefusal> writePrimingAndHeld();
    void emit(const std::uint8_t* bytes, std::size_t count);
    void frameStartsAt(std::uint64_t clipFrame, std::uint64_t streamOffset);
    std::optional<ExactCutRefusal> emitSource(std::uint64_t to, mp3::BlockReader& file);
    std::optional<ExactCutRefusal> emitEditedFrame(const mp3::WalkedFrame& frame,
                                                   mp3::BlockReader& file);
    void startGain();
    // The first and the end of the track's samples in the clip's decoder
    // output, once the priming frames are known.
    std::uint64_t clipRawBegin() const;
    std::uint64_t clipRawEnd() const;

    const SourceStream& stream_;
    TrackPlan plan_;
    ClipStreamWriter& out_;
    bool endsWithId3v1_;
    std::uint32_t reservoirLimit_;

    std::vector<std::uint8_t> recentPayload_;  // the reservoir's last bytes before the copy
    std::uint32_t reservoirNeeded_ = 0;
    std::uint64_t payloadSinceFirst_ = 0;  // reservoir bytes from the first copied frame on

    // Copied bytes held back until the priming frames, which must go first,
    // know how much reservoir they carry.
    bool holding_ = true;
    std::vector<std::uint8_t> held_;
    std::vector<std::uint64_t> heldFrameOffsets_;  // where each held frame starts in held_

    std::uint32_t streamWord_ = 0;  // the first copied frame's header
    std::uint32_t primingFrames_ = 0;
    std::int64_t infoPosition_ = 0;
    std::uint32_t infoBytes_ = 0;
    std::uint64_t copiedSoFar_ = 0;
    std::uint64_t copiedUpTo_ = 0;   // the source offset after the last byte copied
    std::uint64_t streamBytes_ = 0;  // the clip's stream so far: info frame and audio frames
    bool constantBitrate_ = true;
    std::uint32_t lowestBitrateKbps_ = 0;

    std::optional<mp3::GainRequest> gain_;
    std::optional<mp3::StreamGainEditor> gainEditor_;

    // Where the frames that start each percent of the clip's playing time lie.
    std::array<std::uint64_t, 100> tocOffsets_{};
    std::size_t tocNext_ = 0;
};

}  // namespace snipwell::exact
