#include "clip/commit_beside_events.h"

#include <span>
#include <utility>

#include "clip/run_beside_events.h"

namespace snipwell {
namespace {

class CommitBesideEventsTarget final : public ClipTarget {
public:
    CommitBesideEventsTarget(std::unique_ptr<ClipTarget> inner, EventPump& pump)
        : inner_(std::move(inner)), pump_(pump) {}

    void writeAt(std::int64_t position, std::span<const std::byte> bytes) override {
        inner_->writeAt(position, bytes);
    }
    void commit() override {
        runBesideEvents(pump_, [this] { inner_->commit(); });
    }

private:
    std::unique_ptr<ClipTarget> inner_;
    EventPump& pump_;
};

}  // namespace

std::unique_ptr<ClipTarget> CommitBesideEventsFiles::createTarget(const std::string& path) {
    return std::make_unique<CommitBesideEventsTarget>(disk().createTarget(path), pump_);
}

}  // namespace snipwell
