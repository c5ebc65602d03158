#pragma once
// One running media engine process and the socket the entry point talks to
// it through (see engine_protocol.h for what travels on it), started and
// ended by the helper-process module (common/helper_process.h).
//
// The engine gets the socket as its standard input and output. It ends by
// itself when its input ends, when this process ends (it follows its
// parent, common/helper_parent.h), and it is killed when it fails to answer.

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "common/helper_process.h"

namespace snipwell::mci {

class EngineProcess {
public:
    // nullptr when the program cannot be started.
    static std::unique_ptr<EngineProcess> start(const std::string& program);

    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;
    // Closes the engine's input, which ends it; an engine that has not ended
    // after a short grace is killed. Reaped either way.
    ~EngineProcess();

    enum class Failure { stopped, timedOut };
    using Answer = std::variant<std::string, Failure>;

    // Sends one command line and waits at most `limit` for the engine's
    // answer line (returned without its newline). After a Failure the
    // engine is of no further use: the caller destroys it, which kills it.
    Answer exchange(std::string_view command, std::chrono::milliseconds limit);

    // Waits at most `limit` for the engine's first line, which says it is
    // ready; the engine is of no use when this fails.
    Answer awaitHello(std::chrono::milliseconds limit);

    // Kills the engine at once and reaps it.
    void kill() { process_->kill(); }

    pid_t pid() const { return process_->pid(); }

private:
    explicit EngineProcess(std::unique_ptr<HelperProcess> process) : process_(std::move(process)) {}
    Answer receiveLine(HelperClock::time_point deadline);

    std::unique_ptr<HelperProcess> process_;
};

}  // namespace snipwell::mci
