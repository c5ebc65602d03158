#pragma once
// The helper's side of helper_process.h: a helper program is started with
// `--parent-pid PID` and ends as soon as that process is no longer its
// parent, however the parent ended, so that no helper outlives the program
// that waits for it.

#include <sys/types.h>

#include <optional>
#include <string_view>

namespace snipwell {

inline constexpr std::string_view parentPidOption = "--parent-pid";

// The value of --parent-pid; nullopt when it is no process id of a parent
// (not a number, or 1 and below).
std::optional<pid_t> parseParentPid(std::string_view text);

// Ends this process when `parent` is no longer its parent. The parent-death
// signal covers the usual case at once; a thread that watches the parent's
// id covers a parent that ended before the signal was armed, and the parent
// thread (not process) ending, for which the signal fires early. Also keeps
// the helper writing to a terminal when its own process group is not the
// terminal's foreground group (`stty tostop`).
void followParent(pid_t parent);

}  // namespace snipwell
