#include "clip/exact/encoder_name.h"

#include <algorithm>

namespace snipwell::exact {

// Measured: libmpg123 1.31 applies the delay and padding whatever the name,
// ffmpeg 5.1 for names starting "LAME", "Lavf" or "Lavc", GStreamer 1.22 only
// for "LAME". So the name starts "LAME" always. The clip's frames are the
// source's: its own encoder's name is kept where it qualifies; otherwise the
// rest stays blank rather than claim a version of an encoder we do not know.
std::string clipEncoderName(const std::optional<mp3::LameExtension>& source) {
    if (!source) return "LAME     ";
    const auto* name = reinterpret_cast<const char*>(source->encoder.data());
    if (std::equal(name, name + 4, "LAME")) {
        std::string kept(name, source->encoder.size());
        // Stop at the first byte that is not printable: the field is text.
        const auto end =
            std::find_if(kept.begin(), kept.end(), [](char c) { return c < 0x20 || c > 0x7E; });
        std::fill(end, kept.end(), ' ');
        return kept;
    }
    return "LAME     ";
}

}  // namespace snipwell::exact
