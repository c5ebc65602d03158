#pragma once
// Named temporary files that must not outlive a program ended by SIGINT,
// SIGTERM or SIGHUP. A clip is written into an unnamed file where the file
// system allows it, and then nothing is left behind however the program ends;
// elsewhere it has a name beside the target until it is complete, and this
// registry lets a signal handler remove that name before the program ends.
//
// Registering costs nothing where no handler is installed (the window), so
// every clip target registers, and only snipwell-cut installs the handlers.

#include <string>

namespace snipwell {

// A registration that unregisters itself when destroyed.
class TemporaryFileRegistration {
public:
    TemporaryFileRegistration() = default;
    explicit TemporaryFileRegistration(const std::string& path);
    ~TemporaryFileRegistration();
    TemporaryFileRegistration(TemporaryFileRegistration&& other) noexcept;
    TemporaryFileRegistration& operator=(TemporaryFileRegistration&& other) noexcept;
    TemporaryFileRegistration(const TemporaryFileRegistration&) = delete;
    TemporaryFileRegistration& operator=(const TemporaryFileRegistration&) = delete;

private:
    int slot_ = -1;
};

// Installs handlers for SIGINT, SIGTERM and SIGHUP that remove every
// registered file and then end the program by the same signal, so the
// caller still sees how it ended.
void removeTemporaryFilesOnSignals();

// While one lives, the first of those signals only asks the program to stop
// (interruptionRequested() then names it), so a long job can end in order:
// keep what it finished, say so, and remove its temporary files itself. A
// second signal ends the program at once, as without it.
class DeferredInterruptions {
public:
    DeferredInterruptions();
    ~DeferredInterruptions();
    DeferredInterruptions(const DeferredInterruptions&) = delete;
    DeferredInterruptions& operator=(const DeferredInterruptions&) = delete;
};

// The signal that asked to stop while interruptions were deferred; 0 for none.
int interruptionRequested();

// Ends the program by that signal, if one came, as the handler would have.
void endByRequestedInterruption();

}  // namespace snipwell
