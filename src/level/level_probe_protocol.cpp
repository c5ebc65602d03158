#include "level/level_probe_protocol.h"

#include <charconv>
#include <cstdio>
#include <sstream>

namespace snipwell::level {
namespace {

constexpr std::string_view progressWord = "progress ";
constexpr std::string_view errorWord = "error ";

}  // namespace

std::optional<std::uint64_t> parseProbeCount(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string> probeArguments(const std::string& source, std::uint64_t offset,
                                        std::optional<std::uint64_t> length) {
    // "--": a source named like an option is still the source.
    std::vector<std::string> words{"--", source};
    if (offset != 0 || length) {
        words.push_back(std::to_string(offset));
        words.push_back(std::to_string(length.value_or(UINT64_MAX - offset)));
    }
    return words;
}

std::string formatProgressLine(std::uint64_t bytes) {
    return std::string(progressWord) + std::to_string(bytes) + '\n';
}

std::string formatPeakLine(const ProbePeak& peak) {
    char text[96];
    std::snprintf(text, sizeof text, "peak %.9g samples %llu\n", peak.peak,
                  static_cast<unsigned long long>(peak.samples));
    return text;
}

std::string formatErrorLine(std::string_view reason) {
    return std::string(errorWord) + std::string(reason) + '\n';
}

std::optional<ProbeLine> parseProbeLine(const std::string& line) {
    const std::string_view text = line;
    if (text.rfind(errorWord, 0) == 0)
        return ProbeError{std::string(text.substr(errorWord.size()))};
    if (text.rfind(progressWord, 0) == 0) {
        const auto bytes = parseProbeCount(text.substr(progressWord.size()));
        if (!bytes) return std::nullopt;
        return ProbeProgress{*bytes};
    }
    std::istringstream words(line);
    std::string peakWord;
    std::string samplesWord;
    ProbePeak measured;
    if (words >> peakWord >> measured.peak >> samplesWord >> measured.samples &&
        peakWord == "peak" && samplesWord == "samples" && measured.peak >= 0) {
        return measured;
    }
    return std::nullopt;
}

}  // namespace snipwell::level
