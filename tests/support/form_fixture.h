#pragma once
// A Form1 on the headless window with the scripted media service: the usual
// starting point of a handler test.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/form1.h"
#include "support/headless_window.h"
#include "support/scripted_media_service.h"
#include "support/test_files.h"

namespace snipwell::test {

struct FormHarness {
    FormHarness() { window.attach(form); }
    FormHarness(const FormHarness&) = delete;
    FormHarness& operator=(const FormHarness&) = delete;

    // Opens a track through the Open button and its dialog, as a user would.
    void openTrack(const std::string& path, std::int32_t lengthMs) {
        media.addTrack(path, lengthMs);
        window.dialog.answers.push_back(DialogAnswer::choose(path));
        window.raise(FormEvent::Command4Click);
    }

    // Forgets what was recorded so far, so a test sees only what follows.
    void clearRecords() {
        media.commands.clear();
        window.log.clear();
        window.messages.clear();
    }

    // The log entries that start with one of the given prefixes, in order.
    std::vector<std::string> logOf(std::initializer_list<std::string> prefixes) const {
        std::vector<std::string> out;
        for (const auto& entry : window.log) {
            if (std::any_of(prefixes.begin(), prefixes.end(),
                            [&](const std::string& p) { return entry.rfind(p, 0) == 0; })) {
                out.push_back(entry);
            }
        }
        return out;
    }

    HeadlessWindow window;
    ScriptedMediaService media{window};
    // Handler tests that save use their own fixture; here every file use fails.
    NoFiles noFiles;
    Form1 form{window, media.entry(), noFiles};
};

class FormFixture : public ::testing::Test, public FormHarness {};

}  // namespace snipwell::test
