#include "level/level_probe_run.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "common/helper_process.h"
#include "level/level_probe_protocol.h"

namespace snipwell {
namespace {

// How long a probe that has closed its output has to end.
constexpr std::chrono::seconds endGrace{2};

// How often a wait for the probe looks whether it is still wanted.
constexpr std::chrono::milliseconds abandonCheck{50};

// "30 s", "0.3 s"
std::string formatTimeLimit(std::chrono::milliseconds limit) {
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

// Reads what the probe writes up to the end of its output. A report counts
// as progress only before the answer and when it has got further than the
// last one; each one gives the probe the silence limit again.
class OutputReader {
public:
    OutputReader(HelperProcess& probe, const ProbeLaunch& launch, const PayloadSize& payloadSize)
        : probe_(probe), launch_(launch), payloadSize_(payloadSize) {}

    std::variant<ProbeOutput, LevelProbeFailure> read() {
        auto deadline = HelperClock::now() + launch_.silenceLimit;
        while (true) {
            if (launch_.abandoned != nullptr && launch_.abandoned->load()) {
                probe_.kill();
                return LevelProbeFailure{"the level analysis was stopped"};
            }
            const auto wake = launch_.abandoned != nullptr
                                  ? std::min(deadline, HelperClock::now() + abandonCheck)
                                  : deadline;
            auto line = probe_.receiveLine(wake, level::maxProbeLineBytes);
            if (auto* text = std::get_if<std::string>(&line)) {
                if (isProgress(*text)) {
                    deadline = HelperClock::now() + launch_.silenceLimit;
                } else if (auto failure = take(std::move(*text))) {
                    return *failure;
                }
                continue;
            }
            const auto stop = std::get<HelperProcess::Stop>(line);
            if (stop == HelperProcess::Stop::timedOut && HelperClock::now() < deadline) continue;
            if (stop == HelperProcess::Stop::ended) return ended();
            probe_.kill();
            if (stop == HelperProcess::Stop::broken) return noUsableAnswer();
            return LevelProbeFailure{"the level analysis made no progress for " +
                                     formatTimeLimit(launch_.silenceLimit) + " and was stopped"};
        }
    }

private:
    bool isProgress(const std::string& text) {
        if (!output_.lines.empty()) return false;
        const auto parsed = level::parseProbeLine(text);
        const auto* progress = parsed ? std::get_if<level::ProbeProgress>(&*parsed) : nullptr;
        if (progress == nullptr) return false;
        if (progressed_ && progress->bytes <= *progressed_) return false;
        progressed_ = progress->bytes;
        return true;
    }

    // Keeps an answer line and reads the bytes that follow it at once.
    std::optional<LevelProbeFailure> take(std::string text) {
        output_.lines.push_back(std::move(text));
        if (output_.lines.size() != 1 || !payloadSize_) return std::nullopt;
        const auto bytes = payloadSize_(output_.lines.front());
        if (!bytes) {
            probe_.kill();
            return noUsableAnswer();
        }
        if (*bytes == 0) return std::nullopt;
        auto payload = probe_.receiveBytes(*bytes, HelperClock::now() + launch_.silenceLimit);
        if (auto* received = std::get_if<std::string>(&payload)) {
            output_.payload = std::move(*received);
            return std::nullopt;
        }
        if (std::get<HelperProcess::Stop>(payload) == HelperProcess::Stop::ended) {
            // Cut short: how the probe ended tells why.
            payloadCutShort_ = true;
            return std::nullopt;
        }
        probe_.kill();
        return noUsableAnswer();
    }

    ProbeOutput ended() {
        if (!payloadCutShort_) {
            output_.cutShort = !probe_.unfinishedLine().empty();
            if (output_.cutShort) output_.lines.push_back(probe_.unfinishedLine());
        } else {
            output_.cutShort = true;
        }
        return std::move(output_);
    }

    HelperProcess& probe_;
    const ProbeLaunch& launch_;
    const PayloadSize& payloadSize_;
    ProbeOutput output_;
    std::optional<std::uint64_t> progressed_;
    bool payloadCutShort_ = false;
};

}  // namespace

LevelProbeFailure noUsableAnswer() {
    return LevelProbeFailure{"the level analysis gave no usable answer", std::nullopt};
}

std::variant<ProbeOutput, LevelProbeFailure> runProbe(const ProbeLaunch& launch,
                                                      const PayloadSize& payloadSize) {
    // The probe reads nothing; what the decoder prints on standard error
    // would only garble snipwell-cut's own lines.
    auto started =
        HelperProcess::start(HelperLaunch{launch.program, launch.arguments, false, false});
    if (const int* why = std::get_if<int>(&started)) {
        return LevelProbeFailure{"cannot start the level analysis \"" + launch.program +
                                 "\": " + std::strerror(*why)};
    }
    HelperProcess& probe = *std::get<std::unique_ptr<HelperProcess>>(started);

    auto output = OutputReader(probe, launch, payloadSize).read();
    if (std::holds_alternative<LevelProbeFailure>(output)) return output;
    // Its output has ended; it ends a moment later.
    const auto status = probe.waitForEnd(HelperClock::now() + endGrace);
    if (!status) {
        probe.kill();
        return LevelProbeFailure{"the level analysis did not end after its answer"};
    }
    std::get<ProbeOutput>(output).status = *status;
    return output;
}

std::optional<LevelProbeFailure> endFailure(const ProbeOutput& output) {
    if (WIFSIGNALED(output.status)) return LevelProbeFailure{describeEnd(output.status)};
    const auto first = output.lines.empty() ? std::nullopt : level::parseProbeLine(output.lines[0]);
    if (const auto* error = first ? std::get_if<level::ProbeError>(&*first) : nullptr) {
        return LevelProbeFailure{"the level analysis failed: " + error->reason};
    }
    if (!WIFEXITED(output.status) || WEXITSTATUS(output.status) != level::probeExitMeasured) {
        return LevelProbeFailure{describeEnd(output.status)};
    }
    return std::nullopt;
}

}  // namespace snipwell
