#pragma once
// A clip target that writes a few bytes of its own over what passes through
// it: the byte-range cut copies the source's bytes as they are, and this
// puts each frame's edited side information in place of the original on the
// way to the disk. The copy itself is unchanged, so a clip with no patches is
// byte for byte the clip the window's Save writes.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/files.h"

namespace snipwell {

struct BytePatch {
    std::int64_t position = 0;  // 1-based, in the target
    std::uint8_t length = 0;
    std::array<std::uint8_t, 40> bytes{};  // a header, check word and side information at most
};

// Patches sorted by position, none overlapping another.
class PatchedClipTarget : public ClipTarget {
public:
    PatchedClipTarget(std::unique_ptr<ClipTarget> inner, std::vector<BytePatch> patches);

    void writeAt(std::int64_t position, std::span<const std::byte> bytes) override;
    void commit() override { inner_->commit(); }

private:
    std::unique_ptr<ClipTarget> inner_;
    std::vector<BytePatch> patches_;
    std::vector<std::byte> scratch_;
};

// Files as they are, except that the target named `targetPath` is created
// with `patches` laid over it.
class PatchingFiles : public Files {
public:
    PatchingFiles(Files& inner, std::string targetPath, std::vector<BytePatch> patches)
        : inner_(inner), targetPath_(std::move(targetPath)), patches_(std::move(patches)) {}

    bool exists(const std::string& path) override { return inner_.exists(path); }
    bool isSameFile(const std::string& a, const std::string& b) override {
        return inner_.isSameFile(a, b);
    }
    std::int64_t fileSize(const std::string& path) override { return inner_.fileSize(path); }
    std::unique_ptr<ByteSource> openSource(const std::string& path) override {
        return inner_.openSource(path);
    }
    std::unique_ptr<ClipTarget> createTarget(const std::string& path) override;

private:
    Files& inner_;
    std::string targetPath_;
    std::vector<BytePatch> patches_;
};

}  // namespace snipwell
