#pragma once

#include <cstdint>
#include <string>

namespace snipwell {

// A count of seconds as the window shows it: hours, minutes and seconds, each
// with a sign slot (a blank, or a minus), separated by " :" and not padded.
// 3725 gives " 1 : 2 : 5"; -61 gives " 0 :-1 :-1"; 40000 gives " 11 : 6 : 40".
std::string formatSeconds(std::int32_t seconds);

}  // namespace snipwell
