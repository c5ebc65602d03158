// The progress bar of snipwell-cut, read back from a terminal as a person
// sees it.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "cut/terminal_progress.h"

namespace snipwell::test {
namespace {

// On a terminal the bar ends at 100 %, however the last block falls, and the
// line is ended for what follows.
TEST(TerminalProgressBar, ReachesOneHundredPercentAndEndsTheLine) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    std::FILE* terminal = std::fopen(::ptsname(master), "w");
    ASSERT_NE(terminal, nullptr);
    {
        TerminalProgress progress(terminal);
        progress.start(368'641);
        progress.show(262'144);
        progress.show(368'640);
        progress.complete();
    }
    std::fclose(terminal);
    std::string shown;
    ::fcntl(master, F_SETFL, O_NONBLOCK);
    char buffer[4096];
    for (ssize_t got; (got = ::read(master, buffer, sizeof buffer)) > 0;)
        shown.append(buffer, static_cast<std::size_t>(got));
    ::close(master);

    EXPECT_NE(shown.find(" 71.1%"), std::string::npos) << shown;
    EXPECT_NE(shown.find(" 99.9%"), std::string::npos) << shown;
    const std::string end = "] 100.0%\r\n";  // the terminal turns the line's end into \r\n
    ASSERT_GE(shown.size(), end.size());
    EXPECT_EQ(shown.substr(shown.size() - end.size()), end) << shown;
}

}  // namespace
}  // namespace snipwell::test
