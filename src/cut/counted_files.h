#pragma once
// Files that count the bytes written into every target they make, so a
// split's progress follows what is on its way to the disk rather than how
// far the walk has read ahead.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "common/files.h"

namespace snipwell {

class CountedFiles : public Files {
public:
    explicit CountedFiles(Files& files) : files_(files) {}

    bool exists(const std::string& path) override { return files_.exists(path); }
    bool isSameFile(const std::string& a, const std::string& b) override {
        return files_.isSameFile(a, b);
    }
    std::int64_t fileSize(const std::string& path) override { return files_.fileSize(path); }
    std::unique_ptr<ByteSource> openSource(const std::string& path) override {
        return files_.openSource(path);
    }
    std::unique_ptr<ClipTarget> createTarget(const std::string& path) override;

    // Bytes written into the targets so far, kept or not.
    std::uint64_t written() const { return written_.load(); }

private:
    Files& files_;
    std::atomic<std::uint64_t> written_{0};
};

}  // namespace snipwell
