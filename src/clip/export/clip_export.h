#pragma once
// One clip export, without any window: the source opened for reading, the
// clip written into a temporary file beside the target, which takes the
// target's name only in commit(). Destroying an export that was not committed
// discards the temporary file, so a failure, or a close of the window that
// unwinds the caller, leaves an existing target exactly as it was.
//
// The window's Save and the snipwell-cut command both run their copy here,
// and both copies give the same bytes for the same range.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "clip/export/clip_range.h"
#include "common/files.h"

namespace snipwell {

class ClipExport {
public:
    // Opens the source and creates the temporary target. Throws
    // RuntimeError(FileError) with the system's reason when either fails.
    ClipExport(Files& files, std::string sourcePath, const std::string& targetPath);

    // The byte range for the marks: the source's frames that hold them (see
    // clipRangeInSource), measured against the source's size as it is now.
    // Throws ExportRefusal, or the Files service's RuntimeError.
    // `lengthMs` serves a source whose frames cannot be followed.
    ClipRange measure(std::int32_t lengthMs, std::int32_t beginMs, std::int32_t endMs);

    // Copies the range chunk by chunk through one 4097-byte buffer, as the
    // window's Save does; the last chunk ends with the range's last byte.
    // `afterChunk` runs after each chunk (progress, events); whatever it
    // throws ends the copy. A source that has become shorter than measured
    // throws ExportRefusal (sourceChangedInCopy).
    void copy(const ClipRange& range, const std::function<void()>& afterChunk);

    // Writes exactly the bytes copy() writes, in large blocks: the clip is
    // one run of source bytes, so it need not be copied in overlapping
    // chunks. `afterBlock` gets the bytes written so far and the clip's
    // whole length.
    void copyInBlocks(const ClipRange& range,
                      const std::function<void(std::int64_t done, std::int64_t total)>& afterBlock);

    // Puts the completed clip on disk under the target's name.
    void commit();

private:
    Files& files_;
    std::string sourcePath_;
    std::unique_ptr<ByteSource> source_;
    std::unique_ptr<ClipTarget> target_;
};

}  // namespace snipwell
