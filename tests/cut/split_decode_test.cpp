// The exact split against real decoders: for sources of several kinds and a
// cue sheet over each, the tracks' decodes laid end to end are the source's
// decode, sample for sample; each track holds exactly ⌊t₂·rate⌋ − ⌊t₁·rate⌋
// samples (t in 75ths of a second) in libmpg123 and in GStreamer; and each
// track's tags read back. Then the faults that need a real MP3: a disk that
// fills up half-way, and a kind the exact cut refuses.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>

#include "clip/exact/gstreamer_decode.h"
#include "clip/exact/mpg123_decode.h"
#include "clip/export/disk_files.h"
#include "common/runtime_error.h"
#include "cut/cut_command.h"
#include "cut/full_disk_files.h"
#include "cut/split_command.h"
#include "cut/split_services.h"
#include "cut/told_outcome.h"
#include "mp3/id3v2_frames.h"
#include "support/file_bytes.h"
#include "support/forwarding_files.h"
#include "support/mp3/exact_cut_fixtures.h"
#include "support/mp3/mp3_fixtures.h"
#include "support/temp_dir.h"

namespace snipwell::test {
namespace {

namespace fs = std::filesystem;

std::string textOf(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int ch; (ch = std::fgetc(file)) != EOF;) text += static_cast<char>(ch);
    return text;
}

struct SplitCase {
    const char* name;
    Mp3Kind kind;
    // INDEX 01 of each track, in 75ths of a second; the first is 0.
    std::vector<std::int64_t> begins;
    bool hasPicture = false;
    bool hasId3v1 = false;
};

std::ostream& operator<<(std::ostream& out, const SplitCase& row) { return out << row.name; }

std::string cueTime(std::int64_t frames) {
    char text[64];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld",
                  static_cast<long long>(frames / 75 / 60),
                  static_cast<long long>(frames / 75 % 60), static_cast<long long>(frames % 75));
    return text;
}

std::string sheetFor(const SplitCase& row) {
    std::string sheet =
        "REM GENRE Rock\r\nREM DATE 2004\r\nPERFORMER \"Tones\"\r\nTITLE \"Two Tones\"\r\n"
        "FILE \"source.mp3\" MP3\r\n";
    for (std::size_t i = 0; i < row.begins.size(); ++i) {
        sheet += "  TRACK 0" + std::to_string(i + 1) + " AUDIO\r\n    TITLE \"Part " +
                 std::to_string(i + 1) + "\"\r\n";
        if (i == 1) sheet += "    PERFORMER \"Guest\"\r\n";
        sheet += "    INDEX 01 " + cueTime(row.begins[i]) + "\r\n";
    }
    return sheet;
}

std::vector<mp3::Id3v2Frame> frontFrames(const Bytes& file) {
    if (file.size() < 10) return {};
    const std::size_t size = 10 + ((std::size_t{file[6]} << 21) | (std::size_t{file[7]} << 14) |
                                   (std::size_t{file[8]} << 7) | file[9]);
    return mp3::readId3v2Frames(
        std::span<const std::uint8_t>(file.data(), std::min(size, file.size())));
}

std::string textFrame(const std::vector<mp3::Id3v2Frame>& frames, const char* id) {
    for (const auto& frame : frames) {
        if (frame.id == id) return mp3::id3v2FrameText(frame).value_or("(not text)");
    }
    return "(none)";
}

class SplitDecodeTest : public ::testing::TestWithParam<SplitCase> {
protected:
    bool split(const CutArguments& arguments, Files& files) {
        CutConsole console{err, false, {}, out};
        return toldOutcome(runSplit(arguments, files, diskSplitServices(), console), console);
    }
    CutArguments arguments(const fs::path& source, const std::string& sheet) {
        const fs::path sheetPath = work.file("album.cue");
        writeBytes(sheetPath, Bytes(sheet.begin(), sheet.end()));
        CutArguments split;
        split.splitBy = SplitSource::cueSheet;
        split.sheetPath = sheetPath.string();
        split.source = source.string();
        split.folder = work.file("tracks").string();
        return split;
    }
    ~SplitDecodeTest() override {
        std::fclose(err);
        std::fclose(out);
    }

