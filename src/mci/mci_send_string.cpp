// The C entry point. The command is parsed here first, so that a malformed
// command never reaches the media engine and answers as it always has; a
// good one is carried out by the engine process, which runs the decoder
// where its faults cannot reach the caller. Calls are serialised by a mutex.

#include "mci/mci_send_string.h"

#include <cstring>
#include <memory>
#include <mutex>

#include "mci/command_limits.h"
#include "mci/command_parser.h"
#include "mci/engine_locator.h"
#include "mci/engine_process.h"
#include "mci/engine_protocol.h"
#include "mci/engine_time_limits.h"
#include "mci/mci_service.h"
#include "mci/media_engine_control.h"
#include "mci/reply_area.h"

namespace snipwell::mci {
namespace {

std::mutex serviceMutex;

// The engine, while one runs. Its devices are exactly the aliases open.
std::unique_ptr<EngineProcess>& runningEngine() {
    static std::unique_ptr<EngineProcess> engine;
    return engine;
}

// With no engine running no alias is open: commands are answered as an
// engine with no devices answers them. It is never asked to open a file.
MciService& serviceWithoutDevices() {
    static MciService service(
        [](const std::string&) -> DeviceOpenResult { return MciError::mediaSystemUnavailable; });
    return service;
}

MciOutcome failure(MciError error) { return {error, {}}; }

// Ends the engine: every alias it held is gone.
MciOutcome engineFailed(EngineProcess::Failure why) {
    runningEngine()->kill();
    runningEngine().reset();
    return failure(why == EngineProcess::Failure::timedOut ? MciError::engineTimedOut
                                                           : MciError::engineStopped);
}

MciOutcome execute(std::string_view text) {
    const auto parsed = parseCommand(text);
    if (const auto* error = std::get_if<MciError>(&parsed)) return failure(*error);
    const bool isOpen = std::holds_alternative<OpenCommand>(std::get<Command>(parsed));

    auto& engine = runningEngine();
    if (!engine) {
        if (!isOpen) return serviceWithoutDevices().execute(text);
        const auto program = findMediaEngine();
        if (program) engine = EngineProcess::start(*program);
        if (!engine) return failure(MciError::mediaSystemUnavailable);
        const auto hello = engine->awaitHello(engineStartTimeLimit);
        if (const auto* why = std::get_if<EngineProcess::Failure>(&hello))
            return engineFailed(*why);
        if (std::get<std::string>(hello) != engineReadyLine) {
            return engineFailed(EngineProcess::Failure::stopped);
        }
    }
    const auto answer = engine->exchange(text, isOpen ? openTimeLimit : commandTimeLimit);
    if (const auto* why = std::get_if<EngineProcess::Failure>(&answer)) return engineFailed(*why);
    auto outcome = parseReplyLine(std::get<std::string>(answer));
    if (!outcome) return engineFailed(EngineProcess::Failure::stopped);
    return *outcome;
}

}  // namespace

int mediaEngineProcessId() {
    const std::lock_guard lock(serviceMutex);
    const auto& engine = runningEngine();
    return engine ? static_cast<int>(engine->pid()) : 0;
}

}  // namespace snipwell::mci

extern "C" std::uint32_t mciSendStringA(const char* command, char* reply, std::uint32_t capacity,
                                        std::uintptr_t /*callback*/) {
    using namespace snipwell::mci;
    if (command == nullptr) return toCode(MciError::emptyCommand);
    // Measured without reading past the limit, so a runaway string is
    // refused without being copied or sent anywhere.
    const std::size_t length = ::strnlen(command, maxCommandBytes + 1);

    const std::lock_guard lock(serviceMutex);
    const MciOutcome outcome = length > maxCommandBytes
                                   ? failure(MciError::commandTooLong)
                                   : execute(std::string_view(command, length));
    // A failed command answers with an empty reply, so that a stale reply
    // left in the area is not read as its answer.
    const MciError replyError = writeReply(reply, capacity, outcome.reply);
    if (outcome.error != MciError::ok) return toCode(outcome.error);
    return toCode(replyError);
}
