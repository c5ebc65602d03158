#include "cut/cut_command.h"

#include <variant>

#include "clip/exact/exact_cut.h"
#include "clip/export/clip_export.h"
#include "common/runtime_error.h"
#include "cut/clip_time.h"
#include "cut/refusal_text.h"
#include "cut/terminal_progress.h"

namespace snipwell {
namespace {

int fail(CutConsole& console, const std::string& reason) {
    std::fprintf(console.err, "snipwell-cut: %s\n", reason.c_str());
    return kCutFailed;
}

bool askToOverwrite(CutConsole& console, const std::string& target) {
    std::fprintf(console.err, "snipwell-cut: \"%s\" already exists. Overwrite? [y/N] ",
                 target.c_str());
    std::fflush(console.err);
    std::string answer;
    if (!console.readAnswer || !console.readAnswer(answer)) return false;
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes";
}

// The length the marks are checked against, found before anything is asked
// or written: a source that is no MP3, or too large to address, fails here.
std::int32_t checkedTrackLength(const CutArguments& arguments, Files& files,
                                const TrackLengthLookup& trackLengthMs) {
    if (isBeyondClipPositions(files.fileSize(arguments.source))) {
        throw RuntimeError(ErrorKind::Overflow, kSourceTooLarge);
    }
    const std::int32_t lengthMs = trackLengthMs(arguments.source);
    // The window's marks come from playback and stay within the track; a
    // typed END past it would only add zeros to the clip.
    if (arguments.endMs > lengthMs) {
        throw RuntimeError(ErrorKind::FileError, "END " + formatClipTime(arguments.endMs) +
                                                     " lies past the end of the track (" +
                                                     formatClipTime(lengthMs) + ")");
    }
    return lengthMs;
}

// The sample-exact clip: whole frames copied, trimmed by a fresh info frame.
// It takes the marks as given, so a begin of 0 is the first sample. Returns
// the clip's size in bytes; a refusal is thrown with its reason.
std::int64_t cutExactly(const CutArguments& arguments, Files& files, TerminalProgress& progress) {
    progress.start(1000);
    const auto result = exact::cutExactClip(
        {arguments.source, arguments.beginMs, arguments.endMs, arguments.target}, files,
        [&](double done) { progress.show(static_cast<std::int64_t>(done * 1000)); });
    if (const auto* refusal = std::get_if<exact::ExactCutRefusal>(&result)) {
        throw RuntimeError(ErrorKind::FileError, describeExactRefusal(*refusal, arguments.source));
    }
    return static_cast<std::int64_t>(std::get<exact::ExactClip>(result).bytes);
}

// The byte range the window's Save writes for the same marks. Returns the
// clip's size in bytes.
std::int64_t cutByteRange(const CutArguments& arguments, Files& files, std::int32_t lengthMs,
                          TerminalProgress& progress) {
    ClipExport clip(files, arguments.source, arguments.target);
    const ClipRange range = clip.measure(lengthMs, arguments.beginMs, arguments.endMs);
    progress.start(range.clipBytes());
    clip.copyInBlocks(range, [&](std::int64_t done, std::int64_t) { progress.show(done); });
    clip.commit();
    return range.clipBytes();
}

}  // namespace

std::string formatByteCount(std::int64_t bytes) {
    char text[32];
    if (bytes < 1000) {
        std::snprintf(text, sizeof text, "%lld bytes", static_cast<long long>(bytes));
    } else if (bytes < 999'500) {
        std::snprintf(text, sizeof text, "%lld kB", static_cast<long long>((bytes + 500) / 1000));
    } else if (bytes < 999'950'000) {
        std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
    } else {
        std::snprintf(text, sizeof text, "%.2f GB", static_cast<double>(bytes) / 1e9);
    }
    return text;
}

int runCut(const CutArguments& arguments, Files& files, const TrackLengthLookup& trackLengthMs,
           CutConsole& console) {
    if (arguments.beginMs < 0)
        return fail(console, "invalid selection: BEGIN must not be negative");
    if (!isSavableSelection(arguments.beginMs, arguments.endMs)) {
        return fail(console, "invalid selection: the begin mark must come before the end mark");
    }
    if (isSourceItself(files, arguments.target, arguments.source)) {
        return fail(console, "cannot overwrite the source file \"" + arguments.source + "\"");
    }

    // The exact cut walks the frames itself and says precisely what it
    // cannot cut (a free-format stream, say), so the plain length check is
    // for the byte range only.
    std::int32_t lengthMs = 0;
    try {
        if (!arguments.exact) lengthMs = checkedTrackLength(arguments, files, trackLengthMs);
    } catch (const RuntimeError& error) {
        return fail(console, std::string("the clip was not saved: ") + error.what());
    }

    if (!arguments.force && files.exists(arguments.target)) {
        if (!console.interactive) {
            return fail(console,
                        "\"" + arguments.target + "\" already exists (use --force to overwrite)");
        }
        if (!askToOverwrite(console, arguments.target)) return fail(console, "not overwritten");
    }

    std::int64_t clipBytes = 0;
    TerminalProgress progress(arguments.quiet ? nullptr : console.err);
    try {
        clipBytes = arguments.exact ? cutExactly(arguments, files, progress)
                                    : cutByteRange(arguments, files, lengthMs, progress);
        progress.complete();
    } catch (const RuntimeError& error) {
        progress.finish();
        return fail(console, std::string("the clip was not saved: ") + error.what());
    }
    if (!arguments.quiet) {
        std::fprintf(console.out, "Saved %s: %s, %s\n", arguments.target.c_str(),
                     formatClipTime(std::int64_t{arguments.endMs} - arguments.beginMs).c_str(),
                     formatByteCount(clipBytes).c_str());
        std::fflush(console.out);
    }
    return kCutSucceeded;
}

}  // namespace snipwell
