#pragma once
// The files that write a split's plan down, beside its tracks or, with
// --dry-run, instead of them: a cue sheet (--write-cue) and a label file
// (--write-labels). Either can be adjusted in an editor and given back to
// --cue or --labels.

#include <optional>
#include <string>
#include <vector>

#include "common/files.h"
#include "cut/cut_arguments.h"
#include "cut/cut_failure.h"
#include "split/split_plan.h"

namespace snipwell {

// Why a plan file cannot go where it was asked: a folder in the way, the
// source itself, a track of `trackPaths` or the other plan file. Those that
// exist already are added to `existing`, for the question or refusal the
// tracks get too.
std::optional<CutFailure> planFileProblem(const CutArguments& arguments, Files& files,
                                          const std::vector<std::string>& trackPaths,
                                          std::vector<std::string>& existing);

// Writes each plan file asked for, each complete or not at all; nullopt when
// all are written, or why one was not (no stage: the caller gives it one).
std::optional<CutFailure> writePlanFiles(const CutArguments& arguments, Files& files,
                                         const SplitPlan& plan);

}  // namespace snipwell