    TempDir work;
    DiskFiles disk;
    std::FILE* err = std::tmpfile();
    std::FILE* out = std::tmpfile();
};

TEST_P(SplitDecodeTest, TracksLaidEndToEndAreTheSourceToTheSample) {
    const SplitCase& row = GetParam();
    const fs::path source = Mp3Fixtures::file(row.kind);
    const DecodedAudio original = decodeWithMpg123(source);
    ASSERT_GT(original.rate, 0);
    ASSERT_EQ(split(arguments(source, sheetFor(row)), disk), kSaved) << textOf(err);

    const auto rate = static_cast<std::uint64_t>(original.rate);
    const std::size_t channels = static_cast<std::size_t>(original.channels);
    std::vector<std::int16_t> joined;
    for (std::size_t i = 0; i < row.begins.size(); ++i) {
        SCOPED_TRACE("track " + std::to_string(i + 1));
        const fs::path track = work.file("tracks/0" + std::to_string(i + 1) + " Part " +
                                         std::to_string(i + 1) + ".mp3");
        const DecodedAudio decoded = decodeWithMpg123(track);
        const std::uint64_t begin = static_cast<std::uint64_t>(row.begins[i]) * rate / 75;
        const std::uint64_t end = i + 1 < row.begins.size()
                                      ? static_cast<std::uint64_t>(row.begins[i + 1]) * rate / 75
                                      : original.frames();
        EXPECT_EQ(decoded.frames(), end - begin) << "samples decoded by libmpg123";
        // GStreamer trims a clip wrongly when its first and last sample lie
        // in one frame (as the single exact cut notes), so a track of a
        // 75th of a second is counted by libmpg123 alone.
        if (end - begin >= 2 * 1152) {
            EXPECT_EQ(gstreamerDecodedSamples(track), end - begin)
                << "samples decoded by GStreamer";
        }
        joined.insert(joined.end(), decoded.samples.begin(), decoded.samples.end());

        const Bytes bytes = readBytes(track);
        ASSERT_TRUE(bytes.size() > 10 && bytes[0] == 'I' && bytes[1] == 'D' && bytes[2] == '3' &&
                    bytes[3] == 4);
        const auto frames = frontFrames(bytes);
        EXPECT_EQ(textFrame(frames, "TIT2"), "Part " + std::to_string(i + 1));
        EXPECT_EQ(textFrame(frames, "TPE1"), i == 1 ? "Guest" : "Tones");
        EXPECT_EQ(textFrame(frames, "TALB"), "Two Tones");
        EXPECT_EQ(textFrame(frames, "TRCK"),
                  std::to_string(i + 1) + "/" + std::to_string(row.begins.size()));
        EXPECT_EQ(textFrame(frames, "TDRC"), "2004");
        EXPECT_EQ(textFrame(frames, "TCON"), "Rock");
        EXPECT_EQ(textFrame(frames, "TLEN"),
                  std::to_string(((end - begin) * 1000 + rate / 2) / rate));
        const bool picture = std::any_of(frames.begin(), frames.end(),
                                         [](const auto& frame) { return frame.id == "APIC"; });
        EXPECT_EQ(picture, row.hasPicture);
        if (row.hasId3v1) {
            ASSERT_GE(bytes.size(), 128u);
            const char* v1 = reinterpret_cast<const char*>(bytes.data() + bytes.size() - 128);
            EXPECT_EQ(std::string(v1, 3), "TAG");
            EXPECT_EQ(std::string(v1 + 3), "Part " + std::to_string(i + 1));
            EXPECT_EQ(static_cast<int>(bytes[bytes.size() - 2]), static_cast<int>(i + 1));
            EXPECT_EQ(static_cast<int>(bytes[bytes.size() - 1]), 17);  // Rock
        }
    }
    ASSERT_EQ(joined.size(), original.samples.size());
    std::size_t differing = 0;
    int largest = 0;
    for (std::size_t i = 0; i < joined.size(); ++i) {
        const int difference = std::abs(joined[i] - original.samples[i]);
        differing += difference != 0 ? 1 : 0;
        largest = std::max(largest, difference);
    }
    // libmpg123 rounds mono MPEG-2 and 2.5 a little differently now and then;
    // every other kind matches sample for sample.
    if (channels == 1 && original.rate < 32000) {
        EXPECT_LE(largest, 1);
    } else {
        EXPECT_EQ(differing, 0u) << "samples that differ, by up to " << largest;
    }
}

