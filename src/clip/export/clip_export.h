#pragma once
// One clip export, without any window: the source opened for reading, the
// clip written into a temporary file beside the target, which takes the
// target's name only in commit(). Destroying an export that was not committed
// discards the temporary file, so a failure, or a close of the window that
// unwinds the caller, leaves an existing target exactly as it was.
//
// The window's Save and the snipwell-cut command both run their copy here.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/files.h"
#include "clip_range.h"

namespace snipwell {

class ClipExport {
public:
    // Opens the source and creates the temporary target. Throws
    // RuntimeError(FileError) with the system's reason when either fails.
    ClipExport(Files& files, std::string sourcePath, const std::string& targetPath);

    // The byte range for the marks, from the source's size as it is now.
    ClipRange measure(std::int32_t lengthMs, std::int32_t beginMs, std::int32_t endMs);

    // Copies the range chunk by chunk through one 4097-byte buffer. A chunk
    // that reaches past the source's end is written whole, zeros standing for
    // the missing bytes. `afterChunk` runs after each chunk (progress, events);
    // whatever it throws ends the copy.
    void copy(const ClipRange& range, const std::function<void()>& afterChunk);

    // Puts the completed clip on disk under the target's name.
    void commit();

private:
    Files& files_;
    std::string sourcePath_;
    std::unique_ptr<ByteSource> source_;
    std::unique_ptr<ClipTarget> target_;
};

}  // namespace snipwell
