#pragma once
// The command line of snipwell-cut: SOURCE BEGIN_MS END_MS TARGET [--force] [--exact].

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace snipwell {

struct CutArguments {
    std::string source;
    std::int32_t beginMs = 0;
    std::int32_t endMs = 0;
    std::string target;
    // Replace an existing target without asking.
    bool force = false;
    // Cut exact to the sample from whole frames, instead of the byte range.
    bool exact = false;
};

inline constexpr const char* kCutUsage =
    "usage: snipwell-cut [--force] [--exact] SOURCE BEGIN_MS END_MS TARGET";

// What the options do, for the full help text.
inline constexpr const char* kCutOptionsHelp =
    "  --force  replace TARGET without asking\n"
    "  --exact  a clip exact to the sample: it plays exactly the source's samples\n"
    "           from BEGIN to END, gaplessly, with no re-encoding (whole frames are\n"
    "           copied and an info frame tells the player what to trim). Refused for\n"
    "           free-format streams, Layer I/II and streams whose sample rate changes.\n"
    "           Players that ignore the info frame play a little more at both ends;\n"
    "           GStreamer and ffmpeg trim a clip whose range lies within one frame\n"
    "           (26 ms at 44.1 kHz) wrongly.";

// nullopt when the words do not form a command (wrong count, a mark that is
// not a whole number of milliseconds within 32 bits, an unknown option).
std::optional<CutArguments> parseCutArguments(const std::vector<std::string>& words);

}  // namespace snipwell
