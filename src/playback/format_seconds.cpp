#include "playback/format_seconds.h"

namespace snipwell {
namespace {

std::string signSlot(std::int32_t value) {
    // to_string already writes the minus sign; a blank takes its place otherwise.
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

}  // namespace

std::string formatSeconds(std::int32_t seconds) {
    // Truncating division keeps every field's sign equal to the argument's,
    // and no intermediate value can leave the 32-bit range.
    const std::int32_t hours = seconds / 3600;
    const std::int32_t rest = seconds - hours * 3600;
    const std::int32_t minutes = rest / 60;
    const std::int32_t secs = rest - minutes * 60;
    return signSlot(hours) + " :" + signSlot(minutes) + " :" + signSlot(secs);
}

}  // namespace snipwell
