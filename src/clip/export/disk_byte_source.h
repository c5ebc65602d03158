#pragma once
// A source file read by position, with no buffering of its own: each chunk
// is one positioned read, so memory stays at the caller's buffer.

#include <string>

#include "common/files.h"

namespace snipwell {

class DiskByteSource : public ByteSource {
public:
    // Throws RuntimeError(FileError) when the file cannot be opened.
    explicit DiskByteSource(std::string path);
    ~DiskByteSource() override;
    DiskByteSource(const DiskByteSource&) = delete;
    DiskByteSource& operator=(const DiskByteSource&) = delete;

    std::size_t readAt(std::int64_t position, std::span<std::byte> into) override;

private:
    std::string path_;
    int fd_ = -1;
};

}  // namespace snipwell
