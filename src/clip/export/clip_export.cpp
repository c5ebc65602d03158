#include "clip/export/clip_export.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>
#include <span>
#include <utility>
#include <vector>

#include "common/checked_math.h"
#include "common/runtime_error.h"

namespace snipwell {

namespace {

// Large enough that a block costs few system calls, small enough to stay in
// the processor's caches; memory stays this one buffer whatever the clip.
constexpr std::size_t kBlockBytes = 256 * 1024;

RuntimeError beyondPositions() {
    return RuntimeError(ErrorKind::Overflow,
                        "the clip reaches beyond the 32-bit byte positions of a file");
}

// Reads the part of [position, position + into.size()) that lies inside the
// source as it was measured, and fills the rest of `into` with zeros. A read
// that ends early means the source has become shorter: that is a failure, or
// the clip would hold zeros where the person's audio was.
void readMeasured(ByteSource& source, const ClipRange& range, std::int64_t position,
                  std::span<std::byte> into) {
    const std::int64_t inside = std::clamp<std::int64_t>(range.sourceBytes - position + 1, 0,
                                                         static_cast<std::int64_t>(into.size()));
    const auto wanted = static_cast<std::size_t>(inside);
    if (wanted > 0 && source.readAt(position, into.first(wanted)) < wanted) {
        throw RuntimeError(ErrorKind::FileError, kSourceChanged);
    }
    std::fill(into.begin() + static_cast<std::ptrdiff_t>(wanted), into.end(), std::byte{0});
}

}  // namespace

ClipExport::ClipExport(Files& files, std::string sourcePath, const std::string& targetPath)
    : files_(files),
      sourcePath_(std::move(sourcePath)),
      source_(files_.openSource(sourcePath_)),
      target_(files_.createTarget(targetPath)) {}

ClipRange ClipExport::measure(std::int32_t lengthMs, std::int32_t beginMs, std::int32_t endMs) {
    return clipRangeFor(files_.fileSize(sourcePath_), lengthMs, beginMs, endMs);
}

void ClipExport::copy(const ClipRange& range, const std::function<void()>& afterChunk) {
    std::array<std::byte, kChunkBytes> buffer{};
    try {
        for (std::int32_t pos = range.beginOffset; pos <= range.endOffset;
             pos = checkedAdd(pos, kChunkStep)) {
            readMeasured(*source_, range, pos, buffer);
            target_->writeAt(checkedAdd(checkedSub(pos, range.beginOffset), 1), buffer);
            afterChunk();
        }
    } catch (const RuntimeError& error) {
        if (error.kind() != ErrorKind::Overflow) throw;
        throw beyondPositions();
    }
}

void ClipExport::copyInBlocks(
    const ClipRange& range,
    const std::function<void(std::int64_t done, std::int64_t total)>& afterBlock) {
    // The chunked copy steps past its last chunk with a checked 32-bit add;
    // where that step overflows, it fails after writing everything. Fail the
    // same way, before writing anything.
    const std::int64_t lastChunk = range.beginOffset + (range.chunks() - 1) * kChunkStep;
    if (lastChunk + kChunkStep > std::numeric_limits<std::int32_t>::max()) throw beyondPositions();

    const std::int64_t total = range.clipBytes();
    std::vector<std::byte> buffer(kBlockBytes);
    for (std::int64_t done = 0; done < total;) {
        const std::span<std::byte> block(
            buffer.data(),
            static_cast<std::size_t>(std::min<std::int64_t>(total - done, kBlockBytes)));
        readMeasured(*source_, range, range.beginOffset + done, block);
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
