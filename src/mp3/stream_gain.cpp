#include "mp3/stream_gain.h"

namespace snipwell::mp3 {

bool StreamGainEditor::editNext(std::uint8_t* frame) {
    const SideInfoShape shape = sideInfoShapeOf(frame);
    GranuleChange changes[2];
    bool any = false;
    for (int g = 0; g < shape.granules(); ++g) {
        changes[g] = plan_.at(granule_ + static_cast<unsigned>(g));
        any = any || !changes[g].changesNothing();
    }
    granule_ += static_cast<unsigned>(shape.granules());
    if (!any) return false;
    clamped_ += static_cast<std::uint64_t>(applyGranuleChanges(frame, shape, changes));
    ++edited_;
    return true;
}

}  // namespace snipwell::mp3
