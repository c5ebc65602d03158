// Where a split's plan files may go: never over a folder, the source, a
// track or each other, however the path is spelt; one that exists already
// is named for the question the tracks get.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "clip/export/disk_files.h"
#include "clip/export/export_test_files.h"
#include "cut/plan_files.h"
#include "cut/refusal_text.h"

namespace snipwell::test {
namespace {

TEST(PlanFiles, RefusesEveryPlaceAPlanFileCannotTake) {
    const TempDir temp;
    const auto at = [&temp](const char* name) { return temp.file(name).string(); };
    writeBytes(at("album.mp3"), patternBytes(10));
    writeBytes(at("old.cue"), patternBytes(10));
    std::filesystem::create_directory(at("plans"));
    std::filesystem::create_symlink(at("old.cue"), at("link.txt"));
    const std::vector<std::string> tracks = {at("Track 01.mp3"), at("Track 02.mp3")};

    const struct {
        std::string cue;
        std::string labels;
        std::string problem;
        std::vector<std::string> existing;
    } cases[] = {
        {at("plan.cue"), at("plan.txt"), "(none)", {}},
        {at("old.cue"), at("plan.txt"), "(none)", {at("old.cue")}},
        {at("plan.cue"), at("plans"), "\"" + at("plans") + "\" is a folder, not a file", {}},
        {at("plans/../album.mp3"),
         "",
         "--write-cue would overwrite the source file \"" + at("album.mp3") + "\"",
         {}},
        {"",
         at("Track 02.mp3"),
         "--write-labels \"" + at("Track 02.mp3") + "\" would overwrite a track",
         {}},
        {at("plan.cue"), at("plan.cue"), "--write-labels and --write-cue name one file", {}},
        {at("old.cue"),
         at("link.txt"),
         "--write-labels and --write-cue name one file",
         {at("old.cue")}},
    };
    DiskFiles files;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cue + " " + c.labels);
        CutArguments arguments;
        arguments.source = at("album.mp3");
        arguments.cueOutPath = c.cue;
        arguments.labelsOutPath = c.labels;
        std::vector<std::string> existing;
        const auto problem = planFileProblem(arguments, files, tracks, existing);
        EXPECT_EQ(problem ? refusalText(*problem) : "(none)", c.problem);
        EXPECT_EQ(existing, c.existing);
    }
}

}  // namespace
}  // namespace snipwell::test
