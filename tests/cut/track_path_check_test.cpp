// Whether a track can be saved under its path, asked before anything is
// written: the longest name and the longest path pass, one byte more is
// refused with the numbers a person can act on, in a folder still to be
// made too.

#include <gtest/gtest.h>

#include <string>

#include "cut/refusal_text.h"
#include "cut/track_path_check.h"
#include "support/temp_dir.h"

namespace snipwell::test {
namespace {

// A folder under `base`, not made, whose path is `length` bytes long.
std::string folderOfLength(std::string folder, std::size_t length) {
    while (folder.size() + 1 < length) {
        const std::size_t left = length - folder.size();
        folder += "/" + std::string(left > 202 ? 200 : left - 1, 'f');
    }
    return folder;
}

std::string problemOf(const std::string& folder, const std::string& name) {
    const auto problem = trackPathProblem(folder, name, 2);
    return problem ? refusalText(atStage(*problem, CutStage::split)) : "(none)";
}

TEST(TrackPathCheck, TheLongestNameAndPathPassAndOneByteMoreIsRefused) {
    const TempDir temp;
    const std::string base = temp.path().string();
    const std::string notYetMade = base + "/new/tracks";
    EXPECT_EQ(problemOf(notYetMade, std::string(255, 'n')), "(none)");
    EXPECT_EQ(problemOf(notYetMade, std::string(256, 'n')),
              "nothing was split: track 2: the name \"" + std::string(256, 'n') +
                  "\" is 256 bytes long, more than the 255 a file name may have in \"" +
                  notYetMade + "\"");

    // The track is written under a hidden name first: a dot and 17 bytes
    // more, within the 255 bytes of a name.
    const struct {
        std::size_t nameBytes;
        std::size_t longestPath;
    } cases[] = {{6, 4077}, {230, 4077}, {250, 4090}, {255, 4095}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nameBytes);
        const std::string name(c.nameBytes, 'n');
        const std::string longest = folderOfLength(base, c.longestPath - c.nameBytes - 1);
        EXPECT_EQ(problemOf(longest, name), "(none)");
        const std::string over = folderOfLength(base, c.longestPath - c.nameBytes);
        const std::string told = problemOf(over, name);
        std::string path = over;
        path += "/" + name;
        EXPECT_EQ(told.rfind("nothing was split: track 2: the path \"" + path + "\"", 0), 0u);
        EXPECT_EQ(
            told.substr(told.rfind('"') + 1),
            " is longer than the " + std::to_string(c.longestPath) + " bytes a path may have");
    }
}

}  // namespace
}  // namespace snipwell::test
