#pragma once
// Files whose clip targets are put in place beside the window's event loop:
// the final sync and rename of a clip can take seconds on a slow stick, and
// the window stays responsive meanwhile. Everything else goes straight to the
// Files service underneath.

#include <cstdint>
#include <memory>
#include <string>

#include "common/event_pump.h"
#include "common/files.h"

namespace snipwell {

class CommitBesideEventsFiles final : public Files {
public:
    CommitBesideEventsFiles(Files& inner, EventPump& pump) : inner_(inner), pump_(pump) {}

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
    EventPump& pump_;
};

}  // namespace snipwell
