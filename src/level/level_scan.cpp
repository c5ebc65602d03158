// scanLevels(): the frame walk plans the probes' parts, the probes run at
// once, and their windows are joined in play order.

#include <atomic>
#include <thread>
#include <vector>

#include "level/level_probe_client.h"
#include "level/level_probe_protocol.h"
#include "level/level_probe_run.h"
#include "level/level_scan_plan.h"
#include "mp3/block_reader.h"

namespace snipwell {
namespace {

using level::ProbeShare;

struct ShareLevels {
    level::ProbeLevels answer;
    std::vector<float> rms;
};
using ShareResult = std::variant<ShareLevels, LevelProbeFailure>;

// One probe's levels, read and checked against what it was asked.
ShareResult measureShare(const LevelScanRequest& request, const ProbeShare& share,
                         const std::atomic<bool>& abandoned) {
    auto arguments = level::levelsArguments(share.windowing);
    const auto stretch = level::probeArguments(request.source, share.offset, share.length);
    arguments.insert(arguments.end(), stretch.begin(), stretch.end());

    std::optional<level::ProbeLevels> answer;
    const PayloadSize payloadSize = [&](const std::string& line) -> std::optional<std::size_t> {
        const auto parsed = level::parseProbeLine(line);
        if (parsed && std::holds_alternative<level::ProbeError>(*parsed)) return 0;
        const auto* levels = parsed ? std::get_if<level::ProbeLevels>(&*parsed) : nullptr;
        if (levels == nullptr || !level::answersRequest(*levels, share.windowing)) {
            return std::nullopt;
        }
        answer = *levels;
        return static_cast<std::size_t>(levels->windows * level::levelValueBytes);
    };
    const auto run =
        runProbe({request.program, arguments, request.silenceLimit, &abandoned}, payloadSize);
    if (const auto* failure = std::get_if<LevelProbeFailure>(&run)) return *failure;
    const auto& output = std::get<ProbeOutput>(run);
    if (auto failure = endFailure(output)) return *failure;
    if (!answer || output.lines.size() != 1 || output.cutShort) return noUsableAnswer();
    auto rms = level::decodeLevelValues(output.payload, answer->windows);
    if (!rms) return noUsableAnswer();
    return ShareLevels{*answer, std::move(*rms)};
}

// Each part in a probe of its own, all at once. When one fails, the others
// are stopped, and its failure is the one told.
std::variant<std::vector<ShareLevels>, LevelProbeFailure> measureShares(
    const LevelScanRequest& request, const std::vector<ProbeShare>& shares) {
    std::vector<ShareResult> results(shares.size());
    std::atomic<bool> abandoned{false};
    std::atomic<int> firstFailed{-1};
    const auto measure = [&](std::size_t index) {
        results[index] = measureShare(request, shares[index], abandoned);
        if (std::holds_alternative<LevelProbeFailure>(results[index])) {
            int none = -1;
            firstFailed.compare_exchange_strong(none, static_cast<int>(index));
            abandoned = true;
        }
    };
    {
        std::vector<std::jthread> others;
        for (std::size_t i = 1; i < shares.size(); ++i) others.emplace_back(measure, i);
        measure(0);
    }
    if (const int failed = firstFailed; failed >= 0) {
        return std::get<LevelProbeFailure>(results[static_cast<std::size_t>(failed)]);
    }
    std::vector<ShareLevels> measured;
    measured.reserve(results.size());
    for (auto& result : results) measured.push_back(std::move(std::get<ShareLevels>(result)));
    return measured;
}

// The parts' windows in play order, when each part began at the frame it
// was given and each but the last measured every sample it was asked for;
// nullopt when the decoder saw the frames otherwise than the walk did.
std::optional<level::WindowLevels> join(const std::vector<ProbeShare>& shares,
                                        const std::vector<ShareLevels>& measured) {
    level::WindowLevels joined;
    joined.windowSamples = shares.front().windowing.windowSamples;
    for (std::size_t i = 0; i < shares.size(); ++i) {
        const auto& answer = measured[i].answer;
        if (answer.firstFrame != shares[i].offset) return std::nullopt;
        if (i + 1 < shares.size() && answer.samples != shares[i].windowing.sampleCount) {
            return std::nullopt;
        }
        joined.totalSamples += answer.samples;
        joined.rms.insert(joined.rms.end(), measured[i].rms.begin(), measured[i].rms.end());
    }
    return joined;
}

std::variant<level::LevelScanPlan, LevelProbeFailure> plan(const LevelScanRequest& request,
                                                           bool shareBetweenTwo) {
    auto opened = mp3::BlockReader::open(request.source);
    std::variant<level::LevelScanPlan, mp3::Mp3Error> planned =
        std::holds_alternative<mp3::Mp3Error>(opened)
            ? std::get<mp3::Mp3Error>(opened)
            : level::planLevelScan(std::get<mp3::BlockReader>(opened),
                                   {request.windowSamples, request.range, shareBetweenTwo});
    if (const auto* error = std::get_if<mp3::Mp3Error>(&planned)) {
        return LevelProbeFailure{"cannot walk the frames of \"" + request.source + "\"", *error};
    }
    return std::get<level::LevelScanPlan>(planned);
}

}  // namespace

std::variant<ScannedLevels, LevelProbeFailure> scanLevels(const LevelScanRequest& request) {
    if (request.windowSamples == 0) return LevelProbeFailure{"a window of no samples"};
    // Two probes on one core only take turns.
    bool shareBetweenTwo = request.useBothCores && std::thread::hardware_concurrency() != 1;
    while (true) {
        auto planned = plan(request, shareBetweenTwo);
        if (auto* failure = std::get_if<LevelProbeFailure>(&planned)) return std::move(*failure);
        const auto& scan = std::get<level::LevelScanPlan>(planned);
        ScannedLevels result{scan.sampleRate, 0, scan.firstSample, {request.windowSamples, 0, {}}};
        if (scan.shares.empty()) return result;

        auto measured = measureShares(request, scan.shares);
        if (auto* failure = std::get_if<LevelProbeFailure>(&measured)) return std::move(*failure);
        const auto& shares = std::get<std::vector<ShareLevels>>(measured);
        if (auto joined = join(scan.shares, shares)) {
            result.channels = shares.front().answer.channels;
            result.levels = std::move(*joined);
            return result;
        }
        // A damaged stretch the decoder skipped or read differently: the
        // halves cannot be placed on each other, one pass over the whole
        // can.
        if (scan.shares.size() == 1) {
            return LevelProbeFailure{"the level analysis did not begin at the frame at byte " +
                                     std::to_string(scan.shares.front().offset)};
        }
        shareBetweenTwo = false;
    }
}

}  // namespace snipwell
