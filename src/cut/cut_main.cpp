// snipwell-cut: cuts a clip out of an MP3 file for scripts and batch work,
// the same bytes the window's Save writes, or splits a whole file into
// tracks. See cutHelp() for the command line.
//
// The real services are made here and handed to runCut(): the files on disk
// and the track's length from the frame scan.

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <variant>
#include <vector>

#include "clip/export/disk_files.h"
#include "clip/export/temporary_file_cleanup.h"
#include "cut/cut_command.h"
#include "cut/cut_help.h"
#include "cut/parse_cut_arguments.h"
#include "cut/refusal_text.h"
#include "cut/scanned_track_length.h"
#include "cut/split_command.h"
#include "cut/split_services.h"
#include "level/level_probe_client.h"

namespace {

// The exit statuses: everything asked for was saved, something was not (one
// line says why), or the command line was not understood.
constexpr int kSaved = 0;
constexpr int kNotSaved = 1;
constexpr int kBadUsage = 2;

int exitStatusOf(const snipwell::CutOutcome& outcome) {
    if (!outcome) return kSaved;
    snipwell::tellCutFailure(stderr, *outcome);
    return kNotSaved;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace snipwell;
    const std::vector<std::string> words(argv + 1, argv + argc);
    const auto parsed = parseCutArguments(words);
    if (const auto* usageError = std::get_if<CutUsageError>(&parsed)) {
        std::fprintf(stderr, "snipwell-cut: %s\n%s\n", usageError->reason.c_str(),
                     cutUsageFor(words).c_str());
        return kBadUsage;
    }
    const CutCommandLine& line = std::get<CutCommandLine>(parsed);
    if (line.request != CutRequest::cut) {
        const std::string text = line.request == CutRequest::showHelp ? cutHelp() : cutVersion();
        std::fputs(text.c_str(), stdout);
        return std::fflush(stdout) == 0 ? kSaved : kNotSaved;
    }

    // Interrupted or hung up part-way, the clip's temporary file goes too.
    removeTemporaryFilesOnSignals();
    DiskFiles files;
    CutConsole console;
    console.interactive = ::isatty(STDIN_FILENO) == 1;
    console.readAnswer = [](std::string& answer) {
        return static_cast<bool>(std::getline(std::cin, answer));
    };
    if (line.arguments.isSplit()) {
        // Interrupted while it writes, a split stops between frames and says
        // what it kept; the program still ends by the signal.
        const int status =
            exitStatusOf(runSplit(line.arguments, files, diskSplitServices(), console));
        if (status != kSaved) endByRequestedInterruption();
        return status;
    }
    return exitStatusOf(runCut(line.arguments, files, scannedTrackLengthMs, console,
                               measurePeakWithProbe, scanClipLevels));
}