const SplitCase cases[] = {
    {"cbr_with_info", Mp3Kind::cbrWithInfo, {0, 37, 201, 480}},
    {"cbr_plain", Mp3Kind::cbrPlain, {0, 375, 376, 700}},
    {"vbr_with_xing", Mp3Kind::vbrWithXing, {0, 150, 374, 599}},
    {"vbr_plain", Mp3Kind::vbrPlain, {0, 1, 400}},
    {"mpeg2_stereo", Mp3Kind::mpeg2Stereo, {0, 222, 555}},
    {"mpeg25_stereo", Mp3Kind::mpeg25Stereo, {0, 301, 302, 650}},
    {"cover_in_the_tag", Mp3Kind::id3v2Picture, {0, 300, 600}, true},
    {"id3v1_at_the_end", Mp3Kind::endTags, {0, 111, 444}, false, true},
};

INSTANTIATE_TEST_SUITE_P(EveryKind, SplitDecodeTest, ::testing::ValuesIn(cases),
                         [](const auto& test) { return std::string(test.param.name); });

class SplitFaultTest : public SplitDecodeTest {};

// The disk fills up in track 2: track 1 is kept whole and plays, nothing of
// track 2 is left, and the message names what was kept.
TEST_F(SplitFaultTest, DiskFullHalfWayKeepsTheFinishedTracks) {
    const fs::path source = Mp3Fixtures::file(Mp3Kind::cbrWithInfo);
    const SplitCase row{"", Mp3Kind::cbrWithInfo, {0, 300, 600}};
    FullDiskFiles full(disk, 90'000);  // 128 kbit/s: track 1 (4 s) is about 64 kB
    EXPECT_EQ(split(arguments(source, sheetFor(row)), full), kNotSaved);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(work.file("tracks"))) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"01 Part 1.mp3"}));
    EXPECT_EQ(decodeWithMpg123(work.file("tracks/01 Part 1.mp3")).frames(), 4u * 44'100);
    const std::string text = textOf(err);
    EXPECT_NE(text.find("the split stopped at track 2 (\"02 Part 2.mp3\"): cannot write: No space "
                        "left on device; kept \"01 Part 1.mp3\""),
              std::string::npos)
        << text;
}

// A disk that fills up: the write past its room fails, and so does every
// commit, since naming a file takes room too. Commits wait until the disk is
// full, so the tracks before the one that fills it are still waiting then.
class FillingDiskFiles : public ForwardingFiles {
public:
    FillingDiskFiles(Files& disk, std::int64_t room) : ForwardingFiles(disk), room_(room) {}
    std::unique_ptr<ClipTarget> createTarget(const std::string& path) override {
        return std::make_unique<Target>(disk().createTarget(path), *this);
    }

private:
    class Target : public ClipTarget {
    public:
        Target(std::unique_ptr<ClipTarget> real, FillingDiskFiles& disk)
            : real_(std::move(real)), disk_(disk) {}
        void writeAt(std::int64_t position, std::span<const std::byte> bytes) override {
            {
                const std::lock_guard<std::mutex> lock(disk_.mutex_);
                disk_.room_ -= static_cast<std::int64_t>(bytes.size());
                disk_.full_ = disk_.room_ < 0;
            }
            if (disk_.full_) {
                disk_.changed_.notify_all();
                throw RuntimeError(ErrorKind::FileError, "cannot write: No space left on device");
            }
            real_->writeAt(position, bytes);
        }
        void commit() override {
            std::unique_lock<std::mutex> lock(disk_.mutex_);
            // Bounded, so that a job that never fills the disk ends too.
            disk_.changed_.wait_for(lock, std::chrono::seconds(20), [this] { return disk_.full_; });
            if (disk_.full_) {
                throw RuntimeError(ErrorKind::FileError, "cannot save: No space left on device");
            }
            real_->commit();
        }

