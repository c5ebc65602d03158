#pragma once
// A Files service that passes everything to the disk but makes the target's
// n-th write fail, as a device would, so a failure part-way can be replayed.

#include <memory>
#include <string>

#include "app/files.h"
#include "common/runtime_error.h"

namespace snipwell::test {

class FaultyFiles : public Files {
public:
    FaultyFiles(Files& disk, int failingWrite) : disk_(disk), failingWrite_(failingWrite) {}

    bool exists(const std::string& path) override { return disk_.exists(path); }
    bool isSameFile(const std::string& a, const std::string& b) override { return disk_.isSameFile(a, b); }
    std::int64_t fileSize(const std::string& path) override { return disk_.fileSize(path); }
    std::unique_ptr<ByteSource> openSource(const std::string& path) override { return disk_.openSource(path); }
    std::unique_ptr<ClipTarget> createTarget(const std::string& path) override {
        return std::make_unique<Target>(disk_.createTarget(path), failingWrite_);
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

    Files& disk_;
    int failingWrite_;
};

}  // namespace snipwell::test
