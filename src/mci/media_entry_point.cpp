#include "mci/media_entry_point.h"

#include <atomic>
#include <cstring>

#include "mci/command_limits.h"
#include "mci/command_parser.h"
#include "mci/engine_locator.h"
#include "mci/engine_protocol.h"
#include "mci/engine_time_limits.h"
#include "mci/reply_area.h"

namespace snipwell::mci {
namespace {

MciOutcome failure(MciError error) { return {error, {}}; }

std::atomic<MediaEntryPoint*> installed{nullptr};

}  // namespace

MediaEntryPoint::MediaEntryPoint()
    : withoutDevices_([](const std::string&) -> DeviceOpenResult {
          return MciError::mediaSystemUnavailable;
      }) {}

// Destroying the engine closes its input, which ends it.
MediaEntryPoint::~MediaEntryPoint() = default;

// Ends the engine: every alias it held is gone.
MciOutcome MediaEntryPoint::engineFailed(EngineProcess::Failure why) {
    engine_->kill();
    engine_.reset();
    return failure(why == EngineProcess::Failure::timedOut ? MciError::engineTimedOut
                                                           : MciError::engineStopped);
}

MciOutcome MediaEntryPoint::startEngine() {
    const auto program = findMediaEngine();
    if (program) engine_ = EngineProcess::start(*program);
    if (!engine_) return failure(MciError::mediaSystemUnavailable);
    const auto hello = engine_->awaitHello(engineStartTimeLimit);
    if (const auto* why = std::get_if<EngineProcess::Failure>(&hello)) return engineFailed(*why);
    if (std::get<std::string>(hello) != engineReadyLine) {
        return engineFailed(EngineProcess::Failure::stopped);
    }
    return failure(MciError::ok);
}

MciOutcome MediaEntryPoint::execute(std::string_view text) {
    const auto parsed = parseCommand(text);
    if (const auto* error = std::get_if<MciError>(&parsed)) return failure(*error);
    const bool isOpen = std::holds_alternative<OpenCommand>(std::get<Command>(parsed));

    if (!engine_) {
        if (!isOpen) return withoutDevices_.execute(text);
        MciOutcome started = startEngine();
        if (started.error != MciError::ok) return started;
    }
    const auto answer = engine_->exchange(text, isOpen ? openTimeLimit : commandTimeLimit);
    if (const auto* why = std::get_if<EngineProcess::Failure>(&answer)) return engineFailed(*why);
    auto outcome = parseReplyLine(std::get<std::string>(answer));
    if (!outcome) return engineFailed(EngineProcess::Failure::stopped);
    return *outcome;
}

std::uint32_t MediaEntryPoint::send(const char* command, char* reply, std::uint32_t capacity) {
    if (command == nullptr) return toCode(MciError::emptyCommand);
    // Measured without reading past the limit, so a runaway string is
    // refused without being copied or sent anywhere.
    const std::size_t length = ::strnlen(command, maxCommandBytes + 1);

    const std::lock_guard lock(mutex_);
    const MciOutcome outcome = length > maxCommandBytes
                                   ? failure(MciError::commandTooLong)
                                   : execute(std::string_view(command, length));
    // A failed command answers with an empty reply, so that a stale reply
    // left in the area is not read as its answer.
    const MciError replyError = writeReply(reply, capacity, outcome.reply);
    if (outcome.error != MciError::ok) return toCode(outcome.error);
    return toCode(replyError);
}

int MediaEntryPoint::engineProcessId() {
    const std::lock_guard lock(mutex_);
    return engine_ ? static_cast<int>(engine_->pid()) : 0;
}

InstalledMediaEntryPoint::InstalledMediaEntryPoint(MediaEntryPoint& entry)
    : previous_(installed.exchange(&entry)) {}

InstalledMediaEntryPoint::~InstalledMediaEntryPoint() { installed.store(previous_); }

MediaEntryPoint& currentMediaEntryPoint() {
    if (MediaEntryPoint* entry = installed.load()) return *entry;
    static MediaEntryPoint ownEntryPoint;
    return ownEntryPoint;
}

}  // namespace snipwell::mci
