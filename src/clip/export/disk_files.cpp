#include "clip/export/disk_files.h"

#include <sys/stat.h>
#include <cerrno>

#include "clip/export/disk_byte_source.h"
#include "clip/export/file_error.h"
#include "clip/export/saved_clip_target.h"

namespace snipwell {

bool DiskFiles::exists(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0) return true;
    // Only a clear "nothing there" counts as absent; a name we cannot look at
    // (a folder we may not search) is treated as present, so it is asked about.
    return !(errno == ENOENT || errno == ENOTDIR);
}

bool DiskFiles::isSameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    if (::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0) return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::int64_t DiskFiles::fileSize(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) throw fileError("cannot read", path, errno);
    return static_cast<std::int64_t>(info.st_size);
}

std::unique_ptr<ByteSource> DiskFiles::openSource(const std::string& path) {
    return std::make_unique<DiskByteSource>(path);
}

std::unique_ptr<ClipTarget> DiskFiles::createTarget(const std::string& path) {
    return std::make_unique<SavedClipTarget>(path);
}

}  // namespace snipwell
