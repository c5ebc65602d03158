#include "split/sheet_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include <array>
#include <system_error>

#include "common/runtime_error.h"

namespace snipwell {
namespace {

// "cannot read \"album.cue\": No such file or directory"
RuntimeError cannotRead(const std::string& path, int systemError) {
    return RuntimeError(ErrorKind::FileError, "cannot read \"" + path + "\": " +
                                                  std::generic_category().message(systemError));
}

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
    if (fd < 0) throw cannotRead(path, errno);
    const OpenedSheet sheet(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0) throw cannotRead(path, errno);
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
            throw cannotRead(path, errno);
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
