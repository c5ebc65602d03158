// A folder where a file is to be saved is refused, reached through a link
// too; anything else, even a link that leads nowhere, is no folder.

#include <gtest/gtest.h>

#include <filesystem>

#include "cut/folder_in_the_way.h"
#include "cut/refusal_text.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace snipwell::test {
namespace {

TEST(FolderInTheWay, IsAFolderOrALinkToOneAndNothingElse) {
    const TempDir temp;
    const auto at = [&temp](const char* name) { return temp.file(name).string(); };
    std::filesystem::create_directory(at("clips"));
    std::filesystem::create_directory_symlink(at("clips"), at("to-clips.mp3"));
    std::filesystem::create_symlink(at("gone"), at("dangling.mp3"));
    writeBytes(at("clip.mp3"), Bytes(3));
    for (const char* name : {"clips", "to-clips.mp3"}) {
        const auto refusal = folderInTheWay(at(name));
        EXPECT_EQ(refusal ? refusalText(*refusal) : "(none)",
                  "\"" + at(name) + "\" is a folder, not a file");
    }
    for (const char* name : {"clip.mp3", "dangling.mp3", "new.mp3"}) {
        EXPECT_FALSE(folderInTheWay(at(name))) << name;
    }
}

}  // namespace
}  // namespace snipwell::test
