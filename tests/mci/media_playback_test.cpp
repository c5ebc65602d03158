// The media service playing real files into the sound server: what the
// player relies on, with generous real-time tolerances.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "mci_session.h"
#include "pulse_server.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/temp_dir.h"

namespace snipwell::mci::test {
namespace {

using snipwell::test::Mp3Fixtures;
using snipwell::test::Mp3Kind;

class MediaPlayback : public ::testing::Test {
protected:
    void SetUp() override {
        if (!pulseServerReachable()) GTEST_SKIP() << noPulseReason;
        twoTone = Mp3Fixtures::twoTone().string();
    }
    void TearDown() override { send("close all"); }

    void openTwoTone() {
        ASSERT_EQ(send(openCommand(twoTone)).code, 0u);
        ASSERT_EQ(send("set movie time format ms").code, 0u);
    }

    std::string twoTone;
};

TEST_F(MediaPlayback, OpenKnowsTheLengthAtOnceAndDoesNotPlay) {
    openTwoTone();
    EXPECT_NEAR(static_cast<double>(lengthMs()), 10000.0, 30.0);
    EXPECT_EQ(mode(), "stopped");
    EXPECT_EQ(positionMs(), 0);
}

TEST_F(MediaPlayback, PositionAdvancesInRealTimeWhilePlayingAndHoldsWhilePaused) {
    openTwoTone();
    ASSERT_EQ(send("play movie").code, 0u);
    EXPECT_EQ(mode(), "playing");
    const long long start = positionMs();
    sleepMs(1000);
    const long long afterOneSecond = positionMs();
    EXPECT_GE(afterOneSecond - start, 800);
    EXPECT_LE(afterOneSecond - start, 1500);

    ASSERT_EQ(send("pause movie").code, 0u);
    EXPECT_EQ(mode(), "paused");
    const long long paused = positionMs();
    sleepMs(500);
    EXPECT_EQ(positionMs(), paused);

    ASSERT_EQ(send("resume movie").code, 0u);
    EXPECT_EQ(mode(), "playing");
    sleepMs(500);
    EXPECT_GE(positionMs() - paused, 300);
}

TEST_F(MediaPlayback, PlayAfterPauseContinuesWherePauseLeftIt) {
    openTwoTone();
    send("play movie");
    sleepMs(400);
    send("pause movie");
    const long long paused = positionMs();
    send("play movie");
    EXPECT_EQ(mode(), "playing");
    const long long resumed = positionMs();
    EXPECT_GE(resumed, paused);
    EXPECT_LE(resumed, paused + 200);
}

TEST_F(MediaPlayback, SeekMovesThereAndLeavesItNotPlaying) {
    openTwoTone();
    send("play movie");
    sleepMs(200);
    ASSERT_EQ(send("seek movie to 3000").code, 0u);
    EXPECT_NE(mode(), "playing");
    EXPECT_EQ(positionMs(), 3000);
    sleepMs(300);
    EXPECT_EQ(positionMs(), 3000);

    ASSERT_EQ(send("play movie").code, 0u);
    sleepMs(300);
    EXPECT_GE(positionMs(), 3150);
    EXPECT_LE(positionMs(), 3600);
}

TEST_F(MediaPlayback, PlayFromRunsOnFromThatMillisecond) {
    openTwoTone();
    ASSERT_EQ(send("play movie from 6000").code, 0u);
    EXPECT_EQ(mode(), "playing");
    const long long first = positionMs();
    EXPECT_GE(first, 6000);
    EXPECT_LE(first, 6200);
    sleepMs(500);
    EXPECT_GE(positionMs(), 6350);
    EXPECT_LE(positionMs(), 6800);
}

// The preview's rhythm: paused at the end of one stretch, then "play" and at
// once "play from" the next begin. The sound output once lost track of a
// stream resumed and halted that quickly and fell silent for good, freezing
// the position; every stretch must play through.
TEST_F(MediaPlayback, PlayThenPlayFromAtOnceNeverFreezesThePosition) {
    openTwoTone();
    ASSERT_EQ(send("play movie").code, 0u);
    sleepMs(300);
    for (int stretch = 0; stretch < 12; ++stretch) {
        const long long begin = 1000 + 300 * stretch;
        ASSERT_EQ(send("play movie").code, 0u);
        ASSERT_EQ(send("play movie from " + std::to_string(begin)).code, 0u);
        const auto started = std::chrono::steady_clock::now();
        long long position = positionMs();
        while (position < begin + 500 &&
               std::chrono::steady_clock::now() - started < std::chrono::seconds(2)) {
            sleepMs(10);
            position = positionMs();
        }
        ASSERT_GE(position, begin + 500) << "stretch " << stretch << " froze at " << position;
        ASSERT_EQ(send("pause movie").code, 0u);
    }
}

TEST_F(MediaPlayback, StopHaltsPlaybackAndKeepsThePosition) {
    openTwoTone();
    send("play movie");
    sleepMs(400);
    ASSERT_EQ(send("stop movie").code, 0u);
    EXPECT_EQ(mode(), "stopped");
    const long long stopped = positionMs();
    EXPECT_GE(stopped, 200);
    sleepMs(400);
    EXPECT_EQ(positionMs(), stopped);
}

TEST_F(MediaPlayback, StopsAtTheEndWithThePositionAtTheLength) {
    openTwoTone();
    const long long length = lengthMs();
    ASSERT_EQ(send("play movie from " + std::to_string(length - 300)).code, 0u);
    sleepMs(1200);
    EXPECT_EQ(mode(), "stopped");
    EXPECT_EQ(positionMs(), length);

    // Play at the end plays nothing.
    EXPECT_EQ(send("play movie").code, 0u);
    EXPECT_EQ(mode(), "stopped");
    EXPECT_EQ(positionMs(), length);

    // A seek back makes it playable again.
    send("seek movie to 0");
    send("play movie");
    EXPECT_EQ(mode(), "playing");
}

TEST_F(MediaPlayback, SeekToTheLengthIsTheEnd) {
    openTwoTone();
    const long long length = lengthMs();
    ASSERT_EQ(send("seek movie to " + std::to_string(length)).code, 0u);
    EXPECT_EQ(positionMs(), length);
    send("play movie");
    EXPECT_EQ(mode(), "stopped");
}

TEST_F(MediaPlayback, CloseAllClosesEveryDevice) {
    openTwoTone();
    ASSERT_EQ(send(openCommand(twoTone, "other")).code, 0u);
    send("play movie");
    send("play other");
    ASSERT_EQ(send("close all").code, 0u);
    EXPECT_NE(send("status movie mode").code, 0u);
    EXPECT_NE(send("status other mode").code, 0u);
    EXPECT_NE(send("close movie").code, 0u);
    openTwoTone();
}

TEST_F(MediaPlayback, EveryBadInputFailsToOpenAndTheServiceStaysUsable) {
    const snipwell::test::TempDir dir;
    const std::string badPaths[] = {
        dir.file("missing.mp3").string(),    dir.path().string(),
        Mp3Fixtures::emptyFile().string(),   Mp3Fixtures::textNamedMp3().string(),
        Mp3Fixtures::randomBytes().string(), "",
    };
    for (const auto& path : badPaths) {
        EXPECT_NE(send(openCommand(path)).code, 0u) << path;
        EXPECT_NE(send("status movie mode").code, 0u) << path;
        openTwoTone();
        EXPECT_NEAR(static_cast<double>(lengthMs()), 10000.0, 30.0);
        send("close movie");
    }
}

TEST_F(MediaPlayback, TruncatedFilePlaysWhatItHoldsToItsEnd) {
    const auto truncated = Mp3Fixtures::file(Mp3Kind::truncated);
    ASSERT_EQ(send(openCommand(truncated.string())).code, 0u);
    const long long length = lengthMs();
    EXPECT_NEAR(static_cast<double>(length), snipwell::test::decodedMilliseconds(truncated), 30.0);
    ASSERT_EQ(send("play movie from " + std::to_string(length - 300)).code, 0u);
    sleepMs(1200);
    EXPECT_EQ(mode(), "stopped");
    EXPECT_EQ(positionMs(), length);
}

TEST_F(MediaPlayback, PathsWithQuotesAndBlanksOpenTheFileTheyName) {
    const snipwell::test::TempDir dir;
    const auto odd = dir.file("say \"hi\" alias evil type mpegvideo.mp3");
    std::filesystem::copy_file(twoTone, odd);

    ASSERT_EQ(send(openCommand(odd.string())).code, 0u);
    EXPECT_NEAR(static_cast<double>(lengthMs()), 10000.0, 30.0);
    EXPECT_NE(send("status evil mode").code, 0u);
}

TEST_F(MediaPlayback, OpenReportsTheTrueLengthForEveryKind) {
    for (const Mp3Kind kind : Mp3Fixtures::allKinds()) {
        const auto path = Mp3Fixtures::file(kind);
        ASSERT_EQ(send(openCommand(path.string())).code, 0u) << Mp3Fixtures::name(kind);
        EXPECT_NEAR(static_cast<double>(lengthMs()), snipwell::test::decodedMilliseconds(path),
                    30.0)
            << Mp3Fixtures::name(kind);
        send("close movie");
    }
}

TEST_F(MediaPlayback, QueryWithoutRoomForTheReplyFailsAndWritesNothing) {
    openTwoTone();
    char area[4] = {'#', '#', '#', '#'};
    EXPECT_NE(mciSendStringA("status movie length", area, 0, 0), 0u);
    EXPECT_EQ(area[0], '#');
    EXPECT_NE(mciSendStringA("status movie length", area, 4, 0), 0u);  // "10000" needs 6
    EXPECT_EQ(area[0], '\0');
    EXPECT_EQ(area[1], '#');
}

}  // namespace
}  // namespace snipwell::mci::test
