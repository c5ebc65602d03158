// Any bytes as what the level probe writes: the first line as one of its
// lines, the rest as the values of a levels answer. What the reader accepts
// is what the scan relies on: a levels line that answers the request holds
// one window for each window's worth of samples and no more samples than
// were asked for, and it reads back as written; values are read only when
// there are exactly as many as the line says, each finite and not negative,
// and they write back to the same bytes.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "level/level_probe_protocol.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

// An hour at 44.1 kHz in 10 ms windows, from the first sample on.
constexpr snipwell::level::LevelWindowing kAsked{441, 0, 44'100ull * 3600};

void checkValues(std::string_view bytes, std::uint64_t windows) {
    const auto values = snipwell::level::decodeLevelValues(bytes, windows);
    if (!values) return;
    check(values->size() == windows);
    for (const float value : *values) check(std::isfinite(value) && value >= 0);
    check(snipwell::level::encodeLevelValues(*values) == bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = bytes.find('\n');
    const std::string line(bytes.substr(0, newline));
    const std::string_view rest =
        newline == std::string_view::npos ? std::string_view() : bytes.substr(newline + 1);

    checkValues(rest, rest.size() / snipwell::level::levelValueBytes);
    const auto parsed = snipwell::level::parseProbeLine(line);
    const auto* levels = parsed ? std::get_if<snipwell::level::ProbeLevels>(&*parsed) : nullptr;
    if (levels == nullptr) return 0;
    std::string written = snipwell::level::formatLevelsLine(*levels);
    check(!written.empty() && written.back() == '\n');
    written.pop_back();
    const auto again = snipwell::level::parseProbeLine(written);
    check(again && std::get_if<snipwell::level::ProbeLevels>(&*again) != nullptr &&
          std::get<snipwell::level::ProbeLevels>(*again) == *levels);
    if (!snipwell::level::answersRequest(*levels, kAsked)) return 0;
    check(levels->samples <= *kAsked.sampleCount && levels->channels >= 1);
    check(levels->windows * kAsked.windowSamples >= levels->samples);
    check(levels->windows == 0 || (levels->windows - 1) * kAsked.windowSamples < levels->samples);
    checkValues(rest, levels->windows);
    return 0;
}
