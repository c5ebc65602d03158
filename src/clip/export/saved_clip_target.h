#pragma once
// A clip target written beside its final name: into an unnamed file of the
// target's folder where the file system offers one (O_TMPFILE), else into a
// hidden named file there. commit() syncs it, gives it the target's name in
// one rename, and syncs the folder; destroying it uncommitted removes it, and
// the target is untouched.
//
// Write-back to the disk is started every few megabytes while the clip is
// written, so the final sync does not wait for the whole clip at once and
// the copy and the disk work side by side.

#include <sys/types.h>

#include <string>

#include "clip/export/temporary_file_cleanup.h"
#include "common/files.h"

namespace snipwell {

enum class TemporaryNaming {
    unnamedWhenPossible,
    // Always a named file, as on file systems without unnamed files; lets the
    // named path be exercised on any file system.
    alwaysNamed,
};

class SavedClipTarget : public ClipTarget {
public:
    // Throws RuntimeError(FileError) when the temporary file cannot be made
    // (a folder that is missing or not writable, a name that is a folder).
    explicit SavedClipTarget(std::string path,
                             TemporaryNaming naming = TemporaryNaming::unnamedWhenPossible);
    ~SavedClipTarget() override;
    SavedClipTarget(const SavedClipTarget&) = delete;
    SavedClipTarget& operator=(const SavedClipTarget&) = delete;

    void writeAt(std::int64_t position, std::span<const std::byte> bytes) override;
    void commit() override;

    // The temporary file's name, empty while it has none.
    const std::string& temporaryPath() const { return temporaryPath_; }

private:
    void createNamed(mode_t mode);
    void startWriteBack();

    std::string path_;       // as the person gave it, for messages
    std::string finalPath_;  // where the clip lands (a link's own file)
    std::string folder_;
    std::string temporaryPath_;
    TemporaryFileRegistration registration_;
    int fd_ = -1;
    bool committed_ = false;
    off_t writtenUpTo_ = 0;
    off_t writeBackFrom_ = 0;
};

}  // namespace snipwell
