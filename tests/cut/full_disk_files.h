#pragma once
// A Files service with room for a given number of bytes across every target
// it makes: the write that would pass it fails as a full disk does, so a
// disk that fills up part-way through a job can be replayed.

#include <memory>
#include <string>

#include "common/files.h"
#include "common/runtime_error.h"
#include "support/forwarding_files.h"

namespace snipwell::test {

// The disk with room for `room` bytes in all, across every target: the
// write that would pass it fails as a full disk does.
class FullDiskFiles : public ForwardingFiles {
public:
    FullDiskFiles(Files& disk, std::int64_t room) : ForwardingFiles(disk), room_(room) {}
    std::unique_ptr<ClipTarget> createTarget(const std::string& path) override {
        return std::make_unique<Target>(disk().createTarget(path), room_);
    }

private:
    class Target : public ClipTarget {
    public:
        Target(std::unique_ptr<ClipTarget> real, std::int64_t& room)
            : real_(std::move(real)), room_(room) {}
        void writeAt(std::int64_t position, std::span<const std::byte> bytes) override {
            const auto size = static_cast<std::int64_t>(bytes.size());
            if (size > room_) {
                throw RuntimeError(ErrorKind::FileError, "cannot write: No space left on device");
            }
            room_ -= size;
            real_->writeAt(position, bytes);
        }
        void commit() override { real_->commit(); }

    private:
        std::unique_ptr<ClipTarget> real_;
        std::int64_t& room_;
    };
    std::int64_t room_;
};

}  // namespace snipwell::test
