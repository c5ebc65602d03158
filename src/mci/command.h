#pragma once
// The commands the media service understands, as the parser hands them on.

#include <cstdint>
#include <string>
#include <variant>

namespace snipwell::mci {

// open "path" [type mpegvideo] alias NAME [parent N] [style child|popup|overlapped]
// The parent window and style are accepted, since the player sends them, and
// have no effect: the device plays audio and shows nothing.
struct OpenCommand {
    std::string path;
    std::string alias;
};

// close NAME
struct CloseCommand {
    std::string alias;
};

// close all
struct CloseAllCommand {};

// play NAME [from N]
struct PlayCommand {
    std::string alias;
    bool hasFrom = false;
    std::int32_t fromMs = 0;
};

enum class Transport { stop, pause, resume };

// stop NAME, pause NAME, resume NAME
struct TransportCommand {
    std::string alias;
    Transport action = Transport::stop;
};

// set NAME time format ms (milliseconds is the only format offered)
struct SetTimeFormatCommand {
    std::string alias;
};

enum class StatusItem { length, position, mode };

// status NAME length|position|mode [wait]
struct StatusCommand {
    std::string alias;
    StatusItem item = StatusItem::mode;
};

// seek NAME to N
struct SeekCommand {
    std::string alias;
    std::int32_t toMs = 0;
};

using Command = std::variant<OpenCommand, CloseCommand, CloseAllCommand, PlayCommand,
                             TransportCommand, SetTimeFormatCommand, StatusCommand, SeekCommand>;

}  // namespace snipwell::mci
