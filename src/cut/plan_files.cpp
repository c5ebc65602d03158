#include "cut/plan_files.h"

#include <span>

#include "cut/file_step.h"
#include "cut/folder_in_the_way.h"
#include "split/cue_sheet_writer.h"
#include "split/label_file_writer.h"

namespace snipwell {
namespace {

struct PlanFile {
    const char* option;
    std::string path;
};

std::vector<PlanFile> planFilesOf(const CutArguments& arguments) {
    std::vector<PlanFile> asked;
    if (!arguments.cueOutPath.empty()) asked.push_back({"--write-cue", arguments.cueOutPath});
    if (!arguments.labelsOutPath.empty())
        asked.push_back({"--write-labels", arguments.labelsOutPath});
    return asked;
}

CutFailure refused(CommandRefusalKind kind, std::string path, std::string option) {
    return refusedBy(CutStage::request, CommandRefusal(kind, std::move(path), std::move(option)));
}

bool samePath(Files& files, const std::string& a, const std::string& b) {
    return a == b || files.isSameFile(a, b);
}

void writeText(Files& files, const std::string& path, const std::string& text) {
    auto target = files.createTarget(path);
    target->writeAt(1, std::as_bytes(std::span<const char>(text.data(), text.size())));
    target->commit();
}

}  // namespace

std::optional<CutFailure> planFileProblem(const CutArguments& arguments, Files& files,
                                          const std::vector<std::string>& trackPaths,
                                          std::vector<std::string>& existing) {
    const std::vector<PlanFile> asked = planFilesOf(arguments);
    for (std::size_t i = 0; i < asked.size(); ++i) {
        const PlanFile& file = asked[i];
        if (auto folder = folderInTheWay(file.path)) return folder;
        if (isSourceItself(files, file.path, arguments.source)) {
            return refused(CommandRefusalKind::planFileOverwritesSource, arguments.source,
                           file.option);
        }
        for (const std::string& track : trackPaths) {
            if (samePath(files, track, file.path)) {
                return refused(CommandRefusalKind::planFileOverwritesTrack, file.path, file.option);
            }
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (samePath(files, asked[j].path, file.path)) {
                return refused(CommandRefusalKind::planFilesClash, asked[j].option, file.option);
            }
        }
        if (files.exists(file.path)) existing.push_back(file.path);
    }
    return std::nullopt;
}

std::optional<CutFailure> writePlanFiles(const CutArguments& arguments, Files& files,
                                         const SplitPlan& plan) {
    return fileAction([&] {
        if (!arguments.cueOutPath.empty()) {
            writeText(files, arguments.cueOutPath,
                      cueSheetForSplit(plan, arguments.source, arguments.cueOutPath));
        }
        if (!arguments.labelsOutPath.empty()) {
            writeText(files, arguments.labelsOutPath, labelsForSplit(plan));
        }
    });
}

}  // namespace snipwell
