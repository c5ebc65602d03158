#pragma once
// A clip target that changes a few bytes of what passes through it on the
// way to the disk: the byte-range cut copies the source's bytes as they are,
// and this edits each frame's side information as its bytes go by (and lays
// a few fixed bytes, an info frame's cleared fields, over the copy). The copy
// itself is unchanged, so with nothing to change the clip is byte for byte
// the clip the window's Save writes.
//
// The frames are edited while the copy runs rather than all planned first,
// so memory grows by eight bytes a frame, not by a copy of each frame's side
// information. The clip must be written front to back in one run of
// writes, as ClipExport::copyInBlocks writes it; a frame whose side
// information straddles two writes is held back until the second.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/forwarding_files.h"
#include "mp3/stream_gain.h"

namespace snipwell {

// Bytes that replace the copy's at one place.
struct BytePatch {
    std::int64_t position = 0;  // 1-based, in the target
    std::uint8_t length = 0;
    std::array<std::uint8_t, 16> bytes{};
};

// Where one frame's header, check word and side information lie in the clip.
struct FrameToEdit {
    std::uint32_t position = 0;  // 1-based, in the target
    std::uint8_t length = 0;     // header, CRC and side information
};

// What the edits came to, once the clip is written.
struct FrameEditTally {
    std::uint64_t clampedGranules = 0;
    std::uint64_t editedFrames = 0;
};

struct ClipEdits {
    std::vector<BytePatch> patches;               // by position, none overlapping another
    std::vector<FrameToEdit> frames;              // by position, in the order they play
    std::optional<mp3::StreamGainEditor> editor;  // for `frames`
};

class PatchedClipTarget : public ClipTarget {
public:
    PatchedClipTarget(std::unique_ptr<ClipTarget> inner, ClipEdits edits, FrameEditTally& tally);

    // Throws std::logic_error for a write that does not follow the one before.
    void writeAt(std::int64_t position, std::span<const std::byte> bytes) override;
    void commit() override;

private:
    void layPatches(std::int64_t position, std::span<std::byte> bytes);
    // Edits the frames that lie wholly in `bytes`; returns how many bytes at
    // its end start a frame that runs on past it.
    std::size_t editFrames(std::int64_t position, std::span<std::byte> bytes);

    std::unique_ptr<ClipTarget> inner_;
    ClipEdits edits_;
    FrameEditTally& tally_;
    std::size_t nextPatch_ = 0;
    std::size_t nextFrame_ = 0;
    std::int64_t next_ = 1;  // where the next write must start
    std::vector<std::byte> scratch_;
    std::vector<std::byte> heldBack_;  // bytes before next_ not written yet
};

// Files as they are, except that the target named `targetPath` is created
// with `edits` applied to it; `tally` learns what they came to.
class PatchingFiles : public ForwardingFiles {
public:
    PatchingFiles(Files& inner, std::string targetPath, ClipEdits edits, FrameEditTally& tally)
        : ForwardingFiles(inner),
          targetPath_(std::move(targetPath)),
          edits_(std::move(edits)),
          tally_(tally) {}

    std::unique_ptr<ClipTarget> createTarget(const std::string& path) override;

private:
    std::string targetPath_;
    ClipEdits edits_;
    FrameEditTally& tally_;
};

}  // namespace snipwell
