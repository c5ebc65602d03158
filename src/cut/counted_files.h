#pragma once
// Files that count the bytes written into every target they make, so a
// split's progress follows what is on its way to the disk rather than how
// far the walk has read ahead.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "common/forwarding_files.h"

namespace snipwell {

class CountedFiles : public ForwardingFiles {
public:
    using ForwardingFiles::ForwardingFiles;

    std::unique_ptr<ClipTarget> createTarget(const std::string& path) override;

    // Bytes written into the targets so far, kept or not.
    std::uint64_t written() const { return written_.load(); }

private:
    std::atomic<std::uint64_t> written_{0};
};

}  // namespace snipwell
