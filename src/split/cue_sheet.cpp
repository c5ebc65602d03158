#include "split/cue_sheet.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "common/shown_value.h"

namespace snipwell {
namespace {

constexpr int kHighestTrackNumber = 999;

struct Words {
    std::vector<std::string> words;
    bool unterminatedQuote = false;
};

// Words split at blanks; a word that opens with a quote runs to the next
// quote and may hold blanks.
Words splitWords(std::string_view line) {
    Words out;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
        } else if (line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos) {
                out.unterminatedQuote = true;
                return out;
            }
            out.words.emplace_back(line.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            std::size_t end = i;
            while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
            out.words.emplace_back(line.substr(i, end - i));
            i = end;
        }
    }
    return out;
}

std::string upper(std::string_view word) {
    std::string out(word);
    for (char& ch : out) {
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    }
    return out;
}

// The words from `from` on, joined by one blank: TITLE Hello World.
std::string joined(const std::vector<std::string>& words, std::size_t from, std::size_t to) {
    std::string out;
    for (std::size_t i = from; i < to; ++i) {
        if (!out.empty()) out += ' ';
        out += words[i];
    }
    return out;
}

std::optional<std::int64_t> wholeNumber(std::string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) return std::nullopt;
    std::int64_t value = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || stop != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

