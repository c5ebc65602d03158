#pragma once
// The level probe seen from snipwell-cut: it runs snipwell-level-probe in a
// process of its own (common/helper_process.h, level/level_probe_protocol.h)
// for the clipping guard's peak and for the window levels the silence split
// and the trim work from, and waits a limited time for each answer. The
// probe decodes; this side never does, so a damaged file that crashes or
// hangs the decoder costs a refusal here, not snipwell-cut itself.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "level/level_probe_failure.h"
#include "level/level_probe_protocol.h"
#include "level/trim_finder.h"
#include "level/window_levels.h"

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

// Why there is no peak or no levels: level/level_probe_failure.h.

struct MeasuredPeak {
    double peak = 0;  // 1.0 is full scale
    std::uint64_t samples = 0;
};

std::variant<MeasuredPeak, LevelProbeFailure> measurePeak(const LevelProbeRequest& request);

// measurePeak() with the probe found by findLevelProbe(); a failure when
// there is no probe.
std::variant<MeasuredPeak, LevelProbeFailure> measurePeakWithProbe(const std::string& source,
                                                                   std::uint64_t offset,
                                                                   std::uint64_t length);

struct LevelScanRequest {
    std::string program;  // the probe's path
    std::string source;   // the MP3 file
    std::uint32_t windowSamples = 0;
    // Track samples (as a gapless decoder plays them) to measure; the whole
    // track when empty.
    std::optional<level::SampleRange> range;
    // A whole track is measured by two probes at once, one on each half,
    // where the machine has more than one core.
    bool useBothCores = true;
    std::chrono::milliseconds silenceLimit = level::probeSilenceLimit;
};

struct ScannedLevels {
    std::uint32_t sampleRate = 0;
    std::uint32_t channels = 0;
    // The track sample the first window starts at: window i covers the
    // track's samples from firstSample + levels.beginOf(i) to
    // firstSample + levels.endOf(i).
    std::uint64_t firstSample = 0;
    level::WindowLevels levels;
};

// The RMS level of each window of the track's samples, both channels
// together. A failure when the file cannot be walked (fileError set), or
// when a probe fails as measurePeak() describes; a probe still running then
// is stopped.
std::variant<ScannedLevels, LevelProbeFailure> scanLevels(const LevelScanRequest& request);

// scanLevels() with the probe found by findLevelProbe(); a failure when
// there is no probe.
std::variant<ScannedLevels, LevelProbeFailure> scanLevelsWithProbe(
    const std::string& source, std::uint32_t windowSamples,
    std::optional<level::SampleRange> range = std::nullopt);

}  // namespace snipwell
