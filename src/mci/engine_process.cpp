#include "mci/engine_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>
#include <vector>

extern char** environ;

namespace snipwell::mci {
namespace {

using Clock = std::chrono::steady_clock;

// An answer line is a code and a short reply; anything longer is no answer.
constexpr std::size_t maxAnswerBytes = 4096;

// Moves a descriptor above standard error, so that placing it on the
// child's standard input and output never collides with itself.
int aboveStandardError(int fd) {
    if (fd > STDERR_FILENO) return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    ::close(fd);
    return moved;
}

int millisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits for `events` on `fd` until the deadline; false when time ran out.
bool waitFor(int fd, short events, Clock::time_point deadline) {
    while (true) {
        pollfd watched{fd, events, 0};
        const int ready = ::poll(&watched, 1, millisecondsLeft(deadline));
        if (ready > 0) return true;
        if (ready == 0) return false;
        if (errno != EINTR) return true;  // the read or write that follows reports it
    }
}

struct SpawnSetup {
    posix_spawn_file_actions_t actions{};
    posix_spawnattr_t attributes{};
    SpawnSetup() {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
};

}  // namespace

std::unique_ptr<EngineProcess> EngineProcess::start(const std::string& program) {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return nullptr;
    const int ours = aboveStandardError(ends[0]);
    const int theirs = aboveStandardError(ends[1]);
    if (ours < 0 || theirs < 0) {
        if (ours >= 0) ::close(ours);
        if (theirs >= 0) ::close(theirs);
        return nullptr;
    }

    SpawnSetup setup;
    posix_spawn_file_actions_adddup2(&setup.actions, theirs, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&setup.actions, theirs, STDOUT_FILENO);
    // Whatever the caller left open without close-on-exec stays here.
    posix_spawn_file_actions_addclosefrom_np(&setup.actions, STDERR_FILENO + 1);
    // The engine starts with default signal handling and nothing blocked,
    // whatever this process ignores or blocks.
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&setup.attributes, &none);
    posix_spawnattr_setsigdefault(&setup.attributes, &all);
    posix_spawnattr_setflags(&setup.attributes,
                             static_cast<short>(POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF));

    const std::string parentPid = std::to_string(::getpid());
    std::vector<char*> arguments{const_cast<char*>(program.c_str()),
                                 const_cast<char*>("--parent-pid"),
                                 const_cast<char*>(parentPid.c_str()), nullptr};
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &setup.actions, &setup.attributes,
                                      arguments.data(), environ);
    ::close(theirs);
    if (spawned != 0) {
        ::close(ours);
        return nullptr;
    }
    return std::unique_ptr<EngineProcess>(new EngineProcess(pid, ours));
}

EngineProcess::~EngineProcess() {
    ::close(socket_);
    if (!reapWithin(std::chrono::milliseconds(1000))) kill();
}

void EngineProcess::kill() {
    if (reaped_) return;
    ::kill(pid_, SIGKILL);
    while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {}
    reaped_ = true;
}

bool EngineProcess::reapWithin(std::chrono::milliseconds grace) {
    const auto deadline = Clock::now() + grace;
    while (!reaped_) {
        const pid_t done = ::waitpid(pid_, nullptr, WNOHANG);
        if (done == pid_ || (done < 0 && errno == ECHILD)) {
            reaped_ = true;
            break;
        }
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

EngineProcess::Answer EngineProcess::exchange(std::string_view command,
                                              std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    std::string line(command);
    line += '\n';
    std::size_t sent = 0;
    while (sent < line.size()) {
        const ssize_t written =
            ::send(socket_, line.data() + sent, line.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (written > 0) {
            sent += static_cast<std::size_t>(written);
        } else if (written < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (!waitFor(socket_, POLLOUT, deadline)) return Failure::timedOut;
        } else {
            return Failure::stopped;
        }
    }

    return receiveLine(deadline);
}

EngineProcess::Answer EngineProcess::awaitHello(std::chrono::milliseconds limit) {
    return receiveLine(Clock::now() + limit);
}

EngineProcess::Answer EngineProcess::receiveLine(Clock::time_point deadline) {
    while (true) {
        if (const auto end = received_.find('\n'); end != std::string::npos) {
            std::string answer = received_.substr(0, end);
            received_.erase(0, end + 1);
            return answer;
        }
        if (received_.size() > maxAnswerBytes) return Failure::stopped;
        if (!waitFor(socket_, POLLIN, deadline)) return Failure::timedOut;
        char buffer[1024];
        const ssize_t got = ::recv(socket_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got > 0) {
            received_.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
            return Failure::stopped;
        }
    }
}

}  // namespace snipwell::mci
