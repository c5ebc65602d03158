#pragma once
// Tags that no writer makes and that are known to upset decoders: an APEv2
// footer whose declared size cannot fit in the file, and a pile of ID3v2
// tags stacked in front of the audio (a decoder's tag reader may spend
// seconds on thousands of them). The media engine refuses such a file before
// any decoder reads it, so it fails the same way, at once, on every run.

#include <optional>

#include "mp3/block_reader.h"
#include "mp3/mp3_error.h"

namespace snipwell::mp3 {

// More ID3v2 tags in a row than this at the front of a file is taken as damage.
inline constexpr int maxStackedId3v2Tags = 16;

// malformedTag, at the damaged tag, when the file holds either kind of
// damage; nullopt when it does not.
std::optional<Mp3Error> findMalformedTag(BlockReader& file);

}  // namespace snipwell::mp3
