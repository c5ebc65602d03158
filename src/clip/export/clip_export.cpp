#include "clip_export.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

#include "common/checked_math.h"
#include "common/runtime_error.h"

namespace snipwell {

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
            const std::size_t got = source_->readAt(pos, buffer);
            std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(got), buffer.end(), std::byte{0});
            target_->writeAt(checkedAdd(checkedSub(pos, range.beginOffset), 1), buffer);
            afterChunk();
        }
    } catch (const RuntimeError& error) {
        if (error.kind() != ErrorKind::Overflow) throw;
        throw RuntimeError(ErrorKind::Overflow,
                           "the clip reaches beyond the 32-bit byte positions of a file");
    }
}

void ClipExport::commit() {
    source_.reset();
    target_->commit();
}

}  // namespace snipwell
