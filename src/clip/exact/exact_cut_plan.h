#pragma once
// The first of the exact cut's two passes: one walk over the source's frame
// headers that finds which frames the clip copies, the bit-reservoir bytes
// the first of them needs, and the delay and padding that trim the clip to
// the marks. Nothing is written; whatever cannot be cut exactly is refused
// here.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "mci/block_file_reader.h"
#include "mci/mp3_info_frame.h"
#include "mci/mp3_tags.h"

namespace snipwell::exact {

// Samples a Layer III decoder puts out before the first sample the encoder
// was given; gapless decoding removes them along with the encoder delay.
inline constexpr std::uint64_t decoderDelaySamples = 529;

// Decoded samples that must precede the begin mark in the clip: one granule
// whose overlap is missing, plus the synthesis filter's 480 samples of
// memory (1,056), rounded up to a whole MPEG-1 frame for margin.
inline constexpr std::uint64_t settlingSamples = 1152;

// What the source's own info frame says about its encoder, carried into the
// clip's info frame.
struct SourceEncoderInfo {
    bool hasLameExtension = false;
    std::array<std::uint8_t, 9> name{};
    std::uint8_t revisionAndMethod = 0;
    std::uint8_t lowpassHundredsHz = 0;
    std::uint8_t miscFlags = 0;
    std::uint32_t quality = 0;
};

struct ExactCutPlan {
    mci::Mp3TagLayout layout;
    mci::Mp3InfoFrame sourceInfo;
    SourceEncoderInfo sourceEncoder;

    std::uint32_t sampleRate = 0;
    std::uint32_t samplesPerFrame = 0;
    std::uint32_t streamWord = 0;  // header of the first copied frame

    std::uint64_t firstCopiedOffset = 0;  // where the first copied frame starts
    std::uint64_t copiedFrames = 0;
    std::uint64_t copiedBytes = 0;  // from the first copied frame to the end of the last
    bool constantBitrate = true;
    std::uint32_t bitrateIndex = 0;  // of the copied frames when constant
    std::uint32_t lowestBitrateKbps = 0;

    std::uint32_t primingFrames = 0;      // silent frames before the copied ones
    std::vector<std::uint8_t> reservoir;  // what the last priming frame carries at its end

    std::uint32_t encoderDelay = 0;  // for the clip's info frame
    std::uint32_t endPadding = 0;
    std::uint64_t clipSamples = 0;
    std::int64_t clipMs = 0;
};

// The plan, or the reason the cut is refused. `progress` gets the share of
// the walk done, from 0 to 1.
std::variant<ExactCutPlan, std::string> planExactCut(mci::BlockFileReader& file,
                                                     std::int64_t beginMs, std::int64_t endMs,
                                                     const std::function<void(double)>& progress);

}  // namespace snipwell::exact
