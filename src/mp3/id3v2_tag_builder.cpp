#include "mp3/id3v2_tag_builder.h"

namespace snipwell::mp3 {
namespace {

constexpr std::size_t kLargestBody = (std::size_t{1} << 28) - 1;

void putSyncsafe(std::vector<std::uint8_t>& out, std::size_t value) {
    for (int shift = 21; shift >= 0; shift -= 7) {
        out.push_back(static_cast<std::uint8_t>((value >> shift) & 0x7Fu));
    }
}

}  // namespace

bool Id3v2TagBuilder::add(const Id3v2Frame& frame) {
    if (frame.id.size() != 4) return false;
    if (frame.body.size() > kLargestBody ||
        frames_.size() + 10 + frame.body.size() > kLargestBody) {
        return false;
    }
    frames_.insert(frames_.end(), frame.id.begin(), frame.id.end());
    putSyncsafe(frames_, frame.body.size());
    frames_.push_back(static_cast<std::uint8_t>(frame.flags >> 8));
    frames_.push_back(static_cast<std::uint8_t>(frame.flags & 0xFFu));
    frames_.insert(frames_.end(), frame.body.begin(), frame.body.end());
    return true;
}

std::vector<std::uint8_t> Id3v2TagBuilder::build() const {
    if (frames_.empty()) return {};
    std::vector<std::uint8_t> tag{'I', 'D', '3', 4, 0, 0};
    tag.reserve(10 + frames_.size());
    putSyncsafe(tag, frames_.size());
    tag.insert(tag.end(), frames_.begin(), frames_.end());
    return tag;
}

}  // namespace snipwell::mp3
