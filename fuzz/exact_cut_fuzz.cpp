// libFuzzer target for the exact cut: any bytes as a source file, cut
// between marks the input's size picks, into a scratch folder. A damaged
// source is refused or cut; either way nothing is read out of bounds, a
// clip that is made plays the wanted samples' length, and a refusal leaves
// no file behind.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <variant>

#include "clip/exact/exact_cut.h"
#include "clip/export/disk_files.h"
#include "common/runtime_error.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

int memoryFile() {
    static const int fd = ::memfd_create("exact-cut-fuzz", MFD_CLOEXEC);
    check(fd >= 0);
    return fd;
}

const std::filesystem::path& scratchFolder() {
    static const std::filesystem::path folder = [] {
        char name[] = "/tmp/snipwell-exact-fuzz.XXXXXX";
        check(::mkdtemp(name) != nullptr);
        return std::filesystem::path(name);
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int fd = memoryFile();
    check(::ftruncate(fd, 0) == 0);
    std::size_t written = 0;
    while (written < size) {
        const ssize_t done =
            ::pwrite(fd, data + written, size - written, static_cast<off_t>(written));
        check(done > 0);
        written += static_cast<std::size_t>(done);
    }
    const std::string source = "/proc/self/fd/" + std::to_string(fd);
    const std::filesystem::path target = scratchFolder() / "clip.mp3";
    std::filesystem::remove(target);

    const auto beginMs = static_cast<std::int64_t>(size % 997);
    const std::int64_t endMs = beginMs + 1 + static_cast<std::int64_t>((size * 7) % 3000);
    snipwell::DiskFiles files;
    try {
        const auto result =
            snipwell::exact::cutExactClip({source, beginMs, endMs, target.string()}, files);
        if (const auto* clip = std::get_if<snipwell::exact::ExactClip>(&result)) {
            check(std::filesystem::file_size(target) == clip->bytes);
            check(clip->sampleRate > 0);
            check(clip->samples ==
                  static_cast<std::uint64_t>(endMs) * clip->sampleRate / 1000 -
                      static_cast<std::uint64_t>(beginMs) * clip->sampleRate / 1000);
        } else {
            check(!std::filesystem::exists(target));
        }
    } catch (const snipwell::RuntimeError&) {
        // The scratch folder's disk said no; not the input's doing.
        check(!std::filesystem::exists(target));
    }
    return 0;
}
