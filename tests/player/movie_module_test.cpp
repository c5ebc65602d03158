#include "player/movie_module.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/runtime_error.h"
#include "support/headless_window.h"

namespace snipwell {
namespace {

using Commands = std::vector<std::string>;

// A media service that records what it is sent and answers from a script:
// per command, a code and a reply (nullopt writes nothing at all).
struct RecordingService {
    struct Sent {
        std::string command;
        std::uint32_t capacity;
    };
    std::vector<Sent> sent;
    std::map<std::string, std::uint32_t> codes;
    std::map<std::string, std::deque<std::optional<std::string>>> replies;

    MciSendString entry() {
        return [this](const char* command, char* reply, std::uint32_t capacity,
                      std::uintptr_t callback) {
            EXPECT_EQ(callback, 0u);
            sent.push_back({command, capacity});
            auto& queue = replies[command];
            if (!queue.empty()) {
                if (queue.front() && capacity > 0) {
                    // Like the real service: the text and a NUL, nothing behind it touched.
                    const auto length = std::min<std::size_t>(queue.front()->size(), capacity - 1);
                    std::memcpy(reply, queue.front()->data(), length);
                    reply[length] = '\0';
                }
                queue.pop_front();
            }
            const auto code = codes.find(command);
            return code == codes.end() ? 0u : code->second;
        };
    }
    Commands commands() const {
        Commands out;
        for (const auto& s : sent) out.push_back(s.command);
        return out;
    }
};

struct PlayerTest : ::testing::Test {
    test::HeadlessWindow window;  // the event pump and clock
    RecordingService service;
    MovieModule player{service.entry(), window, window};

