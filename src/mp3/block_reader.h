#pragma once
// Reads a file through one large buffer, so that walking it frame by frame
// costs a system call per megabyte rather than per frame, with memory use
// independent of the file's size. Plain reads rather than a memory map: a
// file that shrinks while we read it must give a short read, not a crash.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "mp3/mp3_error.h"

namespace snipwell::mp3 {

class BlockReader {
public:
    // Opens a regular, non-empty file for reading: notFound, notAFile, empty
    // or unreadable (with errno) when it cannot.
    static Mp3Result<BlockReader> open(const std::string& path);

    BlockReader(BlockReader&& other) noexcept;
    BlockReader& operator=(BlockReader&&) = delete;
    BlockReader(const BlockReader&) = delete;
    BlockReader& operator=(const BlockReader&) = delete;
    ~BlockReader();

    // The size the file had when it was opened.
    std::uint64_t size() const { return size_; }

    // `count` bytes at `offset`, valid until the next call; nullptr when they
    // do not all lie inside the file, or could not be read. `count` must not
    // exceed maxSpan.
    const std::uint8_t* bytesAt(std::uint64_t offset, std::size_t count) {
        if (offset >= bufferStart_ && offset + count <= bufferStart_ + bufferLength_) {
            return buffer_.data() + (offset - bufferStart_);
        }
        return refill(offset, count);
    }

    // Why a read gave less than the file's size promised, once one has:
    // unreadable (a read error) or changed (the file was cut short since it
    // was opened). A reader that failed keeps saying so, like a stream's
    // fail state, so a walk can finish its step and ask once.
    const std::optional<Mp3Error>& failure() const { return failure_; }

    static constexpr std::size_t maxSpan = 64 * 1024;

private:
    BlockReader(int fd, std::uint64_t size);
    const std::uint8_t* refill(std::uint64_t offset, std::size_t count);

    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t bufferStart_ = 0;
    std::size_t bufferLength_ = 0;
    std::optional<Mp3Error> failure_;
};

}  // namespace snipwell::mp3
