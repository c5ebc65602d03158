#pragma once
// The Files service on the local disk. A clip is written into a temporary
// file beside the target (SavedClipTarget), renamed over the target only on
// commit, and removed when the clip is abandoned. Failures carry the system's
// reason ("No space left on device") in a RuntimeError(FileError).

#include "common/files.h"

namespace snipwell {

class DiskFiles : public Files {
public:
    // True for anything under the name, even a file nobody may read or a
    // link that leads nowhere: such a name is never replaced unasked.
    bool exists(const std::string& path) override;
    bool isSameFile(const std::string& a, const std::string& b) override;
    std::int64_t fileSize(const std::string& path) override;
    std::unique_ptr<ByteSource> openSource(const std::string& path) override;
    std::unique_ptr<ClipTarget> createTarget(const std::string& path) override;
};

}  // namespace snipwell
