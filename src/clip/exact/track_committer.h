#pragma once
// Commits finished tracks on a thread of its own, so that the walk goes on
// reading and copying while the disk syncs the track before. A commit
// (fsync, rename, folder sync) mostly waits for the disk; doing twenty of
// them in the walk's way would make the split wait twenty times.
//
// Tracks are committed in the order they are handed over. At most a couple
// wait at once: handing over more blocks until one is done, which keeps
// the temporary files few (each signal-safe cleanup slot stays available)
// and memory flat. A failed commit is kept and thrown from the next call.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "common/files.h"

namespace snipwell::exact {

class TrackCommitter {
public:
    // `saved` runs on the caller's thread, from handOver() and finish(), once
    // for each committed track in order.
    explicit TrackCommitter(std::function<void(std::size_t index, std::uint64_t bytes)> saved);
    // Stops the thread; tracks not yet committed are dropped, which removes
    // their temporary files.
    ~TrackCommitter();
    TrackCommitter(const TrackCommitter&) = delete;
    TrackCommitter& operator=(const TrackCommitter&) = delete;

    void handOver(std::size_t index, std::unique_ptr<ClipTarget> target, std::uint64_t bytes);
    // Throws what a commit threw, if one failed.
    void check();
    // Waits until every track handed over is committed.
    void finish();
    // The track whose failed commit one of the calls above threw, if one did.
    std::optional<std::size_t> thrownFailureTrack() const { return thrownFailureTrack_; }

private:
    struct Pending {
        std::size_t index = 0;
        std::unique_ptr<ClipTarget> target;
        std::uint64_t bytes = 0;
    };

    void run();
    // Reports the commits done so far and rethrows a failure; holds `lock`.
    void reportDone(std::unique_lock<std::mutex>& lock);

    std::function<void(std::size_t, std::uint64_t)> saved_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Pending> waiting_;
    std::deque<std::pair<std::size_t, std::uint64_t>> done_;
    std::exception_ptr failure_;
    std::size_t failedTrack_ = 0;
    std::optional<std::size_t> thrownFailureTrack_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace snipwell::exact
