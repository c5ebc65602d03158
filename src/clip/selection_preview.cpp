// Play Selected: plays from the begin mark and pauses when playback reaches
// the end mark, while the window stays responsive.

#include <algorithm>
#include <chrono>

#include "app/form1.h"
#include "playback/format_seconds.h"

namespace snipwell {
namespace {

// Between two looks at the position the loop sleeps until a window event
// arrives, but never longer than this, nor past the time the end mark is
// due: the pause lands within a few milliseconds of the mark without the
// loop spinning a core.
constexpr std::int32_t kLongestCheckIntervalMs = 10;

std::chrono::milliseconds untilNextCheck(std::int32_t positionMs, std::int32_t endMs) {
    const std::int64_t left = static_cast<std::int64_t>(endMs) - positionMs;
    return std::chrono::milliseconds(std::clamp<std::int64_t>(left, 1, kLongestCheckIntervalMs));
}

}  // namespace

void Form1::playSelected() {
    const std::int32_t begin = clipBeginMs;
    if (!(begin < clipEndMs)) {
        services_.messageBox("Invalid Selection", kOkInformation, kAppTitle);
        return;
    }
    playerOnDemand().playMovie();
    // When playback runs, this plays on from the begin mark.
    playerOnDemand().setPositionTo(begin);
    // A track that has played to its end ignores "play", so the device is
    // only moved to the begin mark and rests there; start it from there.
    if (!playerOnDemand().isMoviePlaying()) playerOnDemand().playMovie();
    T.setEnabled(true);

    // The end mark is read afresh on every pass: Select End inside the loop
    // moves the stopping point at once. Pause, Stop or Save inside it leave
    // the loop waiting until playback, restarted, reaches the mark. Opening
    // another file ends the preview; the new track plays on untouched.
    const std::uint64_t track = openedTracks_;
    for (;;) {
        if (openedTracks_ != track) return;
        const std::int32_t position = playerOnDemand().getPositionInMS();
        if (position >= clipEndMs) break;
        services_.waitForEvents(untilNextCheck(position, clipEndMs));
        if (openedTracks_ != track) return;
        Label4.setCaption(formatSeconds(H.value()));
    }
    playerOnDemand().pauseMovie();
}

}  // namespace snipwell
