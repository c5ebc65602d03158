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

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

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
using ProbeLine = std::variant<ProbeProgress, ProbePeak, ProbeError>;

// Each line with its newline.
std::string formatProgressLine(std::uint64_t bytes);
std::string formatPeakLine(const ProbePeak& peak);
std::string formatErrorLine(std::string_view reason);

// A line without its newline; nullopt when it is none of the above.
std::optional<ProbeLine> parseProbeLine(const std::string& line);

}  // namespace snipwell::level
