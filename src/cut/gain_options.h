#pragma once
// The gain and fade options of snipwell-cut and what they come to:
//   --gain DB      add round(DB / 1.5) steps of 1.5 dB to every granule
//   --gain max     the largest step that cannot clip (decodes the clip once)
//   --no-clip      lower a --gain that would clip to the largest that cannot
//   --fade-in D    silence at the clip's start, full level D seconds later
//   --fade-out D   full level until D seconds before the end, then down to silence

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "mp3/gain_plan.h"

namespace snipwell {

struct GainOptions {
    std::optional<double> gainDb;  // --gain DB
    bool gainMax = false;          // --gain max
    bool noClip = false;
    std::int32_t fadeInMs = 0;  // 0: no fade
    std::int32_t fadeOutMs = 0;

    // Whether any frame may change: otherwise every byte is copied untouched.
    bool changesFrames() const {
        return gainMax || (gainDb && *gainDb != 0) || fadeInMs > 0 || fadeOutMs > 0;
    }
    // Whether the clip must be decoded first to find the largest safe step:
    // fades only ever lower the gain, so only a raise needs the guard.
    bool needsGuard() const { return gainMax || (noClip && gainDb && *gainDb > 0); }
};

// The largest gain accepted, either way: beyond it every granule is clamped.
inline constexpr double maxGainDb = 100;

// Read "--gain VALUE": "3", "+3", "-6", "1.5", "max". The reason when it is
// none of them.
std::optional<std::string> readGainOption(GainOptions& into, const std::string& value);

// Read a fade's DURATION: a bare whole number is seconds ("2"), anything else
// a time as clip_time.h reads it ("1.5", "0:02.5"); more than 0, at most an hour.
std::optional<std::string> readFadeDuration(std::int32_t& intoMs, const std::string& optionName,
                                            const std::string& value);

// What the gain came to, for the summary line.
struct AppliedGain {
    int steps = 0;
    std::optional<int> requestedSteps;  // set when --no-clip lowered the step
    bool guarded = false;               // the step was checked against the clip's peak
    bool silentSource = false;          // the guard found nothing but silence
    std::uint64_t clampedGranules = 0;
    std::int32_t fadeInMs = 0;
    std::int32_t fadeOutMs = 0;
    bool gainAsked = false;  // --gain was given, even one that rounds to 0 steps
};

// The step a cut gets: as asked, or, for --gain max and --no-clip, what the
// clipping guard allows for the loudest sample `peak()` finds in the source
// (1.0 is full scale), asked only then. Whatever `peak` throws (the guard
// could not measure) is passed on.
AppliedGain settleGain(const GainOptions& options, const std::function<double()>& peak);

// The gain and fades for the MP3 layer.
inline mp3::GainSettings gainSettingsOf(const AppliedGain& gain) {
    return {gain.steps, gain.fadeInMs, gain.fadeOutMs};
}

// ", gain +3.0 dB (2 steps), may clip", ", gain +1.5 dB (1 step, lowered from
// +3.0 dB so it cannot clip), 4 granules clamped, fade-in 1.000 s"; empty when
// the frames were left as they were.
std::string describeAppliedGain(const AppliedGain& gain);

}  // namespace snipwell
