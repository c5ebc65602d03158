#pragma once
// The encoder name the clip's info frame states. Decoders apply an info
// frame's encoder delay and padding only for encoder names they know, so
// the name decides whether the clip plays exactly.

#include <optional>
#include <string>

#include "mp3/info_frame.h"

namespace snipwell::exact {

// `source`: the source's LAME extension, where it has one.
std::string clipEncoderName(const std::optional<mp3::LameExtension>& source);

}  // namespace snipwell::exact
