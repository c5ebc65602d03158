#include "cut/cue_sheet_writer.h"

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

std::string relativeName(const std::string& trackPath, const std::string& sheetPath) {
    namespace fs = std::filesystem;
    const fs::path track = fs::absolute(trackPath).lexically_normal();
    const fs::path folder = fs::absolute(sheetPath).lexically_normal().parent_path();
    const fs::path relative = track.lexically_relative(folder);
    return relative.empty() ? track.string() : relative.string();
}

}  // namespace

std::string cueSheetForTracks(const SplitPlan& plan, const std::vector<std::string>& trackPaths,
                              const std::string& sheetPath) {
    std::string sheet;
    if (!plan.album.genre.empty()) sheet += "REM GENRE " + quoted(plan.album.genre) + "\r\n";
    if (!plan.album.date.empty()) sheet += "REM DATE " + plan.album.date + "\r\n";
    if (!plan.album.performer.empty())
        sheet += "PERFORMER " + quoted(plan.album.performer) + "\r\n";
    if (!plan.album.title.empty()) sheet += "TITLE " + quoted(plan.album.title) + "\r\n";
    for (std::size_t i = 0; i < plan.tracks.size() && i < trackPaths.size(); ++i) {
        const PlannedTrack& track = plan.tracks[i];
        char number[16];
        std::snprintf(number, sizeof number, "%02d", track.number);
        sheet += "FILE " + quoted(relativeName(trackPaths[i], sheetPath)) + " MP3\r\n";
        sheet += std::string("  TRACK ") + number + " AUDIO\r\n";
        if (!track.title.empty()) sheet += "    TITLE " + quoted(track.title) + "\r\n";
        if (!track.performer.empty()) sheet += "    PERFORMER " + quoted(track.performer) + "\r\n";
        sheet += "    INDEX 01 00:00:00\r\n";
    }
    return sheet;
}

}  // namespace snipwell
