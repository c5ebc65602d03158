#pragma once
// A header-less MP3 file of about 200 MB for the scan benchmarks, made once
// in the temporary folder (never committed) from many plain fixture encodes
// of alternating bitrate modes, so that no info frame describes it.

#include <filesystem>

namespace snipwell::bench {

std::filesystem::path bigHeaderlessMp3();

}  // namespace snipwell::bench
