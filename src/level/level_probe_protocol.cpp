#include "level/level_probe_protocol.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace snipwell::level {
namespace {

constexpr std::string_view progressWord = "progress ";
constexpr std::string_view errorWord = "error ";
constexpr std::string_view levelsWord = "levels";
constexpr std::string_view levelsOption = "--levels";
constexpr std::string_view skipOption = "--skip";
constexpr std::string_view countOption = "--count";

// The words of a levels line after "levels", in the order they are written.
constexpr std::string_view levelsFieldNames[] = {"first-frame", "rate", "channels", "samples",
                                                 "windows"};

std::vector<std::string_view> wordsOf(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t space = std::min(text.find(' ', at), text.size());
        words.push_back(text.substr(at, space - at));
        at = space + 1;
    }
    return words;
}

std::optional<ProbeLevels> parseLevelsLine(std::string_view text) {
    const auto words = wordsOf(text);
    constexpr std::size_t fields = std::size(levelsFieldNames);
    if (words.size() != 1 + 2 * fields || words[0] != levelsWord) return std::nullopt;
    std::uint64_t values[fields] = {};
    for (std::size_t i = 0; i < fields; ++i) {
        const auto value = parseProbeCount(words[2 + 2 * i]);
        if (words[1 + 2 * i] != levelsFieldNames[i] || !value) return std::nullopt;
        values[i] = *value;
    }
    if (values[1] > UINT32_MAX || values[2] > UINT32_MAX) return std::nullopt;
    return ProbeLevels{values[0], static_cast<std::uint32_t>(values[1]),
                       static_cast<std::uint32_t>(values[2]), values[3], values[4]};
}

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

std::vector<std::string> levelsArguments(const LevelWindowing& windowing) {
    std::vector<std::string> words{std::string(levelsOption),
                                   std::to_string(windowing.windowSamples), std::string(skipOption),
                                   std::to_string(windowing.skipSamples)};
    if (windowing.sampleCount) {
        words.emplace_back(countOption);
        words.push_back(std::to_string(*windowing.sampleCount));
    }
    return words;
}

std::optional<ParsedWindowing> parseLevelsOption(const std::vector<std::string_view>& words,
                                                 std::size_t from) {
    ParsedWindowing parsed;
    const auto window = from < words.size() ? parseProbeCount(words[from]) : std::nullopt;
    if (!window || *window == 0 || *window > UINT32_MAX) return std::nullopt;
    parsed.windowing.windowSamples = static_cast<std::uint32_t>(*window);
    std::size_t at = from + 1;
    while (at + 1 < words.size() && (words[at] == skipOption || words[at] == countOption)) {
        const auto value = parseProbeCount(words[at + 1]);
        if (!value) return std::nullopt;
        if (words[at] == skipOption) {
            parsed.windowing.skipSamples = *value;
        } else {
            parsed.windowing.sampleCount = *value;
        }
        at += 2;
    }
    parsed.words = at - from;
    return parsed;
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

std::string formatLevelsLine(const ProbeLevels& levels) {
    const std::uint64_t values[] = {levels.firstFrame, levels.sampleRate, levels.channels,
                                    levels.samples, levels.windows};
    std::string line(levelsWord);
    for (std::size_t i = 0; i < std::size(values); ++i) {
        line += ' ';
        line += levelsFieldNames[i];
        line += ' ';
        line += std::to_string(values[i]);
    }
    return line + '\n';
}

std::string encodeLevelValues(const std::vector<float>& rms) {
    std::string bytes;
    bytes.reserve(rms.size() * levelValueBytes);
    for (const float value : rms) {
        const auto bits = std::bit_cast<std::uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<char>((bits >> shift) & 0xFFu));
        }
    }
    return bytes;
}

std::optional<std::vector<float>> decodeLevelValues(std::string_view bytes, std::uint64_t windows) {
    if (windows > bytes.size() / levelValueBytes || bytes.size() != windows * levelValueBytes) {
        return std::nullopt;
    }
    std::vector<float> rms;
    rms.reserve(windows);
    for (std::size_t at = 0; at < bytes.size(); at += levelValueBytes) {
        std::uint32_t bits = 0;
        for (std::size_t i = 0; i < levelValueBytes; ++i) {
            bits |= std::uint32_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
        }
        const auto value = std::bit_cast<float>(bits);
        if (!std::isfinite(value) || value < 0) return std::nullopt;
        rms.push_back(value);
    }
    return rms;
}

bool answersRequest(const ProbeLevels& levels, const LevelWindowing& asked) {
    if (asked.windowSamples == 0 || levels.sampleRate == 0 || levels.channels == 0 ||
        levels.channels > 2) {
        return false;
    }
    if (asked.sampleCount && levels.samples > *asked.sampleCount) return false;
    const std::uint64_t window = asked.windowSamples;
    return levels.windows == levels.samples / window + (levels.samples % window != 0 ? 1 : 0);
}

std::optional<ProbeLine> parseProbeLine(const std::string& line) {
    const std::string_view text = line;
    if (text.rfind(levelsWord, 0) == 0) {
        if (auto levels = parseLevelsLine(text)) return *levels;
        return std::nullopt;
    }
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
