// The samples a trimmed single clip keeps: found in levels that count from
// the clip's first sample, given back as samples of the source, never
// beyond the marks; a clip of silence throughout keeps its marks.

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "cut/clip_trim.h"

namespace snipwell::test {
namespace {

// A 4 s clip from 2 s of the source at 44.1 kHz: silence (-70 dBFS) with
// sound from 1 s to 3 s of the clip, in windows of 10 ms.
ClipLevels clipFromTwoSeconds(bool sound) {
    ClipLevels clip{44'100, {88'200, 264'600}, {441, 176'400, std::vector<float>(400)}};
    std::fill(clip.levels.rms.begin(), clip.levels.rms.end(),
              static_cast<float>(level::rmsOf(-70)));
    if (sound) std::fill(clip.levels.rms.begin() + 100, clip.levels.rms.begin() + 300, 0.1F);
    return clip;
}

TEST(ClipTrim, KeepsTheSoundOfTheClipAsSamplesOfTheSource) {
    const struct {
        const char* what;
        bool sound;
        std::optional<std::int64_t> keepAtStartMs;
        std::optional<std::int64_t> keepAtEndMs;
        level::SampleRange kept;
        bool silentThroughout;
    } cases[] = {
        {"0.2 s kept at either end", true, 200, 200, {123'480, 229'320}, false},
        {"the start alone", true, 200, {}, {123'480, 264'600}, false},
        {"nothing kept at the end", true, {}, 0, {88'200, 220'500}, false},
        {"more kept than the clip holds", true, 2'000, 2'000, {88'200, 264'600}, false},
        {"silence throughout", false, 200, 200, {88'200, 264'600}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TrimChoice choice{-48, c.keepAtStartMs, c.keepAtEndMs};
        const KeptClip kept = keptSamplesOf(clipFromTwoSeconds(c.sound), choice);
        EXPECT_EQ(std::pair(kept.samples.begin, kept.samples.end),
                  std::pair(c.kept.begin, c.kept.end));
        EXPECT_EQ(kept.silentThroughout, c.silentThroughout);
    }
}

}  // namespace
}  // namespace snipwell::test
