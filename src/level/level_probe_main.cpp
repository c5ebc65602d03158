// snipwell-level-probe: decodes a stretch of an MP3 file and prints its
// loudest sample, for snipwell-cut's clipping guard, or the level of each
// short window, for finding its silences. The decoder is code we
// do not own and a damaged file can crash or hang it, so it runs here, in a
// process of its own, and never inside snipwell-cut; snipwell-cut starts it,
// waits a limited time for its answer and turns a crash, a kill or a hang
// into a plain refusal. It is not meant to be started by hand, though it
// works from a terminal too.
//
// What it writes, and its exit statuses: level/level_probe_protocol.h.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "common/helper_parent.h"
#include "common/version.h"
#include "level/level_probe_protocol.h"
#include "level/peak_decoder.h"
#include "level/window_level_decoder.h"

namespace {

using snipwell::level::ByteStretch;
using snipwell::level::probeExitFailed;
using snipwell::level::probeExitMeasured;
using snipwell::level::probeExitUsage;

void printUsage(std::FILE* to) {
    std::fputs(
        "Usage: snipwell-level-probe [--parent-pid PID] [--] FILE [OFFSET LENGTH]\n"
        "       snipwell-level-probe --levels WINDOW [--skip S] [--count N] [--] FILE\n"
        "                            [OFFSET LENGTH]\n"
        "Decodes FILE (or LENGTH bytes of it from byte OFFSET) and prints its loudest\n"
        "sample: \"peak P samples N\", where P is 1.0 at full scale and N counts the\n"
        "samples of one channel; \"error REASON\" and exit status 1 when it cannot.\n"
        "Before that it says \"progress BYTES\" once the file is open and after every\n"
        "block it decodes.\n"
        "With --levels it prints instead \"levels first-frame BYTE rate HZ channels C\n"
        "samples N windows W\" and then the RMS level of each window of WINDOW samples\n"
        "as W little-endian 32-bit floats.\n"
        "snipwell-cut starts it for its clipping guard (--gain max, --no-clip) and to\n"
        "find silences.\n"
        "\n"
        "Options:\n"
        "  --levels WINDOW   measure windows of WINDOW samples instead of the peak\n"
        "  --skip S          leave out the first S samples of the first frame on\n"
        "  --count N         measure no more than N samples\n"
        "  --parent-pid PID  end as soon as process PID is no longer the parent\n"
        "  --help            show this help and exit\n"
        "  --version         show the version and exit\n"
        "  --                the words after it are FILE, OFFSET and LENGTH\n"
        "\n"
        "Example:\n"
        "  snipwell-level-probe song.mp3 417 1048576\n",
        to);
}

// One line of the protocol, sent at once: the caller times the probe by
// when its lines arrive.
void say(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fflush(stdout);
}

int fail(const std::string& reason) {
    say(snipwell::level::formatErrorLine(reason));
    return probeExitFailed;
}

int usageError() {
    printUsage(stderr);
    return probeExitUsage;
}

void sayProgress(std::uint64_t bytes) { say(snipwell::level::formatProgressLine(bytes)); }

int answerPeak(int fd, const ByteStretch& stretch) {
    const auto decoded = snipwell::level::decodePeak(fd, stretch, sayProgress);
    if (const auto* failure = std::get_if<snipwell::level::DecodeFailure>(&decoded)) {
        return fail(failure->reason);
    }
    const auto& peak = std::get<snipwell::level::Peak>(decoded);
    std::fputs(snipwell::level::formatPeakLine({peak.peak, peak.samples}).c_str(), stdout);
    return std::fflush(stdout) == 0 ? probeExitMeasured : probeExitFailed;
}

int answerLevels(int fd, const ByteStretch& stretch,
                 const snipwell::level::LevelWindowing& windowing) {
    namespace level = snipwell::level;
    const auto decoded = level::decodeWindowLevels(fd, stretch, windowing, sayProgress);
    if (const auto* failure = std::get_if<level::DecodeFailure>(&decoded)) {
        return fail(failure->reason);
    }
    const auto& measured = std::get<level::DecodedLevels>(decoded);
    const level::ProbeLevels line{measured.firstFrameOffset,
                                  static_cast<std::uint32_t>(std::max(measured.sampleRate, 0L)),
                                  static_cast<std::uint32_t>(std::max(measured.channels, 0)),
                                  measured.levels.totalSamples, measured.levels.rms.size()};
    const std::string answer =
        level::formatLevelsLine(line) + level::encodeLevelValues(measured.levels.rms);
    const bool written = std::fwrite(answer.data(), 1, answer.size(), stdout) == answer.size();
    return written && std::fflush(stdout) == 0 ? probeExitMeasured : probeExitFailed;
}

// What the probe is asked: the file (and stretch), and the windows when it
// measures levels instead of the peak.
struct ProbeCall {
    std::vector<std::string_view> operands;
    std::optional<snipwell::level::LevelWindowing> windowing;
};

// The call, or the status to exit with at once (help, version, a usage
// error).
std::variant<ProbeCall, int> readCall(const std::vector<std::string_view>& words) {
    ProbeCall call;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string_view word = words[i];
        if (word == "--") {
            call.operands.insert(call.operands.end(),
                                 words.begin() + static_cast<std::ptrdiff_t>(i) + 1, words.end());
            break;
        }
        if (word == "--help") {
            printUsage(stdout);
            return probeExitMeasured;
        }
        if (word == "--version") {
            std::fputs(snipwell::versionNotice("snipwell-level-probe").c_str(), stdout);
            return probeExitMeasured;
        }
        if (word == "--levels") {
            const auto parsed = snipwell::level::parseLevelsOption(words, i + 1);
            if (!parsed) return usageError();
            call.windowing = parsed->windowing;
            i += parsed->words;
        } else if (word == snipwell::parentPidOption && i + 1 < words.size()) {
            // A probe nobody waits for has no use.
            const auto parent = snipwell::parseParentPid(words[++i]);
            if (!parent) return usageError();
            snipwell::followParent(*parent);
        } else {
            call.operands.push_back(word);
        }
    }
    return call;
}

}  // namespace

int main(int argc, char** argv) {
    const auto call = readCall(std::vector<std::string_view>(argv + 1, argv + argc));
    if (const int* status = std::get_if<int>(&call)) return *status;
    const auto& [operands, windowing] = std::get<ProbeCall>(call);
    if (operands.size() != 1 && operands.size() != 3) return usageError();
    ByteStretch stretch;
    if (operands.size() == 3) {
        const auto offset = snipwell::level::parseProbeCount(operands[1]);
        const auto length = snipwell::level::parseProbeCount(operands[2]);
        if (!offset || !length) return usageError();
        stretch = {*offset, *length};
    }

    const std::string path(operands[0]);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return fail("cannot open \"" + path + "\": " + std::strerror(errno));
    sayProgress(0);
    const int status = windowing ? answerLevels(fd, stretch, *windowing) : answerPeak(fd, stretch);
    ::close(fd);
    return status;
}
