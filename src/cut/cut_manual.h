#pragma once
// The parts of snipwell-cut's manual page written from its option table, as
// roff: the synopsis and the option list. The page's template holds the rest.

#include <string>

namespace snipwell {

// The three ways to call it: one clip, a split, --help or --version.
std::string cutManualSynopsis();
// One tagged paragraph per option, in the table's order.
std::string cutManualOptions();

}  // namespace snipwell
