// The file the window opens at start, picked from what Qt left of the command
// line, and what the program says on standard error about the rest.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/command_line.h"
#include "support/temp_dir.h"

namespace snipwell {
namespace {

struct Picked {
    std::optional<std::string> file;
    std::string errorOutput;
};

Picked pick(const std::vector<std::string>& arguments) {
    std::FILE* err = std::tmpfile();
    Picked picked;
    picked.file = fileToOpenAtStart(arguments, err);
    std::rewind(err);
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, err) != nullptr) picked.errorOutput += buffer;
    std::fclose(err);
    return picked;
}

class FileAtStart : public ::testing::Test {
protected:
    FileAtStart() {
        for (const char* name : {"song.mp3", "other.mp3", "-dash.mp3"})
            std::ofstream(folder.file(name)) << "ID3";
        std::filesystem::create_directory(folder.file("album"));
    }
    std::string path(const char* name) const { return folder.file(name).string(); }
    test::TempDir folder;
};

TEST_F(FileAtStart, OpensTheFirstFileAndSaysWhatItLeftOutOrCannotRead) {
    const std::string song = path("song.mp3");
    const std::string missing = path("missing.mp3");
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        std::optional<std::string> file;
        std::string errorOutput;
    };
    const Case cases[] = {
        {"no file", {"snipwell"}, std::nullopt, ""},
        {"one file", {"snipwell", song}, song, ""},
        {"an option Qt did not know is no file", {"snipwell", "--nonsense", song}, song, ""},
        {"three files",
         {"snipwell", song, path("other.mp3"), path("album")},
         song,
         "snipwell: opening only the first file, " + song + "; 2 more ignored\n"},
        // Handed on all the same, so the window can say why in a message.
        {"a file that is not there",
         {"snipwell", missing},
         missing,
         "snipwell: cannot open " + missing + ": No such file or directory\n"},
        {"a folder",
         {"snipwell", path("album")},
         path("album"),
         "snipwell: cannot open " + path("album") + ": Is a directory\n"},
        {"a name that looks like an option, after --",
         {"snipwell", "--", path("-dash.mp3")},
         path("-dash.mp3"),
         ""},
        {"a missing first file is not replaced by the second",
         {"snipwell", missing, song},
         missing,
         "snipwell: opening only the first file, " + missing +
             "; 1 more ignored\nsnipwell: cannot open " + missing +
             ": No such file or directory\n"},
    };
    for (const Case& c : cases) {
        const Picked picked = pick(c.arguments);
        EXPECT_EQ(picked.file, c.file) << c.what;
        EXPECT_EQ(picked.errorOutput, c.errorOutput) << c.what;
    }
}

TEST_F(FileAtStart, ARelativeNameBecomesAbsoluteAsTheDialogGivesIt) {
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    const Picked picked = pick({"snipwell", "song.mp3"});
    std::filesystem::current_path(before);
    EXPECT_EQ(picked.file, folder.file("song.mp3").string());
    EXPECT_EQ(picked.errorOutput, "");
}

TEST_F(FileAtStart, AFileNobodyMayReadIsNamedAndStillHandedToTheWindow) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    std::filesystem::permissions(folder.file("song.mp3"), std::filesystem::perms::none);
    const Picked picked = pick({"snipwell", path("song.mp3")});
    EXPECT_EQ(picked.file, path("song.mp3"));
    EXPECT_EQ(picked.errorOutput,
              "snipwell: cannot open " + path("song.mp3") + ": Permission denied\n");
}

TEST(InformationalOptions, HelpNamesTheFileAndTheKeys) {
    std::FILE* out = std::tmpfile();
    const char* argv[] = {"snipwell", "--help"};
    EXPECT_EQ(answerInformationalOption(2, argv, out), 0);
    std::rewind(out);
    std::string help;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, out) != nullptr) help += buffer;
    EXPECT_EQ(help.rfind("Usage: snipwell [QT-OPTION...] [FILE]\n", 0), 0u) << help;
    EXPECT_NE(help.find("Ctrl+O Open"), std::string::npos) << help;

    const char* afterTheEnd[] = {"snipwell", "--", "--help"};
    EXPECT_EQ(answerInformationalOption(3, afterTheEnd, out), std::nullopt)
        << "a file named --help is a file";
    std::fclose(out);
}

}  // namespace
}  // namespace snipwell
