#pragma once
// The encoder name the clip's info frame states. Decoders apply an info
// frame's encoder delay and padding only for encoder names they know, so
// the name decides whether the clip plays exactly.

#include <string>

#include "clip/exact/exact_cut_plan.h"

namespace snipwell::exact {

std::string clipEncoderName(const SourceEncoderInfo& source);

}  // namespace snipwell::exact
