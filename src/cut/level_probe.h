#pragma once
// Runs the clipping guard's analysis, snipwell-level-probe, in a process of
// its own (common/helper_process.h, level/level_probe_protocol.h) and waits
// a limited time for its answer. The probe decodes; this side never does, so
// a damaged file that crashes or hangs the decoder costs a refusal here, not
// snipwell-cut itself.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "level/level_probe_protocol.h"

namespace snipwell {

// $SNIPWELL_LEVEL_PROBE when set, else beside the running program, else in
// ../libexec/snipwell/ from the running program's folder. Empty when none
// of them is an executable file.
std::optional<std::string> findLevelProbe();

struct LevelProbeRequest {
    std::string program;  // the probe's path
    std::string source;   // the MP3 file
    std::uint64_t offset = 0;
    std::optional<std::uint64_t> length;  // to the end of the file when empty
    // How long the probe may go without reporting progress before it is
    // ended as hung: the time it takes follows its progress, not the
    // stretch's size.
    std::chrono::milliseconds silenceLimit = level::probeSilenceLimit;
};

struct MeasuredPeak {
    double peak = 0;  // 1.0 is full scale
    std::uint64_t samples = 0;
};

// Why there is no peak, as one line without a trailing period: the probe
// could not start, ended by a signal, stopped reporting progress (it is then
// killed with whatever it started), answered nothing usable, or reported why
// it could not decode.
struct LevelProbeFailure {
    std::string reason;
};

std::variant<MeasuredPeak, LevelProbeFailure> measurePeak(const LevelProbeRequest& request);

// measurePeak() with the probe found by findLevelProbe(); a failure when
// there is no probe.
std::variant<MeasuredPeak, LevelProbeFailure> measurePeakWithProbe(const std::string& source,
                                                                   std::uint64_t offset,
                                                                   std::uint64_t length);

}  // namespace snipwell
