#pragma once
// What the window says when a clip cannot be saved exact to the sample: why,
// in a person's words, and, where the file itself is the reason, that the
// first file type of the Save dialog still saves the frames that hold the
// marks.

#include <string>

#include "clip/exact/exact_refusal.h"

namespace snipwell {

// The first file type of the Save dialog, as the dialog shows it.
inline constexpr const char* kFrameSaveType = "Mp3 Files(*.Mp3)";

// For example "this file is a free-format MPEG stream, whose frames do not
// state their length, so it cannot be cut to the sample. Choose ...".
std::string exactRefusalMessage(const exact::ExactCutRefusal& refusal);

}  // namespace snipwell
