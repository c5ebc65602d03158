#include "split/cue_sheet_writer.h"

#include <cstdio>
#include <filesystem>

namespace snipwell {
namespace {

std::string quoted(std::string text) {
    for (char& ch : text) {
        if (ch == '"') ch = '\'';
        if (ch == '\r' || ch == '\n') ch = ' ';
    }
    return "\"" + text + "\"";
}

std::string relativeName(const std::string& path, const std::string& sheetPath) {
    namespace fs = std::filesystem;
    const fs::path file = fs::absolute(path).lexically_normal();
    const fs::path folder = fs::absolute(sheetPath).lexically_normal().parent_path();
    const fs::path relative = file.lexically_relative(folder);
    return relative.empty() ? file.string() : relative.string();
}

// mm:ss:ff at the nearest 75th of a second; a time read from a sheet is one
// already and stays as it was.
std::string cueTimeText(const SplitTime& time) {
    const std::int64_t frames = (time.ticks * 75 + time.ticksPerSecond / 2) / time.ticksPerSecond;
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld",
                  static_cast<long long>(frames / 75 / 60),
                  static_cast<long long>(frames / 75 % 60), static_cast<long long>(frames % 75));
    return text;
}

}  // namespace

std::string cueSheetForSplit(const SplitPlan& plan, const std::string& sourcePath,
                             const std::string& sheetPath) {
    std::string sheet;
    if (!plan.album.genre.empty()) sheet += "REM GENRE " + quoted(plan.album.genre) + "\r\n";
    if (!plan.album.date.empty()) sheet += "REM DATE " + plan.album.date + "\r\n";
    if (!plan.album.performer.empty())
        sheet += "PERFORMER " + quoted(plan.album.performer) + "\r\n";
    if (!plan.album.title.empty()) sheet += "TITLE " + quoted(plan.album.title) + "\r\n";
    sheet += "FILE " + quoted(relativeName(sourcePath, sheetPath)) + " MP3\r\n";
    for (const PlannedTrack& track : plan.tracks) {
        char number[16];
        std::snprintf(number, sizeof number, "%02d", track.number);
        sheet += std::string("  TRACK ") + number + " AUDIO\r\n";
        if (!track.title.empty()) sheet += "    TITLE " + quoted(track.title) + "\r\n";
        if (!track.performer.empty()) sheet += "    PERFORMER " + quoted(track.performer) + "\r\n";
        if (!track.songwriter.empty())
            sheet += "    SONGWRITER " + quoted(track.songwriter) + "\r\n";
        if (!track.isrc.empty()) sheet += "    ISRC " + track.isrc + "\r\n";
        if (track.pregap) sheet += "    INDEX 00 " + cueTimeText(*track.pregap) + "\r\n";
        sheet += "    INDEX 01 " + cueTimeText(track.begin) + "\r\n";
    }
    return sheet;
}

}  // namespace snipwell
