#pragma once
// A clip target written through QSaveFile: a temporary file in the target's
// folder, synced and renamed over the target on commit, removed otherwise.

#include <QSaveFile>
#include <string>

#include "app/files.h"

namespace snipwell {

class SavedClipTarget : public ClipTarget {
public:
    // Throws RuntimeError(FileError) when the temporary file cannot be made
    // (a folder that is missing or not writable, a name that is a folder).
    explicit SavedClipTarget(std::string path);
    // Discards the temporary file unless committed; the target is untouched.
    ~SavedClipTarget() override;
    SavedClipTarget(const SavedClipTarget&) = delete;
    SavedClipTarget& operator=(const SavedClipTarget&) = delete;

    void writeAt(std::int64_t position, std::span<const std::byte> bytes) override;
    void commit() override;

private:
    std::string path_;
    QSaveFile file_;
};

}  // namespace snipwell
