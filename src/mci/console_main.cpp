// snipwell-mci: a console onto the media service. Reads one command per line
// from standard input, sends it, and prints "<code><TAB><reply>" per line.
//
// At the end of input every device is closed and the program exits, so a
// piped session stops its playback when the pipe ends; type the commands, or
// keep the pipe open, to listen for longer.

#include <cstdio>
#include <iostream>
#include <string>

#include "mci/mci_send_string.h"

int main() {
    constexpr std::uint32_t replyCapacity = 256;
    char reply[replyCapacity];
    std::string line;
    while (std::getline(std::cin, line)) {
        // Lines from files written elsewhere may end in a carriage return.
        if (!line.empty() && line.back() == '\r') line.pop_back();
        reply[0] = '\0';
        const std::uint32_t code = mciSendStringA(line.c_str(), reply, replyCapacity, 0);
        std::cout << code << '\t' << reply << std::endl;
    }
    mciSendStringA("close all", nullptr, 0, 0);
    return 0;
}
