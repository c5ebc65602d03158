// How the service routes commands to devices by alias and answers, with a
// stand-in device so that no audio is involved.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "mci/mci_service.h"
#include "mci/reply_area.h"

namespace snipwell::mci {
namespace {

struct FakeDeviceLog {
    std::vector<std::string> calls;
    std::vector<std::string> openedPaths;
    int alive = 0;
};

class FakeDevice final : public MediaDevice {
public:
    explicit FakeDevice(FakeDeviceLog& log) : log_(log) { ++log_.alive; }
    ~FakeDevice() override { --log_.alive; }

    MciError play() override { return record("play", DeviceMode::playing); }
    MciError pause() override { return record("pause", DeviceMode::paused); }
    MciError stop() override { return record("stop", DeviceMode::stopped); }
    MciError seekTo(std::int32_t ms) override {
        position_ = ms;
        return record("seek " + std::to_string(ms), DeviceMode::stopped);
    }
    std::int64_t lengthMs() override { return 10000; }
    std::int64_t positionMs() override { return position_; }
    DeviceMode mode() override { return mode_; }

private:
    MciError record(std::string call, DeviceMode next) {
        log_.calls.push_back(std::move(call));
        mode_ = next;
        return MciError::ok;
    }
    FakeDeviceLog& log_;
    DeviceMode mode_ = DeviceMode::stopped;
    std::int64_t position_ = 0;
};

class MciServiceTest : public ::testing::Test {
protected:
    MciService service{[this](const std::string& path) -> DeviceOpenResult {
        if (path == "/missing.mp3") return MciError::fileNotFound;
        log.openedPaths.push_back(path);
        return std::make_unique<FakeDevice>(log);
    }};
    FakeDeviceLog log;

