#pragma once
// Files whose clip targets are put in place beside the window's event loop:
// the final sync and rename of a clip can take seconds on a slow stick, and
// the window stays responsive meanwhile. Everything else goes straight to the
// Files service underneath.

#include <memory>
#include <string>

#include "common/event_pump.h"
#include "common/forwarding_files.h"

namespace snipwell {

class CommitBesideEventsFiles final : public ForwardingFiles {
public:
    CommitBesideEventsFiles(Files& inner, EventPump& pump) : ForwardingFiles(inner), pump_(pump) {}

    std::unique_ptr<ClipTarget> createTarget(const std::string& path) override;

private:
    EventPump& pump_;
};

}  // namespace snipwell
