// Select Start and Select End: the player's position becomes a mark, its time
// and the selection's length are shown, and a marker line moves over the
// slider.

#include "app/form1.h"
#include "clip/marker_position.h"
#include "common/checked_math.h"
#include "playback/format_seconds.h"

namespace snipwell {
namespace {

constexpr std::int32_t kBeginLineOffset = 240;
constexpr std::int32_t kEndLineOffset = 400;

}  // namespace

// The line follows the slider (the last whole second shown), while the mark
// is the player's position at the click; the two need not agree. It stands
// at the thumb's share of 3975 twips of travel, rounded to the nearest twip
// (ties to even), after its offset: on a track of any length the begin line
// reaches 240 + 3975 at the end. A slider without a range keeps the line at
// its offset.
float Form1::markerX(std::int32_t offset) const {
    return static_cast<float>(checkedAdd(proportionalMarkerTwips(H.value(), H.max()), offset));
}

// Whole seconds of each mark, then their difference: 1.999 s to 2.001 s
// shows one second. Seconds are passed on in full, so marks past nine hours
// still show.
void Form1::showSelectionLength() {
    if (clipBeginMs < clipEndMs) {
        Label3.setCaption(formatSeconds(checkedSub(clipEndMs / 1000, clipBeginMs / 1000)));
    } else {
        Label3.setCaption("0");
    }
}

void Form1::selectStart() {
    Line1.setX1(markerX(kBeginLineOffset));
    Line1.setX2(markerX(kBeginLineOffset));
    clipBeginMs = playerOnDemand().getPositionInMS();
    Label7.setCaption(formatSeconds(clipBeginMs / 1000));
    showSelectionLength();
}

void Form1::selectEnd() {
    Line2.setX1(markerX(kEndLineOffset));
    Line2.setX2(markerX(kEndLineOffset));
    clipEndMs = playerOnDemand().getPositionInMS();
    Label9.setCaption(formatSeconds(clipEndMs / 1000));
    showSelectionLength();
}

}  // namespace snipwell
