// snipwell-level-probe: decodes a stretch of an MP3 file and prints its
// loudest sample, for snipwell-cut's clipping guard. The decoder is code we
// do not own and a damaged file can crash or hang it, so it runs here, in a
// process of its own, and never inside snipwell-cut; snipwell-cut starts it,
// waits a limited time for its answer and turns a crash, a kill or a hang
// into a plain refusal. It is not meant to be started by hand, though it
// works from a terminal too.
//
// Answer, one line on standard output, exit status 0:
//   peak <largest sample magnitude, 1.0 is full scale> samples <per channel>
// or, exit status 1:
//   error <reason>

#include <fcntl.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "common/version.h"
#include "level/peak_decoder.h"

namespace {

using snipwell::level::ByteStretch;

constexpr int exitMeasured = 0;
constexpr int exitFailed = 1;
constexpr int exitUsage = 2;

void printUsage(std::FILE* to) {
    std::fputs(
        "Usage: snipwell-level-probe [--parent-pid PID] [--] FILE [OFFSET LENGTH]\n"
        "Decodes FILE (or LENGTH bytes of it from byte OFFSET) and prints its loudest\n"
        "sample: \"peak P samples N\", where P is 1.0 at full scale and N counts the\n"
        "samples of one channel; \"error REASON\" and exit status 1 when it cannot.\n"
        "snipwell-cut starts it for its clipping guard (--gain max, --no-clip).\n"
        "\n"
        "Options:\n"
        "  --parent-pid PID  end as soon as process PID is no longer the parent\n"
        "  --help            show this help and exit\n"
        "  --version         show the version and exit\n"
        "  --                the words after it are FILE, OFFSET and LENGTH\n"
        "\n"
        "Example:\n"
        "  snipwell-level-probe song.mp3 417 1048576\n",
        to);
}

std::optional<std::uint64_t> parseNumber(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// Ends this process with its parent: a probe nobody waits for has no use.
void followParent(pid_t parent) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(exitFailed);
}

int fail(const std::string& reason) {
    std::printf("error %s\n", reason.c_str());
    return exitFailed;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> operands;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (optionsEnded) {
            operands.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        if (word == "--help") {
            printUsage(stdout);
            return exitMeasured;
        }
        if (word == "--version") {
            std::fputs(snipwell::versionNotice("snipwell-level-probe").c_str(), stdout);
            return exitMeasured;
        }
        if (word == "--parent-pid" && i + 1 < argc) {
            const auto parent = parseNumber(argv[++i]);
            if (!parent) {
                printUsage(stderr);
                return exitUsage;
            }
            followParent(static_cast<pid_t>(*parent));
            continue;
        }
        operands.push_back(word);
    }
    if (operands.size() != 1 && operands.size() != 3) {
        printUsage(stderr);
        return exitUsage;
    }
    ByteStretch stretch;
    if (operands.size() == 3) {
        const auto offset = parseNumber(operands[1]);
        const auto length = parseNumber(operands[2]);
        if (!offset || !length) {
            printUsage(stderr);
            return exitUsage;
        }
        stretch = {*offset, *length};
    }

    const std::string path(operands[0]);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return fail("cannot open \"" + path + "\": " + std::strerror(errno));
    const auto decoded = snipwell::level::decodePeak(fd, stretch);
    ::close(fd);
    if (const auto* failure = std::get_if<snipwell::level::DecodeFailure>(&decoded)) {
        return fail(failure->reason);
    }
    const auto& peak = std::get<snipwell::level::Peak>(decoded);
    std::printf("peak %.9g samples %llu\n", peak.peak,
                static_cast<unsigned long long>(peak.samples));
    return std::fflush(stdout) == 0 ? exitMeasured : exitFailed;
}
