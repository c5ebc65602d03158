// Opening a file and moving playback: Open, Play, Pause, Stop, the position
// tick and the slider's seek.

#include <string>

#include "app/form1.h"
#include "common/checked_math.h"
#include "common/failure_modes.h"
#include "playback/format_seconds.h"
#include "player/media_refusal.h"

namespace snipwell {
namespace {

constexpr const char* kOpenFilter = "Mp3 Files (*.Mp3)|*.mp3";
constexpr float kLine1Home = 240;
constexpr float kLine2Home = 4200;

// The file's own name, without its folder, for a message about it.
std::string nameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void Form1::openFile() {
    playerOnDemand().pauseMovie();
    T.setEnabled(false);
    Cdlg.setFilter(kOpenFilter);

    // A cancelled dialog ends here and leaves the old track loaded and paused.
    if (!endOnFailure([&] { Cdlg.showOpen(); })) return;
    openChosenFile(Cdlg.fileName());
}

// The second half of Open, also taken by a file named on the command line or
// dropped on the window: the old media closed, the marks reset, the new file
// opened and played. A failure up to the new file being opened ends here.
void Form1::openChosenFile(const std::string& path) {
    // The track a running preview plays is about to go; the preview ends.
    endPreview();
    std::int32_t refusal = 0;
    const bool opened = endOnFailure([&] {
        H.setValue(0);
        playerOnDemand().closeMovie();
        Label7.setCaption("0");
        Label9.setCaption("0");
        Label3.setCaption("0");
        clipBeginMs = 0;
        clipEndMs = 0;
        playerOnDemand().Filename = path;
        playerOnDemand().openMovieWindow(P.nativeHandle(), "child");
        refusal = playerOnDemand().Error;
        sourceFile = refusal == 0 ? path : std::string();
        Cdlg.setFileName("");
    });
    if (!opened) return;
    if (refusal != 0) {
        restAfterRefusedFile(path, refusal);
        return;
    }

    startPlayback();
    // The marker lines go home only after the wait: a mark set inside it
    // keeps its value but loses its line.
    resumeNext([&] { Line1.setX1(kLine1Home); });
    resumeNext([&] { Line1.setX2(kLine1Home); });
    resumeNext([&] { Line2.setX1(kLine2Home); });
    resumeNext([&] { Line2.setX2(kLine2Home); });
}

// Nothing is open now, so nothing plays and nothing is polled: the window
// stands as before the first Open, and says once why the file was refused.
void Form1::restAfterRefusedFile(const std::string& path, std::int32_t refusal) {
    T.setEnabled(false);
    H.setMax(0);
    Label4.setCaption("0");
    services_.messageBox(nameOf(path) + " cannot be played: " + whyMediaRefused(refusal) + ".",
                         kOkInformation, kAppTitle);
}

void Form1::play() {
    endPreview();
    startPlayback();
}

void Form1::endPreview() { ++previewTicket_; }

// Play, and the second half of Open: each step is skipped on failure and the
// next one still runs.
void Form1::startPlayback() {
    resumeNext([&] { playerOnDemand().playMovie(); });
    resumeNext([&] { T.setEnabled(true); });
    resumeNext([&] { H.setMax(playerOnDemand().getLengthInSec()); });
    resumeNext([&] { updateMarkerStep(); });
    resumeNext([&] { playerOnDemand().timeOut(0.5); });
}

void Form1::pause() {
    playerOnDemand().pauseMovie();
    T.setEnabled(false);
    playerOnDemand().timeOut(1);
}

// The return to the start comes before the wait, so a Play pressed inside
// it starts from there rather than playing the old place first.
void Form1::stop() {
    endPreview();
    playerOnDemand().stopMovie();
    T.setEnabled(false);
    H.setValue(0);
    playerOnDemand().setPositionTo(H.value());
    Label4.setCaption("0");
    playerOnDemand().timeOut(1);
}

void Form1::positionTick() {
    resumeNext([&] { H.setValue(playerOnDemand().getPositionInSec()); });
    // Shows what the slider holds, so a failed query still shows its last place.
    resumeNext([&] { Label4.setCaption(formatSeconds(H.value())); });
}

void Form1::sliderSeek() {
    endPreview();
    playerOnDemand().setPositionTo(checkedMul(H.value(), 1000));
}

}  // namespace snipwell
