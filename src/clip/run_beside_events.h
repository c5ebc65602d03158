#pragma once
// Work that may block for a while (a disk's final sync) run on a thread of
// its own, while the window goes on handling its events as a copy loop does.

#include <chrono>
#include <future>
#include <utility>

#include "common/event_pump.h"

namespace snipwell {

// How often the window's events are handled while the work runs.
inline constexpr std::chrono::milliseconds kBesideEventsPoll{10};

// Runs `work` on another thread and pumps events until it has finished, then
// passes on what it threw. When the pump throws (the window was closed), the
// work is still waited for before the throw goes on: whatever the work holds
// stays alive until it is done, so a rename is either made or not, never cut
// off half-way. `work` must not touch the window.
template <typename Work>
void runBesideEvents(EventPump& pump, Work&& work) {
    std::future<void> done = std::async(std::launch::async, std::forward<Work>(work));
    try {
        while (done.wait_for(kBesideEventsPoll) != std::future_status::ready) pump.pumpEvents();
    } catch (...) {
        done.wait();
        throw;
    }
    done.get();
}

}  // namespace snipwell
