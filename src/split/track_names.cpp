#include "split/track_names.h"

#include <cstdio>
#include <map>

#include "common/shown_value.h"
#include "common/utf8_prefix.h"
#include "split/planned_tracks.h"

namespace snipwell {
namespace {

constexpr std::string_view kDefaultTemplate = "{nn} {title}";
constexpr std::string_view kUntitledTemplate = "Track {nn}";
constexpr std::string_view kExtension = ".mp3";
// Most Linux file systems hold names of up to 255 bytes.
constexpr std::size_t kLongestName = 255;

constexpr std::string_view kFields[] = {"n", "nn", "title", "performer", "album"};

std::string fieldValue(std::string_view field, const PlannedTrack& track, const AlbumInfo& album) {
    if (field == "n") return std::to_string(track.number);
    if (field == "nn") {
        char text[16];
        std::snprintf(text, sizeof text, "%02d", track.number);
        return text;
    }
    if (field == "title") return track.title;
    if (field == "performer") return track.performer;
    return album.title;
}

bool endsWithExtension(std::string_view name) {
    if (name.size() < kExtension.size()) return false;
    const std::string_view tail = name.substr(name.size() - kExtension.size());
    for (std::size_t i = 0; i < tail.size(); ++i) {
        const char ch =
            tail[i] >= 'A' && tail[i] <= 'Z' ? static_cast<char>(tail[i] - 'A' + 'a') : tail[i];
        if (ch != kExtension[i]) return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> nameTemplateProblem(std::string_view nameTemplate) {
    for (std::size_t open = nameTemplate.find('{'); open != std::string_view::npos;
         open = nameTemplate.find('{', open + 1)) {
        const std::size_t close = nameTemplate.find('}', open);
        if (close == std::string_view::npos) return "an opened { is not closed in --name";
        const std::string_view field = nameTemplate.substr(open + 1, close - open - 1);
        bool known = false;
        for (const std::string_view name : kFields) known = known || field == name;
        if (!known) {
            return "unknown field {" + shownValue(field) +
                   "} in --name (there are {n}, {nn}, {title}, {performer}, {album})";
        }
    }
    return std::nullopt;
}

std::string sanitisedFileName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        // U+0080–U+009F are C2 80 – C2 9F in UTF-8.
        if (byte == 0xC2 && i + 1 < name.size()) {
            const auto next = static_cast<unsigned char>(name[i + 1]);
            if (next >= 0x80 && next <= 0x9F) {
                out += '_';
                ++i;
                continue;
            }
        }
        out += byte == '/' || byte < 0x20 || byte == 0x7F ? '_' : name[i];
    }
    return out;
}

std::string trackFileName(std::string_view nameTemplate, const PlannedTrack& track,
                          const AlbumInfo& album) {
    if (nameTemplate.empty()) {
        nameTemplate = track.title.empty() ? kUntitledTemplate : kDefaultTemplate;
    }
    std::string name;
    for (std::size_t i = 0; i < nameTemplate.size(); ++i) {
        const std::size_t close =
            nameTemplate[i] == '{' ? nameTemplate.find('}', i) : std::string_view::npos;
        if (close == std::string_view::npos) {
            name += nameTemplate[i];
            continue;
        }
        name += fieldValue(nameTemplate.substr(i + 1, close - i - 1), track, album);
        i = close;
    }
    name = sanitisedFileName(name);
    const bool hasExtension = endsWithExtension(name);
    std::string stem = hasExtension ? name.substr(0, name.size() - kExtension.size()) : name;
    // A stem of blanks or dots alone would make a hidden name, or none at all.
    if (stem.find_first_not_of(" .") == std::string::npos) stem = "_" + stem;
    return std::string(utf8Prefix(stem, kLongestName - kExtension.size())) +
           std::string(hasExtension ? name.substr(name.size() - kExtension.size()) : kExtension);
}

void nameTracks(SplitPlan& plan, std::string_view nameTemplate) {
    for (PlannedTrack& track : plan.tracks) {
        track.fileName = trackFileName(nameTemplate, track, plan.album);
    }
}

std::optional<std::string> duplicateTrackName(const SplitPlan& plan) {
    std::map<std::string, int> seen;
    for (const PlannedTrack& track : plan.tracks) {
        const auto [where, fresh] = seen.emplace(track.fileName, track.number);
        if (!fresh) {
            return "tracks " + std::to_string(where->second) + " and " +
                   std::to_string(track.number) + " would both be named \"" + track.fileName +
                   "\" (give --name a template with {n} or {nn})";
        }
    }
    return std::nullopt;
}

}  // namespace snipwell
