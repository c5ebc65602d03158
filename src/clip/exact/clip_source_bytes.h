#pragma once
// Where in its source the frames of an exact clip lie: from the first copied
// frame to the end of the last. The clipping guard decodes just these bytes
// to learn the clip's peak before the clip is written.

#include <cstdint>

#include "clip/exact/exact_cut.h"

namespace snipwell::exact {

struct ClipSourceBytes {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

// Refuses as cutExactClip() would, without writing anything.
ExactResult<ClipSourceBytes> exactClipSourceBytes(const ExactCutRequest& request);

}  // namespace snipwell::exact
