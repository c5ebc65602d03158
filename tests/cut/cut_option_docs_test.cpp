// What snipwell-cut says about its options, as a person reads it: the
// program's --help and the built manual page name every option of the table
// and no other, so neither can drop a row or keep one the program no longer
// takes.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "cut/cut_options.h"
#include "support/mp3/run_program.h"
#include "support/temp_dir.h"

namespace snipwell::test {
namespace {

using Names = std::set<std::string>;

Names tableNames() {
    Names names;
    for (const OptionDef& option : cutOptionTable()) names.insert(option.name);
    return names;
}

// The text from the line `.SH TITLE` up to the next section.
std::string manualSection(const std::string& page, const std::string& title) {
    const std::size_t from = page.find("\n.SH " + title + "\n");
    if (from == std::string::npos) return "";
    const std::size_t to = page.find("\n.SH ", from + 1);
    return page.substr(from, to - from);
}

// Option names in roff ("\-\-fade\-in"), plain; the bare "\-\-" that ends
// the options is none.
Names roffOptionNames(const std::string& text, const std::string& linePrefix) {
    Names names;
    const std::regex option(linePrefix + R"((\\-\\-[a-z](\\-|[a-z])*))");
    for (std::sregex_iterator at(text.begin(), text.end(), option), end; at != end; ++at) {
        names.insert(std::regex_replace((*at)[1].str(), std::regex(R"(\\-)"), "-"));
    }
    return names;
}

TEST(CutOptionDocs, HelpAndManualNameTheOptionsOfTheTable) {
    TempDir work;
    const ProgramOutcome help = runProgramKeepingOutput({SNIPWELL_CUT_PATH, "--help"},
                                                        work.file("out.txt"), work.file("err.txt"));
    ASSERT_EQ(help.exitCode, 0) << help.errorOutput;
    Names inHelp;
    const std::regex helpLine(R"(\n  (--[a-z][a-z-]*))");
    for (std::sregex_iterator at(help.output.begin(), help.output.end(), helpLine), end; at != end;
         ++at) {
        inHelp.insert((*at)[1].str());
    }

    std::ifstream file(SNIPWELL_CUT_MANUAL);
    ASSERT_TRUE(file) << SNIPWELL_CUT_MANUAL;
    std::stringstream page;
    page << file.rdbuf();
    // The tag line of each paragraph in OPTIONS, and every name in SYNOPSIS.
    const Names inOptions =
        roffOptionNames(manualSection(page.str(), "OPTIONS"), R"(\.TP\n\.BI? )");
    const Names inSynopsis = roffOptionNames(manualSection(page.str(), "SYNOPSIS"), "");

    const Names table = tableNames();
    ASSERT_GT(table.size(), 10u);
    EXPECT_EQ(inHelp, table);
    EXPECT_EQ(inOptions, table);
    EXPECT_EQ(inSynopsis, table);
}

}  // namespace
}  // namespace snipwell::test
