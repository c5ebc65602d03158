#include "clip/export/saved_clip_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include <algorithm>
#include <filesystem>
#include <random>
#include <utility>

#include "clip/export/file_error.h"
#include "clip/export/temporary_name.h"

namespace snipwell {
namespace {

// How much is written before its write-back to the disk is started.
constexpr off_t kWriteBackEvery = 8 * 1024 * 1024;

// The file a name finally leads to: the clip replaces the file a link points
// at and keeps the link, as a person editing through the link expects.
std::string followLinks(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            std::string resolved = real;
            std::free(real);
            return resolved;
        }
    }
    return path;
}

std::string folderOf(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

// A fresh hidden name beside the target.
std::string temporaryNameFor(const std::string& finalPath) {
    static std::mt19937_64 random{std::random_device{}()};
    return temporaryPathFor(finalPath, random());
}

void syncFolder(const std::string& folder) {
    // The rename is only on the disk once the folder is; a failure here
    // leaves a complete clip in place, so it is not reported.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

SavedClipTarget::SavedClipTarget(std::string path, TemporaryNaming naming)
    : path_(std::move(path)), finalPath_(followLinks(path_)), folder_(folderOf(finalPath_)) {
    struct stat existing {};
    const bool exists = ::stat(finalPath_.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) throw fileError("cannot create", path_, EISDIR);
    // A replaced file keeps its permissions; until they are set, nobody else
    // may read the new one.
    const mode_t mode = exists ? 0600 : 0666;

    if (naming == TemporaryNaming::unnamedWhenPossible) {
        fd_ = ::open(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    }
    if (fd_ < 0) createNamed(mode);
    if (exists && S_ISREG(existing.st_mode)) ::fchmod(fd_, existing.st_mode & 07777);
}

void SavedClipTarget::createNamed(mode_t mode) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = temporaryNameFor(finalPath_);
        fd_ = ::open(name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode);
        if (fd_ >= 0) {
            temporaryPath_ = std::move(name);
            registration_ = TemporaryFileRegistration(temporaryPath_);
            return;
        }
        if (errno != EEXIST) break;
    }
    throw fileError("cannot create", path_, errno);
}

SavedClipTarget::~SavedClipTarget() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_ && !temporaryPath_.empty()) ::unlink(temporaryPath_.c_str());
}

// Positioned writes straight on the temporary file's descriptor: one system
// call per chunk, and the system's own reason when it fails.
void SavedClipTarget::writeAt(std::int64_t position, std::span<const std::byte> bytes) {
    if (position < 1) throw fileError("cannot write", path_, "bad file position");
    const auto start = static_cast<off_t>(position - 1);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::pwrite(fd_, bytes.data() + done, bytes.size() - done,
                                     start + static_cast<off_t>(done));
        if (put < 0) {
            if (errno == EINTR) continue;
            throw fileError("cannot write", path_, errno);
        }
        done += static_cast<std::size_t>(put);
    }
    writtenUpTo_ = std::max(writtenUpTo_, start + static_cast<off_t>(done));
    if (writtenUpTo_ - writeBackFrom_ >= kWriteBackEvery) startWriteBack();
}

void SavedClipTarget::startWriteBack() {
    // Only starts the disk's work and returns; errors show up in the final
    // fsync, which is checked.
    ::sync_file_range(fd_, writeBackFrom_, writtenUpTo_ - writeBackFrom_, SYNC_FILE_RANGE_WRITE);
    writeBackFrom_ = writtenUpTo_;
}

void SavedClipTarget::commit() {
    // Sync first and look at the result: a disk that fills up only now, or a
    // failing device, must not end in a clip that is renamed into place.
    if (::fsync(fd_) != 0) throw fileError("cannot write", path_, errno);

    if (temporaryPath_.empty()) {
        // An unnamed file gets a hidden name first: a link cannot replace an
        // existing file, a rename can.
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        for (int attempt = 0; attempt < 100 && temporaryPath_.empty(); ++attempt) {
            std::string name = temporaryNameFor(finalPath_);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                temporaryPath_ = std::move(name);
                registration_ = TemporaryFileRegistration(temporaryPath_);
            } else if (errno != EEXIST) {
                throw fileError("cannot save", path_, errno);
            }
        }
        if (temporaryPath_.empty()) throw fileError("cannot save", path_, EEXIST);
    }
    if (::rename(temporaryPath_.c_str(), finalPath_.c_str()) != 0) {
        throw fileError("cannot save", path_, errno);
    }
    committed_ = true;
    registration_ = TemporaryFileRegistration();
    syncFolder(folder_);
}

}  // namespace snipwell
