#pragma once
// A helper program running in a process of its own (the media engine, the
// level probe), seen from the process that started it: it talks to the
// helper in lines over one socket, waits for it with deadlines, and ends it.
//
// The helper runs in a process group of its own, so that ending it ends
// whatever it started too: kill() and the destructor kill the whole group,
// and the group is killed as well after the helper ended by itself, before
// it is reaped (while its id cannot be reused). It gets the socket as its
// standard output (and standard input, when it takes commands) and no other
// descriptor of ours: everything above standard error is closed in the
// child before the program starts. Its first arguments are
// `--parent-pid <our pid>` (helper_parent.h), so that it ends with us.
// Writes use MSG_NOSIGNAL, so a dead helper never raises SIGPIPE here.

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace snipwell {

using HelperClock = std::chrono::steady_clock;

struct HelperLaunch {
    std::string program;
    std::vector<std::string> arguments;  // after --parent-pid PID
    // Standard input is the socket (a helper that takes commands), or
    // /dev/null (one that only answers).
    bool commandsOnInput = true;
    // Standard error is ours, or /dev/null.
    bool keepErrorOutput = true;
};

class HelperProcess {
public:
    // The process, or the errno value of why it could not be started.
    static std::variant<std::unique_ptr<HelperProcess>, int> start(const HelperLaunch& launch);

    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;
    // Kills and reaps the helper, if that has not happened yet.
    ~HelperProcess();

    // Why no line came: the helper closed its end (or ended), it broke the
    // protocol (a line longer than the limit, a failed read or write), or
    // the deadline passed first.
    enum class Stop { ended, broken, timedOut };
    using Line = std::variant<std::string, Stop>;

    // Sends one line (a newline is added); nullopt once it is all sent.
    std::optional<Stop> sendLine(std::string_view text, HelperClock::time_point deadline);

    // The next line the helper writes, without its newline; more than
    // `maxLineBytes` without a newline breaks the protocol.
    Line receiveLine(HelperClock::time_point deadline, std::size_t maxLineBytes);

    // The next `count` bytes the helper writes, whatever they hold (an
    // answer in binary after a line); the bytes received so far stay in
    // unfinishedLine() when it stops first.
    std::variant<std::string, Stop> receiveBytes(std::size_t count,
                                                 HelperClock::time_point deadline);

    // Bytes received after the last complete line (a line cut short).
    const std::string& unfinishedLine() const { return received_; }

    // Closes our end of the socket: a helper that reads commands sees the
    // end of its input.
    void closeChannel();

    // Waits until the deadline for the helper to end; its wait status, or
    // nullopt when it is still running (or was reaped already).
    std::optional<int> waitForEnd(HelperClock::time_point deadline);

    // Closes the channel, gives the helper `grace` to end by itself, and
    // kills it when it has not.
    void finish(std::chrono::milliseconds grace);

    // Kills the helper's process group at once and reaps the helper.
    void kill();

    pid_t pid() const { return pid_; }

private:
    HelperProcess(pid_t pid, int socket) : pid_(pid), socket_(socket) {}
    void reap(int* status);
    // Waits for more bytes and appends them to received_.
    std::optional<Stop> receiveMore(HelperClock::time_point deadline);

    pid_t pid_;
    int socket_;
    bool reaped_ = false;
    std::string received_;  // bytes read past the last line
};

}  // namespace snipwell
