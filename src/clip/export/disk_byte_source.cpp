#include "clip/export/disk_byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include <utility>

#include "clip/export/file_error.h"

namespace snipwell {

DiskByteSource::DiskByteSource(std::string path) : path_(std::move(path)) {
    fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw fileError("cannot open", path_, errno);
    struct stat info {};
    if (::fstat(fd_, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw fileError("cannot read", path_, EISDIR);
    }
}

DiskByteSource::~DiskByteSource() {
    if (fd_ >= 0) ::close(fd_);
}

std::size_t DiskByteSource::readAt(std::int64_t position, std::span<std::byte> into) {
    if (position < 1) throw fileError("cannot read", path_, "bad file position");
    std::size_t done = 0;
    while (done < into.size()) {
        const ssize_t got = ::pread(fd_, into.data() + done, into.size() - done,
                                    static_cast<off_t>(position - 1) + static_cast<off_t>(done));
        if (got < 0) {
            if (errno == EINTR) continue;
            throw fileError("cannot read", path_, errno);
        }
        if (got == 0) break;  // the end of the file: the caller handles a short chunk
        done += static_cast<std::size_t>(got);
    }
    return done;
}

}  // namespace snipwell
