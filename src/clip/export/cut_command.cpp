#include "cut_command.h"

#include <optional>

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
