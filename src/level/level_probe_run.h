#pragma once
// One run of the level probe, from its start to its end: it is started
// through the helper-process module, its progress reports keep it alive, and
// a probe that goes quiet for longer than the limit is killed with whatever
// it started. What it answered is read here and judged by the caller.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "level/level_probe_failure.h"

namespace snipwell {

struct ProbeLaunch {
    std::string program;
    std::vector<std::string> arguments;  // after --parent-pid PID
    std::chrono::milliseconds silenceLimit{0};
    // Set by another thread when the answer is no longer wanted: the probe
    // is then killed within a moment.
    const std::atomic<bool>* abandoned = nullptr;
};

// What the probe wrote, its progress reports left out, and how it ended.
struct ProbeOutput {
    std::vector<std::string> lines;
    bool cutShort = false;  // the last line has no newline
    std::string payload;    // the bytes that followed the first line
    int status = 0;         // as waitpid() gives it
};

// How many bytes follow the first line of an answer at once; 0 for none,
// nullopt for an answer the caller will not accept anyway.
using PayloadSize = std::function<std::optional<std::size_t>(const std::string& firstLine)>;

// Runs the probe to its end. A failure when it cannot start, breaks the
// protocol, goes quiet for longer than the limit, is abandoned, or does not
// end after its output has.
std::variant<ProbeOutput, LevelProbeFailure> runProbe(const ProbeLaunch& launch,
                                                      const PayloadSize& payloadSize = {});

// What ended the run, when it did not end well: a failure the probe
// reported (whatever its status), a signal, or a status other than success.
std::optional<LevelProbeFailure> endFailure(const ProbeOutput& output);

// The failure for an answer that does not fit the protocol.
LevelProbeFailure noUsableAnswer();

}  // namespace snipwell
