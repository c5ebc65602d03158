#pragma once
// Writes a reply into the caller's reply area.

#include <cstdint>
#include <string_view>

#include "mci/mci_error.h"

namespace snipwell::mci {

// Writes `text` and a terminating NUL at the start of `area`, never past
// `capacity` bytes, and leaves the bytes after the NUL alone. A reply that
// does not fit is not cut short (a cut number would read as a different
// number): the area gets an empty reply and the answer is replyAreaTooSmall.
// With capacity 0 or no area nothing is written; that is fine for commands
// that answer nothing and replyAreaTooSmall for those that do.
MciError writeReply(char* area, std::uint32_t capacity, std::string_view text);

}  // namespace snipwell::mci
