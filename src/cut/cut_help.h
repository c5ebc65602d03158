#pragma once
// What snipwell-cut prints about itself: the usage lines, --help and
// --version. The options in them come from the table in cut_options.h.

#include <string>
#include <vector>

namespace snipwell {

// The one-clip usage, one line: "usage: snipwell-cut [--force] … SOURCE BEGIN END TARGET".
std::string cutUsage();
// The split mode's usage, one line.
std::string cutSplitUsage();
// The usage line for these words: the split mode's when they select it.
std::string cutUsageFor(const std::vector<std::string>& words);
// The usage, what the program does, the time forms, the options, the exit
// statuses and one example.
std::string cutHelp();
// Name, version, copyright and license.
std::string cutVersion();

}  // namespace snipwell
