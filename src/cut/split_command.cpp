#include "cut/split_command.h"

#include <filesystem>
#include <variant>

#include "clip/export/temporary_file_cleanup.h"
#include "common/clip_time.h"
#include "common/runtime_error.h"
#include "cut/chosen_split_source.h"
#include "cut/counted_files.h"
#include "cut/cut_tracks.h"
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

int fail(CutConsole& console, const std::string& reason) {
    std::fprintf(console.err, "snipwell-cut: %s\n", reason.c_str());
    return kCutFailed;
}

void warn(CutConsole& console, const std::string& text) {
    std::fprintf(console.err, "snipwell-cut: warning: %s\n", text.c_str());
}

std::string quote(const std::string& text) { return "\"" + text + "\""; }

// The tracks as the chosen source gives them, its warnings told; nullopt
// after a refusal, which is told as the reason nothing was split. A file
// that cannot be read throws RuntimeError.
std::optional<SplitPoints> splitPoints(const CutArguments& arguments, const SourceLength& length,
                                       SourceLevels& levels, CutConsole& console) {
    const auto source = chosenSplitSource(arguments, levels);
    if (!source) return SplitPoints{};
    auto found = source->pointsFor({arguments.source, length});
    if (const auto* refused = std::get_if<SheetError>(&found)) {
        fail(console, "nothing was split: " + describe(*refused));
        return std::nullopt;
    }
    if (const auto* refused = std::get_if<SplitPlanError>(&found)) {
        fail(console, "nothing was split: " + refused->reason);
        return std::nullopt;
    }
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
// written over a track. Returns the reason to stop, or nullopt to go on.
std::optional<std::string> targetProblem(const CutArguments& arguments, Files& files,
                                         const std::vector<std::string>& paths,
                                         CutConsole& console) {
    std::vector<std::string> existing;
    for (const std::string& path : paths) {
        if (auto folder = folderInTheWay(path)) return folder;
        if (isSourceItself(files, path, arguments.source)) {
            return "a track would overwrite the source file " + quote(arguments.source);
        }
        if (files.exists(path)) existing.push_back(path);
    }
    if (auto problem = planFileProblem(arguments, files, paths, existing)) return problem;
    if (existing.empty() || arguments.force) return std::nullopt;
    if (console.interactive) {
        if (askToOverwrite(console, existing.size(), arguments.folder)) return std::nullopt;
        return std::string("not overwritten");
    }
    std::string reason = quote(existing.front());
    if (existing.size() > 1) reason += " and " + std::to_string(existing.size() - 1) + " more";
    return reason + (existing.size() > 1 ? " already exist" : " already exists") +
           " (use --force to overwrite)";
}

std::string namesOf(const SplitPlan& plan, std::size_t count) {
    std::string names;
    for (std::size_t i = 0; i < count; ++i)
        names += (i ? ", " : "") + quote(plan.tracks[i].fileName);
    return names;
}

// The gain every track gets, settled before anything is written; with the
// guard, one step for every track from the loudest sample of the whole
// source. Nothing for a dry run.
AppliedGain splitGain(const CutArguments& arguments, Files& files, const SplitServices& services) {
    if (arguments.dryRun || !arguments.gain.changesFrames()) return {};
    return settleGain(arguments.gain, [&] {
        if (!services.peakOf) {
            throw RuntimeError(ErrorKind::FileError, "the clipping guard is not available");
        }
        const auto size = static_cast<std::uint64_t>(files.fileSize(arguments.source));
        return measuredPeak(services.peakOf(arguments.source, 0, size));
    });
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
std::optional<std::string> trackPathsProblem(const SplitPlan& plan, const std::string& folder) {
    for (const PlannedTrack& track : plan.tracks) {
        if (auto problem = trackPathProblem(folder, track.fileName)) {
            return "track " + std::to_string(track.number) + ": " + *problem;
        }
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

// The tracks trimmed as asked, from the job's one scan of the levels;
// nullopt after a refusal, which is told.
bool trimmed(const CutArguments& arguments, const SourceLength& length, SourceLevels& levels,
             SplitPlan& plan, CutConsole& console) {
    if (!arguments.trim.trims()) return true;
    auto measured = levels.of(length);
    if (const auto* refused = std::get_if<SplitPlanError>(&measured)) {
        fail(console, "nothing was split: " + refused->reason);
        return false;
    }
    for (const std::string& warning :
         trimTracks(plan, *std::get<const level::WindowLevels*>(measured), arguments.trim)) {
        warn(console, warning);
    }
    return true;
}

// A dry run: the plan on the terminal, and in the plan files asked for,
// with no track written.
int reviewPlan(const CutArguments& arguments, Files& files, const SplitPlan& plan,
               CutConsole& console) {
    std::fputs(splitPlanTable(plan).c_str(), console.out);
    std::fflush(console.out);
    try {
        if (auto problem = targetProblem(arguments, files, {}, console))
            return fail(console, "the plan was not saved: " + *problem);
        writePlanFiles(arguments, files, plan);
    } catch (const RuntimeError& error) {
        return fail(console, std::string("the plan was not saved: ") + error.what());
    }
    return kCutSucceeded;
}

bool interrupted(const SplitServices& services) {
    return services.interrupted && services.interrupted();
}

}  // namespace

std::uint64_t splitBytesNeeded(std::uint64_t sourceBytes, const SourceTags& tags,
                               std::size_t tracks) {
    const std::uint64_t tagBytes = tags.id3v2Bytes + (tags.id3v1 ? mp3::kId3v1Bytes : 0);
    const std::uint64_t audio = sourceBytes > tagBytes ? sourceBytes - tagBytes : 0;
    return audio + tracks * (tags.id3v2Bytes + kTrackOverheadBytes);
}

int runSplit(const CutArguments& arguments, Files& files, const SplitServices& services,
             CutConsole& console) {
    SplitPlan plan;
    SourceTags tags;
    AppliedGain applied;
    std::vector<std::string> paths;
    try {
        const SourceLength length = services.measure(arguments.source, !arguments.bytes);
        SourceLevels levels(levelScanOf(services, arguments.source));
        const auto points = splitPoints(arguments, length, levels, console);
        if (!points) return kCutFailed;
        auto planned = planSplit(points->tracks, points->album, length, arguments.nameTemplate);
        if (const auto* error = std::get_if<SplitPlanError>(&planned)) {
            return fail(console, "nothing was split: " + error->reason);
        }
        plan = std::move(std::get<SplitPlan>(planned));
        if (!trimmed(arguments, length, levels, plan, console)) return kCutFailed;
        if (auto clash = duplicateTrackName(plan))
            return fail(console, "nothing was split: " + *clash);
        if (auto problem = trackPathsProblem(plan, arguments.folder))
            return fail(console, "nothing was split: " + *problem);
        if (!arguments.dryRun) tags = services.readTags(arguments.source);
    } catch (const RuntimeError& error) {
        return fail(console, std::string("nothing was split: ") + error.what());
    }
    warnOfAudioLeftOut(console, plan);
    if (arguments.dryRun) return reviewPlan(arguments, files, plan, console);

    for (const PlannedTrack& track : plan.tracks)
        paths.push_back(trackPath(arguments.folder, track.fileName));
    if (auto problem = targetProblem(arguments, files, paths, console)) {
        return fail(console, "nothing was split: " + *problem);
    }
    std::vector<std::uint64_t> clamped(plan.tracks.size(), 0);

    std::uint64_t needed = 0;
    try {
        applied = splitGain(arguments, files, services);
        needed = splitBytesNeeded(static_cast<std::uint64_t>(files.fileSize(arguments.source)),
                                  tags, plan.tracks.size());
        if (const auto free = services.freeBytes(arguments.folder); free && *free < needed) {
            return fail(console, "nothing was split: the tracks need about " +
                                     formatByteCount(static_cast<std::int64_t>(needed)) + " and " +
                                     quote(arguments.folder) + " has " +
                                     formatByteCount(static_cast<std::int64_t>(*free)) + " free");
        }
        services.makeFolder(arguments.folder);
    } catch (const RuntimeError& error) {
        return fail(console, std::string("nothing was split: ") + error.what());
    }

    std::size_t finished = 0;
    std::optional<std::size_t> failedTrack;
    // From here on a first Ctrl-C only asks the job to stop, so that it ends
    // in order; before, while questions may be asked, it ends the program.
    const DeferredInterruptions deferred;
    // The bar follows the bytes written into the tracks, out of the most
    // the job may write; it ends at 100 % once every track is saved.
    CountedFiles counted(files);
    TerminalProgress progress(arguments.quiet ? nullptr : console.err);
    progress.start(static_cast<std::int64_t>(needed));
    TrackCallbacks callbacks;
    callbacks.progress = [&](std::uint64_t, std::uint64_t) {
        // Stopped between frames, the job ends as a failure does: the
        // finished tracks are kept and named, the unfinished one removed.
        if (interrupted(services)) throw RuntimeError(ErrorKind::FileError, "interrupted");
        progress.show(static_cast<std::int64_t>(counted.written()));
    };
    callbacks.saved = [&](std::size_t index, std::uint64_t bytes) {
        finished = index + 1;
        if (arguments.quiet) return;
        progress.clear();
        std::fprintf(console.out, "%s%s\n", savedTrackLine(plan, plan.tracks[index], bytes).c_str(),
                     trackGain(applied, clamped[index]).c_str());
        std::fflush(console.out);
    };
    callbacks.clamped = [&](std::size_t index, std::uint64_t granules) {
        clamped[index] = granules;
    };
    callbacks.failed = [&](std::size_t index) { failedTrack = index; };
    try {
        const TrackJob job =
            trackJobOf(plan, arguments.source, paths, tags, gainSettingsOf(applied));
        CutTracks(job, !arguments.bytes, counted, ExactRefusalWording::suggestingBytes)
            .write(callbacks);
        writePlanFiles(arguments, files, plan);
        progress.complete();
    } catch (const std::runtime_error& error) {  // RuntimeError among them
        progress.finish();
        const std::size_t stoppedAt = failedTrack.value_or(finished);
        const std::string stopped = stoppedAt < plan.tracks.size()
                                        ? "the split stopped at track " +
                                              std::to_string(plan.tracks[stoppedAt].number) + " (" +
                                              quote(plan.tracks[stoppedAt].fileName) + "): "
                                        : "the plan was not saved: ";
        const std::string kept =
            finished == 0 ? "; no track was saved"
                          : "; kept " + namesOf(plan, finished) + " in " + quote(arguments.folder);
        return fail(console, stopped + error.what() + kept);
    }
    return kCutSucceeded;
}

}  // namespace snipwell
