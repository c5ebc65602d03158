#pragma once
// A run of the command told as the program tells it: the failure's one line
// on the console's error stream, and whether everything was saved.

#include "cut/cut_command.h"
#include "cut/refusal_text.h"

namespace snipwell::test {

inline constexpr bool kSaved = true;
inline constexpr bool kNotSaved = false;

inline bool toldOutcome(const CutOutcome& outcome, const CutConsole& console) {
    if (outcome) tellCutFailure(console.err, *outcome);
    return !outcome;
}

}  // namespace snipwell::test
