#pragma once
// Applies a GainPlan to the audio frames of a stream as they are written,
// one frame after the other: it counts the granules written so far, so each
// frame gets the changes of its own granules.

#include <cstdint>

#include "mp3/gain_plan.h"
#include "mp3/granule_gain.h"

namespace snipwell::mp3 {

class StreamGainEditor {
public:
    explicit StreamGainEditor(const GainPlan& plan) : plan_(plan) {}

    // Edits the next audio frame of the written stream in place: `frame`
    // holds at least its header, CRC and side information. A frame the plan
    // leaves alone is not touched. Returns whether any byte changed.
    bool editNext(std::uint8_t* frame);

    // Passes over the next frame without editing it (a frame that plays
    // nothing the plan knows of), keeping the granule count right.
    void skipNext(const SideInfoShape& shape) {
        granule_ += static_cast<unsigned>(shape.granules());
    }

    // Granule gains that had to be clamped to 0…255 so far.
    std::uint64_t clampedGranules() const { return clamped_; }
    std::uint64_t editedFrames() const { return edited_; }
    // Granules of the stream passed so far.
    std::uint64_t granules() const { return granule_; }

    const GainPlan& plan() const { return plan_; }

private:
    GainPlan plan_;
    std::uint64_t granule_ = 0;
    std::uint64_t clamped_ = 0;
    std::uint64_t edited_ = 0;
};

}  // namespace snipwell::mp3