    private:
        std::unique_ptr<ClipTarget> real_;
        FillingDiskFiles& disk_;
    };
    std::mutex mutex_;
    std::condition_variable changed_;
    std::int64_t room_;
    bool full_ = false;
};

// The disk fills up in track 2 while track 1 still waits for its commit,
// which then fails too: the message names track 2, whose write failed.
TEST_F(SplitFaultTest, FullDiskNamesTheTrackWhoseWriteFailed) {
    const fs::path source = Mp3Fixtures::file(Mp3Kind::cbrWithInfo);
    const SplitCase row{"", Mp3Kind::cbrWithInfo, {0, 300, 600}};
    FillingDiskFiles filling(disk, 90'000);  // 128 kbit/s: track 1 (4 s) is about 64 kB
    EXPECT_EQ(split(arguments(source, sheetFor(row)), filling), kNotSaved);
    EXPECT_FALSE(fs::exists(work.file("tracks/01 Part 1.mp3")));
    const std::string text = textOf(err);
    EXPECT_NE(text.find("snipwell-cut: the split stopped at track 2 (\"02 Part 2.mp3\"): cannot "
                        "write: No space left on device; no track was saved\n"),
              std::string::npos)
        << text;
}

// The disk, whose sync of the n-th track fails, as a failing device's does.
class FailingSyncFiles : public ForwardingFiles {
public:
    FailingSyncFiles(Files& disk, int failingCommit)
        : ForwardingFiles(disk), commitsLeft_(failingCommit) {}
    std::unique_ptr<ClipTarget> createTarget(const std::string& path) override {
        return std::make_unique<Target>(disk().createTarget(path), commitsLeft_);
    }

private:
    class Target : public ClipTarget {
    public:
        Target(std::unique_ptr<ClipTarget> real, std::atomic<int>& commitsLeft)
            : real_(std::move(real)), commitsLeft_(commitsLeft) {}
        void writeAt(std::int64_t position, std::span<const std::byte> bytes) override {
            real_->writeAt(position, bytes);
        }
        void commit() override {
            if (--commitsLeft_ == 0) {
                throw RuntimeError(ErrorKind::FileError, "cannot write: Input/output error");
            }
            real_->commit();
        }

    private:
        std::unique_ptr<ClipTarget> real_;
        std::atomic<int>& commitsLeft_;
    };
    std::atomic<int> commitsLeft_;
};

// Tracks are synced while the walk goes on; a sync that fails still stops
// the split at that track, with the tracks before it kept and none after.
TEST_F(SplitFaultTest, FailedSyncStopsAtThatTrack) {
    const fs::path source = Mp3Fixtures::file(Mp3Kind::vbrWithXing);
    const SplitCase row{"", Mp3Kind::vbrWithXing, {0, 75, 150, 225, 300, 375}};
    FailingSyncFiles failing(disk, 3);
    EXPECT_EQ(split(arguments(source, sheetFor(row)), failing), kNotSaved);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(work.file("tracks"))) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"01 Part 1.mp3", "02 Part 2.mp3"}));
    const std::string text = textOf(err);
    EXPECT_NE(text.find("the split stopped at track 3 (\"03 Part 3.mp3\"): cannot write: "
                        "Input/output error; kept \"01 Part 1.mp3\", \"02 Part 2.mp3\""),
              std::string::npos)
        << text;
    // One line for each track saved, none for those after the failure.
    const std::string saved = textOf(out);
    EXPECT_EQ(saved.rfind("Saved 01 Part 1.mp3: 0:01.000, ", 0), 0u) << saved;
    EXPECT_NE(saved.find("\nSaved 02 Part 2.mp3: 0:01.000, "), std::string::npos) << saved;
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 2);
}

