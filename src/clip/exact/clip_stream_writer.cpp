#include "clip/exact/clip_stream_writer.h"

#include <span>

#include "clip/exact/crc16.h"

namespace snipwell::exact {
namespace {

constexpr std::size_t bufferBytes = 1024 * 1024;

}  // namespace

ClipStreamWriter::ClipStreamWriter(ClipTarget& target) : target_(target) {
    buffer_.reserve(bufferBytes);
}

void ClipStreamWriter::append(const std::uint8_t* bytes, std::size_t count) {
    if (crcOn_) crc_ = crc16Update(crc_, bytes, count);
    if (buffer_.size() + count > bufferBytes) flush();
    if (count >= bufferBytes) {
        writeLater(next_, bytes, count);
        next_ += static_cast<std::int64_t>(count);
        bufferPosition_ = next_;
        return;
    }
    buffer_.insert(buffer_.end(), bytes, bytes + count);
    next_ += static_cast<std::int64_t>(count);
}

std::int64_t ClipStreamWriter::reserve(std::size_t count) {
    flush();
    const std::int64_t position = next_;
    next_ += static_cast<std::int64_t>(count);
    bufferPosition_ = next_;
    return position;
}

void ClipStreamWriter::writeLater(std::int64_t position, const std::uint8_t* bytes,
                                  std::size_t count) {
    target_.writeAt(position, std::as_bytes(std::span(bytes, count)));
}

void ClipStreamWriter::flush() {
    if (!buffer_.empty()) {
        writeLater(bufferPosition_, buffer_.data(), buffer_.size());
        buffer_.clear();
    }
    bufferPosition_ = next_;
}

}  // namespace snipwell::exact
