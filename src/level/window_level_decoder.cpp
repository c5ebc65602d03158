#include "level/window_level_decoder.h"

#include <algorithm>
#include <cmath>

namespace snipwell::level {
namespace {

// The largest frame any MPEG audio stream holds (Layer I aside), so the
// last frame that starts inside a stretch can be decoded whole.
constexpr std::uint64_t kLargestFrameBytes = 2881;

// Sums the squares of each window's samples as the frames come, from the
// first sample picked to the last.
class WindowSums {
public:
    WindowSums(const LevelWindowing& windowing, DecodedLevels& out)
        : windowSamples_(windowing.windowSamples),
          toSkip_(windowing.skipSamples),
          toMeasure_(windowing.sampleCount.value_or(UINT64_MAX)),
          out_(out) {}

    void take(const DecodedFrame& frame) {
        if (!started_) {
            started_ = true;
            out_.firstFrameOffset = frame.offset;
            out_.sampleRate = frame.sampleRate;
            out_.channels = frame.channels;
        }
        const auto channels = static_cast<std::size_t>(frame.channels);
        const std::size_t inFrame = frame.values / channels;
        // The frame's samples picked: [at, end).
        std::size_t at = static_cast<std::size_t>(std::min<std::uint64_t>(toSkip_, inFrame));
        toSkip_ -= at;
        const auto picked =
            static_cast<std::size_t>(std::min<std::uint64_t>(inFrame - at, toMeasure_));
        toMeasure_ -= picked;
        out_.levels.totalSamples += picked;
        const std::size_t end = at + picked;
        while (at < end) {
            const std::size_t take = std::min<std::size_t>(end - at, windowSamples_ - filled_);
            sum_ += sumOfSquares(frame.samples + at * channels, take * channels);
            filled_ += take;
            at += take;
            if (filled_ == windowSamples_) close(channels);
        }
    }

    void finish() {
        if (filled_ > 0) close(static_cast<std::size_t>(std::max(out_.channels, 1)));
    }

private:
    // Four sums side by side, so the additions do not wait on each other.
    static double sumOfSquares(const float* values, std::size_t count) {
        float lanes[4] = {0, 0, 0, 0};
        std::size_t i = 0;
        for (; i + 4 <= count; i += 4) {
            for (std::size_t lane = 0; lane < 4; ++lane)
                lanes[lane] += values[i + lane] * values[i + lane];
        }
        double sum = double{lanes[0]} + lanes[1] + lanes[2] + lanes[3];
        for (; i < count; ++i) sum += double{values[i]} * values[i];
        return sum;
    }

    void close(std::size_t channels) {
        const double mean = sum_ / static_cast<double>(filled_ * channels);
        out_.levels.rms.push_back(static_cast<float>(std::sqrt(mean)));
        sum_ = 0;
        filled_ = 0;
    }

    std::uint32_t windowSamples_;
    std::uint64_t toSkip_;
    std::uint64_t toMeasure_;
    DecodedLevels& out_;
    bool started_ = false;
    double sum_ = 0;
    std::size_t filled_ = 0;
};

}  // namespace

std::variant<DecodedLevels, DecodeFailure> decodeWindowLevels(int fd, const ByteStretch& stretch,
                                                              const LevelWindowing& windowing,
                                                              const DecodeProgress& progress) {
    DecodedLevels decoded;
    decoded.firstFrameOffset = stretch.offset;
    decoded.levels.windowSamples = windowing.windowSamples;
    if (windowing.windowSamples == 0) return DecodeFailure{"a window of no samples"};
    FrameWindow frames{stretch.offset};
    frames.wholeFrames = true;
    if (stretch.length) {
        frames.countUntil = stretch.offset + *stretch.length;
        frames.readUntil = frames.countUntil + kLargestFrameBytes;
    }
    WindowSums sums(windowing, decoded);
    if (auto failure = decodeFrames(
            fd, frames, [&](const DecodedFrame& frame) { sums.take(frame); }, progress))
        return *failure;
    sums.finish();
    return decoded;
}

}  // namespace snipwell::level
