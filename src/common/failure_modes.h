#pragma once
// How a handler deals with a failing step, written so the mode reads at a glance:
//
//   resumeNext([&] { ... });          // the step is skipped, the handler goes on
//   if (!endOnFailure([&] { ... }))   // the handler ends at the failing step
//       return;
//   if (!restoreOnFailure([&] { ... }, [&](const RuntimeError& e) { ... }))
//       return;                       // the handler's restore path ran
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

// Runs a stretch of steps; when one of them fails, hands its error to
// `restore`, the handler's way back to a sound state, and returns false. The
// caller then ends its handler. What ran before the failing step stays done.
template <typename Steps, typename Restore>
[[nodiscard]] bool restoreOnFailure(Steps&& steps, Restore&& restore) {
    try {
        std::forward<Steps>(steps)();
        return true;
    } catch (const RuntimeError& error) {
        std::forward<Restore>(restore)(error);
        return false;
    }
}

}  // namespace snipwell
