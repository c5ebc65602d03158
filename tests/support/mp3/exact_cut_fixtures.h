#pragma once
// MP3 files that put an exact cut to the test beyond the kinds of
// mp3_fixtures.h: frames with CRCs, a deep bit reservoir, the smallest
// bitrate, and streams a cut must refuse. They play a tone sweep with noise
// under it, so that a clip shifted by any number of samples no longer
// matches its source. Made with sox and lame, cached like the other fixtures.

#include <filesystem>
#include <string_view>

namespace snipwell::test {

enum class ExactCutKind {
    crcProtected,      // 44.1 kHz stereo, 128 kbit/s, a CRC in every frame, Info frame
    deepReservoir,     // 44.1 kHz stereo, lame -V 9: frames reach far back into the reservoir
    lowestBitrate,     // 44.1 kHz mono, 32 kbit/s, Info frame
    freeFormat,        // 44.1 kHz stereo, free-format 400 kbit/s
    sampleRateChange,  // 44.1 kHz frames followed by 48 kHz frames, no info frame
    junkInside,        // 44.1 kHz stereo, 128 kbit/s, no info frame, 333 bytes of text after 5 s
};

std::filesystem::path exactCutFixture(ExactCutKind kind);
std::string_view exactCutFixtureName(ExactCutKind kind);

}  // namespace snipwell::test