// The source is cut short after it was measured, as when another program
// rewrites it: the split stops where the file ends, keeps the tracks made
// before that point, and leaves nothing of the one it was writing.
TEST_F(SplitFaultTest, SourceCutShortDuringTheJobKeepsTheFinishedTracks) {
    const fs::path source = work.file("source.mp3");
    fs::copy_file(Mp3Fixtures::file(Mp3Kind::cbrPlain), source);
    const SplitCase row{"", Mp3Kind::cbrPlain, {0, 150, 300, 600}};
    SplitServices services = diskSplitServices();
    const auto measure = services.measure;
    services.measure = [&](const std::string& path, bool exactly) {
        auto length = measure(path, exactly);
        fs::resize_file(path, fs::file_size(path) * 6 / 10);  // 6 of its 10 s stay
        return length;
    };
    CutConsole console{err, false, {}, out};
    EXPECT_EQ(
        toldOutcome(runSplit(arguments(source, sheetFor(row)), disk, services, console), console),
        kNotSaved);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(work.file("tracks"))) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"01 Part 1.mp3", "02 Part 2.mp3"}));
    const std::string text = textOf(err);
    EXPECT_NE(
        text.find("the split stopped at track 3 (\"03 Part 3.mp3\"): \"" + source.string() +
                  "\" changed while it was being read; kept \"01 Part 1.mp3\", \"02 Part 2.mp3\""),
        std::string::npos)
        << text;
}

// What the exact cut refuses, the split refuses before it writes anything,
// with the same reason and a word on --bytes.
TEST_F(SplitFaultTest, KindsTheExactCutRefusesAreRefusedUpFront) {
    const struct {
        fs::path source;
        const char* reason;
    } refused[] = {
        {exactCutFixture(ExactCutKind::freeFormat), "is a free-format MPEG stream"},
        {exactCutFixture(ExactCutKind::sampleRateChange),
         "changes from MPEG-1 Layer III at 44100 Hz"},
        {Mp3Fixtures::file(Mp3Kind::mpeg1Layer2), "is MPEG Layer II, not Layer III"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.source.string());
        std::FILE* caseErr = std::tmpfile();
        std::swap(err, caseErr);
        const SplitCase row{"", Mp3Kind::cbrPlain, {0, 75}};
        EXPECT_EQ(split(arguments(c.source, sheetFor(row)), disk), kNotSaved);
        const std::string text = textOf(err);
        EXPECT_NE(text.find(c.reason), std::string::npos) << text;
        EXPECT_NE(text.find("(--bytes splits it by the byte-range rule instead)"),
                  std::string::npos)
            << text;
        EXPECT_FALSE(fs::exists(work.file("tracks")));
        std::swap(err, caseErr);
        std::fclose(caseErr);
    }
}

}  // namespace
}  // namespace snipwell::test