    void reply(const std::string& command, std::optional<std::string> text) {
        service.replies[command].push_back(std::move(text));
    }
};

TEST_F(PlayerTest, EachMemberSendsItsExactCommands) {
    struct Case {
        const char* member;
        std::function<void(MovieModule&)> call;
        Commands expected;
    };
    const Case cases[] = {
        {"openMovieWindow",
         [](MovieModule& p) {
             p.Filename = "/music/a b.mp3";
             p.openMovieWindow(4242, "child");
         },
         {"close movie",
          "open \"/music/a b.mp3\" type mpegvideo alias movie parent 4242 style child "}},
        {"openMovie",
         [](MovieModule& p) {
             p.Filename = "x.mp3";
             p.openMovie();
         },
         {"close movie", "open \"x.mp3\" type mpegvideo alias movie"}},
        {"playMovie", [](MovieModule& p) { p.playMovie(); }, {"play movie"}},
        {"stopMovie", [](MovieModule& p) { p.stopMovie(); }, {"stop movie"}},
        {"pauseMovie", [](MovieModule& p) { p.pauseMovie(); }, {"pause movie"}},
        {"resumeMovie", [](MovieModule& p) { p.resumeMovie(); }, {"resume movie"}},
        {"closeMovie", [](MovieModule& p) { p.closeMovie(); }, {"close all"}},
        {"getLengthInMS",
         [](MovieModule& p) { p.getLengthInMS(); },
         {"set movie time format ms", "status movie length"}},
        {"getLengthInSec",
         [](MovieModule& p) { p.getLengthInSec(); },
         {"set movie time format ms", "status movie length"}},
        {"getPositionInMS",
         [](MovieModule& p) { p.getPositionInMS(); },
         {"set movie time format ms", "status movie position wait"}},
        {"getPositionInSec",
         [](MovieModule& p) { p.getPositionInSec(); },
         {"set movie time format ms", "status movie position wait"}},
        {"isMoviePlaying", [](MovieModule& p) { p.isMoviePlaying(); }, {"status movie mode"}},
        {"timeOut", [](MovieModule& p) { p.timeOut(0.5); }, {}},
    };
    for (const Case& c : cases) {
        test::HeadlessWindow pump;
        RecordingService recorder;
        MovieModule fresh(recorder.entry(), pump, pump);
        c.call(fresh);
        EXPECT_EQ(recorder.commands(), c.expected) << c.member;
        for (const auto& s : recorder.sent) {
            const bool isQuery = s.command.rfind("status", 0) == 0;
            EXPECT_EQ(s.capacity, isQuery ? 128u : 0u) << s.command;
        }
    }
}

TEST_F(PlayerTest, OpeningQuotesTheNameEachTimeSoASecondOpenDoublesTheQuotes) {
    player.Filename = "/m/song.mp3";
    player.openMovieWindow(7, "child");
    EXPECT_EQ(player.Filename, "\"/m/song.mp3\"");
    player.openMovieWindow(7, "child");
    EXPECT_EQ(player.Filename, "\"\"/m/song.mp3\"\"");
    EXPECT_EQ(service.sent.back().command,
              "open \"\"/m/song.mp3\"\" type mpegvideo alias movie parent 7 style child ");

    // An empty name still goes out, as a pair of quotes.
    player.Filename = "";
    player.openMovie();
    EXPECT_EQ(service.sent.back().command, "open \"\" type mpegvideo alias movie");
}

TEST_F(PlayerTest, RepliesAreReadAsRoundedNumbers) {
    struct Case {
        const char* reply;
        std::int32_t ms;
    };
    const Case cases[] = {
        {"245760", 245760},
        {"   42", 42},
        {"\t7", 7},
        {"-7", -7},
        {"+3", 3},
        {"12.5", 12},
        {"13.5", 14},
        {"0.5", 0},
        {"1.5e3", 2},
        {"99 bottles", 99},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {".", 0},
        {".6", 1},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
    };
    for (const Case& c : cases) {
        reply("status movie length", c.reply);
        EXPECT_EQ(player.getLengthInMS(), c.ms) << '"' << c.reply << '"';
    }
}

TEST_F(PlayerTest, AReplyBeyond32BitsRaisesAnOverflow) {
    for (const char* huge : {"2147483648", "-2147483649", "99999999999999999999999"}) {
        reply("status movie position wait", huge);
        try {
            player.getPositionInMS();
            ADD_FAILURE() << huge << " was accepted";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.kind(), ErrorKind::Overflow) << huge;
        }
    }
}

TEST_F(PlayerTest, WholeSecondsTruncateTowardZero) {
    reply("status movie length", "245760");
    EXPECT_EQ(player.getLengthInSec(), 245);
    for (const auto& [text, seconds] : std::vector<std::pair<const char*, int>>{
             {"1999", 1}, {"2000", 2}, {"-1500", -1}, {"999", 0}}) {
        reply("status movie position wait", text);
        EXPECT_EQ(player.getPositionInSec(), seconds) << text;
    }
}

TEST_F(PlayerTest, TheReplyAreaIsSharedAndNeverCleared) {
    reply("status movie length", "245760");
    EXPECT_EQ(player.getLengthInMS(), 245760);

    // A service that writes nothing leaves the previous reply to be read again.
    reply("status movie position wait", std::nullopt);
    EXPECT_EQ(player.getPositionInMS(), 245760);

    // A shorter reply ends at its NUL; the old characters behind it stay.
    reply("status movie position wait", "12");
    EXPECT_EQ(player.getPositionInMS(), 12);
    EXPECT_EQ(std::string(player.lastReplyArea().data() + 3, 3), "760");

    // The mode query shares the area: "playing" left there reads as playing again.
    reply("status movie mode", "playing");
    EXPECT_TRUE(player.isMoviePlaying());
    reply("status movie mode", std::nullopt);
    EXPECT_TRUE(player.isMoviePlaying());
    reply("status movie length", "3");
    EXPECT_EQ(player.getLengthInMS(), 3);
    reply("status movie mode", std::nullopt);
    EXPECT_FALSE(player.isMoviePlaying());
}

TEST_F(PlayerTest, OnlyTheExactLowerCaseWordPlayingMeansPlaying) {
    const std::pair<const char*, bool> cases[] = {
        {"playing", true},  {"playing now", true}, {"Playing", false}, {"paused", false},
        {"stopped", false}, {"not ready", false},  {"", false},        {"play", false},
    };
    for (const auto& [mode, playing] : cases) {
        reply("status movie mode", mode);
        EXPECT_EQ(player.isMoviePlaying(), playing) << mode;
    }
}

TEST_F(PlayerTest, SetPositionPlaysOnWhilePlayingAndSeeksOtherwise) {
    reply("status movie mode", "playing");
    player.setPositionTo(61000);
    EXPECT_EQ(service.commands(), (Commands{"status movie mode", "play movie from 61000"}));

    service.sent.clear();
    reply("status movie mode", "paused");
    reply("status movie mode", "paused");
    player.setPositionTo(61000);
    EXPECT_EQ(service.commands(),
              (Commands{"status movie mode", "status movie mode", "seek movie to 61000"}));

    // Playback began between the two questions: leave it alone.
    service.sent.clear();
    reply("status movie mode", "stopped");
    reply("status movie mode", "playing");
    player.setPositionTo(0);
    EXPECT_EQ(service.commands(), (Commands{"status movie mode", "status movie mode"}));

    service.sent.clear();
    reply("status movie mode", "stopped");
    reply("status movie mode", "stopped");
    player.setPositionTo(-5);
    EXPECT_EQ(service.sent.back().command, "seek movie to -5");
}

TEST_F(PlayerTest, ErrorHoldsTheCodeOfTheCommandThatKeepsIt) {
    service.codes["close movie"] = 263;  // nothing open yet
    player.Filename = "a.mp3";
    player.openMovieWindow(1, "child");
    EXPECT_EQ(player.Error, 0) << "the open's code replaces the close's";

    service.codes["open \"a.mp3\" type mpegvideo alias movie parent 1 style child "] = 275;
    player.Filename = "a.mp3";
    player.openMovieWindow(1, "child");
    EXPECT_EQ(player.Error, 275);

    service.codes["set movie time format ms"] = 11;
    player.getLengthInMS();
    EXPECT_EQ(player.Error, 0) << "the query's code replaces the format's";
    service.codes["status movie position wait"] = 12;
    player.getPositionInSec();
    EXPECT_EQ(player.Error, 12);

    // Play-from and seek drop their codes: the last mode query's stays.
    service.codes["seek movie to 5"] = 99;
    service.codes["status movie mode"] = 0;
    player.setPositionTo(5);
    EXPECT_EQ(player.Error, 0);

    service.codes["pause movie"] = 263;
    player.pauseMovie();
    EXPECT_EQ(player.Error, 263);
    player.timeOut(0);
    EXPECT_EQ(player.Error, 263) << "waiting sends nothing and keeps the code";
}

TEST_F(PlayerTest, TimeOutCountsFromTheClockRoundedToAWholeSecond) {
    struct Case {
        double startClock;
        double duration;
        double returnsAt;
    };
    const Case cases[] = {
        {100.2, 0.5, 100.5},  // start 100: a short wait of 0.3 s
        {100.7, 0.5, 101.5},  // start 101: a long wait of 0.8 s
        {100.5, 1.0, 101.0},  // a tie rounds to the even 100
        {101.5, 1.0, 103.0},  // and here to the even 102
        {100.7, 0.0, 101.0},  // even a zero wait lasts until the rounded start
        {100.2, 0.0, 100.2},  // ... unless the start was rounded down
    };
    for (const Case& c : cases) {
        test::HeadlessWindow clock;
        RecordingService none;
        MovieModule waiting(none.entry(), clock, clock);
        clock.setClock(c.startClock);
        waiting.timeOut(c.duration);
        EXPECT_GE(clock.clock(), c.returnsAt - 1e-9) << c.startClock << " + " << c.duration;
        EXPECT_LT(clock.clock(), c.returnsAt + 0.002) << c.startClock << " + " << c.duration;
        // It sleeps on the event queue instead of polling in a tight loop.
        EXPECT_EQ(clock.pumps, 0);
        EXPECT_LE(clock.waits, 2 + static_cast<int>((c.returnsAt - c.startClock) / 0.019));
    }
}

TEST_F(PlayerTest, EventsRunInsideTimeOut) {
    window.setClock(50.0);
    bool clicked = false;
    window.at(50.2, [&] { clicked = true; });
    player.timeOut(0.5);
    EXPECT_TRUE(clicked);
}

}  // namespace
}  // namespace snipwell
