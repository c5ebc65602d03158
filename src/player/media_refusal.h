#pragma once
// Why the media service would not open a file, in words for a person, from
// the code its "open" answered with.

#include <cstdint>
#include <string>

namespace snipwell {

// "it is not an MP3 file", "it cannot be read", ...; a code the service
// does not document gives a reason that names the code.
std::string whyMediaRefused(std::int32_t openCode);

}  // namespace snipwell
