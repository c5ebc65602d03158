#include "split/cue_sheet_source.h"

#include <filesystem>
#include <utility>

#include "split/sheet_file.h"

namespace snipwell {
namespace {

std::string quote(const std::string& text) { return "\"" + text + "\""; }

std::string fileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

}  // namespace

std::vector<TrackSpec> tracksFromCueSheet(const CueSheet& sheet) {
    std::vector<TrackSpec> specs;
    for (const CueTrack& track : sheet.tracks) {
        TrackSpec asked = numberedTrack(track.number, track.begin);
        asked.title = track.title;
        asked.performer = track.performer;
        asked.isrc = track.isrc;
        asked.songwriter = track.songwriter;
        asked.pregap = track.pregap;
        asked.where = "line " + std::to_string(track.indexLine) + ": " + asked.where;
        specs.push_back(std::move(asked));
    }
    return specs;
}

AlbumInfo albumOf(const CueSheet& sheet) {
    return {sheet.title, sheet.performer, sheet.date, sheet.genre};
}

SplitPointsOrRefusal CueSheetSource::pointsFor(const SplitSubject& subject) const {
    auto parsed = parseCueSheet(readSheetFile(sheetPath_, kLargestSheetBytes));
    if (auto* error = std::get_if<SheetError>(&parsed)) {
        error->file = sheetPath_;
        return std::move(*error);
    }
    const CueSheet& sheet = std::get<CueSheet>(parsed);
    SplitPoints points{tracksFromCueSheet(sheet), albumOf(sheet), {}};
    // Only the name is compared: the sheet's FILE is relative to where the
    // sheet was made.
    if (sheet.fileName && fileNameOf(*sheet.fileName) != fileNameOf(subject.path)) {
        points.warnings.push_back(quote(sheetPath_) + " line " + std::to_string(sheet.fileLine) +
                                  " names " + quote(*sheet.fileName) + "; splitting " +
                                  quote(subject.path) + " instead");
    }
    return points;
}

}  // namespace snipwell
