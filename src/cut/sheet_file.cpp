#include "cut/sheet_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include <array>

#include "clip/export/file_error.h"

namespace snipwell {
namespace {

// Closes the descriptor however the read ends.
class OpenedSheet {
public:
    explicit OpenedSheet(int fd) : fd_(fd) {}
    ~OpenedSheet() { ::close(fd_); }
    OpenedSheet(const OpenedSheet&) = delete;
    OpenedSheet& operator=(const OpenedSheet&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

}  // namespace

std::string readSheetFile(const std::string& path, std::size_t largest) {
    const std::string quoted = "\"" + path + "\"";
    // A FIFO's open waits for its writer, as any reader of one does.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw fileError("cannot read", path, errno);
    const OpenedSheet sheet(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0) throw fileError("cannot read", path, errno);
    if (S_ISDIR(info.st_mode)) {
        throw RuntimeError(ErrorKind::FileError,
                           quoted + " is a folder, not a cue sheet or label file");
    }
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) {
        throw RuntimeError(ErrorKind::FileError,
                           quoted + " is a device, not a cue sheet or label file");
    }
    std::string bytes;
    std::array<char, 64 * 1024> chunk{};
    for (;;) {
        const ssize_t got = ::read(fd, chunk.data(), chunk.size());
        if (got < 0) {
            if (errno == EINTR) continue;
            throw fileError("cannot read", path, errno);
        }
        if (got == 0) return bytes;
        if (bytes.size() + static_cast<std::size_t>(got) > largest) {
            throw RuntimeError(ErrorKind::FileError,
                               quoted + " is too large for a cue sheet or label file");
        }
        bytes.append(chunk.data(), static_cast<std::size_t>(got));
    }
}

}  // namespace snipwell
