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
    // A new preview ends any other; Stop, Open, a seek or Play end this one.
    endPreview();
    const std::uint64_t ticket = previewTicket_;
    // To the begin mark first, then play: while playing this plays on from
    // the mark; paused, stopped or at the end it moves there and rests, so
    // nothing past the old place is heard before the jump.
    playerOnDemand().setPositionTo(begin);
    if (!playerOnDemand().isMoviePlaying()) playerOnDemand().playMovie();
    T.setEnabled(true);

    // The end mark is read afresh on every pass: Select End inside the loop
    // moves the stopping point at once. Pause or Save inside it leave the
    // loop looking on; whatever then moves playback (Play, Stop, Open, a
    // seek, another Play Selected) ends the preview and is left to stand.
    for (;;) {
        if (previewTicket_ != ticket) return;
        const std::int32_t position = playerOnDemand().getPositionInMS();
        if (position >= clipEndMs) break;
        services_.waitForEvents(untilNextCheck(position, clipEndMs));
        if (previewTicket_ != ticket) return;
        Label4.setCaption(formatSeconds(H.value()));
    }
    playerOnDemand().pauseMovie();
}

}  // namespace snipwell