    MciOutcome send(const char* command) { return service.execute(command); }
};

TEST_F(MciServiceTest, CommandsForAnAliasThatIsNotOpenFail) {
    for (const char* command :
         {"close movie", "play movie", "play movie from 0", "stop movie", "pause movie",
          "resume movie", "set movie time format ms", "status movie length",
          "status movie position", "status movie mode", "seek movie to 0"}) {
        EXPECT_EQ(send(command).error, MciError::aliasNotOpen) << command;
    }
    send("open \"/a.mp3\" type mpegvideo alias movie");
    EXPECT_EQ(send("play film").error, MciError::aliasNotOpen);
    EXPECT_EQ(send("status Movie mode").error, MciError::aliasNotOpen);
}

TEST_F(MciServiceTest, OpenRegistersTheAliasAndCloseReleasesIt) {
    EXPECT_EQ(send("open \"/a.mp3\" type mpegvideo alias movie").error, MciError::ok);
    EXPECT_EQ(send("open \"/b.mp3\" type mpegvideo alias movie").error, MciError::aliasInUse);
    EXPECT_EQ(log.alive, 1);
    EXPECT_EQ(send("close movie").error, MciError::ok);
    EXPECT_EQ(log.alive, 0);
    EXPECT_EQ(send("close movie").error, MciError::aliasNotOpen);
    EXPECT_EQ(send("open \"/b.mp3\" type mpegvideo alias movie").error, MciError::ok);
    EXPECT_EQ(log.openedPaths, (std::vector<std::string>{"/a.mp3", "/b.mp3"}));
}

TEST_F(MciServiceTest, FailedOpenLeavesTheAliasFree) {
    EXPECT_EQ(send("open \"/missing.mp3\" alias movie").error, MciError::fileNotFound);
    EXPECT_EQ(send("status movie mode").error, MciError::aliasNotOpen);
    EXPECT_EQ(send("open \"/a.mp3\" alias movie").error, MciError::ok);
}

TEST_F(MciServiceTest, CloseAllClosesEveryDeviceAndSucceedsWithNoneOpen) {
    EXPECT_EQ(send("close all").error, MciError::ok);
    send("open \"/a.mp3\" alias movie");
    send("open \"/b.mp3\" alias other");
    EXPECT_EQ(log.alive, 2);
    EXPECT_EQ(send("close all").error, MciError::ok);
    EXPECT_EQ(log.alive, 0);
    EXPECT_EQ(send("status other mode").error, MciError::aliasNotOpen);
}

TEST_F(MciServiceTest, AnswersStatusQueriesAsDecimalTextAndModeWords) {
    send("open \"/a.mp3\" alias movie");
    EXPECT_EQ(send("status movie length").reply, "10000");
    EXPECT_EQ(send("status movie mode").reply, "stopped");
    send("play movie");
    EXPECT_EQ(send("status movie mode").reply, "playing");
    send("pause movie");
    EXPECT_EQ(send("status movie mode").reply, "paused");
    send("seek movie to 2500");
    EXPECT_EQ(send("status movie position wait").reply, "2500");
    EXPECT_EQ(send("play movie").reply, "");
}

TEST_F(MciServiceTest, PositionsBeyondTheLengthAreRefusedAndChangeNothing) {
    send("open \"/a.mp3\" alias movie");
    EXPECT_EQ(send("seek movie to 10001").error, MciError::positionOutOfRange);
    EXPECT_EQ(send("play movie from 10001").error, MciError::positionOutOfRange);
    EXPECT_TRUE(log.calls.empty());
    EXPECT_EQ(send("seek movie to 10000").error, MciError::ok);
    EXPECT_EQ(send("play movie from 7000").error, MciError::ok);
    EXPECT_EQ(log.calls, (std::vector<std::string>{"seek 10000", "seek 7000", "play"}));
}

TEST_F(MciServiceTest, ResumeContinuesAPauseOnly) {
    send("open \"/a.mp3\" alias movie");
    EXPECT_EQ(send("resume movie").error, MciError::notPaused);
    send("play movie");
    send("pause movie");
    EXPECT_EQ(send("resume movie").error, MciError::ok);
    EXPECT_EQ(send("status movie mode").reply, "playing");
}

TEST_F(MciServiceTest, BadCommandsChangeNothing) {
    send("open \"/a.mp3\" alias movie");
    for (const char* command : {"play movie from -1", "play movie quickly", "stop movie movie",
                                "pause movie from 3", "seek movie to x", "close movie now",
                                "close all movie", "open \"/b.mp3\" alias movie alias movie"}) {
        EXPECT_NE(send(command).error, MciError::ok) << command;
    }
    EXPECT_TRUE(log.calls.empty());
    EXPECT_EQ(log.alive, 1);
    EXPECT_EQ(log.openedPaths.size(), 1u);
}

struct ReplyCase {
    const char* name;
    std::uint32_t capacity;
    const char* text;
    MciError expected;
    const char* areaAfter;  // the whole area, 8 bytes, '#' where untouched
};

const ReplyCase replyCases[] = {
    {"fits", 8, "12345", MciError::ok, "12345\0##"},
    {"fills_exactly", 6, "12345", MciError::ok, "12345\0##"},
    {"one_too_long", 5, "12345", MciError::replyAreaTooSmall, "\0#######"},
    {"empty_reply", 8, "", MciError::ok, "\0#######"},
    {"capacity_zero_empty", 0, "", MciError::ok, "########"},
    {"capacity_zero_answer", 0, "12345", MciError::replyAreaTooSmall, "########"},
};

TEST(ReplyArea, WritesReplyAndNulAtTheStartAndNeverPastCapacity) {
    for (const auto& c : replyCases) {
        char area[8];
        std::memset(area, '#', sizeof area);
        EXPECT_EQ(writeReply(area, c.capacity, c.text), c.expected) << c.name;
        EXPECT_EQ(std::memcmp(area, c.areaAfter, sizeof area), 0) << c.name;
    }
    EXPECT_EQ(writeReply(nullptr, 128, "1"), MciError::replyAreaTooSmall);
}

}  // namespace
}  // namespace snipwell::mci
