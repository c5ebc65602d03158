#pragma once
// Files services that pass everything to the disk but fail or change things
// part-way, so a failure during a copy can be replayed: the target's n-th
// write fails as a device would, or the source file changes size on disk
// after its n-th read, as when another program rewrites it.

#include <filesystem>
#include <memory>
#include <string>

#include "common/files.h"
#include "common/runtime_error.h"
#include "support/forwarding_files.h"

namespace snipwell::test {

class FaultyFiles : public ForwardingFiles {
public:
    FaultyFiles(Files& disk, int failingWrite)
        : ForwardingFiles(disk), failingWrite_(failingWrite) {}

    std::unique_ptr<ClipTarget> createTarget(const std::string& path) override {
        return std::make_unique<Target>(disk().createTarget(path), failingWrite_);
    }

private:
    class Target : public ClipTarget {
    public:
        Target(std::unique_ptr<ClipTarget> real, int failingWrite)
            : real_(std::move(real)), writesLeft_(failingWrite) {}
        void writeAt(std::int64_t position, std::span<const std::byte> bytes) override {
            if (--writesLeft_ == 0) {
                throw RuntimeError(ErrorKind::FileError, "cannot write: Input/output error");
            }
            real_->writeAt(position, bytes);
        }
        void commit() override { real_->commit(); }

    private:
        std::unique_ptr<ClipTarget> real_;
        int writesLeft_;
    };

    int failingWrite_;
};

class ResizingSourceFiles : public ForwardingFiles {
public:
    ResizingSourceFiles(Files& disk, int afterRead, std::uintmax_t newSize)
        : ForwardingFiles(disk), afterRead_(afterRead), newSize_(newSize) {}

    std::unique_ptr<ByteSource> openSource(const std::string& path) override {
        return std::make_unique<Source>(disk().openSource(path), path, afterRead_, newSize_);
    }

private:
    class Source : public ByteSource {
    public:
        Source(std::unique_ptr<ByteSource> real, std::string path, int afterRead,
               std::uintmax_t newSize)
            : real_(std::move(real)),
              path_(std::move(path)),
              readsLeft_(afterRead),
              newSize_(newSize) {}
        std::size_t readAt(std::int64_t position, std::span<std::byte> into) override {
            const std::size_t got = real_->readAt(position, into);
            if (--readsLeft_ == 0) std::filesystem::resize_file(path_, newSize_);
            return got;
        }

    private:
        std::unique_ptr<ByteSource> real_;
        std::string path_;
        int readsLeft_;
        std::uintmax_t newSize_;
    };

    int afterRead_;
    std::uintmax_t newSize_;
};

}  // namespace snipwell::test
