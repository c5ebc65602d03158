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
#include "common/files.h"
#include "player/media_service.h"
#include "player/movie_module.h"

namespace snipwell {

inline constexpr const char* kAppTitle = "Snipwell 3.4";

class Form1 {
public:
    // `files` is what Save reads and writes through; the program's main()
    // hands in the disk, tests a scripted service
    Form1(WindowServices& services, MciSendString mediaService, Files& files);

    // Entry point for every window event. Ignores events once the program has
    // ended; a handler unwound by the closing of the window stops here
    void handle(FormEvent event);

    // Opens `path` as Open does once its dialog has chosen it: a file named
    // on the command line or dropped on the window. Guarded like handle()
    void handleOpenRequest(const std::string& path);

    // The button that Space presses: Pause (3) while the track plays, else
    // Play (1). Asks the media service; a failing query counts as not playing
    int playPauseButton();

    bool ended() const { return ended_; }

    // Shared state, read and written by the handlers of all subsystems
    std::unique_ptr<MovieModule> player;
    std::int32_t clipBeginMs = 0;
    std::int32_t clipEndMs = 0;
    std::string sourceFile;
    std::int32_t markerStep = 0;

    // Creates the player on its first use; every single use goes through here
    MovieModule& playerOnDemand();

    // Lifecycle
    void load();
    void unload();

    // Transport
    void openFile();
    void openChosenFile(const std::string& path);
    void play();
    void pause();
    void stop();
    void positionTick();
    void sliderSeek();

    // Clip
    void selectStart();
    void selectEnd();
    void playSelected();
    void saveClip();

    // Links
    void startAdvertPanel();
    void openHomePage();
    void openAdvert();

private:
    template <typename Handler>
    void guard(Handler&& handler);
    void dispatch(FormEvent event);
    void startPlayback();
    void endPreview();
    void restAfterRefusedFile(const std::string& path, std::int32_t refusal);
    void reportUntrappedError(const std::string& what);
    void updateMarkerStep();
    float markerX(std::int32_t offset) const;
    void showSelectionLength();

    // The Save handler's named steps (clip/save_clip.cpp)
    void showSaveBusy();
    bool askForSaveTarget();
    void writeClipTo(const std::string& target);
    void writeFramesTo(const std::string& target);
    void writeExactClipTo(const std::string& target);
    void showSaveIdle(const std::string& message);

    WindowServices& services_;
    MciSendString mediaService_;
    Files& files_;
    bool ended_ = false;
    // Taken anew by Stop, Open, a seek, Play and Play Selected: a preview
    // loop that finds it changed has been interrupted and ends
    std::uint64_t previewTicket_ = 0;
    // The file type last chosen in the Save dialog (1 the source's frames, 2
    // exact to the sample), offered again for the rest of the run even when
    // the Open dialog, which has one type, was shown in between
    std::int16_t saveFileType_ = 1;

private:
    // The controls, by the names the window gives them.
    Slider& H;                // the position slider, in whole seconds of the track
    ProgressBar& pb;          // the progress bar of a save
    FileDialog& Cdlg;         // the open and save file dialog
    Timer& T;                 // the position timer, once a second while playing
    Label& Label1;            // the advert link, laid out below the visible area
    Label& Label3;            // the length of the selection
    Label& Label4;            // the current time
    Label& Label7;            // the begin mark's time
    Label& Label9;            // the end mark's time
    Line& Line1;              // the begin marker over the slider
    Line& Line2;              // the end marker over the slider
    PictureButton& Command1;  // the Play button
    PictureButton& Command2;  // the Stop button
    PictureButton& Command3;  // the Pause button
    PictureButton& Command4;  // the Open button
    PictureButton& Command5;  // the Select Start button
    PictureButton& Command6;  // the Select End button
    PictureButton& Command7;  // the Save button
    PictureButton& Command8;  // the Home Page button
    PictureButton& Command9;  // the Play Selected button
    Frame& P;                 // the hidden frame that parents the media service's video window
    WebBrowser& WebBrowser1;  // the web panel at the bottom of the window
};

}  // namespace snipwell
