#include "split/split_plan_report.h"

#include <cstdio>

#include "common/clip_time.h"

namespace snipwell {
namespace {

std::string sampleTime(std::uint64_t sample, std::uint32_t rate) {
    return formatClipTime(samplesToMilliseconds(sample, rate));
}

}  // namespace

std::string splitPlanTable(const SplitPlan& plan) {
    std::string table;
    char line[512];
    std::snprintf(line, sizeof line, "%5s  %12s  %12s  %12s  %s\n", "track", "begin", "end",
                  "length", "name");
    table += line;
    for (const PlannedTrack& track : plan.tracks) {
        std::snprintf(line, sizeof line, "%5d  %12s  %12s  %12s  ", track.number,
                      sampleTime(track.beginSample, plan.sampleRate).c_str(),
                      sampleTime(track.endSample, plan.sampleRate).c_str(),
                      sampleTime(track.samples(), plan.sampleRate).c_str());
        table += line + track.fileName + "\n";
        for (const std::string& note : track.notes) table += "       " + note + "\n";
    }
    return table;
}

}  // namespace snipwell
