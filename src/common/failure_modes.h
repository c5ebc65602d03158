#pragma once
// How a handler deals with a failing step, written so the mode reads at a glance:
//
//   resumeNext([&] { ... });          // the step is skipped, the handler goes on
//   if (!endOnFailure([&] { ... }))   // the handler ends at the failing step
//       return;
//
// Steps with no helper around them are untrapped: their error leaves the
// handler and is reported by the window's event router.

#include <utility>

#include "common/runtime_error.h"

namespace snipwell {

template <typename Step>
void resumeNext(Step&& step) {
    try {
        std::forward<Step>(step)();
    } catch (const RuntimeError&) {
        // Skipped on purpose: the next step still runs.
    }
}

// Runs a stretch of steps; returns false when one of them failed, and the
// caller then ends its handler. What ran before the failing step stays done.
template <typename Steps>
[[nodiscard]] bool endOnFailure(Steps&& steps) {
    try {
        std::forward<Steps>(steps)();
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

}  // namespace snipwell
