#pragma once
// How reading an MP3 file fails: what went wrong, where, and what the system
// said when it refused. The media service turns it into its reply codes and
// snipwell-cut into a line a person can read; nothing here chooses words.

#include <cstdint>
#include <variant>

namespace snipwell::mp3 {

enum class Mp3Fault : std::uint8_t {
    // The file.
    notFound,    // no such file (or a folder on the way is missing)
    notAFile,    // a folder, device node, pipe or similar
    empty,       // zero bytes
    unreadable,  // the system refused to open or read it; see systemError
    changed,     // it became shorter while it was read
    // The audio in it.
    noAudio,        // no run of MPEG audio frames anywhere
    freeFormat,     // free-format frames, which do not state their length
    notLayer3,      // MPEG Layer I or II where only Layer III will do
    streamChanges,  // the version, layer or sample rate changes part way
    // The tags around it.
    malformedTag,  // sizes no writer makes, known to upset decoders
};

struct Mp3Error {
    Mp3Fault fault = Mp3Fault::noAudio;
    std::uint64_t offset = 0;  // the byte where it was found, where that means anything
    int systemError = 0;       // errno, for unreadable
    // The header words of the two streams, for notLayer3 (first only) and
    // streamChanges, so a message can name them.
    std::uint32_t streamWord = 0;
    std::uint32_t otherStreamWord = 0;

    friend bool operator==(const Mp3Error&, const Mp3Error&) = default;
};

// A value, or why there is none.
template <typename T>
using Mp3Result = std::variant<T, Mp3Error>;

}  // namespace snipwell::mp3
