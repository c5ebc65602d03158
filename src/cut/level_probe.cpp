#include "cut/level_probe.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "common/helper_process.h"
#include "common/helper_program.h"
#include "level/level_probe_protocol.h"

namespace snipwell {
namespace {

using level::levelProbeProgramName;
using level::levelProbeVariable;

// How long a probe that has closed its output has to end.
constexpr std::chrono::seconds endGrace{2};

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

const LevelProbeFailure noUsableAnswer{"the level analysis gave no usable answer"};

// What the probe wrote before its output ended.
struct ProbeOutput {
    std::vector<std::string> lines;
    bool cutShort = false;  // the last line has no newline
};

// The lines up to the end of the probe's output, its progress reports left
// out; a failure when it broke the protocol or went silent for longer than
// the request allows (it is then killed, with whatever it started). A
// report counts as progress only when it has got further than the last one.
std::variant<ProbeOutput, LevelProbeFailure> readOutput(HelperProcess& probe,
                                                        const LevelProbeRequest& request) {
    ProbeOutput output;
    auto deadline = HelperClock::now() + request.silenceLimit;
    std::optional<std::uint64_t> progressed;
    while (true) {
        auto line = probe.receiveLine(deadline, level::maxProbeLineBytes);
        if (auto* text = std::get_if<std::string>(&line)) {
            const auto parsed = level::parseProbeLine(*text);
            const auto* progress = parsed ? std::get_if<level::ProbeProgress>(&*parsed) : nullptr;
            if (progress == nullptr || !output.lines.empty()) {
                output.lines.push_back(std::move(*text));
            } else if (!progressed || progress->bytes > *progressed) {
                progressed = progress->bytes;
                deadline = HelperClock::now() + request.silenceLimit;
            }
            continue;
        }
        const auto stop = std::get<HelperProcess::Stop>(line);
        if (stop == HelperProcess::Stop::ended) {
            output.cutShort = !probe.unfinishedLine().empty();
            if (output.cutShort) output.lines.push_back(probe.unfinishedLine());
            return output;
        }
        probe.kill();
        if (stop == HelperProcess::Stop::broken) return noUsableAnswer;
        return LevelProbeFailure{"the level analysis made no progress for " +
                                 formatTimeLimit(request.silenceLimit) + " and was stopped"};
    }
}

// The probe's answer, read with how it ended: a reported failure is its
// reason whatever the status; a peak counts only as the one line of a probe
// that exited well.
std::variant<MeasuredPeak, LevelProbeFailure> interpret(const ProbeOutput& output, int status) {
    if (WIFSIGNALED(status)) return LevelProbeFailure{describeEnd(status)};
    const auto first = output.lines.empty() ? std::nullopt : level::parseProbeLine(output.lines[0]);
    if (first) {
        if (const auto* error = std::get_if<level::ProbeError>(&*first)) {
            return LevelProbeFailure{"the level analysis failed: " + error->reason};
        }
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != level::probeExitMeasured) {
        return LevelProbeFailure{describeEnd(status)};
    }
    const auto* peak = first ? std::get_if<level::ProbePeak>(&*first) : nullptr;
    if (peak == nullptr || output.lines.size() != 1 || output.cutShort) return noUsableAnswer;
    return MeasuredPeak{peak->peak, peak->samples};
}

}  // namespace

std::optional<std::string> findLevelProbe() {
    return findHelperProgram(levelProbeProgramName, levelProbeVariable);
}

std::variant<MeasuredPeak, LevelProbeFailure> measurePeak(const LevelProbeRequest& request) {
    // The probe reads nothing; what the decoder prints on standard error
    // would only garble snipwell-cut's own lines.
    auto started = HelperProcess::start(HelperLaunch{
        request.program, level::probeArguments(request.source, request.offset, request.length),
        false, false});
    if (const int* why = std::get_if<int>(&started)) {
        return LevelProbeFailure{"cannot start the level analysis \"" + request.program +
                                 "\": " + std::strerror(*why)};
    }
    HelperProcess& probe = *std::get<std::unique_ptr<HelperProcess>>(started);

    const auto output = readOutput(probe, request);
    if (const auto* failure = std::get_if<LevelProbeFailure>(&output)) return *failure;
    // Its output has ended; it ends a moment later.
    const auto status = probe.waitForEnd(HelperClock::now() + endGrace);
    if (!status) {
        probe.kill();
        return LevelProbeFailure{"the level analysis did not end after its answer"};
    }
    return interpret(std::get<ProbeOutput>(output), *status);
}

std::variant<MeasuredPeak, LevelProbeFailure> measurePeakWithProbe(const std::string& source,
                                                                   std::uint64_t offset,
                                                                   std::uint64_t length) {
    const auto search = searchHelperProgram(levelProbeProgramName, levelProbeVariable);
    if (search.notExecutable) {
        return LevelProbeFailure{std::string(levelProbeVariable) + " names \"" +
                                 *search.notExecutable + "\", which is not an executable file"};
    }
    if (!search.found) {
        return LevelProbeFailure{std::string("the level analysis program ") +
                                 levelProbeProgramName + " is not installed"};
    }
    LevelProbeRequest request;
    request.program = *search.found;
    request.source = source;
    request.offset = offset;
    request.length = length;
    return measurePeak(request);
}

}  // namespace snipwell
