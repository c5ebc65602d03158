#pragma once
// Sends commands through the service's C entry point, as the player does.

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "mci/mci_send_string.h"

namespace snipwell::mci::test {

struct Answer {
    std::uint32_t code;
    std::string reply;
};

inline Answer send(const std::string& command) {
    char reply[128] = "stale";
    const std::uint32_t code = mciSendStringA(command.c_str(), reply, sizeof reply, 0);
    return {code, reply};
}

// A status query's number; -1 when the query failed.
inline long long statusNumber(const std::string& command) {
    const Answer answer = send(command);
    return answer.code == 0 ? std::stoll(answer.reply) : -1;
}

inline long long positionMs() { return statusNumber("status movie position wait"); }
inline long long lengthMs() { return statusNumber("status movie length"); }
inline std::string mode() { return send("status movie mode").reply; }

inline void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

inline std::string openCommand(const std::string& path, const std::string& alias = "movie") {
    return "open \"" + path + "\" type mpegvideo alias " + alias + " parent 4242 style child ";
}

}  // namespace snipwell::mci::test
