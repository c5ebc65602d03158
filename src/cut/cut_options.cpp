#include "cut/cut_options.h"

#include <algorithm>

#include "common/clip_time.h"
#include "common/shown_value.h"
#include "cut/gain_options.h"
#include "cut/split_rule_options.h"
#include "split/track_names.h"

namespace snipwell {
namespace {

template <bool CutArguments::*Field>
OptionProblem turnOn(CutCommandLine& into, const std::string& /*value*/) {
    into.arguments.*Field = true;
    return std::nullopt;
}

template <CutRequest Request>
OptionProblem ask(CutCommandLine& into, const std::string& /*value*/) {
    into.request = Request;
    return std::nullopt;
}

OptionProblem readNoClip(CutCommandLine& into, const std::string& /*value*/) {
    into.arguments.gain.noClip = true;
    return std::nullopt;
}

OptionProblem readGain(CutCommandLine& into, const std::string& value) {
    return readGainOption(into.arguments.gain, value);
}

OptionProblem readFadeIn(CutCommandLine& into, const std::string& value) {
    return readFadeDuration(into.arguments.gain.fadeInMs, "--fade-in", value);
}

OptionProblem readFadeOut(CutCommandLine& into, const std::string& value) {
    return readFadeDuration(into.arguments.gain.fadeOutMs, "--fade-out", value);
}

OptionProblem readCue(CutCommandLine& into, const std::string& value) {
    if (value.empty()) return "--cue names no sheet";
    into.arguments.sheetPath = value;
    return std::nullopt;
}

OptionProblem readLabels(CutCommandLine& into, const std::string& value) {
    if (value.empty()) return "--labels names no file";
    into.arguments.sheetPath = value;
    return std::nullopt;
}

OptionProblem readAt(CutCommandLine& into, const std::string& value) {
    std::vector<std::int32_t>& times = into.arguments.splitTimesMs;
    std::size_t from = 0;
    while (from <= value.size()) {
        const std::size_t comma = std::min(value.find(',', from), value.size());
        const std::string text = value.substr(from, comma - from);
        const auto ms = parseClipTime(text);
        if (!ms || *ms <= 0) {
            return "--at \"" + shownValue(text) +
                   "\" is no split time: give times after 0 (1:05, 92500)";
        }
        if (!times.empty() && *ms <= times.back()) {
            return "--at " + shownValue(text) + " does not come after " +
                   formatClipTime(times.back()) + ": give the times in order";
        }
        times.push_back(*ms);
        from = comma + 1;
    }
    return std::nullopt;
}

OptionProblem readEvery(CutCommandLine& into, const std::string& value) {
    const auto ms = parseClipTime(value);
    if (!ms || *ms <= 0)
        return "--every \"" + shownValue(value) + "\" is no track length (5:00, 300000)";
    into.arguments.trackLengthMs = *ms;
    return std::nullopt;
}

OptionProblem readName(CutCommandLine& into, const std::string& value) {
    if (value.empty()) return "--name is an empty template";
    if (auto problem = nameTemplateProblem(value)) return problem;
    into.arguments.nameTemplate = value;
    return std::nullopt;
}

OptionProblem readCueOut(CutCommandLine& into, const std::string& value) {
    if (value.empty()) return "--write-cue names no file";
    into.arguments.cueOutPath = value;
    return std::nullopt;
}

OptionProblem readSelectsOnly(CutCommandLine& /*into*/, const std::string& /*value*/) {
    return std::nullopt;
}

OptionProblem readLabelsOut(CutCommandLine& into, const std::string& value) {
    if (value.empty()) return "--write-labels names no file";
    into.arguments.labelsOutPath = value;
    return std::nullopt;
}

// The trim and the silence split measure silence against one threshold.
OptionProblem readThreshold(CutCommandLine& into, const std::string& value) {
    if (auto problem = readDecibels(into.arguments.silence.thresholdDb, "--threshold", value))
        return problem;
    into.arguments.trim.thresholdDb = into.arguments.silence.thresholdDb;
    return std::nullopt;
}

OptionProblem readMinSilence(CutCommandLine& into, const std::string& value) {
    return readDuration(into.arguments.silence.minSilenceMs, "--min-silence", value);
}

OptionProblem readSplitAt(CutCommandLine& into, const std::string& value) {
    return readShare(into.arguments.silence.splitShare, "--split-at", value);
}

OptionProblem readMinTrack(CutCommandLine& into, const std::string& value) {
    return readDuration(into.arguments.silence.minTrackMs, "--min-track", value);
}

OptionProblem readMaxTrack(CutCommandLine& into, const std::string& value) {
    return readDuration(into.arguments.silence.maxTrackMs, "--max-track", value);
}

// What --trim keeps when it says nothing: enough that a word's first breath
// or a note's decay is not cut off.
constexpr std::int64_t kTrimKeepsMs = 200;

// --trim sets both ends, but not over --trim-start or --trim-end, whichever
// comes first: the end named alone wins.
OptionProblem readTrim(CutCommandLine& into, const std::string& value) {
    std::int64_t keep = kTrimKeepsMs;
    if (!value.empty()) {
        if (auto problem = readDuration(keep, "--trim", value, true)) return problem;
    }
    TrimChoice& trim = into.arguments.trim;
    if (!trim.keepAtStartMs) trim.keepAtStartMs = keep;
    if (!trim.keepAtEndMs) trim.keepAtEndMs = keep;
    return std::nullopt;
}

OptionProblem readTrimEnd(std::optional<std::int64_t>& into, const char* name,
                          const std::string& value) {
    std::int64_t keep = 0;
    if (auto problem = readDuration(keep, name, value, true)) return problem;
    into = keep;
    return std::nullopt;
}

OptionProblem readTrimStart(CutCommandLine& into, const std::string& value) {
    return readTrimEnd(into.arguments.trim.keepAtStartMs, "--trim-start", value);
}

OptionProblem readTrimFinish(CutCommandLine& into, const std::string& value) {
    return readTrimEnd(into.arguments.trim.keepAtEndMs, "--trim-end", value);
}

// The manual's entries are roff, as they stand in the page below each
// option's name.
const OptionDef kCutOptions[] = {
    {.name = "--force",
     .help = "replace an existing TARGET or tracks without asking",
     .manual = R"roff(Replace an existing
.I TARGET
without asking.
Without it,
.B snipwell\-cut
asks before it overwrites a file when standard input is a terminal, and
otherwise refuses with exit status 1.)roff",
     .read = turnOn<&CutArguments::force>},
    {.name = "--quiet",
     .help = "print no progress bar and no summary line",
     .manual = R"roff(Print neither the progress bar nor the closing line; failures are still
reported.)roff",
     .read = turnOn<&CutArguments::quiet>},
    {.name = "--exact",
     .use = OptionUse::clip,
     .help = "a clip exact to the sample (see below)",
     .manual = R"roff(Cut on samples instead of bytes.
.I TARGET
decodes, in any decoder that honours the LAME/Info tag's encoder delay and
padding, to exactly the source's own decoded samples from sample
\(lfBEGIN\(mdrate/1000\(rf to \(lfEND\(mdrate/1000\(rf, frame\-copied with no
re\-encoding.
Refused with exit status 1 for free\-format streams, Layer I and Layer II
files, and files whose sample rate changes.)roff",
     .read = turnOn<&CutArguments::exact>},
    {.name = "--gain",
     .valueName = "DB|max",
     .help = "louder (or quieter) by DB decibels in 1.5 dB steps; max: as loud as it can be "
             "without clipping",
     .manual = R"roff(Make the clip louder (or, with a negative
.IR DB ,
quieter) without decoding it: every granule's
.I global_gain
in the frames' side information is raised by round(\fIDB\fP/1.5) steps of
1.5\ dB.
Nothing else in a frame changes, so an
.B \-\-exact
clip still decodes to exactly the right number of samples; the frames' own
CRCs and the LAME tag's music CRC are recomputed, and the LAME tag's peak and
ReplayGain fields, which a gain makes false, are left empty.
The summary line says the step taken, such as
.BR "gain +3.0 dB (2 steps), may clip" ,
and how many granules had to be clamped to the 0\(en255 range of the field.
A gain that raises the level is not checked for clipping unless
.B \-\-no\-clip
is given.
.TP
.B \-\-gain max
The largest step that cannot clip.
The clip is decoded once, in a helper process of its own
.RB ( snipwell\-level\-probe ),
to find its loudest sample; a helper that fails, crashes or takes too long
leaves the clip unsaved (exit status 1).)roff",
     .read = readGain},
    {.name = "--no-clip",
     .help = "lower a --gain that would clip to the largest that does not",
     .manual = R"roff(With
.BR \-\-gain ,
lower a gain that would clip to the largest step that cannot, measured as for
.BR "\-\-gain max" .)roff",
     .read = readNoClip},
    {.name = "--fade-in",
     .valueName = "DURATION",
     .help = "fade in from silence over DURATION seconds",
     .manual = R"roff(Fade the clip in: silent at its first sample, full level
.I DURATION
later.)roff",
     .read = readFadeIn},
    {.name = "--fade-out",
     .valueName = "DURATION",
     .help = "fade out to silence over the last DURATION seconds",
     .manual = R"roff(Fade the clip out: full level until
.I DURATION
before its end, silent at its last sample.
.I DURATION
is a whole number of seconds
.RB ( 2 )
or a time as below
.RB ( 1.5 ,
.BR 0:02.5 ).
A fade is a staircase of 1.5\ dB steps, one step per granule of 576 samples,
along a straight line in amplitude; where neighbouring granules differ much
it can be heard faintly.
The frames outside the fades are copied unchanged.
.IP
With a split, every track gets the same gain and its own fades; the
clipping guard then measures the whole source once.
.IP
Limits of
.BR \-\-gain
and the fades: steps of 1.5\ dB only; one gain for both channels (a gain per
channel is possible only for files without joint (M/S) stereo, so
.B snipwell\-cut
offers none); Layer I/II and free\-format streams are refused, as by
.BR \-\-exact .)roff",
     .read = readFadeOut},
    {.name = "--cue",
     .valueName = "SHEET",
     .use = OptionUse::splitSource,
     .selects = SplitSource::cueSheet,
     .help = "split: the tracks of a cue sheet",
     .manual = R"roff(Split at the tracks of the cue sheet
.IR SHEET .)roff",
     .read = readCue},
    {.name = "--at",
     .valueName = "T1,T2,...",
     .use = OptionUse::splitSource,
     .selects = SplitSource::splitTimes,
     .help = "split: at these times",
     .manual = R"roff(Split at these times, given in order: the tracks run from 0 to
.IR T1 ,
from
.I T1
to
.I T2
and so on, and from the last time to the end.)roff",
     .read = readAt},
    {.name = "--every",
     .valueName = "DURATION",
     .use = OptionUse::splitSource,
     .selects = SplitSource::trackLength,
     .help = "split: into tracks of this length",
     .manual = R"roff(Split into tracks of this length; the last one is shorter.)roff",
     .read = readEvery},
    {.name = "--labels",
     .valueName = "FILE",
     .use = OptionUse::splitSource,
     .selects = SplitSource::labelFile,
     .help = "split: at the labels of a label file",
     .manual = R"roff(Split at the labels of a label file (see
.BR SPLITTING ).)roff",
     .read = readLabels},
    {.name = "--silence",
     .use = OptionUse::splitSource,
     .selects = SplitSource::silence,
     .help = "split: at the silences (see --threshold, --min-silence)",
     .manual = R"roff(Split inside every silence: every stretch quieter than
.B \-\-threshold
for at least
.BR \-\-min\-silence ,
with sound before and after it, gives one split point at
.B \-\-split\-at
of its length.
The whole source is decoded once, in a helper process of its own
.RB ( snipwell\-level\-probe ),
to measure the level of every 10\ ms; a helper that fails, crashes or takes
too long leaves everything unsplit (exit status 1).
With
.B \-\-dry\-run
each split is shown with the silence it lies in (its start, length and level);
when there is none, nothing is written, and the message names the longest
quiet stretch and its level, so that the next threshold is a choice.)roff",
     .read = readSelectsOnly},
    {.name = "--chapters",
     .use = OptionUse::splitSource,
     .selects = SplitSource::chapters,
     .help = "split: at the source's own chapters",
     .manual = R"roff(Split at the chapters of the source's ID3v2 tag (CHAP frames, in the order
of its top\-level table of contents, else of their start times), each titled
by the chapter's title (its TIT2).
A source without chapters is refused, and so is a chapter that is empty, does
not start after the one before it, or lies past the end, naming the
chapter's element id.)roff",
     .read = readSelectsOnly},
    {.name = "--name",
     .valueName = "TEMPLATE",
     .use = OptionUse::split,
     .help = "split: name tracks by {n} {nn} {title} {performer} {album}",
     .manual = R"roff(Name the tracks by
.I TEMPLATE
instead of
.RB \(lq "NN Title" \(rq:
.B {n}
is the track number,
.B {nn}
the same with two digits,
.BR {title} ,
.B {performer}
and
.B {album}
the track's title and performer and the sheet's title.
.B .mp3
is added unless the name ends so.)roff",
     .read = readName},
    {.name = "--dry-run",
     .use = OptionUse::split,
     .help = "split: print the tracks and write none",
     .manual = R"roff(Print the tracks (number, begin, end, length, name), each with what
placed it (the silence it begins in) and what a trim took off, and write no
track.)roff",
     .read = turnOn<&CutArguments::dryRun>},
    {.name = "--write-cue",
     .valueName = "FILE",
     .use = OptionUse::split,
     .help = "split: also write a cue sheet for the tracks",
     .manual = R"roff(Also write a cue sheet of the split: one
.B FILE
line naming
.I SOURCE
and each track at its begin (to the nearest 75th of a second), with the
ISRC, SONGWRITER and INDEX 00 lines the sheet split from had.
Given back to
.BR \-\-cue ,
it splits
.I SOURCE
into the same tracks; useful with
.B \-\-at
and
.BR \-\-every .)roff",
     .read = readCueOut},
    {.name = "--write-labels",
     .valueName = "FILE",
     .use = OptionUse::split,
     .help = "split: also write a label file of the tracks",
     .manual = R"roff(Also write a label file of the split: one line
.RI \(lq START \(rstab\(rs END \(rstab\(rs TITLE \(rq
a track, in seconds to the microsecond, as
.B \-\-labels
reads it and audio editors import it.
Given back to
.BR \-\-labels ,
it splits
.I SOURCE
into the same tracks, sample for sample.
With
.BR \-\-dry\-run ,
this file and that of
.B \-\-write\-cue
are written and no track is: the plan, to be adjusted in a text or audio
editor before the split.)roff",
     .read = readLabelsOut},
    {.name = "--threshold",
     .valueName = "DB",
     .use = OptionUse::both,
     .help = "silence and trim: silence is quieter than DB dBFS (default -48)",
     .manual = R"roff(What is silence, for
.B \-\-silence
and the trim: a stretch whose RMS level over each 10\ ms (both channels
together) stays below
.I DB
dBFS; by default \-48.)roff",
     .read = readThreshold},
    {.name = "--min-silence",
     .valueName = "DURATION",
     .use = OptionUse::split,
     .onlyWith = SplitSource::silence,
     .help = "silence: at least this long to split in (default 0.5)",
     .manual = R"roff(The shortest silence
.B \-\-silence
splits in; by default 0.5 seconds.
Shorter pauses, between words or notes, are passed over.)roff",
     .read = readMinSilence},
    {.name = "--split-at",
     .valueName = "SHARE",
     .use = OptionUse::split,
     .onlyWith = SplitSource::silence,
     .help = "silence: split this far into it, 0 to 1 (default 0.5)",
     .manual = R"roff(Where in a silence to split: 0 at its start, 1 at its end, by default 0.5,
its middle.)roff",
     .read = readSplitAt},
    {.name = "--min-track",
     .valueName = "DURATION",
     .use = OptionUse::split,
     .onlyWith = SplitSource::silence,
     .help = "silence: merge shorter tracks into a neighbour",
     .manual = R"roff(Merge a track shorter than
.I DURATION
into its neighbour, over the weaker of the splits around it (the one in the
shorter silence, or in the louder at equal length), until no track is
shorter or no split is left.)roff",
     .read = readMinTrack},
    {.name = "--max-track",
     .valueName = "DURATION",
     .use = OptionUse::split,
     .onlyWith = SplitSource::silence,
     .help = "silence: split longer tracks at their quietest moment",
     .manual = R"roff(Split a track longer than
.I DURATION
at its quietest moments, into as few tracks as that allows (audiobooks).)roff",
     .read = readMaxTrack},
    {.name = "--trim",
     .valueName = "DURATION",
     .use = OptionUse::both,
     .valueOptional = true,
     .help = "drop the silence at each track's or the clip's ends, keeping DURATION (0.2)",
     .manual = R"roff(Drop the silence at the start and the end of every track, or of a single
clip (which needs
.BR \-\-exact ),
keeping
.I DURATION
of it at each end (by default 0.2 seconds); the value is joined by
.BR = .
Each track then plays exactly its kept samples of the source.
The levels are measured as for
.BR \-\-silence ,
once for the whole job.
A track that is silence throughout is kept whole, with a warning.)roff",
     .read = readTrim},
    {.name = "--trim-start",
     .valueName = "DURATION",
     .use = OptionUse::both,
     .help = "trim the start only, keeping DURATION",
     .manual = R"roff(Trim the start of every track only, keeping
.IR DURATION ;
with
.BR \-\-trim ,
this end keeps
.I DURATION
instead.)roff",
     .read = readTrimStart},
    {.name = "--trim-end",
     .valueName = "DURATION",
     .use = OptionUse::both,
     .help = "trim the end only, keeping DURATION",
     .manual = R"roff(Trim the end of every track only, as
.BR \-\-trim\-start .)roff",
     .read = readTrimFinish},
    {.name = "--bytes",
     .use = OptionUse::split,
     .help = "split: by the byte-range rule, not exactly",
     .manual = R"roff(Split by the byte\-range rule of the window's Save instead of exactly: for
the files the exact cut refuses.
The tracks hold the source's bytes only, without tags of their own.)roff",
     .read = turnOn<&CutArguments::bytes>},
    {.name = "--help",
     .use = OptionUse::request,
     .help = "print this help and exit",
     .manual = R"roff(Print the usage, the options and an example, and exit with status 0.)roff",
     .read = ask<CutRequest::showHelp>},
    {.name = "--version",
     .use = OptionUse::request,
     .help = "print the version and exit",
     .manual = R"roff(Print the program's name, version, copyright and licence, and exit with
status 0.)roff",
     .read = ask<CutRequest::showVersion>},
};

}  // namespace

std::span<const OptionDef> cutOptionTable() { return kCutOptions; }

std::vector<const OptionDef*> optionsOfUse(OptionUse use) {
    std::vector<const OptionDef*> rows;
    for (const OptionDef& option : kCutOptions) {
        if (option.use == use) rows.push_back(&option);
    }
    return rows;
}

std::vector<const OptionDef*> clipUsageOptions() {
    std::vector<const OptionDef*> rows;
    for (const OptionDef& option : kCutOptions) {
        if (option.use == OptionUse::clip || option.use == OptionUse::both) rows.push_back(&option);
    }
    return rows;
}

std::vector<const OptionDef*> splitUsageOptions() {
    std::vector<const OptionDef*> rows = optionsOfUse(OptionUse::split);
    for (const OptionDef* shared : optionsOfUse(OptionUse::both)) rows.push_back(shared);
    return rows;
}

std::string splitSourceNames(const char* lastJoin) {
    const std::vector<const OptionDef*> sources = optionsOfUse(OptionUse::splitSource);
    std::string names;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (i > 0) names += i + 1 == sources.size() ? lastJoin : ", ";
        names += sources[i]->name;
    }
    return names;
}

}  // namespace snipwell
