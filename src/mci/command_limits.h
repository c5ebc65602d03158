#pragma once
// Limits on what a command may be.

#include <cstddef>

namespace snipwell::mci {

// The longest command text the service takes, in bytes. A path is at most
// 4 KiB on Linux, so this leaves room to spare while keeping a runaway line
// from being held in memory or sent on to the media engine.
inline constexpr std::size_t maxCommandBytes = 64 * 1024;

}  // namespace snipwell::mci
