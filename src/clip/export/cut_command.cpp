#include "cut_command.h"

#include <optional>
#include <variant>

#include "clip/exact/exact_cut.h"
#include "clip_export.h"
#include "common/runtime_error.h"
#include "terminal_progress.h"

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

// The exact cut takes the marks as given: a begin of 0 is the first sample.
int runExactCut(const CutArguments& arguments, Files& files, CutConsole& console) {
    TerminalProgress progress(console.err);
    progress.start(1000);
    std::int64_t shown = 0;
    const auto result = exact::cutExactClip(
        {arguments.source, arguments.beginMs, arguments.endMs, arguments.target}, files,
        [&](double done) {
            const auto permille = static_cast<std::int64_t>(done * 1000);
            progress.advance(permille - shown);
            shown = permille;
        });
    if (const auto* error = std::get_if<exact::ExactCutError>(&result)) {
        progress.finish();
        return fail(console, "no exact clip: " + error->reason);
    }
    return kCutSucceeded;
}

}  // namespace

int runCut(const CutArguments& arguments, Files& files,
           const std::function<std::int32_t(const std::string&)>& trackLengthMs,
           CutConsole& console) {
    const std::optional<std::int32_t> beginMs = exportBeginMs(arguments.beginMs, arguments.endMs);
    if (!beginMs) return fail(console, "invalid selection: the begin mark must come before the end mark");

    if (arguments.target == arguments.source || files.isSameFile(arguments.target, arguments.source)) {
        return fail(console, "cannot overwrite the source file \"" + arguments.source + "\"");
    }
    if (!arguments.force && files.exists(arguments.target)) {
        if (!console.interactive) {
            return fail(console, "\"" + arguments.target + "\" already exists (use --force to overwrite)");
        }
        if (!askToOverwrite(console, arguments.target)) return fail(console, "not overwritten");
    }

    if (arguments.exact) return runExactCut(arguments, files, console);

    try {
        ClipExport clip(files, arguments.source, arguments.target);
        const ClipRange range =
            clip.measure(trackLengthMs(arguments.source), *beginMs, arguments.endMs);
        TerminalProgress progress(console.err);
        progress.start(range.progressMax);
        clip.copy(range, [&] { progress.advance(kChunkStep); });
        clip.commit();
    } catch (const RuntimeError& error) {
        return fail(console, std::string("the clip was not saved: ") + error.what());
    }
    return kCutSucceeded;
}

}  // namespace snipwell
