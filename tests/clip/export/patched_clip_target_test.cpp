// The target that lays edited side information and fixed patches over the
// bytes a byte-range clip copies, however the copy's blocks fall.

#include "clip/export/patched_clip_target.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "mp3/gain_plan.h"
#include "mp3/stream_gain.h"

namespace snipwell {
namespace {

class RecordingTarget : public ClipTarget {
public:
    explicit RecordingTarget(std::vector<std::uint8_t>& into) : into_(into) {}
    void writeAt(std::int64_t position, std::span<const std::byte> bytes) override {
        const auto at = static_cast<std::size_t>(position - 1);
        if (into_.size() < at + bytes.size()) into_.resize(at + bytes.size());
        std::memcpy(into_.data() + at, bytes.data(), bytes.size());
    }
    void commit() override {}

private:
    std::vector<std::uint8_t>& into_;
};

BytePatch patch(std::int64_t position, std::uint8_t length, std::uint8_t fill) {
    BytePatch p;
    p.position = position;
    p.length = length;
    p.bytes.fill(fill);
    return p;
}

// Frames of 100 bytes, MPEG-1 stereo headers, side information of a pattern.
std::vector<std::uint8_t> framesOf(std::size_t count) {
    std::vector<std::uint8_t> bytes(count * 100);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
    for (std::size_t f = 0; f < count; ++f) {
        const std::uint8_t header[] = {0xFF, 0xFB, 0x90, 0x64};
        std::copy(std::begin(header), std::end(header), bytes.begin() + static_cast<long>(f * 100));
    }
    return bytes;
}

TEST(PatchedClipTarget, EditsEveryFrameAndLaysEveryPatchHoweverTheBlocksFall) {
    // Frames 1 to 9 of 10 are edited (frame 0 holds the patches, as an info
    // frame would); a fade-in makes each frame's change its own.
    const std::vector<std::uint8_t> source = framesOf(10);
    const mp3::GainPlan plan({2, 5000, 0}, {0, 9 * 1152});
    const std::vector<BytePatch> patches = {patch(12, 8, 0xA1), patch(34, 2, 0xB2)};
    std::vector<std::uint8_t> expected = source;
    for (const BytePatch& p : patches) {
        std::copy_n(p.bytes.begin(), p.length, expected.begin() + (p.position - 1));
    }
    mp3::StreamGainEditor reference(plan);
    for (std::size_t f = 1; f < 10; ++f) reference.editNext(expected.data() + f * 100);
    ASSERT_NE(expected, source);

    for (const std::size_t block : {1u, 3u, 7u, 20u, 36u, 99u, 100u, 101u, 4096u}) {
        ClipEdits edits;
        edits.patches = patches;
        for (std::uint32_t f = 1; f < 10; ++f) edits.frames.push_back({f * 100 + 1, 36});
        edits.editor.emplace(plan);
        std::vector<std::uint8_t> written;
        FrameEditTally tally;
        PatchedClipTarget target(std::make_unique<RecordingTarget>(written), std::move(edits),
                                 tally);
        for (std::size_t at = 0; at < source.size(); at += block) {
            const std::size_t count = std::min(block, source.size() - at);
            target.writeAt(static_cast<std::int64_t>(at + 1),
                           std::as_bytes(std::span(source.data() + at, count)));
        }
        target.commit();
        EXPECT_EQ(written, expected) << "blocks of " << block;
        EXPECT_EQ(tally.editedFrames, reference.editedFrames()) << "blocks of " << block;
    }
}

TEST(PatchedClipTarget, RefusesWritesOutOfOrder) {
    std::vector<std::uint8_t> written;
    FrameEditTally tally;
    PatchedClipTarget target(std::make_unique<RecordingTarget>(written), ClipEdits{}, tally);
    const std::vector<std::uint8_t> bytes(10, 1);
    target.writeAt(1, std::as_bytes(std::span(bytes)));
    EXPECT_THROW(target.writeAt(5, std::as_bytes(std::span(bytes))), std::logic_error);
}

}  // namespace
}  // namespace snipwell
