#pragma once
// Turns command text into a Command, strictly: anything the grammar does not
// allow is an error, and nothing is half-understood.
//
// Words are separated by blanks (spaces or tabs); leading and trailing blanks
// are ignored. Keywords are lower case and compared exactly. Aliases are 1 to
// 64 letters, digits or underscores, case-sensitive, and never "all".
//
// Quoting: only the file name of "open" is quoted, and it must be. It starts
// at the double quote right after "open " and ends at the LAST double quote of
// the command, which must be followed by a blank or the end. Everything in
// between is the path, double quotes included. The caller wraps the path in
// one pair of quotes and writes no quotes of its own after it, so whatever a
// path contains can only ever be part of the path: it cannot end the quoted
// name early and smuggle in keywords. A double quote anywhere else is an error.

#include <string_view>
#include <variant>

#include "mci/command.h"
#include "mci/mci_error.h"

namespace snipwell::mci {

using ParseResult = std::variant<Command, MciError>;

ParseResult parseCommand(std::string_view text);

}  // namespace snipwell::mci
