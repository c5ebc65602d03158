#include "mci/command_parser.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "mci/command_limits.h"

namespace snipwell::mci {
namespace {

constexpr std::size_t maxAliasLength = 64;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t') || byte == 0x7f;
}

// Splits text into blank-separated words. Quotes are not special here: the
// caller has already taken out the one quoted name a command may carry.
std::vector<std::string_view> splitWords(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i])) ++i;
        const std::size_t start = i;
        while (i < text.size() && !isBlank(text[i])) ++i;
        if (i > start) words.push_back(text.substr(start, i - start));
    }
    return words;
}

std::optional<MciError> checkAlias(std::string_view alias) {
    if (alias.empty() || alias.size() > maxAliasLength || alias == "all") {
        return MciError::badAlias;
    }
    for (const char c : alias) {
        const bool allowed =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!allowed) return MciError::badAlias;
    }
    return std::nullopt;
}

// Plain decimal: an optional minus sign and at least one digit, nothing else,
// within [low, high].
std::optional<std::int64_t> parseNumber(std::string_view word, std::int64_t low,
                                        std::int64_t high) {
    if (word.empty() || word.front() == '+') return std::nullopt;
    std::int64_t value = 0;
    const char* end = word.data() + word.size();
    const auto [stop, error] = std::from_chars(word.data(), end, value);
    if (error != std::errc{} || stop != end) return std::nullopt;
    if (value < low || value > high) return std::nullopt;
    return value;
}

constexpr std::int64_t maxPosition = std::numeric_limits<std::int32_t>::max();

