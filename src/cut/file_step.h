#pragma once
// A step on the Files service or another service that raises the run-time
// error type, turned into the command's way of failing: the step's value, or
// a CutFailure with the error's own words and no stage yet (the caller gives
// it one).

#include <optional>
#include <string>
#include <utility>

#include "common/files.h"
#include "common/runtime_error.h"
#include "cut/cut_failure.h"

namespace snipwell {

template <typename Step>
auto fileStep(Step&& step) -> CutResult<decltype(std::forward<Step>(step)())> {
    try {
        return std::forward<Step>(step)();
    } catch (const RuntimeError& error) {
        return failureOf(RuntimeFault{error.what()});
    }
}

// The same for a step without a value: nullopt when it was done.
template <typename Step>
std::optional<CutFailure> fileAction(Step&& step) {
    try {
        std::forward<Step>(step)();
        return std::nullopt;
    } catch (const RuntimeError& error) {
        return failureOf(RuntimeFault{error.what()});
    }
}

// The size of `path`, or why it cannot be read.
inline CutResult<std::int64_t> sourceSize(Files& files, const std::string& path) {
    return fileStep([&] { return files.fileSize(path); });
}

}  // namespace snipwell
