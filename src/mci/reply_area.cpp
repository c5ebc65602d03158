#include "mci/reply_area.h"

#include <cstring>

namespace snipwell::mci {

MciError writeReply(char* area, std::uint32_t capacity, std::string_view text) {
    if (area == nullptr || capacity == 0) {
        return text.empty() ? MciError::ok : MciError::replyAreaTooSmall;
    }
    if (text.size() >= capacity) {
        area[0] = '\0';
        return MciError::replyAreaTooSmall;
    }
    std::memcpy(area, text.data(), text.size());
    area[text.size()] = '\0';
    return MciError::ok;
}

}  // namespace snipwell::mci
