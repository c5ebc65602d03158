#include "split/silence_texts.h"

#include <cmath>
#include <cstdio>

#include "common/clip_time.h"
#include "split/split_plan.h"

namespace snipwell {
namespace {

std::string timeAt(std::uint64_t sample, std::uint32_t rate) {
    return formatClipTime(samplesToMilliseconds(sample, rate));
}

}  // namespace

std::string secondsText(std::uint64_t samples, std::uint32_t sampleRate) {
    const std::int64_t ms = samplesToMilliseconds(samples, sampleRate);
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%03lld", static_cast<long long>(ms / 1000),
                  static_cast<long long>(ms % 1000));
    std::string shown = text;
    while (shown.back() == '0' && shown[shown.size() - 2] != '.') shown.pop_back();
    return shown + " s";
}

std::string decibelText(double decibels) {
    const double tenths = std::round(decibels * 10) / 10;
    char text[32];
    std::snprintf(text, sizeof text, tenths == std::round(tenths) ? "%.0f dBFS" : "%.1f dBFS",
                  tenths == 0 ? 0.0 : tenths);
    return text;
}

std::string silenceSplitNote(const level::SilenceSplit& split, std::uint32_t sampleRate) {
    const level::QuietStretch& quiet = split.quiet;
    if (split.source == level::SplitSource::quietestInLongTrack) {
        return "begins at the quietest moment of a track longer than --max-track, " +
               decibelText(quiet.levelDb) + " at " + timeAt(quiet.beginSample, sampleRate);
    }
    return "begins in the silence at " + timeAt(quiet.beginSample, sampleRate) + ", " +
           secondsText(quiet.length(), sampleRate) + " at " + decibelText(quiet.levelDb);
}

std::string noSilenceText(const level::NoSilenceFound& found, const level::SilenceRules& rules,
                          std::uint32_t sampleRate) {
    std::string text = "no silence of " + secondsText(rules.minSilenceSamples, sampleRate) +
                       " below " + decibelText(rules.thresholdDb);
    if (const auto& longest = found.longestQuiet) {
        return text + "; the longest quiet stretch is " +
               secondsText(longest->length(), sampleRate) + " at " + decibelText(longest->levelDb) +
               ", at " + timeAt(longest->beginSample, sampleRate);
    }
    if (const auto& quietest = found.quietestWindow) {
        return text + "; nothing between the first and the last sound is below " +
               decibelText(rules.thresholdDb) + ", the quietest moment is " +
               decibelText(quietest->levelDb) + ", at " + timeAt(quietest->beginSample, sampleRate);
    }
    return text + " with sound on both sides";
}

}  // namespace snipwell
