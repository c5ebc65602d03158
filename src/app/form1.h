#pragma once
// The main window's state and handlers. Handlers are plain C++: they see the
// window only through WindowServices and the media only through the player,
// so the same code runs in the Qt window and headless in tests.
//
// The handlers are defined next to their subsystem: transport in playback/,
// marks, preview and Save in clip/, the web links in promo/. Each of those
// folders is an object library linked into snipwell_form (src/app).

#include <cstdint>
#include <memory>
#include <string>

#include "app/form_event.h"
#include "app/window_services.h"
#include "player/media_service.h"
#include "player/movie_module.h"

namespace snipwell {

inline constexpr const char* kAppTitle = "Snipwell 3.4";

class Form1 {
public:
    Form1(WindowServices& services, MciSendString mediaService);

    // Entry point for every window event. Ignores events once the program has
    // ended; a handler unwound by the closing of the window stops here.
    void handle(FormEvent event);

    bool ended() const { return ended_; }

    // Shared state, read and written by the handlers of all subsystems.
    std::unique_ptr<MovieModule> player;
    std::int32_t clipBeginMs = 0;
    std::int32_t clipEndMs = 0;
    std::string sourceFile;
    std::int32_t markerStep = 0;

    // Creates the player on its first use; every single use goes through here.
    MovieModule& playerOnDemand();

    // Lifecycle.
    void load();
    void unload();

    // Transport.
    void openFile();
    void play();
    void pause();
    void stop();
    void positionTick();
    void sliderSeek();

    // Clip.
    void selectStart();
    void selectEnd();
    void playSelected();
    void saveClip();

    // Links.
    void startAdvertPanel();
    void openHomePage();
    void openAdvert();

private:
    void dispatch(FormEvent event);
    void startPlayback();
    void reportUntrappedError(const std::string& what);
    void updateMarkerStep();
    float markerX(std::int32_t offset) const;
    void showSelectionLength();

    WindowServices& services_;
    MciSendString mediaService_;
    bool ended_ = false;
    // Counts the times Open closed the media to load another file, so a
    // preview loop can tell that its track has been replaced.
    std::uint64_t openedTracks_ = 0;

private:
    // The controls, by the names the window gives them.
    Slider& H;
    ProgressBar& pb;
    FileDialog& Cdlg;
    Timer& T;
    Label& Label1;
    Label& Label3;
    Label& Label4;
    Label& Label7;
    Label& Label9;
    Line& Line1;
    Line& Line2;
    PictureButton& Command1;
    PictureButton& Command2;
    PictureButton& Command3;
    PictureButton& Command4;
    PictureButton& Command5;
    PictureButton& Command6;
    PictureButton& Command7;
    PictureButton& Command8;
    PictureButton& Command9;
    Frame& P;
    WebBrowser& WebBrowser1;
};

}  // namespace snipwell
