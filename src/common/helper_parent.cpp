#include "common/helper_parent.h"

#include <sys/prctl.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <csignal>
#include <thread>

namespace snipwell {

std::optional<pid_t> parseParentPid(std::string_view text) {
    pid_t parent = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), parent);
    if (error != std::errc{} || stop != text.data() + text.size() || parent <= 1) {
        return std::nullopt;
    }
    return parent;
}

void followParent(pid_t parent) {
    std::signal(SIGTTOU, SIG_IGN);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(0);
    std::thread([parent] {
        while (::getppid() == parent) std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ::_exit(0);
    }).detach();
}

}  // namespace snipwell
