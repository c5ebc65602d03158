#include "clip/exact/clip_stream_writer.h"

#include <span>

#include "mp3/crc16.h"

namespace snipwell::exact {
namespace {

constexpr std::size_t bufferBytes = 1024 * 1024;

}  // namespace

ClipStreamWriter::ClipStreamWriter(ClipTarget& target) : target_(target) {
    buffer_.reserve(bufferBytes);
}

void ClipStreamWriter::takeCrcOfBuffer() {
    if (crcOn_ && crcFrom_ < buffer_.size()) {
        crc_ = mp3::crc16Update(crc_, buffer_.data() + crcFrom_, buffer_.size() - crcFrom_);
    }
    crcFrom_ = buffer_.size();
}

void ClipStreamWriter::setAudioCrc(bool on) {
    takeCrcOfBuffer();
    crcOn_ = on;
}

std::uint16_t ClipStreamWriter::audioCrc() {
    takeCrcOfBuffer();
    return crc_;
}

void ClipStreamWriter::append(const std::uint8_t* bytes, std::size_t count) {
    if (buffer_.size() + count > bufferBytes) flush();
    if (count >= bufferBytes) {
        if (crcOn_) crc_ = mp3::crc16Update(crc_, bytes, count);
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
    takeCrcOfBuffer();
    if (!buffer_.empty()) {
        writeLater(bufferPosition_, buffer_.data(), buffer_.size());
        buffer_.clear();
    }
    crcFrom_ = 0;
    bufferPosition_ = next_;
}

}  // namespace snipwell::exact
