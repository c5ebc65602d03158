#pragma once
// Reads snipwell-cut's words into a CutCommandLine, looking each option up
// in the option table (cut_options.h), or says in one line why they are no
// command.

#include <string>
#include <variant>
#include <vector>

#include "cut/cut_arguments.h"

namespace snipwell {

std::variant<CutCommandLine, CutUsageError> parseCutArguments(
    const std::vector<std::string>& words);

}  // namespace snipwell
