// The Save button: writes the marked stretch of the open MP3 into a new file.
//
// The window is busy from the first dialog to the last message. Every way out
// returns it to idle. A clip is either complete under its name, or nothing was
// written: the copy goes to a temporary file that replaces the target only once
// complete, and a failure says why the clip was not saved.

#include <optional>
#include <string>

#include "app/form1.h"
#include "clip/export/clip_export.h"
#include "common/runtime_error.h"

namespace snipwell {
namespace {

constexpr const char* kSaveFilter = "Mp3 Files(*.Mp3)|*.mp3";
constexpr std::int16_t kSaveDialogFlags = 1;

// The buttons a save keeps from running, in the order they are switched;
// Home Page (8) stays usable.
constexpr int kLockedButtons[] = {1, 2, 3, 4, 5, 6, 7, 9};

void setLockedControlsEnabled(WindowServices& services, bool enabled) {
    for (const int number : kLockedButtons) services.command(number).setEnabled(enabled);
    services.H().setEnabled(enabled);
}

void showIdle(WindowServices& services) {
    services.pb().setValue(0);
    setLockedControlsEnabled(services, true);
}

}  // namespace

void Form1::saveClip() {
    // A begin mark of 0 stays 0: the clip then starts at the file's first
    // byte, on this save and on the next.
    if (!isSavableSelection(clipBeginMs, clipEndMs)) {
        services_.messageBox("Invalid Selection", kOkInformation, kAppTitle);
        return;
    }

    setLockedControlsEnabled(services_, false);
    playerOnDemand().stopMovie();
    H.setValue(0);
    services_.window().setCaption("Saving");

    Files& files = services_.files();
    // Whether the person still wants the clip written under the dialog's name.
    const auto askForTarget = [&] {
        Cdlg.setFilter(kSaveFilter);
        Cdlg.setFlags(kSaveDialogFlags);
        Cdlg.setDialogTitle("Open");
        Cdlg.showSave();

        const std::string target = Cdlg.fileName();
        if (isSourceItself(files, target, sourceFile)) {
            services_.messageBox("Cannot overwrite file in use...", kOkInformation, kAppTitle);
            return false;
        }
        // Presence, not readability: a file we may not read is still asked about.
        if (files.exists(target)) {
            return services_.messageBox("File already exist.Overwrite?", kYesNoInformation,
                                        kAppTitle) == kAnswerYes;
        }
        return true;
    };
    bool targetAccepted = false;
    try {
        targetAccepted = askForTarget();
    } catch (const RuntimeError&) {
        // A cancelled or failing dialog: back to idle, nothing said, nothing written.
    }

    std::optional<std::string> notSavedBecause;
    if (targetAccepted) {
        try {
            ClipExport clip(files, sourceFile, Cdlg.fileName());
            const ClipRange range =
                clip.measure(playerOnDemand().getLengthInMS(), clipBeginMs, clipEndMs);
            pb.setMax(static_cast<float>(range.progressMax));
            pb.setValue(0);
            clip.copy(range, [&] {
                pb.setValue(pb.value() + static_cast<float>(kChunkStep));
                services_.pumpEvents();
            });
            clip.commit();
        } catch (const RuntimeError& error) {
            // The temporary clip is gone by now; any existing target is as it
            // was. A source cut short during the copy lands here too, with
            // "the source file changed during the copy".
            notSavedBecause = error.what();
        }
        if (!notSavedBecause) {
            services_.window().setCaption(kAppTitle);
            services_.messageBox("Clip Saved     ", kOkInformation, kAppTitle);
            showIdle(services_);
            // The dialog keeps the name, so the next save offers it again.
            return;
        }
    }

    // Back to idle without a clip: cancelled, refused, or failed.
    if (notSavedBecause) {
        services_.messageBox("The clip was not saved: " + *notSavedBecause, kOkInformation,
                             kAppTitle);
    }
    services_.window().setCaption(kAppTitle);
    showIdle(services_);
    Cdlg.setFileName("");
}

}  // namespace snipwell
