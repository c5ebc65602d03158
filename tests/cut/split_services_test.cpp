// The split's services on the local disk: the room where FOLDER is or will
// be, the making of FOLDER and its refusals, and the source's tags.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "clip/export/export_test_files.h"
#include "cut/refusal_text.h"
#include "cut/split_services.h"

namespace snipwell::test {
namespace {

// An ID3v2.3 tag of one text frame.
Bytes id3v2TextTag(const char* id, const std::string& text) {
    const char body = static_cast<char>(text.size() + 1);  // the encoding byte and the text
    const std::string tag = std::string("ID3\3\0\0\0\0\0", 9) + static_cast<char>(body + 10) + id +
                            std::string("\0\0\0", 3) + body + std::string(3, '\0') + text;
    return {tag.begin(), tag.end()};
}

std::string problemOf(const std::optional<CutFailure>& failure) {
    return failure ? refusalText(*failure) : "(none)";
}

// A file system that keeps no blocks says nothing of its room: no
// refusal for "0 bytes free" there, while a real disk tells its room, for
// a folder still to be made too.
TEST(SplitServices, FreeSpaceIsUnknownWhereTheFileSystemKeepsNoBlocks) {
    const SplitServices disk = diskSplitServices();
    EXPECT_EQ(disk.freeBytes("/proc/self/tracks"), std::nullopt);
    const TempDir folder;
    EXPECT_GT(disk.freeBytes(folder.file("tracks").string()).value_or(0), 0u);
    EXPECT_GT(disk.freeBytes(folder.file("new/deeper/tracks").string()).value_or(0), 0u);
}

TEST(SplitServices, MakesEveryMissingFolderAndRefusesAFileInTheWay) {
    const TempDir temp;
    const std::string file = temp.file("album.mp3").string();
    writeBytes(file, patternBytes(10));
    const SplitServices disk = diskSplitServices();
    const std::string made = temp.file("new/deeper/tracks").string();
    EXPECT_EQ(problemOf(disk.makeFolder(made)), "(none)");
    EXPECT_TRUE(std::filesystem::is_directory(made));
    EXPECT_EQ(problemOf(disk.makeFolder(made)), "(none)");
    for (const std::string& folder : {file, file + "/tracks"}) {
        EXPECT_EQ(problemOf(disk.makeFolder(folder)),
                  "cannot make the folder \"" + folder + "\": Not a directory");
    }
}

// Every ID3v2 tag in front, in order, and the ID3v1 tag at the end.
TEST(SplitServices, ReadsEveryTagOfTheSourceOrSaysWhyNot) {
    const TempDir temp;
    const std::string path = temp.file("album.mp3").string();
    const Bytes first = id3v2TextTag("TIT2", "One");
    const Bytes second = id3v2TextTag("TPE1", "Band");
    Bytes v1 = {'T', 'A', 'G'};
    v1.resize(128, 'v');
    Bytes file = first;
    file.insert(file.end(), second.begin(), second.end());
    const Bytes audio = patternBytes(4'000);
    file.insert(file.end(), audio.begin(), audio.end());
    file.insert(file.end(), v1.begin(), v1.end());
    writeBytes(path, file);

    const auto read = readSourceTags(path);
    ASSERT_TRUE(std::holds_alternative<SourceTags>(read))
        << refusalText(std::get<CutFailure>(read));
    const auto& tags = std::get<SourceTags>(read);
    ASSERT_EQ(tags.frames.size(), 2u);
    EXPECT_EQ(tags.frames[0].id, "TIT2");
    EXPECT_EQ(std::string(tags.frames[1].body.begin(), tags.frames[1].body.end()),
              std::string("\0Band", 5));
    EXPECT_EQ(tags.id3v2Bytes, first.size() + second.size());
    ASSERT_TRUE(tags.id3v1.has_value());
    EXPECT_TRUE(std::equal(v1.begin(), v1.end(), tags.id3v1->begin()));

    const std::string missing = temp.file("gone.mp3").string();
    const auto failed = readSourceTags(missing);
    ASSERT_TRUE(std::holds_alternative<CutFailure>(failed));
    EXPECT_EQ(refusalText(std::get<CutFailure>(failed)),
              "cannot open \"" + missing + "\": No such file or directory");
}

}  // namespace
}  // namespace snipwell::test
