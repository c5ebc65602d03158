#pragma once
// One running media engine process and the socket the entry point talks to
// it through (see engine_protocol.h for what travels on it).
//
// The engine gets the socket as its standard input and output and no other
// descriptor of ours: everything above standard error is closed in the child
// before the program starts. It ends by itself when its input ends, when this
// process ends (a parent-death signal, bound to the thread that started it,
// and a watch on its parent's id), and it is killed when it fails to answer.
// Writes use MSG_NOSIGNAL, so a dead engine never raises SIGPIPE here.

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

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
    void kill();

    pid_t pid() const { return pid_; }

private:
    EngineProcess(pid_t pid, int socket) : pid_(pid), socket_(socket) {}
    bool reapWithin(std::chrono::milliseconds grace);
    Answer receiveLine(std::chrono::steady_clock::time_point deadline);

    pid_t pid_;
    int socket_;
    bool reaped_ = false;
    std::string received_;  // bytes read past the last answer line
};

}  // namespace snipwell::mci
