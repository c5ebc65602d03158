#pragma once
// What travels between the entry point and the media engine process.
//
// One command per line each way. The entry point sends the command text,
// already checked by the parser (so it holds no line break), and a newline.
// The engine answers "<code><TAB><reply>" and a newline; replies are
// numbers or mode words, so they hold no line break either.

#include <optional>
#include <string>
#include <string_view>

#include "mci/mci_service.h"

namespace snipwell::mci {

std::string formatReplyLine(const MciOutcome& outcome);

// The outcome a reply line carries, without its newline; nullopt when the
// line is not one the engine writes, which the entry point takes as an
// engine gone wrong.
std::optional<MciOutcome> parseReplyLine(std::string_view line);

}  // namespace snipwell::mci
