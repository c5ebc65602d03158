#pragma once
// File access for saving a clip. Byte positions are 1-based. A clip target is
// written beside its final name and only takes that name on commit(), so a
// failure or a closed window never leaves a partial clip or harms an existing
// file.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace snipwell {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to into.size() bytes starting at 1-based `position`. Returns how
    // many were read: fewer at the end of the file, which is no failure.
    // Throws RuntimeError(FileError) with the system's reason on a read error.
    virtual std::size_t readAt(std::int64_t position, std::span<std::byte> into) = 0;
};

class ClipTarget {
public:
    // Destroying an uncommitted target removes its temporary file.
    virtual ~ClipTarget() = default;
    virtual void writeAt(std::int64_t position, std::span<const std::byte> bytes) = 0;
    // Makes the clip appear under its name, replacing any file there.
    virtual void commit() = 0;
};

class Files {
public:
    virtual ~Files() = default;
    // Whether anything is present under the name, readable or not.
    virtual bool exists(const std::string& path) = 0;
    // Whether two names lead to the same file (device and inode), through
    // links and relative forms alike. False when either does not exist.
    virtual bool isSameFile(const std::string& a, const std::string& b) = 0;
    virtual std::int64_t fileSize(const std::string& path) = 0;
    virtual std::unique_ptr<ByteSource> openSource(const std::string& path) = 0;
    virtual std::unique_ptr<ClipTarget> createTarget(const std::string& path) = 0;
};

// Whether a clip written to `target` would overwrite `source`: the same name,
// or another name for the same file (a link, a relative form). Every way of
// saving a clip refuses such a target before it writes anything.
inline bool isSourceItself(Files& files, const std::string& target, const std::string& source) {
    return target == source || files.isSameFile(target, source);
}

}  // namespace snipwell
