#include "mp3/block_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace snipwell::mp3 {
namespace {

constexpr std::size_t blockBytes = 1024 * 1024;

Mp3Error openError(int error) {
    const bool missing = error == ENOENT || error == ENOTDIR;
    return Mp3Error{missing ? Mp3Fault::notFound : Mp3Fault::unreadable, 0, error};
}

}  // namespace

Mp3Result<BlockReader> BlockReader::open(const std::string& path) {
    if (path.empty()) return Mp3Error{Mp3Fault::notFound, 0, ENOENT};
    // Non-blocking, so that a named pipe cannot hang the open waiting for a
    // writer; it is turned away below like any other file that is not regular.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return openError(errno);
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        return openError(error);
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        return Mp3Error{Mp3Fault::notAFile, 0, S_ISDIR(status.st_mode) ? EISDIR : 0};
    }
    if (status.st_size <= 0) {
        ::close(fd);
        return Mp3Error{Mp3Fault::empty};
    }
    // We read front to back once; let the kernel read ahead generously.
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return BlockReader(fd, static_cast<std::uint64_t>(status.st_size));
}

// A file smaller than a block gets a buffer of its own size (but never less
// than the largest span a caller may ask for), so scanning many small files
// does not allocate and clear a megabyte for each.
BlockReader::BlockReader(int fd, std::uint64_t size)
    : fd_(fd),
      size_(size),
      buffer_(std::max<std::size_t>(
          maxSpan, static_cast<std::size_t>(std::min<std::uint64_t>(blockBytes, size)))) {}

BlockReader::BlockReader(BlockReader&& other) noexcept
    : fd_(other.fd_),
      size_(other.size_),
      buffer_(std::move(other.buffer_)),
      bufferStart_(other.bufferStart_),
      bufferLength_(other.bufferLength_),
      failure_(other.failure_) {
    other.fd_ = -1;
}

BlockReader::~BlockReader() {
    if (fd_ >= 0) ::close(fd_);
}

const std::uint8_t* BlockReader::refill(std::uint64_t offset, std::size_t count) {
    if (count > maxSpan || offset > size_ || count > size_ - offset) return nullptr;

    std::size_t filled = 0;
    while (filled < buffer_.size()) {
        const ssize_t got = ::pread(fd_, buffer_.data() + filled, buffer_.size() - filled,
                                    static_cast<off_t>(offset + filled));
        if (got < 0) {
            if (errno == EINTR) continue;
            if (!failure_) failure_ = Mp3Error{Mp3Fault::unreadable, offset + filled, errno};
            break;
        }
        if (got == 0) {
            // The end of the file, earlier than its size said when opened.
            if (offset + filled < size_ && !failure_) {
                failure_ = Mp3Error{Mp3Fault::changed, offset + filled};
            }
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    bufferStart_ = offset;
    bufferLength_ = filled;
    if (filled < count) return nullptr;
    return buffer_.data();
}

}  // namespace snipwell::mp3
