#pragma once
// The media service's entry point as an object: a text command in, a code
// out, and for queries a reply written into the caller's area. It parses
// every command first, so that a malformed command never reaches the media
// engine; a good one is carried out by the engine process, started on the
// first open and again after it died. Calls are serialised.
//
// Each program makes one in main() and installs it behind the C-style entry
// point (mci_send_string.h); destroying it ends its engine.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>

#include "mci/engine_process.h"
#include "mci/mci_service.h"

namespace snipwell::mci {

class MediaEntryPoint {
public:
    MediaEntryPoint();
    ~MediaEntryPoint();
    MediaEntryPoint(const MediaEntryPoint&) = delete;
    MediaEntryPoint& operator=(const MediaEntryPoint&) = delete;

    // `reply` receives at most `capacity` bytes, NUL included; it may be
    // null when `capacity` is 0.
    std::uint32_t send(const char* command, char* reply, std::uint32_t capacity);

    // The process id of the running media engine; 0 when none runs.
    int engineProcessId();

private:
    MciOutcome execute(std::string_view text);
    MciOutcome startEngine();
    MciOutcome engineFailed(EngineProcess::Failure why);

    std::mutex mutex_;
    // The engine, while one runs. Its devices are exactly the aliases open.
    std::unique_ptr<EngineProcess> engine_;
    // With no engine running no alias is open: commands are answered as an
    // engine with no devices answers them. It is never asked to open a file.
    MciService withoutDevices_;
};

// While one lives, the C-style entry point and mediaEngineProcessId() use
// `entry`; before and after, a MediaEntryPoint of their own (for programs,
// such as the test programs, that never make one).
class InstalledMediaEntryPoint {
public:
    explicit InstalledMediaEntryPoint(MediaEntryPoint& entry);
    ~InstalledMediaEntryPoint();
    InstalledMediaEntryPoint(const InstalledMediaEntryPoint&) = delete;
    InstalledMediaEntryPoint& operator=(const InstalledMediaEntryPoint&) = delete;

private:
    MediaEntryPoint* previous_;
};

// The entry point the C-style function uses now.
MediaEntryPoint& currentMediaEntryPoint();

}  // namespace snipwell::mci
