#include "split/split_plan.h"

#include <cstdio>
#include <utility>

#include "common/clip_time.h"
#include "split/track_names.h"

namespace snipwell {
namespace {

std::string timeText(const SplitTime& time) { return formatClipTime(time.milliseconds()); }

// "0:10.000013": to the microsecond, for two times that milliseconds show
// alike.
std::string microsecondText(const SplitTime& time) {
    const std::int64_t us = time.ticks * 1'000'000 / time.ticksPerSecond;
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, "%03lld", static_cast<long long>(us % 1000));
    return formatClipTime(us / 1000) + fraction;
}

// "line 7: track 1 ends at 0:11.000, past the end of the source (0:10.000)":
// the time and the source's end to the millisecond, or to the microsecond
// where that alone tells them apart.
SplitPlanError pastSourceEnd(const std::string& where, const char* happens, const SplitTime& time,
                             const char* past, const SplitTime& sourceEnd,
                             const std::string& lengthText) {
    const bool alike = timeText(time) == lengthText && !(time == sourceEnd);
    std::string reason = where;
    reason += happens;
    reason += alike ? microsecondText(time) : timeText(time);
    reason += past;
    reason += alike ? microsecondText(sourceEnd) : lengthText;
    reason += ")";
    return {reason};
}

// The samples after the first track's begin that go into no track.
std::uint64_t laterSamplesLeftOut(const SplitPlan& plan) {
    std::uint64_t leftOut = 0;
    for (std::size_t i = 0; i < plan.tracks.size(); ++i) {
        const std::uint64_t next =
            i + 1 < plan.tracks.size() ? plan.tracks[i + 1].beginSample : plan.sourceSamples;
        if (next > plan.tracks[i].endSample) leftOut += next - plan.tracks[i].endSample;
    }
    return leftOut;
}

}  // namespace

std::int64_t samplesToMilliseconds(std::uint64_t samples, std::uint32_t rate) {
    if (rate == 0) return 0;
    return static_cast<std::int64_t>((samples * 1000 + rate / 2) / rate);
}

TrackSpec numberedTrack(int number, SplitTime begin) {
    TrackSpec asked;
    asked.number = number;
    asked.begin = begin;
    asked.where = "track " + std::to_string(number);
    return asked;
}

std::variant<SplitPlan, SplitPlanError> planSplit(const std::vector<TrackSpec>& specs,
                                                  const AlbumInfo& album,
                                                  const SourceLength& source,
                                                  const std::string& nameTemplate) {
    if (specs.empty()) return SplitPlanError{"there is no track to make"};
    if (specs.size() > kMostTracks) {
        return SplitPlanError{"the split would make " + std::to_string(specs.size()) +
                              " tracks, more than " + std::to_string(kMostTracks)};
    }
    if (source.sampleRate == 0 || source.samples == 0) {
        return SplitPlanError{"the source plays no sample"};
    }
    SplitPlan plan;
    plan.album = album;
    plan.sampleRate = source.sampleRate;
    plan.sourceSamples = source.samples;
    const SplitTime sourceEnd = source.end();
    const std::string lengthText =
        formatClipTime(samplesToMilliseconds(source.samples, source.sampleRate));
    // Every begin first, so that a time past the end or out of order is
    // named as such rather than as the end of the track before it.
    for (std::size_t i = 0; i < specs.size(); ++i) {
        const TrackSpec& asked = specs[i];
        if (i > 0 && asked.begin < specs[i - 1].begin) {
            return SplitPlanError{asked.where + " begins at " + timeText(asked.begin) +
                                  ", before the track before it (" + timeText(specs[i - 1].begin) +
                                  ")"};
        }
        if (sourceEnd <= asked.begin) {
            return pastSourceEnd(asked.where, " begins at ", asked.begin,
                                 ", at or past the end of the source (", sourceEnd, lengthText);
        }
    }
    for (std::size_t i = 0; i < specs.size(); ++i) {
        const TrackSpec& asked = specs[i];
        if (i > 0 && asked.begin < plan.tracks.back().end) {
            return SplitPlanError{asked.where + " begins at " + timeText(asked.begin) +
                                  ", before the track before it ends (" +
                                  timeText(plan.tracks.back().end) + ")"};
        }
        PlannedTrack track;
        track.number = asked.number;
        track.title = asked.title;
        track.performer = asked.performer.empty() ? album.performer : asked.performer;
        track.begin = asked.begin;
        track.isrc = asked.isrc;
        track.songwriter = asked.songwriter;
        track.pregap = asked.pregap;
        track.notes = asked.notes;
        track.end = asked.end ? *asked.end : i + 1 < specs.size() ? specs[i + 1].begin : sourceEnd;
        if (sourceEnd < track.end) {
            return pastSourceEnd(asked.where, " ends at ", track.end,
                                 ", past the end of the source (", sourceEnd, lengthText);
        }
        track.beginSample = track.begin.sampleAt(source.sampleRate);
        track.endSample = track.end.sampleAt(source.sampleRate);
        if (track.endSample <= track.beginSample) {
            return SplitPlanError{asked.where + " from " + timeText(track.begin) + " to " +
                                  timeText(track.end) + " holds no sample"};
        }
        plan.tracks.push_back(std::move(track));
    }
    plan.leadingSamplesLeftOut = plan.tracks.front().beginSample;
    plan.laterSamplesLeftOut = laterSamplesLeftOut(plan);
    nameTracks(plan, nameTemplate);
    return plan;
}

}  // namespace snipwell
