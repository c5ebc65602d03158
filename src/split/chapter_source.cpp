#include "split/chapter_source.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "common/clip_time.h"
#include "common/runtime_error.h"
#include "mp3/id3v2_chapters.h"

namespace snipwell {
namespace {

using mp3::ChapterError;
using mp3::ChapterFault;
using mp3::Id3v2Chapter;

std::string quote(const std::string& text) { return "\"" + text + "\""; }

// The file was measured a moment ago, so failing now means it went away or
// changed under us.
RuntimeError unreadable(const std::string& path, const mp3::Mp3Error& error) {
    std::string reason = "cannot read the chapters of " + quote(path);
    if (error.systemError != 0) reason += ": " + std::generic_category().message(error.systemError);
    return RuntimeError(ErrorKind::FileError, reason);
}

mp3::Id3v2ChapterTable chapterTable(const std::string& path) {
    auto opened = mp3::BlockReader::open(path);
    if (const auto* error = std::get_if<mp3::Mp3Error>(&opened)) throw unreadable(path, *error);
    auto table = mp3::readChapterTable(std::get<mp3::BlockReader>(opened));
    if (const auto* error = std::get_if<mp3::Mp3Error>(&table)) throw unreadable(path, *error);
    return std::get<mp3::Id3v2ChapterTable>(std::move(table));
}

// The source's end in whole milliseconds, rounded up: a chapter table says
// the last chapter ends at the length rounded, and a part of a millisecond
// more is no reason to refuse it.
std::uint32_t endInMilliseconds(const SourceLength& length) {
    if (length.sampleRate == 0) return 0;
    const std::uint64_t ms = (length.samples * 1000 + length.sampleRate - 1) / length.sampleRate;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(ms, UINT32_MAX));
}

std::string chapterSpan(const Id3v2Chapter& chapter) {
    return formatClipTime(chapter.startMs) + " to " + formatClipTime(chapter.endMs);
}

SplitPlanError refusal(const ChapterError& error, const mp3::Id3v2ChapterTable& table,
                       const SplitSubject& subject) {
    const std::string named = "chapter " + quote(error.elementId);
    const auto found =
        std::find_if(table.chapters.begin(), table.chapters.end(),
                     [&](const Id3v2Chapter& c) { return c.elementId == error.elementId; });
    const std::string span = found == table.chapters.end() ? "" : " (" + chapterSpan(*found) + ")";
    switch (error.fault) {
        case ChapterFault::noChapters:
            return {quote(subject.path) + " has no chapters (no ID3v2 CHAP frame)"};
        case ChapterFault::duplicateId:
            return {"two chapters share the element id " + quote(error.elementId)};
        case ChapterFault::emptyChapter: return {named + span + " ends where it starts, or before"};
        case ChapterFault::notRising:
            return {named + span + " does not start after the chapter before it"};
        case ChapterFault::pastTrackEnd:
            return {named + span + " lies past the end of the source (" +
                    formatClipTime(
                        samplesToMilliseconds(subject.length.samples, subject.length.sampleRate)) +
                    ")"};
    }
    return {named + " cannot be followed"};
}

// A chapter that ends where the next one starts, or the last one at the
// source's end, runs to there without an end of its own, so the tracks
// meet on the same sample; one that ends earlier leaves the gap out.
std::vector<TrackSpec> tracksOf(const std::vector<Id3v2Chapter>& chapters, std::uint32_t endMs) {
    std::vector<TrackSpec> specs;
    for (std::size_t i = 0; i < chapters.size(); ++i) {
        const Id3v2Chapter& chapter = chapters[i];
        TrackSpec track =
            numberedTrack(static_cast<int>(i + 1), SplitTime::fromMilliseconds(chapter.startMs));
        const std::uint32_t meets = i + 1 < chapters.size() ? chapters[i + 1].startMs : endMs;
        const bool last = i + 1 == chapters.size();
        if (last ? chapter.endMs + 1 < meets : chapter.endMs != meets) {
            track.end = SplitTime::fromMilliseconds(chapter.endMs);
        }
        track.title = chapter.title.value_or("");
        track.where = "chapter " + quote(chapter.elementId);
        specs.push_back(std::move(track));
    }
    return specs;
}

}  // namespace

SplitPointsOrRefusal ChapterSource::pointsFor(const SplitSubject& subject) const {
    const mp3::Id3v2ChapterTable table = chapterTable(subject.path);
    const std::uint32_t endMs = endInMilliseconds(subject.length);
    auto ordered = mp3::chaptersInPlayOrder(table, endMs);
    if (const auto* error = std::get_if<ChapterError>(&ordered)) {
        return refusal(*error, table, subject);
    }
    return SplitPoints{tracksOf(std::get<std::vector<Id3v2Chapter>>(ordered), endMs), {}, {}};
}

}  // namespace snipwell
