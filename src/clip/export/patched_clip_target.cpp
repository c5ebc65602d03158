#include "clip/export/patched_clip_target.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace snipwell {

PatchedClipTarget::PatchedClipTarget(std::unique_ptr<ClipTarget> inner, ClipEdits edits,
                                     FrameEditTally& tally)
    : inner_(std::move(inner)), edits_(std::move(edits)), tally_(tally) {}

void PatchedClipTarget::writeAt(std::int64_t position, std::span<const std::byte> bytes) {
    if (position != next_) {
        throw std::logic_error("a clip with edited frames must be written front to back");
    }
    next_ += static_cast<std::int64_t>(bytes.size());
    const std::int64_t start = position - static_cast<std::int64_t>(heldBack_.size());
    scratch_.assign(heldBack_.begin(), heldBack_.end());
    scratch_.insert(scratch_.end(), bytes.begin(), bytes.end());
    heldBack_.clear();

    layPatches(start, scratch_);
    const std::size_t hold = editFrames(start, scratch_);
    const std::size_t ready = scratch_.size() - hold;
    heldBack_.assign(scratch_.begin() + static_cast<std::ptrdiff_t>(ready), scratch_.end());
    if (ready > 0) inner_->writeAt(start, std::span(scratch_.data(), ready));
}

void PatchedClipTarget::commit() {
    // A frame cut off by the end of the clip stays as the source had it.
    if (!heldBack_.empty()) {
        inner_->writeAt(next_ - static_cast<std::int64_t>(heldBack_.size()), heldBack_);
        heldBack_.clear();
    }
    if (edits_.editor) {
        tally_.clampedGranules = edits_.editor->clampedGranules();
        tally_.editedFrames = edits_.editor->editedFrames();
    }
    inner_->commit();
}

void PatchedClipTarget::layPatches(std::int64_t position, std::span<std::byte> bytes) {
    const std::int64_t end = position + static_cast<std::int64_t>(bytes.size());
    auto& patches = edits_.patches;
    while (nextPatch_ < patches.size() && patches[nextPatch_].position < end) {
        const BytePatch& patch = patches[nextPatch_];
        const std::int64_t from = std::max(patch.position, position);
        const std::int64_t to = std::min(patch.position + patch.length, end);
        if (from < to) {
            std::memcpy(bytes.data() + (from - position),
                        patch.bytes.data() + (from - patch.position),
                        static_cast<std::size_t>(to - from));
        }
        if (patch.position + patch.length > end) break;  // the rest comes with the next write
        ++nextPatch_;
    }
}

std::size_t PatchedClipTarget::editFrames(std::int64_t position, std::span<std::byte> bytes) {
    const std::int64_t end = position + static_cast<std::int64_t>(bytes.size());
    const auto& frames = edits_.frames;
    while (nextFrame_ < frames.size() && frames[nextFrame_].position < end) {
        const FrameToEdit& frame = frames[nextFrame_];
        if (frame.position < position) {  // already written: cannot happen in one run of writes
            ++nextFrame_;
            continue;
        }
        if (frame.position + frame.length > end) {
            return static_cast<std::size_t>(end - frame.position);
        }
        auto* at = reinterpret_cast<std::uint8_t*>(bytes.data() + (frame.position - position));
        edits_.editor->editNext(at);
        ++nextFrame_;
    }
    return 0;
}

std::unique_ptr<ClipTarget> PatchingFiles::createTarget(const std::string& path) {
    auto target = disk().createTarget(path);
    if (path != targetPath_) return target;
    return std::make_unique<PatchedClipTarget>(std::move(target), std::move(edits_), tally_);
}

}  // namespace snipwell
