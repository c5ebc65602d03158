#include "cut/scanned_track_length.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include <limits>
#include <variant>

#include "clip/export/file_error.h"
#include "common/runtime_error.h"
#include "mci/mp3_length.h"

namespace snipwell {

std::int32_t scannedTrackLengthMs(const std::string& path) {
    using mci::MciError;
    const auto measured = mci::measureMp3Length(path);
    if (const auto* error = std::get_if<MciError>(&measured)) {
        struct stat info {};
        switch (*error) {
            case MciError::fileNotFound: throw fileError("cannot open", path, ENOENT);
            case MciError::fileUnreadable: {
                // The scan keeps no reason; opening once more finds it (no
                // permission), else the file failed part-way through.
                const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
                if (fd < 0) throw fileError("cannot open", path, errno);
                ::close(fd);
                throw fileError("cannot read", path, EIO);
            }
            case MciError::fileChanged:
                throw RuntimeError(ErrorKind::FileError,
                                   "\"" + path + "\" changed while it was being read");
            case MciError::notAFile:
                if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
                    throw fileError("cannot read", path, EISDIR);
                }
                break;
            default: break;
        }
        throw RuntimeError(ErrorKind::FileError, "\"" + path + "\" is " + kNotAnMp3);
    }
    const std::int64_t milliseconds = std::get<mci::Mp3Length>(measured).milliseconds();
    if (milliseconds > std::numeric_limits<std::int32_t>::max()) {
        throw RuntimeError(ErrorKind::Overflow, "the track is longer than 596 hours");
    }
    return static_cast<std::int32_t>(milliseconds);
}

}  // namespace snipwell
