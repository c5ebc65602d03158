#include "level/level_probe_client.h"

#include "common/helper_program.h"
#include "level/level_probe_protocol.h"
#include "level/level_probe_run.h"

namespace snipwell {
namespace {

using level::levelProbeProgramName;
using level::levelProbeVariable;

// The probe findLevelProbe() finds, or why there is none to run.
std::variant<std::string, LevelProbeFailure> installedProbe() {
    auto search = searchHelperProgram(levelProbeProgramName, levelProbeVariable);
    if (search.notExecutable) {
        return LevelProbeFailure{std::string(levelProbeVariable) + " names \"" +
                                 *search.notExecutable + "\", which is not an executable file"};
    }
    if (!search.found) {
        return LevelProbeFailure{std::string("the level analysis program ") +
                                 levelProbeProgramName + " is not installed"};
    }
    return std::move(*search.found);
}

}  // namespace

std::optional<std::string> findLevelProbe() {
    return findHelperProgram(levelProbeProgramName, levelProbeVariable);
}

std::variant<MeasuredPeak, LevelProbeFailure> measurePeak(const LevelProbeRequest& request) {
    const auto run = runProbe(
        {request.program, level::probeArguments(request.source, request.offset, request.length),
         request.silenceLimit});
    if (const auto* failure = std::get_if<LevelProbeFailure>(&run)) return *failure;
    const auto& output = std::get<ProbeOutput>(run);
    if (auto failure = endFailure(output)) return *failure;
    // A peak counts only as the one line of a probe that exited well.
    const auto first = output.lines.empty() ? std::nullopt : level::parseProbeLine(output.lines[0]);
    const auto* peak = first ? std::get_if<level::ProbePeak>(&*first) : nullptr;
    if (peak == nullptr || output.lines.size() != 1 || output.cutShort) return noUsableAnswer();
    return MeasuredPeak{peak->peak, peak->samples};
}

std::variant<MeasuredPeak, LevelProbeFailure> measurePeakWithProbe(const std::string& source,
                                                                   std::uint64_t offset,
                                                                   std::uint64_t length) {
    auto program = installedProbe();
    if (auto* failure = std::get_if<LevelProbeFailure>(&program)) return std::move(*failure);
    LevelProbeRequest request;
    request.program = std::move(std::get<std::string>(program));
    request.source = source;
    request.offset = offset;
    request.length = length;
    return measurePeak(request);
}

std::variant<ScannedLevels, LevelProbeFailure> scanLevelsWithProbe(
    const std::string& source, std::uint32_t windowSamples,
    std::optional<level::SampleRange> range) {
    auto program = installedProbe();
    if (auto* failure = std::get_if<LevelProbeFailure>(&program)) return std::move(*failure);
    LevelScanRequest request;
    request.program = std::move(std::get<std::string>(program));
    request.source = source;
    request.windowSamples = windowSamples;
    request.range = range;
    return scanLevels(request);
}

}  // namespace snipwell
