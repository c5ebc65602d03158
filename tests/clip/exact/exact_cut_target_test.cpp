// The exact clip takes the target's name only once it is complete: an
// interrupted cut leaves neither a partial clip nor a temporary file, and an
// existing target stays as it was.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <variant>

#include "clip/exact/exact_cut.h"
#include "clip/export/disk_files.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/temp_dir.h"

namespace snipwell::test {
namespace {

namespace fs = std::filesystem;

struct Interrupted {};

TEST(ExactCutTarget, AnInterruptedCutLeavesTheTargetAsItWas) {
    const fs::path source = Mp3Fixtures::file(Mp3Kind::vbrWithXing);
    for (const double stopAt : {0.2, 0.7}) {  // while walking the source, while copying
        SCOPED_TRACE(stopAt);
        const TempDir work;
        const fs::path target = work.file("clip.mp3");
        std::ofstream(target) << "an older clip";
        DiskFiles files;
        double last = 0;
        EXPECT_THROW(exact::cutExactClip({source.string(), 1000, 9000, target.string()}, files,
                                         [&](double done) {
                                             EXPECT_GE(done, last);
                                             last = done;
                                             if (done >= stopAt) throw Interrupted{};
                                         }),
                     Interrupted);
        std::ifstream in(target);
        std::stringstream text;
        text << in.rdbuf();
        EXPECT_EQ(text.str(), "an older clip");
        EXPECT_EQ(std::distance(fs::directory_iterator(work.path()), fs::directory_iterator()), 1);
    }
}

TEST(ExactCutTarget, ProgressRunsFromZeroToOneAndTheClipIsCommitted) {
    const TempDir work;
    DiskFiles files;
    double last = -1;
    const auto result = exact::cutExactClip({Mp3Fixtures::file(Mp3Kind::cbrWithInfo).string(), 1000,
                                             9000, work.file("clip.mp3").string()},
                                            files, [&](double done) {
                                                EXPECT_GE(done, last);
                                                last = done;
                                            });
    ASSERT_TRUE(std::holds_alternative<exact::ExactClip>(result));
    EXPECT_EQ(last, 1.0);
    EXPECT_EQ(fs::file_size(work.file("clip.mp3")), std::get<exact::ExactClip>(result).bytes);
    EXPECT_EQ(std::get<exact::ExactClip>(result).samples, 8000u * 441 / 10);
}

}  // namespace
}  // namespace snipwell::test
