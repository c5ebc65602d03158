// Feeds arbitrary bytes, as a whole file, to the MP3 frame scan: the frame
// header parse and the info frame reader on the bytes' start, then the tag
// check and the length measure over the whole file. The file lives in
// memory (a memfd opened through its /proc path), so no disk is involved.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "mp3/block_reader.h"
#include "mp3/frame_header.h"
#include "mp3/info_frame.h"
#include "mp3/length.h"
#include "mp3/tag_check.h"

namespace {

using namespace snipwell::mp3;

void check(bool condition) {
    if (!condition) std::abort();
}

int memoryFile() {
    static const int fd = ::memfd_create("mp3-scan-fuzz", MFD_CLOEXEC);
    check(fd >= 0);
    return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= 4) {
        if (const auto header = parseFrameHeader(data)) {
            check(header->layer >= 1 && header->layer <= 3);
            check(header->sampleRate > 0 && header->frameBytes > 4);
            check(header->samplesPerFrame > 0);
            if (header->frameBytes <= size) readInfoFrame(data, *header);
        }
    }

    const int fd = memoryFile();
    check(::ftruncate(fd, 0) == 0);
    std::size_t written = 0;
    while (written < size) {
        const ssize_t done =
            ::pwrite(fd, data + written, size - written, static_cast<off_t>(written));
        check(done > 0);
        written += static_cast<std::size_t>(done);
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    auto opened = BlockReader::open(path);
    if (auto* file = std::get_if<BlockReader>(&opened)) findMalformedTag(*file);
    const auto measured = measureLength(path);
    if (const auto* length = std::get_if<TrackLength>(&measured)) {
        check(length->audioFrames > 0 && length->sampleRate > 0);
        // Every counted frame holds at least a header, and the file is
        // no longer than its bytes.
        check(length->audioFrames * 4 <= size);
    }
    return 0;
}
