#include "cut/patched_clip_target.h"

#include <algorithm>
#include <cstring>

namespace snipwell {

PatchedClipTarget::PatchedClipTarget(std::unique_ptr<ClipTarget> inner,
                                     std::vector<BytePatch> patches)
    : inner_(std::move(inner)), patches_(std::move(patches)) {}

void PatchedClipTarget::writeAt(std::int64_t position, std::span<const std::byte> bytes) {
    const std::int64_t end = position + static_cast<std::int64_t>(bytes.size());
    // The first patch that ends after the write's start.
    auto patch = std::partition_point(patches_.begin(), patches_.end(), [&](const BytePatch& p) {
        return p.position + p.length <= position;
    });
    if (patch == patches_.end() || patch->position >= end) {
        inner_->writeAt(position, bytes);
        return;
    }
    scratch_.assign(bytes.begin(), bytes.end());
    for (; patch != patches_.end() && patch->position < end; ++patch) {
        const std::int64_t from = std::max(patch->position, position);
        const std::int64_t to = std::min(patch->position + patch->length, end);
        std::memcpy(scratch_.data() + (from - position),
                    patch->bytes.data() + (from - patch->position),
                    static_cast<std::size_t>(to - from));
    }
    inner_->writeAt(position, scratch_);
}

std::unique_ptr<ClipTarget> PatchingFiles::createTarget(const std::string& path) {
    auto target = inner_.createTarget(path);
    if (path != targetPath_) return target;
    return std::make_unique<PatchedClipTarget>(std::move(target), std::move(patches_));
}

}  // namespace snipwell