// mm:ss:ff, minutes unbounded (an album-length file runs past 99), seconds
// below 60, frames below 75.
std::optional<SplitTime> cueTime(std::string_view text) {
    const std::size_t first = text.find(':');
    const std::size_t second = first == std::string_view::npos ? first : text.find(':', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    const std::string_view secondsText = text.substr(first + 1, second - first - 1);
    const std::string_view framesText = text.substr(second + 1);
    if (secondsText.size() != 2 || framesText.size() != 2) return std::nullopt;
    const std::int64_t minutes = wholeNumber(text.substr(0, first), 5).value_or(-1);
    const std::int64_t seconds = wholeNumber(secondsText, 2).value_or(60);
    const std::int64_t frames = wholeNumber(framesText, 2).value_or(75);
    if (minutes < 0 || seconds >= 60 || frames >= 75) return std::nullopt;
    const std::int64_t totalSeconds = minutes * 60 + seconds;
    if (totalSeconds >= kLongestSplitSeconds) return std::nullopt;
    return SplitTime::fromCueFrames(totalSeconds * 75 + frames);
}

std::string cueTimeText(const SplitTime& time) {
    char text[32];
    std::snprintf(
        text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(time.ticks / 75 / 60),
        static_cast<long long>(time.ticks / 75 % 60), static_cast<long long>(time.ticks % 75));
    return text;
}

class CueSheetReader {
public:
    std::optional<SheetError> readLine(int lineNumber, std::string_view line);
    std::optional<SheetError> finish(int lastLine);
    CueSheet take() { return std::move(sheet_); }

private:
    std::optional<SheetError> readFile(const std::vector<std::string>& words);
    std::optional<SheetError> readTrack(const std::vector<std::string>& words);
    std::optional<SheetError> readIndex(const std::vector<std::string>& words);
    std::optional<SheetError> trackWithoutIndex() const;
    SheetError refuse(std::string reason) const { return {"", line_, std::move(reason)}; }
    // Where a track's ISRC or SONGWRITER goes; nullptr for another command,
    // or outside a track.
    std::string* trackOnlyField(const std::string& command) {
        if (!inTrack_) return nullptr;
        if (command == "ISRC") return &sheet_.tracks.back().isrc;
        if (command == "SONGWRITER") return &sheet_.tracks.back().songwriter;
        return nullptr;
    }

    CueSheet sheet_;
    int line_ = 0;
    bool inTrack_ = false;
    bool trackHasIndex_ = false;
};

std::optional<SheetError> CueSheetReader::readLine(int lineNumber, std::string_view line) {
    line_ = lineNumber;
    Words split = splitWords(line);
    if (split.unterminatedQuote) return refuse("a quote is opened and not closed");
    const std::vector<std::string>& words = split.words;
    if (words.empty()) return std::nullopt;
    const std::string command = upper(words[0]);
    const std::string text = joined(words, 1, words.size());
    if (command == "FILE") return readFile(words);
    if (command == "TRACK") return readTrack(words);
    if (command == "INDEX") return readIndex(words);
    if (std::string* trackField = trackOnlyField(command)) {
        *trackField = text;
    } else if (command == "TITLE" || command == "PERFORMER") {
        std::string& field = inTrack_ ? (command == "TITLE" ? sheet_.tracks.back().title
                                                            : sheet_.tracks.back().performer)
                                      : (command == "TITLE" ? sheet_.title : sheet_.performer);
        field = text;
    } else if (command == "REM" && words.size() >= 2 && !inTrack_) {
        const std::string what = upper(words[1]);
        if (what == "DATE") sheet_.date = joined(words, 2, words.size());
        if (what == "GENRE") sheet_.genre = joined(words, 2, words.size());
    }
    return std::nullopt;
}

std::optional<SheetError> CueSheetReader::readFile(const std::vector<std::string>& words) {
    if (sheet_.fileName) {
        return refuse("a second FILE (the first is on line " + std::to_string(sheet_.fileLine) +
                      "): a sheet over several files cannot split one SOURCE");
    }
    if (words.size() < 2) return refuse("FILE names no file");
    // FILE "name" TYPE; an unquoted name with blanks ends before the type.
    sheet_.fileName = words.size() == 2 ? words[1] : joined(words, 1, words.size() - 1);
    sheet_.fileLine = line_;
    return std::nullopt;
}

std::optional<SheetError> CueSheetReader::trackWithoutIndex() const {
    if (!inTrack_ || trackHasIndex_) return std::nullopt;
    const CueTrack& track = sheet_.tracks.back();
    return SheetError{"", track.line, "track " + std::to_string(track.number) + " has no INDEX 01"};
}

std::optional<SheetError> CueSheetReader::readTrack(const std::vector<std::string>& words) {
    if (auto missing = trackWithoutIndex()) return missing;
    const auto number = words.size() >= 2 ? wholeNumber(words[1], 3) : std::nullopt;
    if (!number || *number < 1 || *number > kHighestTrackNumber) {
        return refuse("TRACK needs a number from 1 to 999");
    }
    if (words.size() >= 3 && upper(words[2]) != "AUDIO") {
        return refuse("track " + std::to_string(*number) + " is " + shownValue(words[2]) +
                      ", not AUDIO: an MP3 holds audio tracks only");
    }
    if (!sheet_.tracks.empty() && *number <= sheet_.tracks.back().number) {
        return refuse("track " + std::to_string(*number) + " comes after track " +
                      std::to_string(sheet_.tracks.back().number) + ": numbers must rise");
    }
    CueTrack track;
    track.number = static_cast<int>(*number);
    track.line = line_;
    sheet_.tracks.push_back(std::move(track));
    inTrack_ = true;
    trackHasIndex_ = false;
    return std::nullopt;
}

std::optional<SheetError> CueSheetReader::readIndex(const std::vector<std::string>& words) {
    if (!inTrack_) return refuse("INDEX before the first TRACK");
    const auto number = words.size() >= 2 ? wholeNumber(words[1], 2) : std::nullopt;
    if (!number) return refuse("INDEX needs a number from 00 to 99 and a time mm:ss:ff");
    const std::string timeText = words.size() >= 3 ? words[2] : "";
    const auto time = cueTime(timeText);
    if (!time) {
        return refuse("INDEX " + words[1] + " \"" + shownValue(timeText) +
                      "\" is no time (mm:ss:ff, ss below 60, ff below 75)");
    }
    // INDEX 00 opens the pregap, which plays as the end of the track before;
    // later indexes mark places inside the track.
    CueTrack& track = sheet_.tracks.back();
    if (*number == 0) track.pregap = *time;
    if (*number != 1) return std::nullopt;
    if (trackHasIndex_)
        return refuse("track " + std::to_string(track.number) + " has a second INDEX 01");
    if (sheet_.tracks.size() >= 2) {
        const CueTrack& before = sheet_.tracks[sheet_.tracks.size() - 2];
        if (*time <= before.begin) {
            return refuse("track " + std::to_string(track.number) + " begins at " +
                          shownValue(timeText) + ", not after track " +
                          std::to_string(before.number) + " (" + cueTimeText(before.begin) + ")");
        }
    }
    track.begin = *time;
    track.indexLine = line_;
    trackHasIndex_ = true;
    return std::nullopt;
}

std::optional<SheetError> CueSheetReader::finish(int lastLine) {
    if (auto missing = trackWithoutIndex()) return missing;
    if (sheet_.tracks.empty()) return SheetError{"", lastLine, "the sheet has no TRACK"};
    return std::nullopt;
}

}  // namespace

std::variant<CueSheet, SheetError> parseCueSheet(std::string_view bytes) {
    const auto text = decodeSheetText(bytes);
    if (!text) return notTextError(bytes, "the sheet");
    const std::vector<std::string_view> lines = splitLines(text->utf8);
    CueSheetReader reader;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (auto error = reader.readLine(static_cast<int>(i + 1), lines[i])) return *error;
    }
    if (auto error = reader.finish(std::max(1, static_cast<int>(lines.size())))) return *error;
    CueSheet sheet = reader.take();
    sheet.encoding = text->encoding;
    return sheet;
}

}  // namespace snipwell