namespace snipwell::test {
namespace {

// A trimmed split keeps exactly the samples the levels leave, however they
// fall in the frames: track 1 from 0.3 s to 3.1 s and track 2 from 4.8 s to
// 9.1 s of the source, each with the source's own samples. The levels are
// scripted so that the test, not the decoder, places the silences.
TEST_F(SplitFaultTest, TrimmedTracksPlayExactlyTheirKeptSamples) {
    const fs::path source = Mp3Fixtures::twoTone();
    const DecodedAudio original = decodeWithMpg123(source);
    ASSERT_EQ(original.rate, 44'100);
    const auto quiet = static_cast<float>(level::rmsOf(-80));
    level::WindowLevels levels{441, original.frames(), std::vector<float>(1001, 0.2F)};
    const auto silent = [&](std::size_t from, std::size_t to) {
        std::fill(levels.rms.begin() + static_cast<std::ptrdiff_t>(from),
                  levels.rms.begin() + static_cast<std::ptrdiff_t>(std::min(to, levels.rms.size())),
                  quiet);
    };
    silent(0, 50);      // sound from 0.5 s
    silent(300, 500);   // to 3.0 s; the split at 4.0 s; from 5.0 s
    silent(900, 1001);  // to 9.0 s
    SplitServices services = diskSplitServices();
    services.scanLevels = [&](const std::string&, std::uint32_t) {
        return std::variant<level::WindowLevels, LevelProbeFailure>(levels);
    };
    CutArguments arguments;
    arguments.splitBy = SplitSource::splitTimes;
    arguments.splitTimesMs = {4'000};
    arguments.source = source.string();
    arguments.folder = work.file("tracks").string();
    arguments.trim.keepAtStartMs = 200;
    arguments.trim.keepAtEndMs = 100;
    CutConsole console{err, false, {}, out};
    ASSERT_EQ(toldOutcome(runSplit(arguments, disk, services, console), console), kSaved)
        << textOf(err);

    const struct {
        const char* name;
        std::uint64_t begin;
        std::uint64_t end;
    } kept[] = {{"Track 01.mp3", 13'230, 136'710}, {"Track 02.mp3", 211'680, 401'310}};
    const auto channels = static_cast<std::size_t>(original.channels);
    for (const auto& track : kept) {
        SCOPED_TRACE(track.name);
        const DecodedAudio decoded = decodeWithMpg123(work.file("tracks") / track.name);
        ASSERT_EQ(decoded.frames(), track.end - track.begin);
        EXPECT_TRUE(std::equal(
            decoded.samples.begin(), decoded.samples.end(),
            original.samples.begin() + static_cast<std::ptrdiff_t>(track.begin * channels)));
    }
}

// A trimmed single clip, too, plays exactly the samples its levels leave:
// marked from 0.2 s to 9.5 s, with sound from 0.5 s to 8.2 s, it keeps
// 0.2 s before the sound and 0.1 s after it.
TEST_F(SplitFaultTest, TrimmedClipPlaysExactlyItsKeptSamples) {
    const fs::path source = Mp3Fixtures::twoTone();
    const DecodedAudio original = decodeWithMpg123(source);
    ASSERT_EQ(original.rate, 44'100);
    const std::uint64_t begin = 8'820;
    const std::uint64_t end = 418'950;
    ClipLevels clip{44'100, {begin, end}, {441, end - begin, std::vector<float>(931, 0.2F)}};
    const auto quiet = static_cast<float>(level::rmsOf(-80));
    std::fill(clip.levels.rms.begin(), clip.levels.rms.begin() + 30, quiet);
    std::fill(clip.levels.rms.begin() + 800, clip.levels.rms.end(), quiet);
    const ClipLevelLookup levelsOf = [&](const std::string&, std::int64_t beginMs,
                                         std::int64_t endMs) {
        EXPECT_EQ(beginMs, 200);
        EXPECT_EQ(endMs, 9'500);
        return CutResult<ClipLevels>(clip);
    };
    CutArguments arguments;
    arguments.exact = true;
    arguments.source = source.string();
    arguments.beginMs = 200;
    arguments.endMs = 9'500;
    arguments.target = work.file("clip.mp3").string();
    arguments.trim.keepAtStartMs = 200;
    arguments.trim.keepAtEndMs = 100;
    CutConsole console{err, false, {}, out};
    ASSERT_EQ(toldOutcome(runCut(arguments, disk, {}, console, {}, levelsOf), console), kSaved)
        << textOf(err);

    const std::uint64_t keptBegin = 13'230;  // 0.3 s
    const std::uint64_t keptEnd = 366'030;   // 8.3 s
    const DecodedAudio decoded = decodeWithMpg123(work.file("clip.mp3"));
    ASSERT_EQ(decoded.frames(), keptEnd - keptBegin);
    const auto channels = static_cast<std::size_t>(original.channels);
    EXPECT_TRUE(
        std::equal(decoded.samples.begin(), decoded.samples.end(),
                   original.samples.begin() + static_cast<std::ptrdiff_t>(keptBegin * channels)));
    EXPECT_NE(textOf(out).find("Saved " + arguments.target + ": 0:08.000"), std::string::npos)
        << textOf(out);
}

}  // namespace
}  // namespace snipwell::test
