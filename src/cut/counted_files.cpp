#include "cut/counted_files.h"

namespace snipwell {
namespace {

class CountedTarget : public ClipTarget {
public:
    CountedTarget(std::unique_ptr<ClipTarget> target, std::atomic<std::uint64_t>& written)
        : target_(std::move(target)), written_(written) {}
    void writeAt(std::int64_t position, std::span<const std::byte> bytes) override {
        target_->writeAt(position, bytes);
        written_ += bytes.size();
    }
    void commit() override { target_->commit(); }

private:
    std::unique_ptr<ClipTarget> target_;
    std::atomic<std::uint64_t>& written_;
};

}  // namespace

std::unique_ptr<ClipTarget> CountedFiles::createTarget(const std::string& path) {
    return std::make_unique<CountedTarget>(disk().createTarget(path), written_);
}

}  // namespace snipwell