std::optional<std::int32_t> parsePosition(std::string_view word) {
    const auto value = parseNumber(word, 0, maxPosition);
    if (!value) return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

// Words after the verb and alias, read as keyword/value pairs or flags.
class KeywordReader {
public:
    explicit KeywordReader(std::vector<std::string_view> words) : words_(std::move(words)) {}

    bool atEnd() const { return next_ >= words_.size(); }
    std::string_view peek() const { return words_[next_]; }
    std::string_view take() { return words_[next_++]; }

    // Marks a keyword as seen; false if it was seen before.
    bool firstTime(std::string_view keyword) {
        for (const auto seen : seen_) {
            if (seen == keyword) return false;
        }
        seen_.push_back(keyword);
        return true;
    }

private:
    std::vector<std::string_view> words_;
    std::size_t next_ = 0;
    std::vector<std::string_view> seen_;
};

struct QuotedSplit {
    std::string_view path;
    std::string_view rest;  // the text after the closing quote
};

// Takes the quoted file name off the front of an open command's arguments.
std::variant<QuotedSplit, MciError> takeQuotedPath(std::string_view arguments) {
    std::size_t i = 0;
    while (i < arguments.size() && isBlank(arguments[i])) ++i;
    if (i == arguments.size()) return MciError::missingArgument;
    if (arguments[i] != '"') return MciError::badQuoting;
    const std::size_t open = i;
    const std::size_t close = arguments.rfind('"');
    if (close == open) return MciError::badQuoting;
    if (close + 1 < arguments.size() && !isBlank(arguments[close + 1])) {
        return MciError::badQuoting;
    }
    return QuotedSplit{arguments.substr(open + 1, close - open - 1), arguments.substr(close + 1)};
}

ParseResult parseOpen(std::string_view arguments) {
    const auto split = takeQuotedPath(arguments);
    if (const auto* error = std::get_if<MciError>(&split)) return *error;
    const auto& [path, rest] = std::get<QuotedSplit>(split);

    OpenCommand open{std::string(path), {}};
    KeywordReader reader(splitWords(rest));
    while (!reader.atEnd()) {
        const std::string_view keyword = reader.take();
        if (keyword != "type" && keyword != "alias" && keyword != "parent" && keyword != "style") {
            return MciError::unknownKeyword;
        }
        if (!reader.firstTime(keyword)) return MciError::duplicateKeyword;
        if (reader.atEnd()) return MciError::missingArgument;
        const std::string_view value = reader.take();
        if (keyword == "type") {
            if (value != "mpegvideo") return MciError::unsupportedValue;
        } else if (keyword == "alias") {
            if (const auto error = checkAlias(value)) return *error;
            open.alias = std::string(value);
        } else if (keyword == "parent") {
            // A native window handle: 32 bits, whether the caller reads them
            // signed or unsigned. Only checked; the device shows nothing.
            if (!parseNumber(value, std::numeric_limits<std::int32_t>::min(),
                             std::numeric_limits<std::uint32_t>::max())) {
                return MciError::badNumber;
            }
        } else if (value != "child" && value != "popup" && value != "overlapped") {
            return MciError::unsupportedValue;
        }
    }
    if (open.alias.empty()) return MciError::missingArgument;
    return Command{std::move(open)};
}

ParseResult parsePlay(std::string alias, KeywordReader& reader) {
    PlayCommand play{std::move(alias), false, 0};
    while (!reader.atEnd()) {
        const std::string_view keyword = reader.take();
        if (keyword != "from") return MciError::unknownKeyword;
        if (!reader.firstTime(keyword)) return MciError::duplicateKeyword;
        if (reader.atEnd()) return MciError::missingArgument;
        const auto from = parsePosition(reader.take());
        if (!from) return MciError::badNumber;
        play.hasFrom = true;
        play.fromMs = *from;
    }
    return Command{std::move(play)};
}

ParseResult parseSeek(std::string alias, KeywordReader& reader) {
    if (reader.atEnd()) return MciError::missingArgument;
    if (reader.take() != "to") return MciError::unknownKeyword;
    if (reader.atEnd()) return MciError::missingArgument;
    const auto to = parsePosition(reader.take());
    if (!to) return MciError::badNumber;
    if (!reader.atEnd()) {
        return reader.peek() == "to" ? MciError::duplicateKeyword : MciError::unknownKeyword;
    }
    return Command{SeekCommand{std::move(alias), *to}};
}

ParseResult parseSet(std::string alias, KeywordReader& reader) {
    if (reader.atEnd()) return MciError::missingArgument;
    if (reader.take() != "time") return MciError::unknownKeyword;
    if (reader.atEnd()) return MciError::missingArgument;
    if (reader.take() != "format") return MciError::unknownKeyword;
    if (reader.atEnd()) return MciError::missingArgument;
    const std::string_view format = reader.take();
    if (format != "ms" && format != "milliseconds") return MciError::unsupportedValue;
    if (!reader.atEnd()) return MciError::unknownKeyword;
    return Command{SetTimeFormatCommand{std::move(alias)}};
}

ParseResult parseStatus(std::string alias, KeywordReader& reader) {
    // "wait" is accepted because callers send it; a status query always
    // answers at once, so it changes nothing.
    std::optional<StatusItem> item;
    while (!reader.atEnd()) {
        const std::string_view word = reader.take();
        std::optional<StatusItem> named;
        if (word == "length")
            named = StatusItem::length;
        else if (word == "position")
            named = StatusItem::position;
        else if (word == "mode")
            named = StatusItem::mode;
        else if (word != "wait")
            return MciError::unknownKeyword;

        if (!reader.firstTime(word)) return MciError::duplicateKeyword;
        if (named) {
            if (item) return MciError::duplicateKeyword;  // two items asked at once
            item = named;
        }
    }
    if (!item) return MciError::missingArgument;
    return Command{StatusCommand{std::move(alias), *item}};
}

ParseResult parseAliasCommand(std::string_view verb, std::string_view arguments) {
    KeywordReader reader(splitWords(arguments));
    if (reader.atEnd()) return MciError::missingArgument;
    const std::string_view aliasWord = reader.take();

    if (verb == "close" && aliasWord == "all") {
        if (!reader.atEnd()) return MciError::unknownKeyword;
        return Command{CloseAllCommand{}};
    }
    if (const auto error = checkAlias(aliasWord)) return *error;
    std::string alias(aliasWord);

    if (verb == "play") return parsePlay(std::move(alias), reader);
    if (verb == "seek") return parseSeek(std::move(alias), reader);
    if (verb == "set") return parseSet(std::move(alias), reader);
    if (verb == "status") return parseStatus(std::move(alias), reader);

    if (!reader.atEnd()) return MciError::unknownKeyword;
    if (verb == "close") return Command{CloseCommand{std::move(alias)}};
    if (verb == "stop") return Command{TransportCommand{std::move(alias), Transport::stop}};
    if (verb == "pause") return Command{TransportCommand{std::move(alias), Transport::pause}};
    return Command{TransportCommand{std::move(alias), Transport::resume}};
}

}  // namespace

ParseResult parseCommand(std::string_view text) {
    if (text.size() > maxCommandBytes) return MciError::commandTooLong;
    for (const char c : text) {
        if (isControl(c)) return MciError::invalidCharacter;
    }
    std::size_t start = 0;
    while (start < text.size() && isBlank(text[start])) ++start;
    std::size_t verbEnd = start;
    while (verbEnd < text.size() && !isBlank(text[verbEnd])) ++verbEnd;
    const std::string_view verb = text.substr(start, verbEnd - start);
    const std::string_view arguments = text.substr(verbEnd);
    if (verb.empty()) return MciError::emptyCommand;

    if (verb == "open") return parseOpen(arguments);

    const bool known = verb == "close" || verb == "play" || verb == "stop" || verb == "pause" ||
                       verb == "resume" || verb == "set" || verb == "status" || verb == "seek";
    if (!known) return MciError::unknownCommand;
    if (arguments.find('"') != std::string_view::npos) return MciError::badQuoting;
    return parseAliasCommand(verb, arguments);
}

}  // namespace snipwell::mci
