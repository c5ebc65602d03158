// The silence split's detection as snipwell-cut will run it: the window
// levels of a whole file through the level probe's client (two probes at
// once, or one), then the split points at its silences. Prints how many
// windows were measured and how many splits were found, for
// run_levels_bench.sh to time:
//   level_scan_bench [--one-core] FILE

#include <cstdio>
#include <cstring>
#include <string>
#include <variant>

#include "level/level_probe_client.h"
#include "level/silence_finder.h"

int main(int argc, char** argv) {
    const bool oneCore = argc == 3 && std::strcmp(argv[1], "--one-core") == 0;
    if (argc != 2 && !oneCore) {
        std::fputs("usage: level_scan_bench [--one-core] FILE\n", stderr);
        return 2;
    }
    const auto program = snipwell::findLevelProbe();
    if (!program) {
        std::fputs("snipwell-level-probe is not beside this program\n", stderr);
        return 1;
    }
    snipwell::LevelScanRequest request;
    request.program = *program;
    request.source = argv[argc - 1];
    request.windowSamples = 441;
    request.useBothCores = !oneCore;
    const auto scanned = snipwell::scanLevels(request);
    if (const auto* failure = std::get_if<snipwell::LevelProbeFailure>(&scanned)) {
        std::fprintf(stderr, "%s\n", failure->reason.c_str());
        return 1;
    }
    const auto& levels = std::get<snipwell::ScannedLevels>(scanned).levels;
    // Silences of half a second or more, split in their middle.
    const auto found = snipwell::level::findSilenceSplits(levels, {-48.0, 22'050});
    const auto* plan = std::get_if<snipwell::level::SilencePlan>(&found);
    std::printf("%zu windows, %zu splits\n", levels.rms.size(),
                plan != nullptr ? plan->splits.size() : std::size_t{0});
    return 0;
}
