#pragma once
// What travels between the entry point and the media engine process.
//
// One command per line each way. The entry point sends the command text,
// already checked by the parser (so it holds no line break), and a newline.
// The engine answers "<code><TAB><reply>" and a newline; replies are
// numbers or mode words, so they hold no line break either.
//
// Before any of that, once it has loaded the decoder, the engine says
// engineReadyLine, so that its start-up (which on a machine that has never
// run GStreamer includes building the plugin registry) is not counted
// against the first command's time limit.

#include <optional>
#include <string>
#include <string_view>

#include "mci/mci_service.h"

namespace snipwell::mci {

inline constexpr std::string_view engineReadyLine = "ready";

std::string formatReplyLine(const MciOutcome& outcome);

// The outcome a reply line carries, without its newline; nullopt when the
// line is not one the engine writes, which the entry point takes as an
// engine gone wrong.
std::optional<MciOutcome> parseReplyLine(std::string_view line);

}  // namespace snipwell::mci
