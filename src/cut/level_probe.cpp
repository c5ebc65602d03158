#include "cut/level_probe.h"

#include "common/helper_program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <system_error>
#include <thread>
#include <vector>

extern char** environ;

namespace snipwell {
namespace {

using Clock = std::chrono::steady_clock;

// The answer is one short line; anything longer is no answer.
constexpr std::size_t maxAnswerBytes = 4096;

int millisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

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

// The probe, running; killed and reaped when this goes out of scope before
// it was reaped.
class ProbeProcess {
public:
    explicit ProbeProcess(pid_t pid) : pid_(pid) {}
    ~ProbeProcess() { kill(); }
    ProbeProcess(const ProbeProcess&) = delete;
    ProbeProcess& operator=(const ProbeProcess&) = delete;

    void kill() {
        if (reaped_) return;
        ::kill(pid_, SIGKILL);
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {}
        reaped_ = true;
    }
    // Waits until the deadline for the probe to end; its wait status, or
    // empty when it is still running.
    std::optional<int> waitUntil(Clock::time_point deadline) {
        while (true) {
            int status = 0;
            const pid_t done = ::waitpid(pid_, &status, WNOHANG);
            if (done == pid_) {
                reaped_ = true;
                return status;
            }
            if (done < 0 && errno != EINTR) {
                reaped_ = true;
                return std::nullopt;
            }
            if (Clock::now() >= deadline) return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

private:
    pid_t pid_;
    bool reaped_ = false;
};

enum class Reading { ended, timedOut, tooLong, failed };

// Reads everything the probe writes until it closes its end, or until the
// deadline.
Reading readAll(int fd, Clock::time_point deadline, std::string& into) {
    while (true) {
        pollfd watched{fd, POLLIN, 0};
        const int ready = ::poll(&watched, 1, millisecondsLeft(deadline));
        if (ready == 0) return Reading::timedOut;
        if (ready < 0) {
            if (errno == EINTR) continue;
            return Reading::failed;
        }
        char buffer[512];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0) return Reading::ended;
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            return Reading::failed;
        }
        into.append(buffer, static_cast<std::size_t>(got));
        if (into.size() > maxAnswerBytes) return Reading::tooLong;
    }
}

// "30 s", "0.3 s"
std::string formatSeconds(std::chrono::milliseconds limit) {
    char text[32];
    if (limit.count() % 1000 == 0) {
        std::snprintf(text, sizeof text, "%lld s", static_cast<long long>(limit.count() / 1000));
    } else {
        std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(limit.count()) / 1000);
    }
    return text;
}

std::string describeEnd(int status) {
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        const char* name = ::sigabbrev_np(signal);
        return "the level analysis was killed by signal " + std::to_string(signal) +
               (name != nullptr ? std::string(" (SIG") + name + ")" : std::string());
    }
    return "the level analysis ended with status " + std::to_string(WEXITSTATUS(status));
}

// "peak 0.79 samples 441000", or "error <reason>".
std::variant<MeasuredPeak, LevelProbeFailure> parseAnswer(const std::string& output) {
    const std::string line = output.substr(0, output.find('\n'));
    if (line.rfind("error ", 0) == 0) {
        return LevelProbeFailure{"the level analysis failed: " + line.substr(6)};
    }
    std::istringstream words(line);
    std::string peakWord;
    std::string samplesWord;
    MeasuredPeak measured;
    if (words >> peakWord >> measured.peak >> samplesWord >> measured.samples &&
        peakWord == "peak" && samplesWord == "samples" && measured.peak >= 0 &&
        output.size() == line.size() + 1) {
        return measured;
    }
    return LevelProbeFailure{"the level analysis gave no usable answer"};
}

}  // namespace

std::optional<std::string> findLevelProbe() {
    return findHelperProgram(levelProbeProgramName, levelProbeVariable);
}

std::chrono::milliseconds levelProbeLimitFor(std::uint64_t bytes) {
    // 20 s, and 2 s for every megabyte: a megabyte is about a minute of music.
    return std::chrono::milliseconds(20'000 + static_cast<std::int64_t>(bytes / 500));
}

std::variant<MeasuredPeak, LevelProbeFailure> measurePeak(const LevelProbeRequest& request) {
    const auto deadline = Clock::now() + request.limit;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        return LevelProbeFailure{std::string("cannot start the level analysis: ") +
                                 std::strerror(errno)};
    }
    Descriptor ours(ends[0]);
    Descriptor theirs(ends[1]);

    SpawnSetup setup;
    posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&setup.actions, theirs.get(), STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&setup.actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&setup.actions, STDERR_FILENO + 1);
    // Default signal handling and nothing blocked, whatever this process does.
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&setup.attributes, &none);
    posix_spawnattr_setsigdefault(&setup.attributes, &all);
    posix_spawnattr_setflags(&setup.attributes,
                             static_cast<short>(POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF));

    const std::string parentPid = std::to_string(::getpid());
    // "--": a source named like an option is still the source.
    std::vector<std::string> words{request.program, "--parent-pid", parentPid, "--",
                                   request.source};
    if (request.offset != 0 || request.length) {
        words.push_back(std::to_string(request.offset));
        words.push_back(std::to_string(request.length.value_or(UINT64_MAX - request.offset)));
    }
    std::vector<char*> arguments;
    arguments.reserve(words.size() + 1);
    for (std::string& word : words) arguments.push_back(word.data());
    arguments.push_back(nullptr);

    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, request.program.c_str(), &setup.actions,
                                      &setup.attributes, arguments.data(), environ);
    theirs.reset();
    if (spawned != 0) {
        return LevelProbeFailure{"cannot start the level analysis \"" + request.program +
                                 "\": " + std::strerror(spawned)};
    }
    ProbeProcess probe(pid);

    std::string output;
    const Reading reading = readAll(ours.get(), deadline, output);
    if (reading == Reading::timedOut) {
        probe.kill();
        return LevelProbeFailure{"the level analysis did not finish within " +
                                 formatSeconds(request.limit) + " and was stopped"};
    }
    if (reading != Reading::ended) {
        probe.kill();
        return LevelProbeFailure{"the level analysis gave no usable answer"};
    }
    // Its output has ended; it ends a moment later.
    const auto status = probe.waitUntil(std::max(deadline, Clock::now() + std::chrono::seconds(2)));
    if (!status) {
        probe.kill();
        return LevelProbeFailure{"the level analysis did not end after its answer"};
    }
    if (WIFSIGNALED(*status)) return LevelProbeFailure{describeEnd(*status)};
    auto answer = parseAnswer(output);
    const bool reportedFailure = output.rfind("error ", 0) == 0;
    const bool exitedWell = WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
    if (!reportedFailure && (!exitedWell || !std::holds_alternative<MeasuredPeak>(answer))) {
        return exitedWell ? answer : LevelProbeFailure{describeEnd(*status)};
    }
    return answer;
}

std::variant<MeasuredPeak, LevelProbeFailure> measurePeakWithProbe(const std::string& source,
                                                                   std::uint64_t offset,
                                                                   std::uint64_t length) {
    const auto program = findLevelProbe();
    if (!program) {
        return LevelProbeFailure{std::string("the level analysis program ") +
                                 levelProbeProgramName + " is not installed"};
    }
    LevelProbeRequest request;
    request.program = *program;
    request.source = source;
    request.offset = offset;
    request.length = length;
    request.limit = levelProbeLimitFor(length);
    return measurePeak(request);
}

}  // namespace snipwell
