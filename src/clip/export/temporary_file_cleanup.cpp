#include "clip/export/temporary_file_cleanup.h"

#include <unistd.h>
#include <climits>
#include <csignal>
#include <cstring>

#include <atomic>
#include <utility>

namespace snipwell {
namespace {

// A handful of slots: a program writes one clip at a time. A slot is free,
// being filled (never read by the handler), or armed.
constexpr int kSlots = 8;
enum SlotState : int { kFree = 0, kFilling = 1, kArmed = 2 };

struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX]{};
};
Slot slots[kSlots];

// Whether a signal only asks to stop, and the one that asked.
std::atomic<bool> deferring{false};
std::atomic<int> requested{0};

// Only async-signal-safe calls here: unlink, signal, raise.
extern "C" void removeAndEnd(int signalNumber) {
    int none = 0;
    if (deferring.load() && requested.compare_exchange_strong(none, signalNumber)) return;
    for (Slot& slot : slots) {
        if (slot.state.load() == kArmed) ::unlink(slot.path);
    }
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

}  // namespace

TemporaryFileRegistration::TemporaryFileRegistration(const std::string& path) {
    if (path.size() >= PATH_MAX) return;  // such a name could not have been created
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (!slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
        std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
        slots[i].state.store(kArmed);
        slot_ = i;
        return;
    }
}

TemporaryFileRegistration::~TemporaryFileRegistration() {
    if (slot_ >= 0) slots[slot_].state.store(kFree);
}

TemporaryFileRegistration::TemporaryFileRegistration(TemporaryFileRegistration&& other) noexcept
    : slot_(std::exchange(other.slot_, -1)) {}

TemporaryFileRegistration& TemporaryFileRegistration::operator=(
    TemporaryFileRegistration&& other) noexcept {
    if (this != &other) {
        if (slot_ >= 0) slots[slot_].state.store(kFree);
        slot_ = std::exchange(other.slot_, -1);
    }
    return *this;
}

void removeTemporaryFilesOnSignals() {
    struct sigaction action {};
    action.sa_handler = removeAndEnd;
    // A deferred signal returns to the program: a write it broke into
    // (a summary line to a slow pipe) goes on rather than failing.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&action.sa_mask, signalNumber);
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        ::sigaction(signalNumber, &action, nullptr);
    }
}

DeferredInterruptions::DeferredInterruptions() { deferring.store(true); }

DeferredInterruptions::~DeferredInterruptions() { deferring.store(false); }

int interruptionRequested() { return requested.load(); }

void endByRequestedInterruption() {
    if (const int signalNumber = requested.load(); signalNumber != 0) removeAndEnd(signalNumber);
}

}  // namespace snipwell
