#include "support/mp3/exact_cut_fixtures.h"

#include <fstream>
#include <iterator>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/mp3/lame_encode.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/mp3/run_program.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace snipwell::test {
namespace {

constexpr std::string_view recipeVersion = "v1";

std::mutex fixtureMutex;

// 10 s of a rising sweep over pink noise.
fs::path sweepWav(const TempDir& work, int rate, int channels) {
    fs::path wav = work.file("sweep-" + std::to_string(rate) + ".wav");
    runProgramOrThrow({"sox", "-n", "-r", std::to_string(rate), "-c", std::to_string(channels),
                       "-b", "16", wav.string(), "synth", "10", "sine", "200-4000", "pinknoise",
                       "mix", "vol", "0.4"});
    return wav;
}

void appendFile(std::ofstream& out, const fs::path& from) {
    std::ifstream in(from, std::ios::binary);
    out << in.rdbuf();
}

void make(ExactCutKind kind, const TempDir& work, const fs::path& target) {
    const auto keep = [&](const fs::path& mp3) { fs::copy_file(mp3, target); };
    switch (kind) {
        case ExactCutKind::crcProtected:
            return keep(lameEncode(work, sweepWav(work, 44100, 2), "crc", {"-b", "128", "-p"}));
        case ExactCutKind::deepReservoir:
            return keep(lameEncode(work, sweepWav(work, 44100, 2), "v9",
                                   {"-V", "9", "--resample", "44.1"}));
        case ExactCutKind::lowestBitrate:
            return keep(lameEncode(work, sweepWav(work, 44100, 1), "b32",
                                   {"-b", "32", "-m", "m", "--resample", "44.1"}));
        case ExactCutKind::freeFormat:
            return keep(
                lameEncode(work, sweepWav(work, 44100, 2), "free", {"--freeformat", "-b", "400"}));
        case ExactCutKind::junkInside: {
            const auto first =
                lameEncode(work, sweepWav(work, 44100, 2), "first", {"-b", "128", "-t"});
            const auto second =
                lameEncode(work, sweepWav(work, 44100, 2), "second", {"-b", "128", "-t"});
            std::ofstream out(target, std::ios::binary);
            appendFile(out, first);
            out << std::string(333, 'j');
            appendFile(out, second);
            if (!out) throw std::runtime_error("cannot write " + target.string());
            return;
        }
        case ExactCutKind::sampleRateChange: {
            const auto first =
                lameEncode(work, sweepWav(work, 44100, 2), "first", {"-b", "128", "-t"});
            const auto second =
                lameEncode(work, sweepWav(work, 48000, 2), "second", {"-b", "128", "-t"});
            std::ofstream out(target, std::ios::binary);
            appendFile(out, first);
            appendFile(out, second);
            if (!out) throw std::runtime_error("cannot write " + target.string());
            return;
        }
    }
    throw std::logic_error("unknown exact-cut fixture kind");
}

}  // namespace

std::string_view exactCutFixtureName(ExactCutKind kind) {
    switch (kind) {
        case ExactCutKind::crcProtected: return "crc_protected";
        case ExactCutKind::deepReservoir: return "deep_reservoir";
        case ExactCutKind::lowestBitrate: return "lowest_bitrate";
        case ExactCutKind::freeFormat: return "free_format";
        case ExactCutKind::sampleRateChange: return "sample_rate_change";
        case ExactCutKind::junkInside: return "junk_inside";
    }
    return "unknown";
}

fs::path exactCutFixture(ExactCutKind kind) {
    const std::lock_guard lock(fixtureMutex);
    const fs::path folder = Mp3Fixtures::cacheFolder();
    fs::path target = folder / ("exact-" + std::string(exactCutFixtureName(kind)) + "-" +
                                std::string(recipeVersion) + ".mp3");
    if (fs::exists(target)) return target;
    const TempDir work(folder);
    const fs::path partial = work.file("result.mp3");
    make(kind, work, partial);
    fs::rename(partial, target);
    return target;
}

}  // namespace snipwell::test
