#include "clip/exact/track_plan.h"

namespace snipwell::exact {

TrackPlan planTrack(const SourceStream& stream, std::uint64_t beginSample, std::uint64_t endSample,
                    std::int64_t milliseconds) {
    const std::uint64_t spf = stream.samplesPerFrame;
    TrackPlan plan;
    plan.beginSample = beginSample;
    plan.endSample = endSample;
    plan.milliseconds = milliseconds;
    plan.rawBegin = beginSample + stream.lead;
    plan.rawEnd = endSample + stream.lead;
    plan.copyStart = chooseCopyStart(plan.rawBegin, stream.samplesPerFrame, stream.lead,
                                     stream.first.header.mono);
    plan.lastCopied = (plan.rawEnd - 1) / spf;
    const std::uint64_t first = plan.copyStart.firstFrame;
    plan.lookbackFrom = first > reservoirLookbackFrames ? first - reservoirLookbackFrames : 0;
    return plan;
}

}  // namespace snipwell::exact
