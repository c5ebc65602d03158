#include "split/label_file_writer.h"

#include <cstdio>

namespace snipwell {
namespace {

// The first microsecond at or after `sample`: read back, it rounds down to
// the same sample, since a sample lasts longer than a microsecond.
std::string secondsAt(std::uint64_t sample, std::uint32_t rate) {
    const std::uint64_t us = (sample * 1'000'000 + rate - 1) / rate;
    char text[32];
    std::snprintf(text, sizeof text, "%llu.%06llu", static_cast<unsigned long long>(us / 1'000'000),
                  static_cast<unsigned long long>(us % 1'000'000));
    return text;
}

// A title on one line: tabs and line breaks would start another field or
// label.
std::string oneLine(std::string text) {
    for (char& ch : text) {
        if (ch == '\t' || ch == '\r' || ch == '\n') ch = ' ';
    }
    return text;
}

}  // namespace

std::string labelsForSplit(const SplitPlan& plan) {
    std::string labels;
    for (const PlannedTrack& track : plan.tracks) {
        labels += secondsAt(track.beginSample, plan.sampleRate) + "\t" +
                  secondsAt(track.endSample, plan.sampleRate) + "\t" + oneLine(track.title) + "\n";
    }
    return labels;
}

}  // namespace snipwell
