#include "clip/exact/track_committer.h"

namespace snipwell::exact {
namespace {

// Tracks waiting for their commit, besides the one being committed.
constexpr std::size_t kMostWaiting = 2;

}  // namespace

TrackCommitter::TrackCommitter(std::function<void(std::size_t, std::uint64_t)> saved)
    : saved_(std::move(saved)), thread_([this] { run(); }) {}

TrackCommitter::~TrackCommitter() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        waiting_.clear();
    }
    changed_.notify_all();
    thread_.join();
}

void TrackCommitter::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (stopping_) return;
        Pending pending = std::move(waiting_.front());
        waiting_.pop_front();
        busy_ = true;
        lock.unlock();
        std::exception_ptr failed;
        try {
            pending.target->commit();
        } catch (...) {
            failed = std::current_exception();
        }
        pending.target.reset();
        lock.lock();
        busy_ = false;
        if (failed) {
            failure_ = failed;
            failedTrack_ = pending.index;
            waiting_.clear();  // what comes after a failed track is not kept
        } else {
            done_.emplace_back(pending.index, pending.bytes);
        }
        changed_.notify_all();
    }
}

void TrackCommitter::reportDone(std::unique_lock<std::mutex>& lock) {
    while (!done_.empty()) {
        const auto [index, bytes] = done_.front();
        done_.pop_front();
        lock.unlock();
        if (saved_) saved_(index, bytes);
        lock.lock();
    }
    if (failure_) {
        thrownFailureTrack_ = failedTrack_;
        std::rethrow_exception(failure_);
    }
}

void TrackCommitter::handOver(std::size_t index, std::unique_ptr<ClipTarget> target,
                              std::uint64_t bytes) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return failure_ || waiting_.size() < kMostWaiting; });
    reportDone(lock);
    waiting_.push_back({index, std::move(target), bytes});
    changed_.notify_all();
}

void TrackCommitter::check() {
    std::unique_lock<std::mutex> lock(mutex_);
    reportDone(lock);
}

void TrackCommitter::finish() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return failure_ || (waiting_.empty() && !busy_); });
    reportDone(lock);
}

}  // namespace snipwell::exact
