#include "level/peak_decoder.h"

#include <mpg123.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace snipwell::level {
namespace {

struct HandleDeleter {
    void operator()(mpg123_handle* handle) const { mpg123_delete(handle); }
};
using Handle = std::unique_ptr<mpg123_handle, HandleDeleter>;

constexpr std::size_t chunkBytes = 64 * 1024;

// Enough bytes before a stretch for the bit reservoir of its first frame
// (511 bytes at most) and a few frames to settle, at any bitrate.
constexpr std::uint64_t leadInBytes = 4096;

// Every rate and channel count, as 32-bit floats: no clipping at full scale.
bool askForFloats(mpg123_handle* handle) {
    mpg123_format_none(handle);
    const long* rates = nullptr;
    std::size_t count = 0;
    mpg123_rates(&rates, &count);
    for (std::size_t i = 0; i < count; ++i) {
        if (mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32) !=
            MPG123_OK) {
            return false;
        }
    }
    return true;
}

class PeakCounter {
public:
    void take(const unsigned char* bytes, std::size_t count) {
        const std::size_t values = count / sizeof(float);
        for (std::size_t i = 0; i < values; ++i) {
            float sample = 0;
            std::memcpy(&sample, bytes + i * sizeof(float), sizeof sample);
            peak_ = std::max(peak_, static_cast<double>(std::fabs(sample)));
        }
        values_ += values;
    }
    double peak() const { return peak_; }
    std::uint64_t values() const { return values_; }

private:
    double peak_ = 0;
    std::uint64_t values_ = 0;
};

// Feeds the decoder and counts the samples of the frames that start at or
// after `countFrom` in the file.
class StretchDecoder {
public:
    StretchDecoder(mpg123_handle* handle, std::uint64_t fedFrom, std::uint64_t countFrom)
        : handle_(handle), fedFrom_(fedFrom), countFrom_(countFrom) {}

    std::optional<DecodeFailure> feed(const unsigned char* bytes, std::size_t count) {
        if (mpg123_feed(handle_, bytes, count) != MPG123_OK) {
            return DecodeFailure{std::string("libmpg123 cannot take the file's bytes: ") +
                                 mpg123_strerror(handle_)};
        }
        while (true) {
            off_t frame = 0;
            unsigned char* audio = nullptr;
            std::size_t decoded = 0;
            const int status = mpg123_decode_frame(handle_, &frame, &audio, &decoded);
            if (status == MPG123_NEW_FORMAT) {
                long rate = 0;
                int encoding = 0;
                mpg123_getformat(handle_, &rate, &channels_, &encoding);
            } else if (status == MPG123_OK) {
                const auto frameAt = static_cast<std::uint64_t>(mpg123_framepos(handle_));
                if (fedFrom_ + frameAt >= countFrom_) counter_.take(audio, decoded);
            } else if (status == MPG123_NEED_MORE || status == MPG123_DONE) {
                return std::nullopt;
            } else {
                return DecodeFailure{std::string("libmpg123 cannot decode the file: ") +
                                     mpg123_strerror(handle_)};
            }
        }
    }

    Peak peak() const {
        return {counter_.peak(),
                counter_.values() / static_cast<std::uint64_t>(std::max(channels_, 1))};
    }

private:
    mpg123_handle* handle_;
    std::uint64_t fedFrom_;
    std::uint64_t countFrom_;
    int channels_ = 1;
    PeakCounter counter_;
};

}  // namespace

std::variant<Peak, DecodeFailure> decodePeak(int fd, const ByteStretch& stretch,
                                             const DecodeProgress& progress) {
    int error = MPG123_OK;
    const Handle handle(mpg123_new(nullptr, &error));
    if (!handle)
        return DecodeFailure{std::string("libmpg123 cannot start: ") +
                             mpg123_plain_strerror(error)};
    mpg123_param(handle.get(), MPG123_FLAGS, MPG123_QUIET | MPG123_FORCE_FLOAT, 0.0);
    if (!askForFloats(handle.get()) || mpg123_open_feed(handle.get()) != MPG123_OK) {
        return DecodeFailure{std::string("libmpg123 cannot decode to floating point: ") +
                             mpg123_strerror(handle.get())};
    }

    // A frame's main data may lie in the frames before it (the bit
    // reservoir), and a decoder fed from the middle of a stream decodes the
    // first frames from whatever it has: loud garbage. So decoding starts a
    // little before the stretch and counts only the frames within it.
    const std::uint64_t feedFrom = stretch.offset > leadInBytes ? stretch.offset - leadInBytes : 0;
    StretchDecoder decoder(handle.get(), feedFrom, stretch.offset);
    std::vector<unsigned char> input(chunkBytes);
    std::uint64_t position = feedFrom;
    const std::uint64_t end = stretch.length ? stretch.offset + *stretch.length : UINT64_MAX;
    while (true) {
        const std::size_t wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(chunkBytes, end - position));
        const ssize_t got =
            wanted == 0 ? 0 : ::pread(fd, input.data(), wanted, static_cast<off_t>(position));
        if (got < 0) {
            if (errno == EINTR) continue;
            return DecodeFailure{std::string("cannot read the file: ") + std::strerror(errno)};
        }
        if (got == 0) break;
        position += static_cast<std::uint64_t>(got);
        if (auto failure = decoder.feed(input.data(), static_cast<std::size_t>(got))) {
            return *failure;
        }
        progress(position - feedFrom);
    }
    return decoder.peak();
}

}  // namespace snipwell::level
