#include "stream_recording.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <numbers>

#include "mci/media_engine_control.h"

extern char** environ;

namespace snipwell::mci::test {

double tonePower(const std::vector<std::int16_t>& samples, int rate, double hertz) {
    const double coefficient = 2.0 * std::cos(2.0 * std::numbers::pi * hertz / rate);
    double previous = 0.0;
    double beforePrevious = 0.0;
    for (const std::int16_t sample : samples) {
        const double current = sample + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    return previous * previous + beforePrevious * beforePrevious -
           coefficient * previous * beforePrevious;
}

std::optional<int> ourSinkInput() {
    std::FILE* pipe = ::popen("pactl list sink-inputs", "r");
    if (pipe == nullptr) return std::nullopt;
    const std::string ourPid =
        "application.process.id = \"" + std::to_string(mediaEngineProcessId()) + "\"";
    std::optional<int> current;
    std::optional<int> ours;
    char line[512];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        const std::string text(line);
        if (text.rfind("Sink Input #", 0) == 0) current = std::stoi(text.substr(12));
        if (text.find(ourPid) != std::string::npos && !ours) ours = current;
    }
    ::pclose(pipe);
    return ours;
}

StreamRecorder::StreamRecorder(const std::string& sink, int sinkInput, int rate,
                               const std::string& file) {
    std::vector<std::string> arguments{"parec",
                                       "-d",
                                       sink + ".monitor",
                                       "--monitor-stream=" + std::to_string(sinkInput),
                                       "--raw",
                                       "--format=s16le",
                                       "--channels=1",
                                       "--rate=" + std::to_string(rate),
                                       "--latency-msec=20",
                                       file};
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    started_ = posix_spawnp(&pid_, "parec", nullptr, nullptr, argv.data(), environ) == 0;
}

void StreamRecorder::stop() {
    if (!started_) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    started_ = false;
}

std::vector<std::int16_t> readSamples(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto low = static_cast<std::uint8_t>(bytes[2 * i]);
        const auto high = static_cast<std::uint8_t>(bytes[2 * i + 1]);
        samples[i] = static_cast<std::int16_t>(low | (high << 8));
    }
    return samples;
}

}  // namespace snipwell::mci::test
