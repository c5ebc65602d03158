#pragma once
// The exact playing time of an MP3 file, from a walk over its frame headers.
//
// Estimates from the first frames or from the file size are wrong for files
// whose bitrate changes without an info frame saying so, and an info frame's
// frame count is wrong for a file cut short. So every frame is counted: tags
// at both ends are stepped over, the info frame is not counted as audio, and
// the encoder delay and end padding that a LAME extension declares are taken
// off, as the decoder does when it plays the file.

#include <cstdint>
#include <string>

#include "mp3/block_reader.h"
#include "mp3/mp3_error.h"

namespace snipwell::mp3 {

// Samples a Layer III decoder outputs before the first sample the encoder
// was given (its synthesis filter delay), which gapless decoding removes.
inline constexpr std::uint64_t decoderDelaySamples = 529;

struct TrackLength {
    std::uint64_t audioFrames = 0;  // the frames that play (an info frame not counted)
    std::uint64_t samples = 0;      // per channel, after gapless trimming
    std::uint32_t sampleRate = 0;
    bool gaplessTrimmed = false;

    // Rounded to the nearest millisecond.
    std::int64_t milliseconds() const;
};

// notFound, notAFile, empty, unreadable, changed or noAudio (freeFormat for
// a free-format stream) on failure.
Mp3Result<TrackLength> measureLength(const std::string& path);

// The same for a file already open. changed when the file turns out
// shorter than it was when opened, so the frames counted are not the file's.
Mp3Result<TrackLength> measureLength(BlockReader& file);

}  // namespace snipwell::mp3
