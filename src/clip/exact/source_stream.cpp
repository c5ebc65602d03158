#include "clip/exact/source_stream.h"

namespace snipwell::exact {

ExactResult<mp3::AudioFrames> openSourceStream(mp3::BlockReader& file) {
    auto opened = mp3::AudioFrames::open(file, mp3::OtherStreams::refuse);
    if (auto* error = std::get_if<mp3::Mp3Error>(&opened)) return refusalOf(*error);
    mp3::AudioFrames& frames = std::get<mp3::AudioFrames>(opened);
    const mp3::WalkedFrame& first = frames.stream().first;
    if (first.header.layer != 3) {
        return refusalOf(mp3::Mp3Error{mp3::Mp3Fault::notLayer3, first.offset, 0, first.word});
    }
    return std::move(frames);
}

}  // namespace snipwell::exact
