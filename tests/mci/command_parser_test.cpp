// The parser must take exactly the commands the player sends and refuse
// everything else with a reason, never guessing at a half-understood command.

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "mci/command_limits.h"
#include "mci/command_parser.h"

namespace snipwell::mci {
namespace {

const char* const acceptedCommands[] = {
    "open \"/music/x.mp3\" type mpegvideo alias movie parent 12345 style child ",
    "open \"/music/x.mp3\" type mpegvideo alias movie",
    "open \"/music/x.mp3\" alias movie type mpegvideo",
    "open \"x.mp3\" type mpegvideo alias movie parent -5 style child",
    "open \"x.mp3\" alias movie parent 4294967295",
    "close movie",
    "close all",
    "play movie",
    "play movie from 0",
    "play movie from 61000",
    "play movie from 2147483647",
    "stop movie",
    "pause movie",
    "resume movie",
    "set movie time format ms",
    "set movie time format milliseconds",
    "status movie length",
    "status movie position",
    "status movie position wait",
    "status movie wait position",
    "status movie mode",
    "seek movie to 0",
    "seek movie to 123",
    "  play   movie  ",
    "play\tmovie",
};

TEST(CommandParser, AcceptsEveryCommandThePlayerSends) {
    for (const char* text : acceptedCommands) {
        const auto result = parseCommand(text);
        EXPECT_TRUE(std::holds_alternative<Command>(result))
            << text << " -> error " << static_cast<int>(std::get<MciError>(result));
    }
}

struct Rejected {
    const char* text;
    MciError expected;
};

const Rejected rejectedCommands[] = {
    {"", MciError::emptyCommand},
    {"   ", MciError::emptyCommand},
    {"dance movie", MciError::unknownCommand},
    {"PLAY movie", MciError::unknownCommand},
    {"play", MciError::missingArgument},
    {"play movie loudly", MciError::unknownKeyword},
    {"play movie from", MciError::missingArgument},
    {"play movie from 10 from 20", MciError::duplicateKeyword},
    {"play movie from -1", MciError::badNumber},
    {"play movie from 2147483648", MciError::badNumber},
    {"play movie from 99999999999999999999999", MciError::badNumber},
    {"play movie from +5", MciError::badNumber},
    {"play movie from 5s", MciError::badNumber},
    {"play movie from 1.5", MciError::badNumber},
    {"play movie to 10", MciError::unknownKeyword},
    {"seek movie", MciError::missingArgument},
    {"seek movie to", MciError::missingArgument},
    {"seek movie to 10 to 20", MciError::duplicateKeyword},
    {"seek movie to start", MciError::badNumber},
    {"seek movie from 10", MciError::unknownKeyword},
    {"stop movie now", MciError::unknownKeyword},
    {"close", MciError::missingArgument},
    {"close all movie", MciError::unknownKeyword},
    {"set movie time format frames", MciError::unsupportedValue},
    {"set movie time format", MciError::missingArgument},
    {"set movie audio all off", MciError::unknownKeyword},
    {"status movie", MciError::missingArgument},
    {"status movie volume", MciError::unknownKeyword},
    {"status movie length length", MciError::duplicateKeyword},
    {"status movie position wait wait", MciError::duplicateKeyword},
    {"status movie length position", MciError::duplicateKeyword},
    {"status all mode", MciError::badAlias},
    {"play mov-ie", MciError::badAlias},
    {"play \"movie\"", MciError::badQuoting},
    {"status movie\nlength", MciError::invalidCharacter},
    {"open", MciError::missingArgument},
    {"open x.mp3 type mpegvideo alias movie", MciError::badQuoting},
    {"open \"x.mp3 type mpegvideo alias movie", MciError::badQuoting},
    {"open \"x.mp3\"type mpegvideo alias movie", MciError::badQuoting},
    {"open \"x.mp3\" type mpegvideo", MciError::missingArgument},
    {"open \"x.mp3\" type waveaudio alias movie", MciError::unsupportedValue},
    {"open \"x.mp3\" type mpegvideo alias", MciError::missingArgument},
    {"open \"x.mp3\" type mpegvideo alias movie alias film", MciError::duplicateKeyword},
    {"open \"x.mp3\" type mpegvideo type mpegvideo alias movie", MciError::duplicateKeyword},
    {"open \"x.mp3\" type mpegvideo alias movie parent", MciError::missingArgument},
    {"open \"x.mp3\" type mpegvideo alias movie parent 4294967296", MciError::badNumber},
    {"open \"x.mp3\" type mpegvideo alias movie parent 0x10", MciError::badNumber},
    {"open \"x.mp3\" type mpegvideo alias movie style fancy", MciError::unsupportedValue},
    {"open \"x.mp3\" type mpegvideo alias movie shareable", MciError::unknownKeyword},
    {"open \"x.mp3\" type mpegvideo alias all", MciError::badAlias},
};

TEST(CommandParser, RefusesWhatItDoesNotFullyUnderstandWithItsReason) {
    for (const auto& [text, expected] : rejectedCommands) {
        const auto result = parseCommand(text);
        ASSERT_TRUE(std::holds_alternative<MciError>(result)) << text;
        EXPECT_EQ(std::get<MciError>(result), expected) << text;
    }
}

TEST(CommandParser, RefusesControlBytesAnywhereAndCommandsOverTheLengthLimit) {
    using namespace std::string_literals;
    const std::pair<std::string, MciError> cases[] = {
        {"close all\0 status movie mode"s, MciError::invalidCharacter},
        {"\0"s, MciError::invalidCharacter},
        {"status movie mode\x1b"s, MciError::invalidCharacter},
        {"status movie mode\x7f"s, MciError::invalidCharacter},
        {"open \"/m/a\rb.mp3\" alias movie"s, MciError::invalidCharacter},
        {"open \"/m/" + std::string(maxCommandBytes, 'a') + ".mp3\" alias movie",
         MciError::commandTooLong},
        {"close " + std::string(maxCommandBytes, ' ') + "all", MciError::commandTooLong},
        // At the limit the length is fine and the words are judged.
        {"close all" + std::string(maxCommandBytes - 9, ' '), MciError::ok},
    };
    for (const auto& [text, expected] : cases) {
        const auto result = parseCommand(text);
        const MciError got =
            std::holds_alternative<MciError>(result) ? std::get<MciError>(result) : MciError::ok;
        EXPECT_EQ(got, expected) << text.substr(0, 40);
    }
}

TEST(CommandParser, ReadsTheValuesOfEachCommand) {
    const auto play =
        std::get<PlayCommand>(std::get<Command>(parseCommand("play movie from 6000")));
    EXPECT_EQ(play.alias, "movie");
    EXPECT_TRUE(play.hasFrom);
    EXPECT_EQ(play.fromMs, 6000);

    const auto plain = std::get<PlayCommand>(std::get<Command>(parseCommand("play film")));
    EXPECT_EQ(plain.alias, "film");
    EXPECT_FALSE(plain.hasFrom);

    const auto seek = std::get<SeekCommand>(std::get<Command>(parseCommand("seek movie to 42")));
    EXPECT_EQ(seek.toMs, 42);

    const auto status =
        std::get<StatusCommand>(std::get<Command>(parseCommand("status movie position wait")));
    EXPECT_EQ(status.item, StatusItem::position);

    const auto pause = std::get<TransportCommand>(std::get<Command>(parseCommand("pause movie")));
    EXPECT_EQ(pause.action, Transport::pause);
}

struct QuotedPath {
    const char* text;
    const char* path;
    const char* alias;
};

// Whatever sits between the first and the last double quote is the path.
const QuotedPath quotedPaths[] = {
    {"open \"/m/a b.mp3\" type mpegvideo alias movie", "/m/a b.mp3", "movie"},
    {"open \"\" type mpegvideo alias movie", "", "movie"},
    {"open \"/m/say \"hi\".mp3\" type mpegvideo alias movie", "/m/say \"hi\".mp3", "movie"},
    // A path written to smuggle keywords stays a path.
    {"open \"/m/x.mp3\" type mpegvideo alias evil\" type mpegvideo alias movie",
     "/m/x.mp3\" type mpegvideo alias evil", "movie"},
    {"open \"\"/m/x.mp3\"\" type mpegvideo alias movie", "\"/m/x.mp3\"", "movie"},
    {"open \"/m/ünïcødé.mp3\" alias movie", "/m/ünïcødé.mp3", "movie"},
};

TEST(CommandParser, QuotedPathRunsToTheLastQuoteSoNothingCanBeSmuggled) {
    for (const auto& [text, path, alias] : quotedPaths) {
        const auto result = parseCommand(text);
        ASSERT_TRUE(std::holds_alternative<Command>(result)) << text;
        const auto open = std::get<OpenCommand>(std::get<Command>(result));
        EXPECT_EQ(open.path, path) << text;
        EXPECT_EQ(open.alias, alias) << text;
    }
}

TEST(CommandParser, QuoteInsideAPathCannotEndTheCommandEarly) {
    // The caller's own words after the path follow the last quote; a path
    // ending in a quote and a keyword must not turn into that keyword.
    const auto result = parseCommand("open \"/m/x.mp3\" alias evil\" type mpegvideo");
    ASSERT_TRUE(std::holds_alternative<MciError>(result));
    EXPECT_EQ(std::get<MciError>(result), MciError::missingArgument);
}

}  // namespace
}  // namespace snipwell::mci
