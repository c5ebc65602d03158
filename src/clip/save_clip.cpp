// The Save button: writes the marked stretch of the open MP3 into a new file.
//
// The window is busy from the first dialog to the last message. Every way out
// returns it to idle. A clip is either complete under its name, or nothing was
// written: the copy goes to a temporary file that replaces the target only once
// complete, and a failure says why the clip was not saved.

#include <string>
#include <variant>

#include "app/form1.h"
#include "clip/commit_beside_events.h"
#include "clip/exact/exact_cut.h"
#include "clip/exact_refusal_message.h"
#include "clip/export/clip_export.h"
#include "clip/export/export_refusal.h"
#include "clip/run_beside_events.h"
#include "common/failure_modes.h"
#include "common/runtime_error.h"

namespace snipwell {
namespace {

// Two types: the frames of the source that hold the marks, copied as they
// are, or a clip exact to the sample.
constexpr const char* kSaveFilter =
    "Mp3 Files(*.Mp3)|*.mp3|Mp3 Files, exact to the sample (*.mp3)|*.mp3";
constexpr std::int16_t kExactSaveType = 2;
// The exact cut reports its share done; the bar shows it in these steps.
constexpr float kExactProgressSteps = 1000;
constexpr std::int16_t kSaveDialogFlags = 1;

// The buttons a save keeps from running, in the order they are switched;
// Home Page (8) stays usable.
constexpr int kLockedButtons[] = {1, 2, 3, 4, 5, 6, 7, 9};

void setLockedControlsEnabled(WindowServices& services, bool enabled) {
    for (const int number : kLockedButtons) services.command(number).setEnabled(enabled);
    services.H().setEnabled(enabled);
}

}  // namespace

void Form1::saveClip() {
    // A begin mark of 0 stays 0: the clip then starts with the first audio
    // frame (or the first sample), on this save and on the next.
    if (!isSavableSelection(clipBeginMs, clipEndMs)) {
        services_.messageBox("Invalid Selection", kOkInformation, kAppTitle);
        return;
    }
    showSaveBusy();

    // Back to idle without a clip; the next save dialog starts empty.
    const auto restore = [&](const std::string& message) {
        showSaveIdle(message);
        Cdlg.setFileName("");
    };
    bool targetAccepted = false;
    // A cancelled or failing dialog: nothing said, nothing written.
    if (!restoreOnFailure([&] { targetAccepted = askForSaveTarget(); },
                          [&](const RuntimeError&) { restore(""); })) {
        return;
    }
    if (!targetAccepted) {
        restore("");
        return;
    }
    // The temporary clip is gone by then and any existing target is as it
    // was. A source cut short during the copy lands here too, with "the
    // source file changed during the copy".
    if (!restoreOnFailure([&] { writeClipTo(Cdlg.fileName()); },
                          [&](const RuntimeError& error) {
                              restore(std::string("The clip was not saved: ") + error.what());
                          })) {
        return;
    }
    // The dialog keeps the name, so the next save offers it again.
    showSaveIdle("Clip Saved     ");
}

// The buttons and the slider are locked, playback stops, the caption says so.
void Form1::showSaveBusy() {
    setLockedControlsEnabled(services_, false);
    playerOnDemand().stopMovie();
    H.setValue(0);
    services_.window().setCaption("Saving");
}

// The dialog half: whether the person still wants the clip written under the
// name chosen in the save dialog. Throws when the dialog is cancelled or fails.
bool Form1::askForSaveTarget() {
    Cdlg.setFilter(kSaveFilter);
    Cdlg.setFlags(kSaveDialogFlags);
    Cdlg.setDialogTitle("Open");
    Cdlg.setFilterIndex(saveFileType_);
    Cdlg.showSave();
    saveFileType_ = Cdlg.filterIndex();

    const std::string target = Cdlg.fileName();
    if (isSourceItself(files_, target, sourceFile)) {
        services_.messageBox("Cannot overwrite file in use...", kOkInformation, kAppTitle);
        return false;
    }
    // Presence, not readability: a file we may not read is still asked about.
    if (files_.exists(target)) {
        return services_.messageBox("File already exist.Overwrite?", kYesNoInformation,
                                    kAppTitle) == kAnswerYes;
    }
    return true;
}

// The copy, with the progress bar and the window's events after each chunk,
// then the clip put in place. The final sync, the rename and the folder's
// sync can take seconds on a slow stick, so they run beside the event loop;
// a close meanwhile waits for them, and leaves the old target or the whole
// new clip.
void Form1::writeClipTo(const std::string& target) {
    if (saveFileType_ == kExactSaveType) {
        writeExactClipTo(target);
        return;
    }
    // The export's refusals end the save as the window's own failures do,
    // with their reason in the message.
    try {
        writeFramesTo(target);
    } catch (const ExportRefusal& refusal) {
        throw RuntimeError(ErrorKind::FileError, describeExportRefusal(refusal));
    }
}

// The source's frames that hold the marks, copied as they are.
void Form1::writeFramesTo(const std::string& target) {
    ClipExport clip(files_, sourceFile, target);
    const ClipRange range = clip.measure(playerOnDemand().getLengthInMS(), clipBeginMs, clipEndMs);
    pb.setMax(static_cast<float>(range.progressMax));
    pb.setValue(0);
    clip.copy(range, [&] {
        pb.setValue(pb.value() + static_cast<float>(kChunkStep));
        services_.pumpEvents();
    });
    runBesideEvents(services_, [&clip] { clip.commit(); });
}

// The clip exact to the sample, as snipwell-cut --exact writes it, with the
// progress bar and the window's events as the cut goes, and its final sync
// and rename beside the event loop. A refusal says why, and whether the
// frame type would do.
void Form1::writeExactClipTo(const std::string& target) {
    CommitBesideEventsFiles files(files_, services_);
    pb.setMax(kExactProgressSteps);
    pb.setValue(0);
    const auto cut = [&](std::int64_t endMs) {
        return exact::cutExactClip({sourceFile, clipBeginMs, endMs, target}, files,
                                   [&](double done) {
                                       pb.setValue(static_cast<float>(done) * kExactProgressSteps);
                                       services_.pumpEvents();
                                   });
    };
    auto result = cut(clipEndMs);
    // An end marked as playback ended may lie a few milliseconds past the
    // last sample the frames hold: the clip then runs to the track's end.
    if (const auto* refusal = std::get_if<exact::ExactCutRefusal>(&result);
        refusal != nullptr && refusal->kind == exact::ExactRefusalKind::endPastTrack &&
        refusal->trackMs > clipBeginMs) {
        result = cut(refusal->trackMs);
    }
    if (const auto* refusal = std::get_if<exact::ExactCutRefusal>(&result)) {
        throw RuntimeError(ErrorKind::FileError, exactRefusalMessage(*refusal));
    }
}

// Every way out of a save ends here: the caption, what the person is told
// (nothing after a cancel), then the progress bar and the controls.
void Form1::showSaveIdle(const std::string& message) {
    services_.window().setCaption(kAppTitle);
    if (!message.empty()) services_.messageBox(message, kOkInformation, kAppTitle);
    pb.setValue(0);
    setLockedControlsEnabled(services_, true);
}

}  // namespace snipwell
