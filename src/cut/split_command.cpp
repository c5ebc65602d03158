#include "cut/split_command.h"

#include <filesystem>
#include <variant>

#include "clip/export/temporary_file_cleanup.h"
#include "common/clip_time.h"
#include "cut/chosen_split_source.h"
#include "cut/counted_files.h"
#include "cut/cut_tracks.h"
#include "cut/file_step.h"
#include "cut/folder_in_the_way.h"
#include "cut/gain_options.h"
#include "cut/plan_files.h"
#include "cut/terminal_progress.h"
#include "cut/track_path_check.h"
#include "split/split_plan_report.h"
#include "split/track_names.h"
#include "split/trimmed_tracks.h"

namespace snipwell {
namespace {

// What a track may add to its share of the source's audio: its own tag
// frames, the ID3v1 tag, and the few frames it shares with its neighbours
// or puts in front (the largest MP3 frame is under 3 kB).
constexpr std::uint64_t kTrackOverheadBytes = 1024 + 128 + 8 * 2881;

CutFailure notSplit(CutFailure failure) { return atStage(std::move(failure), CutStage::split); }

CutFailure notSplit(CutCause why) { return notSplit(failureOf(std::move(why))); }

CutFailure refused(CommandRefusalKind kind, std::string path = {}) {
    return refusedBy(CutStage::request, CommandRefusal(kind, std::move(path)));
}

void warn(CutConsole& console, const std::string& text) {
    std::fprintf(console.err, "snipwell-cut: warning: %s\n", text.c_str());
}

// The tracks as the chosen source gives them, its warnings told, or why
// nothing can be split. A sheet or a source that cannot be read at all
// fails with the run-time error's words.
CutResult<SplitPoints> splitPoints(const CutArguments& arguments, const SourceLength& length,
                                   SourceLevels& levels, CutConsole& console) {
    const auto source = chosenSplitSource(arguments, levels);
    if (!source) return SplitPoints{};
    auto read = fileStep([&] { return source->pointsFor({arguments.source, length}); });
    if (auto* failure = std::get_if<CutFailure>(&read)) return notSplit(std::move(*failure));
    auto& found = std::get<0>(read);
    if (auto* refusal = std::get_if<SheetError>(&found)) return notSplit(std::move(*refusal));
    if (auto* refusal = std::get_if<SplitPlanError>(&found)) return notSplit(std::move(*refusal));
    auto& points = std::get<SplitPoints>(found);
    for (const std::string& warning : points.warnings) warn(console, warning);
    return std::move(points);
}

std::string trackPath(const std::string& folder, const std::string& name) {
    return (std::filesystem::path(folder) / name).string();
}

bool askToOverwrite(CutConsole& console, std::size_t existing, const std::string& folder) {
    std::fprintf(console.err,
                 "snipwell-cut: %zu of the tracks already exist in \"%s\". Overwrite them? [y/N] ",
                 existing, folder.c_str());
    std::fflush(console.err);
    std::string answer;
    if (!console.readAnswer || !console.readAnswer(answer)) return false;
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes";
}

// Existing tracks, the source among the targets, and a plan file to be
// written over a track. Returns the reason to stop (with no stage), or
// nullopt to go on.
std::optional<CutFailure> targetProblem(const CutArguments& arguments, Files& files,
                                        const std::vector<std::string>& paths,
                                        CutConsole& console) {
    std::vector<std::string> existing;
    for (const std::string& path : paths) {
        if (auto folder = folderInTheWay(path)) return folder;
        if (isSourceItself(files, path, arguments.source)) {
            return refused(CommandRefusalKind::trackOverwritesSource, arguments.source);
        }
        if (files.exists(path)) existing.push_back(path);
    }
    if (auto problem = planFileProblem(arguments, files, paths, existing)) return problem;
    if (existing.empty() || arguments.force) return std::nullopt;
    if (console.interactive) {
        if (askToOverwrite(console, existing.size(), arguments.folder)) return std::nullopt;
        return refused(CommandRefusalKind::notOverwritten);
    }
    return refusedBy(CutStage::request,
                     CommandRefusal(CommandRefusalKind::targetExists, existing.front(), {}, 0, 0,
                                    static_cast<std::int64_t>(existing.size())));
}

// The tracks a stopped split keeps: the first `count` of the plan.
KeptTracks keptTracks(const SplitPlan& plan, std::size_t count, const std::string& folder) {
    KeptTracks kept;
    kept.folder = folder;
    for (std::size_t i = 0; i < count; ++i) kept.names.push_back(plan.tracks[i].fileName);
    return kept;
}

// The gain every track gets, settled before anything is written; with the
// guard, one step for every track from the loudest sample of the whole
// source. Nothing for a dry run.
CutResult<AppliedGain> splitGain(const CutArguments& arguments, Files& files,
                                 const SplitServices& services) {
    if (arguments.dryRun || !arguments.gain.changesFrames()) return AppliedGain{};
    double peak = 0;
    if (arguments.gain.needsGuard()) {
        if (!services.peakOf) return notSplit(CommandRefusal(CommandRefusalKind::guardUnavailable));
        auto size = sourceSize(files, arguments.source);
        if (auto* failure = std::get_if<CutFailure>(&size)) return notSplit(std::move(*failure));
        auto measured = guardedPeak(services.peakOf, arguments.source, 0,
                                    static_cast<std::uint64_t>(std::get<std::int64_t>(size)));
        if (auto* failure = std::get_if<CutFailure>(&measured))
            return notSplit(std::move(*failure));
        peak = std::get<double>(measured);
    }
    return settleGain(arguments.gain, [peak] { return peak; });
}

// The gain part of a track's summary line, with the track's own clamps.
std::string trackGain(AppliedGain gain, std::uint64_t clampedGranules) {
    gain.clampedGranules = clampedGranules;
    return describeAppliedGain(gain);
}

// The audio that goes into no track: the stretch before the first track,
// and all that labels leave out after it, each told once.
void warnOfAudioLeftOut(CutConsole& console, const SplitPlan& plan) {
    if (plan.leadingSamplesLeftOut > 0) {
        warn(console, "the first " +
                          formatClipTime(
                              samplesToMilliseconds(plan.leadingSamplesLeftOut, plan.sampleRate)) +
                          " of the source, before track " +
                          std::to_string(plan.tracks.front().number) + ", go into no track");
    }
    if (plan.laterSamplesLeftOut > 0) {
        warn(console,
             formatClipTime(samplesToMilliseconds(plan.laterSamplesLeftOut, plan.sampleRate)) +
                 " of the source, between the tracks and after the last, go into no "
                 "track");
    }
}

// The first track that cannot be saved under its path, and why.
std::optional<CutFailure> trackPathsProblem(const SplitPlan& plan, const std::string& folder) {
    for (const PlannedTrack& track : plan.tracks) {
        if (auto problem = trackPathProblem(folder, track.fileName, track.number)) return problem;
    }
    return std::nullopt;
}

// "Saved 03 Third.mp3: 0:49.347, 901 kB"
std::string savedTrackLine(const SplitPlan& plan, const PlannedTrack& track, std::uint64_t bytes) {
    return "Saved " + track.fileName + ": " +
           formatClipTime(samplesToMilliseconds(track.samples(), plan.sampleRate)) + ", " +
           formatByteCount(static_cast<std::int64_t>(bytes));
}

// The plan as the track engine's job: every track cut in one walk over the
// source, with its own tags and the gain every track gets, each committed
// as soon as it is complete (the plan has walked the source already).
TrackJob trackJobOf(const SplitPlan& plan, const std::string& source,
                    const std::vector<std::string>& paths, const SourceTags& tags,
                    const mp3::GainSettings& gain) {
    TrackJob job;
    job.sourcePath = source;
    job.sampleRate = plan.sampleRate;
    job.sourceLengthMs = samplesToMilliseconds(plan.sourceSamples, plan.sampleRate);
    job.commits = TrackCommits::asTheyFinish;
    for (std::size_t i = 0; i < plan.tracks.size(); ++i) {
        const PlannedTrack& planned = plan.tracks[i];
        TrackToWrite track;
        track.beginMs = planned.begin.milliseconds();
        track.endMs = planned.end.milliseconds();
        track.beginSample = planned.beginSample;
        track.endSample = planned.endSample;
        track.milliseconds = samplesToMilliseconds(planned.samples(), plan.sampleRate);
        track.targetPath = paths[i];
        track.gain = gain;
        job.tracks.push_back(std::move(track));
    }
    job.tagsOf = [&plan, &tags](std::size_t index) {
        return TrackTagBytes{trackId3v2Tag(tags, plan, plan.tracks[index]),
                             trackId3v1Tag(tags, plan, plan.tracks[index])};
    };
    return job;
}

// Trims the tracks as asked, from the job's one scan of the levels; nullopt
// when done, or why nothing can be split.
std::optional<CutFailure> trimmed(const CutArguments& arguments, const SourceLength& length,
                                  SourceLevels& levels, SplitPlan& plan, CutConsole& console) {
    if (!arguments.trim.trims()) return std::nullopt;
    auto measured = levels.of(length);
    if (auto* refusal = std::get_if<SplitPlanError>(&measured))
        return notSplit(std::move(*refusal));
    for (const std::string& warning :
         trimTracks(plan, *std::get<const level::WindowLevels*>(measured), arguments.trim)) {
        warn(console, warning);
    }
    return std::nullopt;
}

// A dry run: the plan on the terminal, and in the plan files asked for,
// with no track written.
CutOutcome reviewPlan(const CutArguments& arguments, Files& files, const SplitPlan& plan,
                      CutConsole& console) {
    std::fputs(splitPlanTable(plan).c_str(), console.out);
    std::fflush(console.out);
    auto problem = targetProblem(arguments, files, {}, console);
    if (!problem) problem = writePlanFiles(arguments, files, plan);
    if (problem) return atStage(std::move(*problem), CutStage::plan);
    return std::nullopt;
}

// The plan made from the source and the chosen split points, trimmed and
// checked, with the source's tags for a split that writes: everything that
// is known before a question is asked or a file is touched.
struct CheckedPlan {
    SplitPlan plan;
    SourceTags tags;
};

CutResult<CheckedPlan> checkedPlan(const CutArguments& arguments, const SplitServices& services,
                                   CutConsole& console) {
    auto measured = services.measure(arguments.source, !arguments.bytes);
    if (auto* failure = std::get_if<CutFailure>(&measured)) return notSplit(std::move(*failure));
    const SourceLength length = std::get<SourceLength>(measured);
    SourceLevels levels(levelScanOf(services, arguments.source));
    auto points = splitPoints(arguments, length, levels, console);
    if (auto* failure = std::get_if<CutFailure>(&points)) return std::move(*failure);
    const auto& found = std::get<SplitPoints>(points);
    auto planned = planSplit(found.tracks, found.album, length, arguments.nameTemplate);
    if (auto* error = std::get_if<SplitPlanError>(&planned)) return notSplit(std::move(*error));
    CheckedPlan checked{std::move(std::get<SplitPlan>(planned)), {}};
    if (auto failure = trimmed(arguments, length, levels, checked.plan, console)) return *failure;
    if (auto clash = duplicateTrackName(checked.plan)) return notSplit(SplitPlanError{*clash});
    if (auto problem = trackPathsProblem(checked.plan, arguments.folder)) {
        return notSplit(std::move(*problem));
    }
    if (!arguments.dryRun) {
        auto tags = services.readTags(arguments.source);
        if (auto* failure = std::get_if<CutFailure>(&tags)) return notSplit(std::move(*failure));
        checked.tags = std::move(std::get<SourceTags>(tags));
    }
    return checked;
}

// The room the job needs, and FOLDER made; the bytes it may write, or why
// nothing can be split.
CutResult<std::uint64_t> preparedFolder(const CutArguments& arguments, Files& files,
                                        const SplitServices& services, const SourceTags& tags,
                                        std::size_t tracks) {
    auto size = sourceSize(files, arguments.source);
    if (auto* failure = std::get_if<CutFailure>(&size)) return notSplit(std::move(*failure));
    const std::uint64_t needed =
        splitBytesNeeded(static_cast<std::uint64_t>(std::get<std::int64_t>(size)), tags, tracks);
    if (const auto free = services.freeBytes(arguments.folder); free && *free < needed) {
        return notSplit(CommandRefusal(CommandRefusalKind::notEnoughSpace, arguments.folder, {},
                                       static_cast<std::int64_t>(needed),
                                       static_cast<std::int64_t>(*free)));
    }
    if (auto failure = services.makeFolder(arguments.folder)) return notSplit(std::move(*failure));
    return needed;
}

bool interrupted(const SplitServices& services) {
    return services.interrupted && services.interrupted();
}

// A split ready to write: its plan and job, the gain every track gets and
// the most bytes it may write.
struct SplitJob {
    const SplitPlan& plan;
    const TrackJob& job;
    AppliedGain gain;
    std::uint64_t neededBytes;
};

// Writes every track, one summary line each. A failure stops the job; the
// finished tracks are kept and named, the unfinished one removed.
CutOutcome writeTracks(const CutArguments& arguments, Files& files, const SplitServices& services,
                       CutConsole& console, const SplitJob& split) {
    const SplitPlan& plan = split.plan;
    std::size_t finished = 0;
    std::optional<std::size_t> failedTrack;
    std::vector<std::uint64_t> clamped(plan.tracks.size(), 0);
    // From here on a first Ctrl-C only asks the job to stop, so that it ends
    // in order; before, while questions may be asked, it ends the program.
    const DeferredInterruptions deferred;
    // The bar follows the bytes written into the tracks, out of the most
    // the job may write; it ends at 100 % once every track is saved.
    CountedFiles counted(files);
    TerminalProgress progress(arguments.quiet ? nullptr : console.err);
    progress.start(static_cast<std::int64_t>(split.neededBytes));
    TrackCallbacks callbacks;
    callbacks.progress = [&](std::uint64_t, std::uint64_t) {
        // Stopped between frames, the job ends as a failure does.
        if (interrupted(services)) throw JobInterrupted();
        progress.show(static_cast<std::int64_t>(counted.written()));
    };
    callbacks.saved = [&](std::size_t index, std::uint64_t bytes) {
        finished = index + 1;
        if (arguments.quiet) return;
        progress.clear();
        std::fprintf(console.out, "%s%s\n", savedTrackLine(plan, plan.tracks[index], bytes).c_str(),
                     trackGain(split.gain, clamped[index]).c_str());
        std::fflush(console.out);
    };
    callbacks.clamped = [&](std::size_t index, std::uint64_t granules) {
        clamped[index] = granules;
    };
    callbacks.failed = [&](std::size_t index) { failedTrack = index; };
    auto failure =
        CutTracks(split.job, !arguments.bytes, counted, ExactRefusalWording::suggestingBytes)
            .write(callbacks);
    if (!failure) failure = writePlanFiles(arguments, files, plan);
    if (!failure) {
        progress.complete();
        return std::nullopt;
    }
    progress.finish();
    const std::size_t stoppedAt = failedTrack.value_or(finished);
    if (stoppedAt < plan.tracks.size()) {
        failure->stage = CutStage::track;
        failure->trackNumber = plan.tracks[stoppedAt].number;
        failure->trackName = plan.tracks[stoppedAt].fileName;
    } else {
        failure->stage = CutStage::plan;
    }
    failure->kept = keptTracks(plan, finished, arguments.folder);
    return failure;
}

}  // namespace

std::uint64_t splitBytesNeeded(std::uint64_t sourceBytes, const SourceTags& tags,
                               std::size_t tracks) {
    const std::uint64_t tagBytes = tags.id3v2Bytes + (tags.id3v1 ? mp3::kId3v1Bytes : 0);
    const std::uint64_t audio = sourceBytes > tagBytes ? sourceBytes - tagBytes : 0;
    return audio + tracks * (tags.id3v2Bytes + kTrackOverheadBytes);
}

CutOutcome runSplit(const CutArguments& arguments, Files& files, const SplitServices& services,
                    CutConsole& console) {
    auto checked = checkedPlan(arguments, services, console);
    if (auto* failure = std::get_if<CutFailure>(&checked)) return std::move(*failure);
    const SplitPlan& plan = std::get<CheckedPlan>(checked).plan;
    const SourceTags& tags = std::get<CheckedPlan>(checked).tags;
    warnOfAudioLeftOut(console, plan);
    if (arguments.dryRun) return reviewPlan(arguments, files, plan, console);

    std::vector<std::string> paths;
    for (const PlannedTrack& track : plan.tracks)
        paths.push_back(trackPath(arguments.folder, track.fileName));
    if (auto problem = targetProblem(arguments, files, paths, console)) {
        return notSplit(std::move(*problem));
    }
    auto gain = splitGain(arguments, files, services);
    if (auto* failure = std::get_if<CutFailure>(&gain)) return std::move(*failure);
    auto needed = preparedFolder(arguments, files, services, tags, plan.tracks.size());
    if (auto* failure = std::get_if<CutFailure>(&needed)) return std::move(*failure);

    const TrackJob job = trackJobOf(plan, arguments.source, paths, tags,
                                    gainSettingsOf(std::get<AppliedGain>(gain)));
    return writeTracks(arguments, files, services, console,
                       {plan, job, std::get<AppliedGain>(gain), std::get<std::uint64_t>(needed)});
}

}  // namespace snipwell
