#pragma once
// A Files service that hands every call to another one: the base of the
// services that change only how targets behave (put in place beside the
// window's events, or, in the tests, a write that fails, a disk that fills,
// a sync that hangs or fails). They derive from this and override
// createTarget.

#include <cstdint>
#include <memory>
#include <string>

#include "common/files.h"

namespace snipwell {

class ForwardingFiles : public Files {
public:
    explicit ForwardingFiles(Files& disk) : disk_(disk) {}

    bool exists(const std::string& path) override { return disk_.exists(path); }
    bool isSameFile(const std::string& a, const std::string& b) override {
        return disk_.isSameFile(a, b);
    }
    std::int64_t fileSize(const std::string& path) override { return disk_.fileSize(path); }
    std::unique_ptr<ByteSource> openSource(const std::string& path) override {
        return disk_.openSource(path);
    }
    std::unique_ptr<ClipTarget> createTarget(const std::string& path) override {
        return disk_.createTarget(path);
    }

protected:
    Files& disk() { return disk_; }

private:
    Files& disk_;
};

}  // namespace snipwell
