#pragma once
// Reads a file through one large buffer, so that walking it frame by frame
// costs a system call per megabyte rather than per frame, with memory use
// independent of the file's size. Plain reads rather than a memory map: a
// file that shrinks while we read it must give a short read, not a crash.

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "mci/mci_error.h"

namespace snipwell::mci {

class BlockFileReader {
public:
    // Opens a regular, non-empty file for reading.
    static std::variant<BlockFileReader, MciError> open(const std::string& path);

    BlockFileReader(BlockFileReader&& other) noexcept;
    BlockFileReader& operator=(BlockFileReader&&) = delete;
    BlockFileReader(const BlockFileReader&) = delete;
    BlockFileReader& operator=(const BlockFileReader&) = delete;
    ~BlockFileReader();

    std::uint64_t size() const { return size_; }
    bool readFailed() const { return readFailed_; }
    // True once a read ended before the size the file had when it was opened:
    // the file has been cut short since.
    bool shrank() const { return shrank_; }

    // `count` bytes at `offset`, valid until the next call; nullptr when they
    // do not all lie inside the file. `count` must not exceed maxSpan.
    const std::uint8_t* bytesAt(std::uint64_t offset, std::size_t count) {
        if (offset >= bufferStart_ && offset + count <= bufferStart_ + bufferLength_) {
            return buffer_.data() + (offset - bufferStart_);
        }
        return refill(offset, count);
    }

    static constexpr std::size_t maxSpan = 64 * 1024;

private:
    BlockFileReader(int fd, std::uint64_t size);
    const std::uint8_t* refill(std::uint64_t offset, std::size_t count);

    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t bufferStart_ = 0;
    std::size_t bufferLength_ = 0;
    bool readFailed_ = false;
    bool shrank_ = false;
};

}  // namespace snipwell::mci
