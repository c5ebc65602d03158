#pragma once
// snipwell-cut without its process: the same guard, byte range and copy as
// the window's Save, with the questions and progress of a terminal.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "app/files.h"
#include "cut_arguments.h"

namespace snipwell {

inline constexpr int kCutSucceeded = 0;
inline constexpr int kCutFailed = 1;
inline constexpr int kCutBadUsage = 2;

struct CutConsole {
    std::FILE* err = stderr;
    // Whether the person can be asked (standard input is a terminal).
    bool interactive = false;
    // Reads one answer line; false at the end of input.
    std::function<bool(std::string&)> readAnswer;
};

// Runs one cut and returns the exit status. `trackLengthMs` asks the media
// service for the source's length, exactly as the window does. Reasons for a
// failure go to console.err as one line.
int runCut(const CutArguments& arguments, Files& files,
           const std::function<std::int32_t(const std::string&)>& trackLengthMs,
           CutConsole& console);

}  // namespace snipwell
