#pragma once
// The window with a 4,000,000-byte source open as a 250,000 ms track (16 bytes
// per ms), saving into a scratch folder through the real disk service.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/form1.h"
#include "clip/export/disk_files.h"
#include "clip/export/export_test_files.h"
#include "support/headless_window.h"
#include "support/scripted_media_service.h"
#include "support/test_files.h"

namespace snipwell::test {

class SaveClipTest : public ::testing::Test {
protected:
    static constexpr std::int32_t kTrackMs = 250'000;

    SaveClipTest() {
        window.attach(form);
        writeBytes(sourcePath, source);
        window.dialog.answers.push_back(DialogAnswer::choose(sourcePath));
        media.addTrack(sourcePath, kTrackMs);
        window.raise(FormEvent::Command4Click);
        // Only what the save does is looked at.
        window.log.clear();
        window.messages.clear();
    }

    // Marks the stretch and clicks Save with `target` chosen in the dialog.
    void saveTo(const std::string& target, std::int32_t beginMs = 10'000,
                std::int32_t endMs = 20'000) {
        form.clipBeginMs = beginMs;
        form.clipEndMs = endMs;
        window.dialog.answers.push_back(DialogAnswer::choose(target));
        window.raise(FormEvent::Command7Click);
    }

    std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const auto& message : window.messages) {
            EXPECT_EQ(message.title, "Snipwell 3.4");
            texts.push_back(message.text);
        }
        return texts;
    }

    void expectIdle() {
        for (int number = 1; number <= 9; ++number) {
            EXPECT_TRUE(window.command(number).enabled()) << "Command" << number;
        }
        EXPECT_TRUE(window.slider.enabled());
        EXPECT_EQ(window.mainWindow.caption(), "Snipwell 3.4");
        EXPECT_EQ(window.progress.value(), 0.0f);
    }

    void expectSourceUnchanged() { EXPECT_TRUE(readBytes(sourcePath) == source); }

    // The clip of the default marks: source positions 160,001 to 320,000.
    Bytes workedExampleClip() const { return expectedClip(source, 160'001, 160'000); }

    TempDir folder;
    DiskFiles disk;
    // The disk, unless a test swaps in a service that fails part-way.
    FilesInUse files{disk};
    HeadlessWindow window;
    ScriptedMediaService media{window};
    Form1 form{window, media.entry(), files};
    const Bytes source = patternBytes(4'000'000);
    const std::string sourcePath = folder.file("song.mp3").string();
};

}  // namespace snipwell::test
