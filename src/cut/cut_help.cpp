#include "cut/cut_help.h"

#include "common/version.h"
#include "cut/cut_options.h"

namespace snipwell {
namespace {

// "--cue SHEET", "--trim[=DURATION]", or the name alone for a switch.
std::string spelledOut(const OptionDef& option) {
    std::string shown = option.name;
    if (option.valueName != nullptr) {
        shown += option.valueOptional ? std::string("[=") + option.valueName + "]"
                                      : std::string(" ") + option.valueName;
    }
    return shown;
}

std::string bracketed(const std::vector<const OptionDef*>& options) {
    std::string text;
    for (const OptionDef* option : options) text += " [" + spelledOut(*option) + "]";
    return text;
}

}  // namespace

std::string cutUsage() {
    return "usage: snipwell-cut" + bracketed(clipUsageOptions()) + " SOURCE BEGIN END TARGET";
}

std::string cutSplitUsage() {
    std::string sources;
    for (const OptionDef* source : optionsOfUse(OptionUse::splitSource)) {
        sources += (sources.empty() ? "" : " | ") + spelledOut(*source);
    }
    return "usage: snipwell-cut (" + sources + ")" + bracketed(splitUsageOptions()) +
           " SOURCE FOLDER";
}

std::string cutUsageFor(const std::vector<std::string>& words) {
    for (const std::string& word : words) {
        for (const OptionDef* source : optionsOfUse(OptionUse::splitSource)) {
            const std::string name = source->name;
            if (word == name || word.rfind(name + "=", 0) == 0) return cutSplitUsage();
        }
    }
    return cutUsage();
}

std::string cutHelp() {
    std::string help = cutUsage() + "\n" + cutSplitUsage() + R"(

Cuts the stretch from BEGIN to END out of the MP3 file SOURCE and saves it as
TARGET, the same bytes Snipwell's Save writes, without decoding anything: the
frames from the one that holds BEGIN to the one that holds END.
TARGET appears only once the clip is complete and on the disk.

With --cue, --at, --every, --labels, --silence or --chapters it splits the
whole of SOURCE into
tracks in FOLDER (made if missing), each cut exactly as --exact cuts, so that
the tracks played one after another are SOURCE, sample for sample.

BEGIN, END, split times and DURATION are milliseconds (65000) or
[[H:]M:]S[.fff] (1:05, 1:32.5, 1:02:03.250). END must lie within the track.

Options:
)";
    for (const OptionDef& option : cutOptionTable()) {
        constexpr std::size_t column = 22;
        const std::string shown = spelledOut(option);
        help += "  " + shown + std::string(shown.size() < column ? column - shown.size() : 1, ' ') +
                option.help + "\n";
    }
    help += R"(
With --exact the clip plays exactly the source's own samples from BEGIN to END,
gaplessly, with no re-encoding: whole frames are copied, a silent frame in
front carries the bit reservoir, and an info frame tells the player how much to
trim at both ends. Players that ignore the info frame play a little more at
both ends. A range within one frame (26 ms at 44.1 kHz) is trimmed exactly by
libmpg123 but wrongly by some other decoders. Free-format streams, Layer I/II
and streams whose sample rate changes are refused.

Splitting: a cue sheet's tracks start at their INDEX 01 (pregaps go with the
track before); --at splits at the times given, --every into tracks of one
length (the last shorter), --labels at the lines "START<TAB>END<TAB>TITLE" of
a label file (seconds; START = END marks a split point). Tracks are named
"NN Title.mp3" ("Track NN.mp3" without a title) unless --name gives a
template, and tagged ID3v2.4 with the source's frames, the title, performer,
album, track n/N, date, genre and length. Everything is checked before the
first track is written: the sheet (a refusal names its line), the times,
existing tracks (refused unless --force) and the free space. A track appears
only once it is complete; if the split stops part-way, the finished tracks
stay and are named. --bytes splits by the byte-range rule of the window's
Save instead, for files the exact cut refuses.

--silence splits in the middle (--split-at) of every stretch quieter than
--threshold (-48 dBFS) for --min-silence (0.5 s), measured in 10 ms windows
by decoding SOURCE once in a helper process; --min-track and --max-track
merge short tracks and split long ones. --chapters splits at the ID3v2
chapters of SOURCE, titled by them. --trim drops the silence at each end of
every track, or of an --exact clip, but DURATION of it. Review first: --dry-run shows each split
with the silence it lies in, or the longest quiet stretch when there is
none, and with --write-cue or --write-labels it writes the plan and no
track, to be adjusted and given back to --cue or --labels. Durations of
these options are seconds (0.5) or [[H:]M:]S[.fff].

--gain and the fades change only each frame's global_gain, the 8-bit scale
the decoder applies to each granule of 576 samples, so nothing is decoded or
re-encoded and an --exact clip stays exact; with a split they apply to every
track. The gain goes in steps of 1.5 dB: DB is rounded to the nearest step,
and the summary line says the step taken and, when some granule's gain had
to stay within its range, how many were clamped. A gain that raises the
level may clip; --gain max and --no-clip decode the clip once, in a helper
process (snipwell-level-probe), to find the largest step that cannot, and
the summary says which it was. The gain is the same for both channels:
files with joint (M/S) stereo allow no other. A fade is a staircase of
1.5 dB steps, one step per granule, along a straight line from silence at
the clip's edge to full level after DURATION (seconds, or [M:]S[.fff]);
where neighbouring granules differ much it can be heard faintly. The frames
outside the fades are copied unchanged. Layer I/II and free-format streams
are refused, as by --exact.

Exit status: 0 saved, 1 not saved (the reason is printed), 2 bad usage.

Examples:
  snipwell-cut song.mp3 1:05 1:32.5 clip.mp3
  snipwell-cut --exact --gain 3 --fade-in 1 --fade-out 2 song.mp3 1:00 1:30 clip.mp3
  snipwell-cut --cue album.cue album.mp3 tracks/
  snipwell-cut --silence --dry-run --write-labels show.txt show.mp3 tracks/
  snipwell-cut --silence --threshold -52 --trim show.mp3 tracks/
)";
    return help;
}

std::string cutVersion() { return versionNotice("snipwell-cut"); }

}  // namespace snipwell
