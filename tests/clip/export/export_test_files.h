#pragma once
// Bytes for export tests: sources whose bytes differ from their neighbours
// (so a clip shifted by one byte shows), and the clip a byte range of such a
// source must give. Every export test
// also gets the scratch folder and the whole-file helpers of tests/support.

#include <cstddef>
#include <cstdint>

#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace snipwell::test {

// `size` bytes of a sequence that does not repeat within a clip.
Bytes patternBytes(std::size_t size, std::uint32_t seed = 1);

// The clip a copy of `length` bytes from 1-based `beginOffset` must give:
// the source's bytes, and zeros where the range reaches past its end.
Bytes expectedClip(const Bytes& source, std::int64_t beginOffset, std::size_t length);

}  // namespace snipwell::test
