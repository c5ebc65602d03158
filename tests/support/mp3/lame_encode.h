#pragma once
// Encodes a WAV file into an MP3 with the lame command-line encoder.

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace snipwell::test {

// Writes `name`.mp3 into `work` from `wav` with lame's `options` (bit rate,
// VBR quality, "-t" for no info frame). Throws std::runtime_error on failure.
std::filesystem::path lameEncode(const TempDir& work, const std::filesystem::path& wav,
                                 const std::string& name, const std::vector<std::string>& options);

}  // namespace snipwell::test
