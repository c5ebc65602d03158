#include "mci/engine_protocol.h"

#include <charconv>
#include <cstdint>

namespace snipwell::mci {

std::string formatReplyLine(const MciOutcome& outcome) {
    return std::to_string(toCode(outcome.error)) + '\t' + outcome.reply + '\n';
}

std::optional<MciOutcome> parseReplyLine(std::string_view line) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos || tab == 0) return std::nullopt;
    std::uint32_t code = 0;
    const char* end = line.data() + tab;
    const auto [stop, error] = std::from_chars(line.data(), end, code);
    if (error != std::errc{} || stop != end) return std::nullopt;
    const std::string_view reply = line.substr(tab + 1);
    if (reply.find_first_of(std::string_view("\n\0", 2)) != std::string_view::npos) {
        return std::nullopt;
    }
    return MciOutcome{static_cast<MciError>(code), std::string(reply)};
}

}  // namespace snipwell::mci
