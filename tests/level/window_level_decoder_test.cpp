// The window levels of a real encode, decoded as the level probe decodes
// them: the silence the test put in shows where it was put, and two halves
// that meet at a frame measure exactly what a decode of the whole measures,
// so the split can decode a long file in two processes at once.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <variant>
#include <vector>

#include "level/silence_finder.h"
#include "level/window_level_decoder.h"
#include "mp3/frame_walker.h"
#include "support/mp3/lame_encode.h"
#include "support/mp3/run_program.h"
#include "support/temp_dir.h"

namespace snipwell::level {
namespace {

constexpr std::uint32_t kWindow = 441;              // 10 ms at 44.1 kHz
constexpr std::uint64_t kDecoderDelay = 576 + 529;  // lame's delay and the decoder's
constexpr std::uint64_t kFramesPerSeam = 49;        // 49 frames of 1152 samples are 128 windows

// A tone for 1 s, digital silence for 0.5 s, a tone for 1 s, at 128 kbit/s
// with an Info frame.
class ShowFile {
public:
    ShowFile() {
        const auto wav = [&](const char* name, std::vector<std::string> effect) {
            std::vector<std::string> command{
                "sox", "-n", "-r", "44100", "-c", "2", "-b", "16", dir_.file(name).string()};
            command.insert(command.end(), effect.begin(), effect.end());
            test::runProgramOrThrow(command);
        };
        wav("tone.wav", {"synth", "1", "sine", "440", "vol", "0.5"});
        wav("gap.wav", {"trim", "0", "0.5"});
        test::runProgramOrThrow({"sox", dir_.file("tone.wav").string(),
                                 dir_.file("gap.wav").string(), dir_.file("tone.wav").string(),
                                 dir_.file("show.wav").string()});
        path_ = test::lameEncode(dir_, dir_.file("show.wav"), "show", {"-b", "128"});
        fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    }
    ~ShowFile() { ::close(fd_); }
    ShowFile(const ShowFile&) = delete;
    ShowFile& operator=(const ShowFile&) = delete;

    DecodedLevels levels(const ByteStretch& stretch) const {
        auto decoded = decodeWindowLevels(fd_, stretch, LevelWindowing{kWindow, 0, std::nullopt});
        if (const auto* failure = std::get_if<DecodeFailure>(&decoded)) {
            ADD_FAILURE() << failure->reason;
            return {};
        }
        return std::get<DecodedLevels>(decoded);
    }

    // Where each frame starts, the Info frame first.
    std::vector<std::uint64_t> frameOffsets() const {
        auto opened = mp3::BlockReader::open(path_.string());
        auto& file = std::get<mp3::BlockReader>(opened);
        auto walker =
            mp3::FrameWalker::start(file, mp3::findTagLayout(file).audio, mp3::OtherStreams::skip);
        std::vector<std::uint64_t> offsets;
        std::get<mp3::FrameWalker>(walker).walk([&](const mp3::WalkedFrame& frame) {
            offsets.push_back(frame.offset);
            return true;
        });
        return offsets;
    }

private:
    test::TempDir dir_;
    std::filesystem::path path_;
    int fd_ = -1;
};

TEST(WindowLevelDecoder, FindsTheSilenceWhereItIsAndHalvesAddUpToTheWhole) {
    const ShowFile show;
    const DecodedLevels whole = show.levels({});
    const std::vector<std::uint64_t> frames = show.frameOffsets();
    ASSERT_GT(frames.size(), kFramesPerSeam + 2);
    EXPECT_EQ(whole.firstFrameOffset, frames[1]);  // the Info frame is not audio
    EXPECT_EQ(whole.levels.totalSamples, (frames.size() - 1) * 1152);
    EXPECT_EQ(whole.channels, 2);

    const auto found = findSilenceSplits(whole.levels, {-48, 44'100 * 3 / 10});
    ASSERT_TRUE(std::holds_alternative<SilencePlan>(found));
    const auto& splits = std::get<SilencePlan>(found).splits;
    ASSERT_EQ(splits.size(), 1u);
    const auto middleOfGap = static_cast<std::int64_t>(44'100 * 5 / 4 + kDecoderDelay);
    EXPECT_LE(std::llabs(static_cast<std::int64_t>(splits[0].sample) - middleOfGap), kWindow);

    const std::uint64_t seam = frames[1 + kFramesPerSeam];
    const DecodedLevels first = show.levels({0, seam});
    const DecodedLevels second = show.levels({seam, std::nullopt});
    EXPECT_EQ(first.levels.totalSamples, kFramesPerSeam * 1152);
    EXPECT_EQ(second.firstFrameOffset, seam);
    std::vector<float> joined = first.levels.rms;
    joined.insert(joined.end(), second.levels.rms.begin(), second.levels.rms.end());
    ASSERT_EQ(joined.size(), whole.levels.rms.size());
    for (std::size_t i = 0; i < joined.size(); ++i) {
        EXPECT_NEAR(joined[i], whole.levels.rms[i], 1e-6) << "window " << i;
    }
}

}  // namespace
}  // namespace snipwell::level
