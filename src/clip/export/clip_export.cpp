#include "clip/export/clip_export.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <utility>
#include <vector>

#include "clip/export/export_refusal.h"
#include "clip/export/source_clip_range.h"

namespace snipwell {

namespace {

// Large enough that a block costs few system calls, small enough to stay in
// the processor's caches; memory stays this one buffer whatever the clip.
constexpr std::size_t kBlockBytes = 256 * 1024;

// Reads `into.size()` bytes at 1-based `position`, all inside the source as
// it was measured. A read that ends early means the source has become
// shorter: that is a failure, or the clip would lack the person's audio.
void readMeasured(ByteSource& source, std::int64_t position, std::span<std::byte> into) {
    if (source.readAt(position, into) < into.size()) {
        throw ExportRefusal(ExportRefusalKind::sourceChangedInCopy);
    }
}

}  // namespace

ClipExport::ClipExport(Files& files, std::string sourcePath, const std::string& targetPath)
    : files_(files),
      sourcePath_(std::move(sourcePath)),
      source_(files_.openSource(sourcePath_)),
      target_(files_.createTarget(targetPath)) {}

ClipRange ClipExport::measure(std::int32_t lengthMs, std::int32_t beginMs, std::int32_t endMs) {
    return clipRangeInSource(sourcePath_, files_.fileSize(sourcePath_), lengthMs, beginMs, endMs)
        .range;
}

void ClipExport::copy(const ClipRange& range, const std::function<void()>& afterChunk) {
    std::array<std::byte, kChunkBytes> buffer{};
    const std::int64_t last = range.endOffset;
    for (std::int64_t pos = range.beginOffset;; pos += kChunkStep) {
        const auto length = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(kChunkBytes), last - pos + 1));
        const std::span<std::byte> chunk(buffer.data(), length);
        readMeasured(*source_, pos, chunk);
        target_->writeAt(pos - range.beginOffset + 1, chunk);
        afterChunk();
        // The next chunk starts on this one's last byte; none is needed
        // once that byte is the clip's last.
        if (pos + kChunkStep >= last) break;
    }
}

void ClipExport::copyInBlocks(
    const ClipRange& range,
    const std::function<void(std::int64_t done, std::int64_t total)>& afterBlock) {
    const std::int64_t total = range.clipBytes();
    std::vector<std::byte> buffer(kBlockBytes);
    for (std::int64_t done = 0; done < total;) {
        const std::span<std::byte> block(
            buffer.data(),
            static_cast<std::size_t>(std::min<std::int64_t>(total - done, kBlockBytes)));
        readMeasured(*source_, range.beginOffset + done, block);
        target_->writeAt(done + 1, block);
        done += static_cast<std::int64_t>(block.size());
        afterBlock(done, total);
    }
}

void ClipExport::commit() {
    source_.reset();
    target_->commit();
}

}  // namespace snipwell
