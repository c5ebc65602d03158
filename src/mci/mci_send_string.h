#pragma once
// The media service's one entry point: a text command in, a 32-bit code out
// (0 for success), and for queries a reply written at the start of `reply`
// as NUL-terminated text that never exceeds `capacity` bytes.
// `callback` names a window to notify on completion; the service never
// notifies, so callers pass 0.

#include <cstdint>

extern "C" std::uint32_t mciSendStringA(const char* command, char* reply, std::uint32_t capacity,
                                        std::uintptr_t callback);
