#include "mci/block_file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace snipwell::mci {
namespace {

constexpr std::size_t blockBytes = 1024 * 1024;

}  // namespace

std::variant<BlockFileReader, MciError> BlockFileReader::open(const std::string& path) {
    if (path.empty()) return MciError::fileNotFound;
    // Non-blocking, so that a named pipe cannot hang the open waiting for a
    // writer; it is turned away below like any other file that is not regular.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return errno == ENOENT || errno == ENOTDIR ? MciError::fileNotFound
                                                   : MciError::fileUnreadable;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        ::close(fd);
        return MciError::fileUnreadable;
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        return MciError::notAFile;
    }
    if (status.st_size <= 0) {
        ::close(fd);
        return MciError::emptyFile;
    }
    // We read front to back once; let the kernel read ahead generously.
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return BlockFileReader(fd, static_cast<std::uint64_t>(status.st_size));
}

// A file smaller than a block gets a buffer of its own size (but never less
// than the largest span a caller may ask for), so scanning many small files
// does not allocate and clear a megabyte for each.
BlockFileReader::BlockFileReader(int fd, std::uint64_t size)
    : fd_(fd),
      size_(size),
      buffer_(std::max<std::size_t>(
          maxSpan, static_cast<std::size_t>(std::min<std::uint64_t>(blockBytes, size)))) {}

BlockFileReader::BlockFileReader(BlockFileReader&& other) noexcept
    : fd_(other.fd_),
      size_(other.size_),
      buffer_(std::move(other.buffer_)),
      bufferStart_(other.bufferStart_),
      bufferLength_(other.bufferLength_),
      readFailed_(other.readFailed_),
      shrank_(other.shrank_) {
    other.fd_ = -1;
}

BlockFileReader::~BlockFileReader() {
    if (fd_ >= 0) ::close(fd_);
}

const std::uint8_t* BlockFileReader::refill(std::uint64_t offset, std::size_t count) {
    if (count > maxSpan || offset > size_ || count > size_ - offset) return nullptr;

    std::size_t filled = 0;
    while (filled < buffer_.size()) {
        const ssize_t got = ::pread(fd_, buffer_.data() + filled, buffer_.size() - filled,
                                    static_cast<off_t>(offset + filled));
        if (got < 0) {
            if (errno == EINTR) continue;
            readFailed_ = true;
            break;
        }
        if (got == 0) {
            // The end of the file, earlier than its size said when opened.
            if (offset + filled < size_) shrank_ = true;
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    bufferStart_ = offset;
    bufferLength_ = filled;
    if (filled < count) return nullptr;
    return buffer_.data();
}

}  // namespace snipwell::mci
