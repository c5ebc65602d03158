#include "split/track_tags.h"

#include <algorithm>
#include <string_view>

#include "mp3/id3v2_tag_builder.h"

namespace snipwell {
namespace {

// Frames that no track keeps: what every track gets anew, the date frames
// ID3v2.4 has no place for (their year becomes TDRC), and frames that point
// at places in the whole file's audio.
constexpr std::string_view kNeverKept[] = {"TIT2", "TRCK", "TLEN", "TYER", "TDAT", "TIME", "TRDA",
                                           "TSIZ", "TORY", "IPLS", "RVAD", "EQUA", "MLLT", "ETCO",
                                           "SYLT", "SYTC", "SEEK", "ASPI", "CHAP", "CTOC"};

bool isNeverKept(const mp3::Id3v2Frame& frame) {
    if ((frame.flags & mp3::kDiscardWhenAudioAltered) != 0) return true;
    return std::find(std::begin(kNeverKept), std::end(kNeverKept), frame.id) !=
           std::end(kNeverKept);
}

const mp3::Id3v2Frame* findFrame(const SourceTags& source, std::string_view id) {
    for (const mp3::Id3v2Frame& frame : source.frames) {
        if (frame.id == id) return &frame;
    }
    return nullptr;
}

// The track's values; empty where the source's own frame stays.
struct TrackFields {
    std::string performer;
    std::string album;
    std::string date;
    std::string genre;
};

TrackFields trackFields(const SplitPlan& plan, const PlannedTrack& track) {
    return {track.performer, plan.album.title, plan.album.date, plan.album.genre};
}

}  // namespace

std::vector<std::uint8_t> trackId3v2Tag(const SourceTags& source, const SplitPlan& plan,
                                        const PlannedTrack& track) {
    const TrackFields fields = trackFields(plan, track);
    const auto replaced = [&](const std::string& id) {
        return (id == "TPE1" && !fields.performer.empty()) ||
               (id == "TALB" && !fields.album.empty()) || (id == "TDRC" && !fields.date.empty()) ||
               (id == "TCON" && !fields.genre.empty());
    };
    mp3::Id3v2TagBuilder tag;
    for (const mp3::Id3v2Frame& frame : source.frames) {
        if (!isNeverKept(frame) && !replaced(frame.id)) tag.add(frame);
    }
    // A 2.3 tag's year moves to TDRC when nothing else gives the date.
    std::string date = fields.date;
    if (date.empty() && findFrame(source, "TDRC") == nullptr) {
        if (const mp3::Id3v2Frame* year = findFrame(source, "TYER")) {
            date = mp3::id3v2FrameText(*year).value_or("");
        }
    }
    if (!track.title.empty()) tag.addText("TIT2", track.title);
    if (!fields.performer.empty()) tag.addText("TPE1", fields.performer);
    if (!fields.album.empty()) tag.addText("TALB", fields.album);
    tag.addText("TRCK", std::to_string(track.number) + "/" + std::to_string(plan.tracks.size()));
    if (!date.empty()) tag.addText("TDRC", date);
    if (!fields.genre.empty()) tag.addText("TCON", fields.genre);
    tag.addText("TLEN", std::to_string(samplesToMilliseconds(track.samples(), plan.sampleRate)));
    return tag.build();
}

std::optional<std::array<std::uint8_t, mp3::kId3v1Bytes>> trackId3v1Tag(const SourceTags& source,
                                                                        const SplitPlan& plan,
                                                                        const PlannedTrack& track) {
    if (!source.id3v1) return std::nullopt;
    const TrackFields fields = trackFields(plan, track);
    mp3::Id3v1Fields v1;
    v1.title = track.title;
    v1.artist = fields.performer;
    v1.album = fields.album;
    v1.year = fields.date;
    v1.genre = fields.genre;
    v1.track = track.number;
    return mp3::trackId3v1Tag(*source.id3v1, v1);
}

}  // namespace snipwell
