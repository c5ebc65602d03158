// The media engine failing for real: killed or frozen in the middle of
// playback, and fed damaged files. What we own is asserted: the caller
// lives, gets an answer within the time limit, and the next good file plays.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>

#include "common/event_pump.h"
#include "mci/engine_time_limits.h"
#include "mci/mci_error.h"
#include "mci/media_engine_control.h"
#include "mci_session.h"
#include "player/movie_module.h"
#include "support/mp3/damaged_mp3.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/temp_dir.h"

namespace snipwell::mci::test {
namespace {

using Clock = std::chrono::steady_clock;
using snipwell::test::Mp3Fixtures;

// Answers are checked against the limit with room for a machine under load;
// what this catches is a caller left waiting for good.
constexpr auto answerSlack = std::chrono::seconds(10);

constexpr std::uint32_t code(MciError error) { return toCode(error); }

bool processGone(int pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

// The two-tone file opened and playing, its position seen moving.
void expectGoodFilePlays() {
    ASSERT_EQ(send(openCommand(Mp3Fixtures::twoTone().string())).code, 0u);
    ASSERT_EQ(send("play movie").code, 0u);
    EXPECT_EQ(mode(), "playing");
    const long long start = positionMs();
    sleepMs(600);
    EXPECT_GT(positionMs(), start) << "the position does not move";
    EXPECT_EQ(send("close all").code, 0u);
}

class EngineFailure : public ::testing::Test {
protected:
    void TearDown() override { send("close all"); }
};

TEST_F(EngineFailure, KilledDuringPlaybackFailsTheNextCommandDropsTheAliasAndRestarts) {
    ASSERT_EQ(send(openCommand(Mp3Fixtures::twoTone().string())).code, 0u);
    ASSERT_EQ(send("play movie").code, 0u);
    const int engine = mediaEngineProcessId();
    ASSERT_GT(engine, 0);
    ASSERT_NE(engine, ::getpid()) << "the decoder runs in the caller's process";
    sleepMs(300);
    ASSERT_EQ(::kill(engine, SIGKILL), 0);
    sleepMs(100);

    const Answer during = send("status movie position");
    EXPECT_EQ(during.code, code(MciError::engineStopped));
    EXPECT_EQ(during.reply, "") << "a failed command must not leave the stale reply";
    EXPECT_TRUE(processGone(engine)) << "the dead engine was not reaped";
    EXPECT_EQ(mediaEngineProcessId(), 0);
    EXPECT_EQ(send("status movie mode").code, code(MciError::aliasNotOpen));
    EXPECT_EQ(send("close all").code, 0u);

    expectGoodFilePlays();
    EXPECT_NE(mediaEngineProcessId(), engine);
}

TEST_F(EngineFailure, FrozenEngineTimesOutIsEndedAndTheNextOpenPlays) {
    ASSERT_EQ(send(openCommand(Mp3Fixtures::twoTone().string())).code, 0u);
    ASSERT_EQ(send("play movie").code, 0u);
    const int engine = mediaEngineProcessId();
    ASSERT_GT(engine, 0);
    ASSERT_EQ(::kill(engine, SIGSTOP), 0);

    const auto asked = Clock::now();
    const Answer answer = send("status movie position");
    const auto waited = Clock::now() - asked;
    EXPECT_EQ(answer.code, code(MciError::engineTimedOut));
    EXPECT_GE(waited, commandTimeLimit - std::chrono::milliseconds(50));
    EXPECT_LT(waited, commandTimeLimit + answerSlack);
    EXPECT_TRUE(processGone(engine)) << "the frozen engine was left behind";
    EXPECT_EQ(send("status movie mode").code, code(MciError::aliasNotOpen));

    expectGoodFilePlays();
}

// A pump and clock for the player, without a window.
struct SleepingPump final : EventPump, snipwell::Clock {
    void pumpEvents() override {}
    void waitForEvents(std::chrono::milliseconds timeout) override {
        sleepMs(static_cast<int>(timeout.count()));
    }
    double seconds() override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
};

TEST_F(EngineFailure, ThePlayerSurvivesTheEngineKilledMidPlaybackAndPlaysTheNextFile) {
    SleepingPump pump;
    MovieModule player(&mciSendStringA, pump, pump);
    player.Filename = Mp3Fixtures::twoTone().string();
    player.openMovie();
    ASSERT_EQ(player.Error, 0);
    player.playMovie();
    ASSERT_TRUE(player.isMoviePlaying());
    ASSERT_EQ(::kill(mediaEngineProcessId(), SIGKILL), 0);
    sleepMs(100);

    EXPECT_FALSE(player.isMoviePlaying());
    EXPECT_EQ(player.Error, static_cast<std::int32_t>(code(MciError::engineStopped)));
    EXPECT_EQ(player.getPositionInMS(), 0);
    EXPECT_NE(player.Error, 0);

    player.Filename = Mp3Fixtures::twoTone().string();
    player.openMovie();
    ASSERT_EQ(player.Error, 0);
    player.playMovie();
    EXPECT_TRUE(player.isMoviePlaying());
    player.timeOut(0.5);
    EXPECT_GT(player.getPositionInMS(), 0);
    player.closeMovie();
    EXPECT_EQ(player.Error, 0);
}

struct DamagedFile {
    const char* name;
    std::function<snipwell::test::Bytes(const snipwell::test::Bytes&)> damage;
};

// No assertion on the code of the open: the decoder may crash on a file
// today and be mended tomorrow. Only that we answer, in time, the same way
// every time, and play the next good file.
TEST_F(EngineFailure, DamagedFilesAnswerInTimeTheSameWayEachRunAndTheNextGoodFilePlays) {
    const DamagedFile cases[] = {
        {"flipped-layer-bit",
         [](const auto& good) { return snipwell::test::withFlippedLayerBit(good, 2); }},
        {"impossible-ape-footer",
         [](const auto& good) { return snipwell::test::withImpossibleApeFooter(good); }},
        {"5000-empty-id3v2-tags",
         [](const auto& good) { return snipwell::test::withEmptyId3v2Tags(good, 5000); }},
    };
    const snipwell::test::TempDir dir;
    const auto good =
        snipwell::test::readBytes(Mp3Fixtures::file(snipwell::test::Mp3Kind::cbrWithInfo));
    for (const auto& damaged : cases) {
        SCOPED_TRACE(damaged.name);
        const auto path = dir.file(std::string(damaged.name) + ".mp3");
        snipwell::test::writeBytes(path, damaged.damage(good));

        std::uint32_t firstCode = 0;
        for (int run = 0; run < 2; ++run) {
            const auto asked = Clock::now();
            const Answer opened = send(openCommand(path.string()));
            EXPECT_LT(Clock::now() - asked, openTimeLimit + answerSlack);
            if (run == 0) firstCode = opened.code;
            EXPECT_EQ(opened.code, firstCode) << "a different answer on run " << run + 1;
            if (opened.code == 0) {
                // Whatever the decoder makes of it while playing, we answer.
                send("play movie");
                sleepMs(300);
                const auto queried = Clock::now();
                send("status movie position");
                EXPECT_LT(Clock::now() - queried, commandTimeLimit + answerSlack);
            }
            send("close all");
        }
        expectGoodFilePlays();
    }
}

}  // namespace
}  // namespace snipwell::mci::test
