#include "pulse_server.h"

#include <cstdlib>

#include "support/mp3/run_program.h"

namespace snipwell::mci::test {

bool pulseServerReachable() { return snipwell::test::runProgram({"pactl", "info"}) == 0; }

std::string testSinkName() {
    const char* sink = std::getenv("SNIPWELL_TEST_SINK");
    return sink == nullptr ? std::string() : std::string(sink);
}

}  // namespace snipwell::mci::test
