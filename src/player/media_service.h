#pragma once
// How the player reaches the media service: the shape of its text-command
// entry point. The program passes the real service (mciSendStringA);
// tests pass a recorder or a scripted service.

#include <cstdint>
#include <functional>

namespace snipwell {

using MciSendString = std::function<std::uint32_t(const char* command, char* reply,
                                                  std::uint32_t capacity, std::uintptr_t callback)>;

}  // namespace snipwell
