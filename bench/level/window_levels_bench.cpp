// Decodes a stretch of an MP3 file to window levels as the level probe
// does, and prints how many windows it measured, for run_levels_bench.sh to
// time: window_levels_bench FILE [OFFSET LENGTH]

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <variant>

#include "level/window_level_decoder.h"

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        std::fputs("usage: window_levels_bench FILE [OFFSET LENGTH]\n", stderr);
        return 2;
    }
    snipwell::level::ByteStretch stretch;
    if (argc == 4) {
        stretch.offset = std::strtoull(argv[2], nullptr, 10);
        stretch.length = std::strtoull(argv[3], nullptr, 10);
    }
    const int fd = ::open(argv[1], O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        std::perror(argv[1]);
        return 1;
    }
    const auto decoded = snipwell::level::decodeWindowLevels(fd, stretch, {441, 0, std::nullopt});
    ::close(fd);
    if (const auto* failure = std::get_if<snipwell::level::DecodeFailure>(&decoded)) {
        std::fprintf(stderr, "%s\n", failure->reason.c_str());
        return 1;
    }
    const auto& levels = std::get<snipwell::level::DecodedLevels>(decoded).levels;
    std::printf("%zu windows, %llu samples\n", levels.rms.size(),
                static_cast<unsigned long long>(levels.totalSamples));
    return 0;
}
