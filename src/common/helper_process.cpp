#include "common/helper_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "common/helper_parent.h"

extern char** environ;

namespace snipwell {
namespace {

// How often a wait for the helper's end looks again.
constexpr std::chrono::milliseconds reapPollInterval{2};

// Moves a descriptor above standard error, so that placing it on the
// child's standard streams never collides with itself.
int aboveStandardError(int fd) {
    if (fd > STDERR_FILENO) return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    ::close(fd);
    return moved;
}

int millisecondsLeft(HelperClock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - HelperClock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits for `events` on `fd` until the deadline; false when time ran out.
bool waitFor(int fd, short events, HelperClock::time_point deadline) {
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

void connectStreams(SpawnSetup& setup, const HelperLaunch& launch, int theirs) {
    if (launch.commandsOnInput) {
        posix_spawn_file_actions_adddup2(&setup.actions, theirs, STDIN_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
    posix_spawn_file_actions_adddup2(&setup.actions, theirs, STDOUT_FILENO);
    if (!launch.keepErrorOutput) {
        posix_spawn_file_actions_addopen(&setup.actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    // Whatever the caller left open without close-on-exec stays here.
    posix_spawn_file_actions_addclosefrom_np(&setup.actions, STDERR_FILENO + 1);
}

// Default signal handling and nothing blocked, whatever this process ignores
// or blocks; a process group of its own.
void setAttributes(SpawnSetup& setup) {
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&setup.attributes, &none);
    posix_spawnattr_setsigdefault(&setup.attributes, &all);
    posix_spawnattr_setpgroup(&setup.attributes, 0);
    posix_spawnattr_setflags(
        &setup.attributes,
        static_cast<short>(POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP));
}

}  // namespace

std::variant<std::unique_ptr<HelperProcess>, int> HelperProcess::start(const HelperLaunch& launch) {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return errno;
    const int ours = aboveStandardError(ends[0]);
    const int theirs = aboveStandardError(ends[1]);
    if (ours < 0 || theirs < 0) {
        const int why = errno;
        if (ours >= 0) ::close(ours);
        if (theirs >= 0) ::close(theirs);
        return why;
    }

    SpawnSetup setup;
    connectStreams(setup, launch, theirs);
    setAttributes(setup);

    std::vector<std::string> words{launch.program, std::string(parentPidOption),
                                   std::to_string(::getpid())};
    words.insert(words.end(), launch.arguments.begin(), launch.arguments.end());
    std::vector<char*> arguments;
    arguments.reserve(words.size() + 1);
    for (std::string& word : words) arguments.push_back(word.data());
    arguments.push_back(nullptr);

    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, launch.program.c_str(), &setup.actions,
                                      &setup.attributes, arguments.data(), environ);
    ::close(theirs);
    if (spawned != 0) {
        ::close(ours);
        return spawned;
    }
    return std::unique_ptr<HelperProcess>(new HelperProcess(pid, ours));
}

HelperProcess::~HelperProcess() {
    kill();
    closeChannel();
}

void HelperProcess::closeChannel() {
    if (socket_ >= 0) ::close(socket_);
    socket_ = -1;
}

void HelperProcess::reap(int* status) {
    // The group goes first, while the helper's id is still held by its
    // unreaped process and so cannot name anybody else's group.
    ::kill(-pid_, SIGKILL);
    while (::waitpid(pid_, status, 0) < 0 && errno == EINTR) {}
    reaped_ = true;
}

void HelperProcess::kill() {
    if (reaped_) return;
    ::kill(pid_, SIGKILL);
    reap(nullptr);
}

std::optional<int> HelperProcess::waitForEnd(HelperClock::time_point deadline) {
    while (!reaped_) {
        siginfo_t info{};
        // Looks without reaping, so that the group can still be ended.
        const int looked =
            ::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT);
        if (looked == 0 && info.si_pid == pid_) {
            int status = 0;
            reap(&status);
            return status;
        }
        if (looked < 0 && errno != EINTR) {
            reaped_ = true;  // not our child any more: nothing to reap
            return std::nullopt;
        }
        if (HelperClock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(reapPollInterval);
    }
    return std::nullopt;
}

void HelperProcess::finish(std::chrono::milliseconds grace) {
    closeChannel();
    waitForEnd(HelperClock::now() + grace);
    kill();
}

std::optional<HelperProcess::Stop> HelperProcess::sendLine(std::string_view text,
                                                           HelperClock::time_point deadline) {
    std::string line(text);
    line += '\n';
    std::size_t sent = 0;
    while (sent < line.size()) {
        const ssize_t written =
            ::send(socket_, line.data() + sent, line.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (written > 0) {
            sent += static_cast<std::size_t>(written);
        } else if (written < 0 && (errno == EAGAIN || errno == EINTR)) {
            if (!waitFor(socket_, POLLOUT, deadline)) return Stop::timedOut;
        } else {
            return errno == EPIPE || errno == ECONNRESET ? Stop::ended : Stop::broken;
        }
    }
    return std::nullopt;
}

HelperProcess::Line HelperProcess::receiveLine(HelperClock::time_point deadline,
                                               std::size_t maxLineBytes) {
    while (true) {
        if (const auto end = received_.find('\n'); end != std::string::npos) {
            std::string line = received_.substr(0, end);
            received_.erase(0, end + 1);
            return line;
        }
        if (received_.size() > maxLineBytes) return Stop::broken;
        if (const auto stop = receiveMore(deadline)) return *stop;
    }
}

std::variant<std::string, HelperProcess::Stop> HelperProcess::receiveBytes(
    std::size_t count, HelperClock::time_point deadline) {
    while (received_.size() < count) {
        if (const auto stop = receiveMore(deadline)) return *stop;
    }
    std::string bytes = received_.substr(0, count);
    received_.erase(0, count);
    return bytes;
}

std::optional<HelperProcess::Stop> HelperProcess::receiveMore(HelperClock::time_point deadline) {
    while (true) {
        if (!waitFor(socket_, POLLIN, deadline)) return Stop::timedOut;
        char buffer[16 * 1024];
        const ssize_t got = ::recv(socket_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got > 0) {
            received_.append(buffer, static_cast<std::size_t>(got));
            return std::nullopt;
        }
        if (got == 0 || errno == ECONNRESET) return Stop::ended;
        if (errno != EAGAIN && errno != EINTR) return Stop::broken;
    }
}

}  // namespace snipwell
