#pragma once
// Writes a clip front to back into its ClipTarget through one buffer, so that
// copying frame by frame costs one system call per megabyte, and keeps the
// CRC-16 of the audio bytes that pass through it. The CRC is taken over the
// buffer in bulk when it is written out, not per appended frame.

#include <cstdint>
#include <vector>

#include "common/files.h"

namespace snipwell::exact {

class ClipStreamWriter {
public:
    explicit ClipStreamWriter(ClipTarget& target);

    void append(const std::uint8_t* bytes, std::size_t count);
    // Leaves `count` bytes to be filled in later with writeLater(); returns
    // their 1-based position.
    std::int64_t reserve(std::size_t count);
    void writeLater(std::int64_t position, const std::uint8_t* bytes, std::size_t count);
    void flush();

    // Bytes appended or reserved so far.
    std::uint64_t written() const { return static_cast<std::uint64_t>(next_ - 1); }

    // The audio CRC covers what is appended while it is on.
    void setAudioCrc(bool on);
    std::uint16_t audioCrc();

private:
    void takeCrcOfBuffer();

    ClipTarget& target_;
    std::vector<std::uint8_t> buffer_;
    std::int64_t bufferPosition_ = 1;  // where buffer_[0] goes
    std::int64_t next_ = 1;            // where the next appended byte goes
    bool crcOn_ = false;
    std::size_t crcFrom_ = 0;  // the first byte of buffer_ not yet in crc_
    std::uint16_t crc_ = 0;
};

}  // namespace snipwell::exact
