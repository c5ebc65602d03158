#pragma once
// The file names of a split's tracks. By default "NN Title.mp3" (two-digit
// track number, a blank, the title), or "Track NN.mp3" for a track without a
// title. A --name template puts {n}, {nn}, {title}, {performer} and {album}
// where it likes; ".mp3" is added unless it already ends so. A name never
// leaves its folder: '/' and control characters become '_', and a name that
// is empty or would be too long for the file system is mended the same way
// for every track.

#include <optional>
#include <string>
#include <string_view>

namespace snipwell {

struct SplitPlan;
struct PlannedTrack;
struct AlbumInfo;

// Why a template is no template, e.g. "unknown field {titel} in --name"
// (fields are {n}, {nn}, {title}, {performer}, {album}); nullopt when fine.
std::optional<std::string> nameTemplateProblem(std::string_view nameTemplate);

// The name of one track, sanitised. An empty template is the default.
std::string trackFileName(std::string_view nameTemplate, const PlannedTrack& track,
                          const AlbumInfo& album);

// Fills in every track's fileName.
void nameTracks(SplitPlan& plan, std::string_view nameTemplate);

// '/' and characters below U+0020 or U+007F become '_'; U+0080–U+009F too.
std::string sanitisedFileName(std::string_view name);

// "tracks 3 and 7 would both be named "03 Intro.mp3"": the first clash, if any.
std::optional<std::string> duplicateTrackName(const SplitPlan& plan);

}  // namespace snipwell
