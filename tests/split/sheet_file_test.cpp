// A sheet read whole: up to the largest size a sheet may have, and no
// further; a file that is missing is named with the system's reason.

#include <gtest/gtest.h>

#include <fstream>

#include "common/runtime_error.h"
#include "split/sheet_file.h"
#include "support/temp_dir.h"

namespace snipwell::test {
namespace {

TEST(SheetFile, ReadsUpToTheLargestSizeAndRefusesMore) {
    const TempDir folder;
    const std::string path = folder.file("a.cue").string();
    // More than one read's worth, so the limit is checked across reads.
    const std::string text(100'000, 'x');
    std::ofstream(path, std::ios::binary) << text;
    EXPECT_EQ(readSheetFile(path, text.size()), text);
    const auto refusal = [](const std::string& file, std::size_t largest) {
        try {
            readSheetFile(file, largest);
        } catch (const RuntimeError& error) {
            return std::string(error.what());
        }
        return std::string("read");
    };
    EXPECT_EQ(refusal(path, text.size() - 1),
              "\"" + path + "\" is too large for a cue sheet or label file");
    const std::string missing = folder.file("missing.cue").string();
    EXPECT_EQ(refusal(missing, 1000), "cannot read \"" + missing + "\": No such file or directory");
}

}  // namespace
}  // namespace snipwell::test
