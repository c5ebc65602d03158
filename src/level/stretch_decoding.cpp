#include "level/stretch_decoding.h"

#include <mpg123.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
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

// Feeds the decoder and hands on the frames that start in the window. A
// frame's main data may lie in the frames before it (the bit reservoir),
// and a decoder fed from the middle of a stream decodes the first frames
// from whatever it has: loud garbage. So decoding starts a little before
// the window and hands on only the frames within it.
class WindowDecoder {
public:
    WindowDecoder(mpg123_handle* handle, std::uint64_t fedFrom, const FrameWindow& frames,
                  const FrameSink& sink)
        : handle_(handle), fedFrom_(fedFrom), frames_(frames), sink_(sink) {}

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
                int encoding = 0;
                mpg123_getformat(handle_, &rate_, &channels_, &encoding);
            } else if (status == MPG123_OK) {
                hand(audio, decoded);
            } else if (status == MPG123_NEED_MORE || status == MPG123_DONE) {
                return std::nullopt;
            } else {
                return DecodeFailure{std::string("libmpg123 cannot decode the file: ") +
                                     mpg123_strerror(handle_)};
            }
        }
    }

private:
    void hand(const unsigned char* audio, std::size_t bytes) {
        const std::uint64_t at = fedFrom_ + static_cast<std::uint64_t>(mpg123_framepos(handle_));
        if (at < frames_.countFrom || at >= frames_.countUntil) return;
        // libmpg123 hands out its buffer aligned for the float samples it
        // was asked for.
        sink_({at, reinterpret_cast<const float*>(audio), bytes / sizeof(float),
               std::max(channels_, 1), rate_});
    }

    mpg123_handle* handle_;
    std::uint64_t fedFrom_;
    FrameWindow frames_;
    const FrameSink& sink_;
    int channels_ = 1;
    long rate_ = 0;
};

}  // namespace

std::optional<DecodeFailure> decodeFrames(int fd, const FrameWindow& frames, const FrameSink& sink,
                                          const DecodeProgress& progress) {
    int error = MPG123_OK;
    const Handle handle(mpg123_new(nullptr, &error));
    if (!handle)
        return DecodeFailure{std::string("libmpg123 cannot start: ") +
                             mpg123_plain_strerror(error)};
    mpg123_param(handle.get(), MPG123_FLAGS, MPG123_QUIET | MPG123_FORCE_FLOAT, 0.0);
    if (frames.wholeFrames) mpg123_param(handle.get(), MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0.0);
    if (!askForFloats(handle.get()) || mpg123_open_feed(handle.get()) != MPG123_OK) {
        return DecodeFailure{std::string("libmpg123 cannot decode to floating point: ") +
                             mpg123_strerror(handle.get())};
    }

    const std::uint64_t feedFrom =
        frames.countFrom > leadInBytes ? frames.countFrom - leadInBytes : 0;
    WindowDecoder decoder(handle.get(), feedFrom, frames, sink);
    std::vector<unsigned char> input(chunkBytes);
    std::uint64_t position = feedFrom;
    while (true) {
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(
            chunkBytes, frames.readUntil - std::min(position, frames.readUntil)));
        const ssize_t got =
            wanted == 0 ? 0 : ::pread(fd, input.data(), wanted, static_cast<off_t>(position));
        if (got < 0) {
            if (errno == EINTR) continue;
            return DecodeFailure{std::string("cannot read the file: ") + std::strerror(errno)};
        }
        if (got == 0) break;
        position += static_cast<std::uint64_t>(got);
        if (auto failure = decoder.feed(input.data(), static_cast<std::size_t>(got))) {
            return failure;
        }
        if (progress) progress(position - feedFrom);
    }
    return std::nullopt;
}

}  // namespace snipwell::level
