#pragma once
// Tags that no writer makes and that are known to upset decoders: an APEv2
// footer whose declared size cannot fit in the file, and a pile of ID3v2
// tags stacked in front of the audio (a decoder's tag reader may spend
// seconds on thousands of them). The engine refuses such a file before any
// decoder reads it, so it fails the same way, at once, on every run.

#include <cstdint>
#include <optional>
#include <string>

#include "mci/mci_error.h"

namespace snipwell::mci {

// More ID3v2 tags in a row than this at the front of a file is taken as damage.
inline constexpr int maxStackedId3v2Tags = 16;

// malformedTag when the file holds either kind of damage; nullopt when it
// does not, or when it cannot be read (the length scan then says why).
std::optional<MciError> findMalformedTag(const std::string& path);

}  // namespace snipwell::mci
