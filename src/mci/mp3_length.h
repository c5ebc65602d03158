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
#include <variant>

#include "mci/block_file_reader.h"
#include "mci/mci_error.h"

namespace snipwell::mci {

struct Mp3Length {
    std::uint64_t audioFrames = 0;
    std::uint64_t samples = 0;  // per channel, after gapless trimming
    std::uint32_t sampleRate = 0;
    bool gaplessTrimmed = false;

    // Rounded to the nearest millisecond.
    std::int64_t milliseconds() const;
};

// fileNotFound, notAFile, emptyFile, fileUnreadable or notMpegAudio on failure.
std::variant<Mp3Length, MciError> measureMp3Length(const std::string& path);

// The same for a file already open. fileChanged when the file turns out
// shorter than it was when opened, so the frames counted are not the file's.
std::variant<Mp3Length, MciError> measureMp3Length(BlockFileReader& file);

}  // namespace snipwell::mci
