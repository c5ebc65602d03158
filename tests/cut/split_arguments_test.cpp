// The split mode's command line: which options select it, what they hold,
// and what is bad usage.

#include <gtest/gtest.h>

#include "cut/cut_options.h"
#include "cut/parse_cut_arguments.h"

namespace snipwell::test {
namespace {

TEST(SplitArguments, SelectTheModeAndReadTheirValues) {
    const auto parsed = parseCutArguments({"--cue", "a.cue", "--name={n} {title}", "--dry-run",
                                           "--write-cue=t/a.cue", "a.mp3", "tracks"});
    ASSERT_TRUE(std::holds_alternative<CutCommandLine>(parsed))
        << std::get<CutUsageError>(parsed).reason;
    const CutArguments& cue = std::get<CutCommandLine>(parsed).arguments;
    EXPECT_EQ(cue.splitBy, SplitSource::cueSheet);
    EXPECT_EQ(cue.sheetPath, "a.cue");
    EXPECT_EQ(cue.nameTemplate, "{n} {title}");
    EXPECT_TRUE(cue.dryRun);
    EXPECT_EQ(cue.cueOutPath, "t/a.cue");
    EXPECT_EQ(cue.source, "a.mp3");
    EXPECT_EQ(cue.folder, "tracks");

    const auto at = parseCutArguments({"--at", "1:05,92500,2:00.5", "--bytes", "a.mp3", "t"});
    ASSERT_TRUE(std::holds_alternative<CutCommandLine>(at));
    EXPECT_EQ(std::get<CutCommandLine>(at).arguments.splitTimesMs,
              (std::vector<std::int32_t>{65'000, 92'500, 120'500}));
    EXPECT_TRUE(std::get<CutCommandLine>(at).arguments.bytes);

    const auto every = parseCutArguments({"--every=5:00", "a.mp3", "t"});
    ASSERT_TRUE(std::holds_alternative<CutCommandLine>(every));
    EXPECT_EQ(std::get<CutCommandLine>(every).arguments.trackLengthMs, 300'000);
    EXPECT_EQ(std::get<CutCommandLine>(every).arguments.splitBy, SplitSource::trackLength);

    // A bare whole number of a rule is seconds; --trim's value is joined to
    // it, and the end named alone wins over it, whichever comes first.
    const auto silence = parseCutArguments({"--trim-end", "0.5", "--silence", "--threshold",
                                            "-52.5", "--min-silence", "2", "--split-at=0.25",
                                            "--min-track", "1:00", "--max-track", "20:00", "--trim",
                                            "--write-labels", "p.txt", "a.mp3", "t"});
    ASSERT_TRUE(std::holds_alternative<CutCommandLine>(silence))
        << std::get<CutUsageError>(silence).reason;
    const CutArguments& rules = std::get<CutCommandLine>(silence).arguments;
    EXPECT_EQ(rules.splitBy, SplitSource::silence);
    EXPECT_EQ(rules.silence.thresholdDb, -52.5);
    EXPECT_EQ(rules.trim.thresholdDb, -52.5);
    EXPECT_EQ(rules.silence.minSilenceMs, 2'000);
    EXPECT_EQ(rules.silence.splitShare, 0.25);
    EXPECT_EQ(rules.silence.minTrackMs, 60'000);
    EXPECT_EQ(rules.silence.maxTrackMs, 1'200'000);
    EXPECT_EQ(rules.trim.keepAtStartMs, 200);
    EXPECT_EQ(rules.trim.keepAtEndMs, 500);
    EXPECT_EQ(rules.labelsOutPath, "p.txt");
    EXPECT_EQ(rules.source, "a.mp3");
}

TEST(SplitArguments, BadUsageNamesTheCulprit) {
    const struct {
        std::vector<std::string> words;
        const char* reason;
    } refused[] = {
        {{"--cue", "a.cue", "a.mp3"}, "expected 2 operands (SOURCE FOLDER) for a split, got 1"},
        {{"--cue", "a.cue", "--at", "5", "a.mp3", "t"}, "--at with another of --cue"},
        {{"--at", "5,4", "a.mp3", "t"}, "--at 4 does not come after 0:00.005"},
        {{"--at", "0:10,0", "a.mp3", "t"}, "--at \"0\" is no split time"},
        {{"--at", "1,,2", "a.mp3", "t"}, "--at \"\" is no split time"},
        {{"--every", "0", "a.mp3", "t"}, "--every \"0\" is no track length"},
        {{"--labels"}, "--labels needs FILE"},
        {{"--at", "5", "--name", "{track}", "a.mp3", "t"}, "unknown field {track} in --name"},
        {{"--at", "5", "--bytes", "--exact", "a.mp3", "t"}, "--bytes and --exact exclude"},
        {{"--dry-run", "a.mp3", "0", "1", "b.mp3"}, "--dry-run is for splitting a whole file"},
        {{"--name", "x", "a.mp3", "0", "1", "b.mp3"}, "--name is for splitting a whole file"},
        {{"--cue", "a.cue", "a.mp3", ""}, "FOLDER is an empty name"},
        {{"--cue", "a.cue", "--min-track", "5", "a.mp3", "t"},
         "--min-track is for splitting with --silence"},
        {{"--silence", "--max-track", "1", "--min-track", "2", "a.mp3", "t"},
         "--max-track 0:01.000 is shorter than --min-track 0:02.000"},
        {{"--silence", "--threshold", "6", "a.mp3", "t"}, "--threshold \"6\" is no level"},
        {{"--silence", "--split-at", "1.5", "a.mp3", "t"}, "--split-at \"1.5\" is no share"},
        {{"--chapters", "--trim=soon", "a.mp3", "t"}, "--trim \"soon\" is no duration"},
        {{"--trim-end", "1", "a.mp3", "0", "1", "b.mp3"},
         "--trim, --trim-start and --trim-end need --exact in a single clip"},
    };
    for (const auto& c : refused) {
        const auto result = parseCutArguments(c.words);
        ASSERT_TRUE(std::holds_alternative<CutUsageError>(result)) << c.reason;
        EXPECT_EQ(std::get<CutUsageError>(result).reason.rfind(c.reason, 0), 0u)
            << std::get<CutUsageError>(result).reason;
    }
}

// The refusals every row of the option table gets, so that a new option
// gets them too: a value it lacks, a split's own option in a clip, and a
// second split source.
TEST(SplitArguments, EveryOptionIsRefusedWhereItDoesNotBelong) {
    const auto reasonFor = [](const std::vector<std::string>& words) {
        const auto result = parseCutArguments(words);
        return std::holds_alternative<CutUsageError>(result)
                   ? std::get<CutUsageError>(result).reason
                   : std::string("(accepted)");
    };
    // A value each option takes: one split time, one track length, a name,
    // a level below full scale, a share of a silence.
    const auto valueFor = [](const std::string& kind) -> std::string {
        return kind == "DB" ? "-50" : kind == "SHARE" ? "0.5" : "5";
    };
    const char* otherSource = "--every=5";
    for (const OptionDef& option : cutOptionTable()) {
        const std::string name = option.name;
        if (option.valueName != nullptr && !option.valueOptional) {
            EXPECT_EQ(reasonFor({"a.mp3", name}), name + " needs " + option.valueName);
        }
        const std::string word =
            option.valueName == nullptr ? name : name + "=" + valueFor(option.valueName);
        if (option.use == OptionUse::split) {
            EXPECT_EQ(reasonFor({word, "a.mp3", "0", "1", "b.mp3"})
                          .rfind(name + " is for splitting a whole file (with --cue, --at", 0),
                      0u)
                << name;
        }
        if (option.use == OptionUse::splitSource && name != "--every") {
            EXPECT_EQ(reasonFor({otherSource, word, "a.mp3", "t"})
                          .rfind(name + " with another of --cue, --at, --every", 0),
                      0u)
                << name;
        }
    }
}

}  // namespace
}  // namespace snipwell::test
