#pragma once
// Hearing what the media engine played: our own stream on the test sound
// server, recorded from the null sink's monitor as raw 16-bit mono, and a
// filter that tells how much of one frequency a stretch of it holds.

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace snipwell::mci::test {

// Power of `hertz` in the samples (Goertzel's single-frequency DFT).
double tonePower(const std::vector<std::int16_t>& samples, int rate, double hertz);

// The index of our playback stream on the sound server: the media engine
// process plays it.
std::optional<int> ourSinkInput();

// parec recording one stream into the sink as raw 16-bit mono until stopped.
class StreamRecorder {
public:
    StreamRecorder(const std::string& sink, int sinkInput, int rate, const std::string& file);
    ~StreamRecorder() { stop(); }
    StreamRecorder(const StreamRecorder&) = delete;
    StreamRecorder& operator=(const StreamRecorder&) = delete;

    bool started() const { return started_; }
    void stop();

private:
    pid_t pid_ = 0;
    bool started_ = false;
};

std::vector<std::int16_t> readSamples(const std::filesystem::path& file);

}  // namespace snipwell::mci::test
