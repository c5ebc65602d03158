#pragma once
// The hidden name a clip is written under beside its target before it takes
// its own: ".clip.mp3.3f9a1c0b7d2e4f68". A target's name may be as long as a
// folder allows (255 bytes), so the copy of it inside the hidden name is cut
// short where the whole would pass that; the random part alone keeps
// hidden names apart.

#include <cstddef>
#include <cstdint>
#include <string>

namespace snipwell {

// The longest file name most Linux file systems hold, in bytes.
inline constexpr std::size_t kLongestFileName = 255;

// The hidden path beside `finalPath`, its last 16 characters `random` in hex.
std::string temporaryPathFor(const std::string& finalPath, std::uint64_t random);

}  // namespace snipwell
