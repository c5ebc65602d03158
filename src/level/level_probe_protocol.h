#pragma once
// What travels between snipwell-cut and the level probe, shared by both ends.
//
// The probe is started as
//   snipwell-level-probe [--parent-pid PID] [--] FILE [OFFSET LENGTH]
// and writes lines on its standard output:
//   progress <bytes of the stretch read and decoded so far>
// once it has opened the file, and again after every block it decodes (a
// block of at most 64 KiB takes milliseconds), so that a probe that stops
// reporting is known to hang however long the stretch is; then one answer:
//   peak <largest sample magnitude, 1.0 is full scale> samples <per channel>
// with exit status 0, or
//   error <reason>
// with exit status 1. Exit status 2 is a usage error.
//
// A levels request puts, before the file,
//   --levels WINDOW_SAMPLES [--skip SAMPLES] [--count SAMPLES]
// and the probe measures the RMS level of each window of WINDOW_SAMPLES
// samples (per channel, the channels together) over every sample of the
// frames that start in the stretch (no gapless trimming, so stretches
// decoded apart line up), leaving out the first SKIP samples and stopping
// after COUNT. It reports progress as above and answers
//   levels first-frame <byte> rate <hz> channels <n> samples <measured> windows <count>
// followed at once by <count> little-endian 32-bit floats, one a window in
// play order, and nothing after them.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "level/window_levels.h"

namespace snipwell::level {

inline constexpr const char* levelProbeProgramName = "snipwell-level-probe";
inline constexpr const char* levelProbeVariable = "SNIPWELL_LEVEL_PROBE";

inline constexpr int probeExitMeasured = 0;
inline constexpr int probeExitFailed = 1;
inline constexpr int probeExitUsage = 2;

// How long the caller waits for the next progress report before it ends the
// probe as hung: far more than a block takes on a busy machine.
inline constexpr std::chrono::milliseconds probeSilenceLimit{5000};

// A line longer than this is no line of the probe's.
inline constexpr std::size_t maxProbeLineBytes = 4096;

// A byte count or offset as the arguments and lines write it: decimal
// digits only; nullopt for anything else.
std::optional<std::uint64_t> parseProbeCount(std::string_view text);

// The words after --parent-pid PID: the file, and the stretch unless it is
// the whole file.
std::vector<std::string> probeArguments(const std::string& source, std::uint64_t offset,
                                        std::optional<std::uint64_t> length);

// The words of a levels request, put before the file's.
std::vector<std::string> levelsArguments(const LevelWindowing& windowing);

// The levels request among the probe's words, from the word after
// "--levels" on; how many words it took, or nullopt when they are no
// request.
struct ParsedWindowing {
    LevelWindowing windowing;
    std::size_t words = 0;
};
std::optional<ParsedWindowing> parseLevelsOption(const std::vector<std::string_view>& words,
                                                 std::size_t from);

struct ProbeProgress {
    std::uint64_t bytes = 0;
};
struct ProbePeak {
    double peak = 0;
    std::uint64_t samples = 0;
};
struct ProbeError {
    std::string reason;
};
// The line before a levels answer's values.
struct ProbeLevels {
    std::uint64_t firstFrame = 0;  // where the first frame measured starts
    std::uint32_t sampleRate = 0;
    std::uint32_t channels = 0;
    std::uint64_t samples = 0;  // measured, per channel
    std::uint64_t windows = 0;  // values that follow

    friend bool operator==(const ProbeLevels&, const ProbeLevels&) = default;
};
using ProbeLine = std::variant<ProbeProgress, ProbePeak, ProbeError, ProbeLevels>;

// Bytes of a window's value.
inline constexpr std::size_t levelValueBytes = 4;

// Each line with its newline.
std::string formatProgressLine(std::uint64_t bytes);
std::string formatPeakLine(const ProbePeak& peak);
std::string formatErrorLine(std::string_view reason);
std::string formatLevelsLine(const ProbeLevels& levels);

// The values that follow a levels line, and back. Reading fails (nullopt)
// unless there are exactly `windows` of them, each a finite level of 0 or
// more.
std::string encodeLevelValues(const std::vector<float>& rms);
std::optional<std::vector<float>> decodeLevelValues(std::string_view bytes, std::uint64_t windows);

// Whether a levels line answers `asked`: a rate, one or two channels, no
// more samples than asked, and one window for each WINDOW_SAMPLES of them
// (the last one may be short).
bool answersRequest(const ProbeLevels& levels, const LevelWindowing& asked);

// A line without its newline; nullopt when it is none of the above.
std::optional<ProbeLine> parseProbeLine(const std::string& line);

}  // namespace snipwell::level
