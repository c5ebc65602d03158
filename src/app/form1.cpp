#include "app/form1.h"

#include <utility>

#include "common/checked_math.h"
#include "common/runtime_error.h"

namespace snipwell {

Form1::Form1(WindowServices& services, MciSendString mediaService, Files& files)
    : services_(services),
      mediaService_(std::move(mediaService)),
      files_(files),
      H(services.H()),
      pb(services.pb()),
      Cdlg(services.Cdlg()),
      T(services.T()),
      Label1(services.Label1()),
      Label3(services.Label3()),
      Label4(services.Label4()),
      Label7(services.Label7()),
      Label9(services.Label9()),
      Line1(services.Line1()),
      Line2(services.Line2()),
      Command1(services.command(1)),
      Command2(services.command(2)),
      Command3(services.command(3)),
      Command4(services.command(4)),
      Command5(services.command(5)),
      Command6(services.command(6)),
      Command7(services.command(7)),
      Command8(services.command(8)),
      Command9(services.command(9)),
      P(services.P()),
      WebBrowser1(services.WebBrowser1()) {}

MovieModule& Form1::playerOnDemand() {
    if (!player) player = std::make_unique<MovieModule>(mediaService_, services_, services_);
    return *player;
}

void Form1::handle(FormEvent event) {
    guard([&] { dispatch(event); });
}

void Form1::handleOpenRequest(const std::string& path) {
    guard([&] { openChosenFile(path); });
}

int Form1::playPauseButton() {
    bool playing = false;
    guard([&] { playing = playerOnDemand().isMoviePlaying(); });
    return playing ? 3 : 1;
}

template <typename Handler>
void Form1::guard(Handler&& handler) {
    if (ended_) return;
    try {
        std::forward<Handler>(handler)();
    } catch (const ProgramEnded&) {
        // The window was closed while this handler waited; it must not go on.
    } catch (const RuntimeError& error) {
        // A step that no handler traps. Rather than end the program and lose
        // the user's work, say what went wrong and keep the window running.
        reportUntrappedError(error.what());
    }
}

void Form1::reportUntrappedError(const std::string& what) {
    try {
        services_.messageBox("Unexpected error: " + what, kOkInformation, kAppTitle);
    } catch (const ProgramEnded&) {}
}

void Form1::dispatch(FormEvent event) {
    switch (event) {
        // The controls are ready once the window is made, so creation has
        // nothing left to do.
        case FormEvent::Initialize: break;
        case FormEvent::Load: load(); break;
        case FormEvent::Unload: unload(); break;
        case FormEvent::Command1Click: play(); break;
        case FormEvent::Command2Click: stop(); break;
        case FormEvent::Command3Click: pause(); break;
        case FormEvent::Command4Click: openFile(); break;
        case FormEvent::Command5Click: selectStart(); break;
        case FormEvent::Command6Click: selectEnd(); break;
        case FormEvent::Command7Click: saveClip(); break;
        case FormEvent::Command8Click: openHomePage(); break;
        case FormEvent::Command9Click: playSelected(); break;
        case FormEvent::Label1Click: openAdvert(); break;
        case FormEvent::HUserMove: sliderSeek(); break;
        case FormEvent::TTimer: positionTick(); break;
        // Timer1 keeps ticking in the window, but what a tick samples (the
        // window's position) is read by nothing, so it changes nothing.
        case FormEvent::Timer1Timer: break;
    }
}

void Form1::load() { startAdvertPanel(); }

void Form1::unload() {
    playerOnDemand().closeMovie();
    ended_ = true;
    services_.endProgram();
}

// 3975 twips of marker travel spread over the slider's range, in whole
// twips. A range of 0 (no track, or one shorter than a second) leaves the
// previous scale. The marker lines themselves are placed proportionally
// (markerX), which this whole-twip step cannot do on long tracks.
void Form1::updateMarkerStep() { markerStep = checkedDiv(3975, H.max()); }

}  // namespace snipwell
