#pragma once
// The encoder's info frame some MP3 files start with ("Xing", "Info" or
// "VBRI"). It looks like an audio frame but holds a summary of the stream.
// Our decoder skips a Xing/Info frame, but plays a VBRI frame as a frame of
// silence, so only the former is left out of the playing time. A LAME
// extension inside a Xing/Info frame states how many samples of encoder
// delay and end padding the stream holds.

#include <cstddef>
#include <cstdint>

#include "mci/mpeg_frame_header.h"

namespace snipwell::mci {

struct Mp3InfoFrame {
    bool skippedByDecoder = false;     // a Xing/Info frame, which does not play
    std::uint32_t declaredFrames = 0;  // audio frames the encoder wrote; 0 if not stated
    bool hasGaplessInfo = false;
    std::uint32_t encoderDelay = 0;  // samples to drop at the start
    std::uint32_t endPadding = 0;    // samples to drop at the end
};

// `frame` holds the whole first frame, `header` is its parsed header.
Mp3InfoFrame readInfoFrame(const std::uint8_t* frame, const MpegFrameHeader& header);

}  // namespace snipwell::mci
