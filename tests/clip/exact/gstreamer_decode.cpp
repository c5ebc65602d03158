#include "clip/exact/gstreamer_decode.h"

#include "support/mp3/decoded_wav.h"
#include "support/temp_dir.h"

namespace snipwell::test {

std::uint64_t gstreamerDecodedSamples(const std::filesystem::path& mp3) {
    const TempDir work;
    const auto wav = work.file("decoded.wav");
    decodeWithGStreamer(mp3, wav);
    // The data chunk's own size: the writer puts further chunks after it.
    const WavLayout layout = readWavLayout(wav);
    return layout.dataSize / layout.blockAlign;
}

}  // namespace snipwell::test
