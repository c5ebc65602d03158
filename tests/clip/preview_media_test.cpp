// The preview against real playback: Form1 on a headless window that runs in
// real time, the real media service, and the two-tone file playing into the
// test sound server.

#include <gtest/gtest.h>

#include <string>

#include "mci/mci_send_string.h"
#include "support/form_fixture.h"
#include "support/mp3/mp3_fixtures.h"

namespace snipwell {
namespace {

TEST(PreviewWithRealPlayback, PausesJustPastTheEndMark) {
    test::HeadlessWindow window;
    window.useRealTime();
    test::NoFiles noFiles;
    Form1 form(window, mciSendStringA, noFiles);
    window.attach(form);

    const std::string twoTone = test::Mp3Fixtures::twoTone().string();
    window.dialog.answers.push_back(test::DialogAnswer::choose(twoTone));
    window.raise(FormEvent::Command4Click);
    ASSERT_EQ(window.slider.max(), 10) << "the two-tone file plays 10 s";

    form.clipBeginMs = 4000;
    form.clipEndMs = 6000;
    window.raise(FormEvent::Command9Click);

    MovieModule& player = form.playerOnDemand();
    EXPECT_FALSE(player.isMoviePlaying());
    const std::int32_t pausedAt = player.getPositionInMS();
    EXPECT_GE(pausedAt, 6000);
    EXPECT_LE(pausedAt, 6100) << "paused well within a tenth of a second of the mark";
    EXPECT_EQ(window.label4.caption().substr(0, 8), " 0 : 0 :");
    window.raise(FormEvent::Unload);
}

}  // namespace
}  // namespace snipwell
