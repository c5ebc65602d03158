#pragma once
// MP3 files for tests, made from generated tones with sox and lame on the
// command line. Each file is made once and kept in a cache folder, so the
// many small test processes of a run share them:
//   $SNIPWELL_FIXTURE_DIR when set (a test run may point it at a fresh folder),
//   otherwise <temp>/snipwell-mp3-fixtures-<uid>.
// File names carry a recipe version; change a recipe, bump the version.
// Files are written beside their final name and renamed into place, so
// parallel test processes never see half a file.
//
//   auto path = snipwell::test::Mp3Fixtures::twoTone();
//   auto vbr  = snipwell::test::Mp3Fixtures::file(Mp3Kind::vbrPlain);
//
// Failures to make a file throw std::runtime_error.

#include <filesystem>
#include <string_view>
#include <vector>

namespace snipwell::test {

// Every file plays 440 Hz for 5 s, then 880 Hz for 5 s, unless noted.
enum class Mp3Kind {
    cbrWithInfo,    // 44.1 kHz stereo, 128 kbit/s, Info frame with encoder delay and padding
    cbrPlain,       // as above without any info frame
    vbrWithXing,    // 44.1 kHz stereo VBR, Xing frame with delay and padding
    vbrPlain,       // VBR without any info frame
    vbrWithVbri,    // VBR with a VBRI info frame
    mpeg1Mono,      // 44.1 kHz mono, 64 kbit/s, Info frame
    mpeg2Stereo,    // 22.05 kHz stereo VBR, Xing frame
    mpeg2Plain,     // 24 kHz stereo, 64 kbit/s, no info frame
    mpeg25Mono,     // 8 kHz mono, 16 kbit/s (too small a frame for an info frame)
    mpeg25Stereo,   // 11.025 kHz stereo VBR, Xing frame
    id3v2Picture,   // VBR with Xing, after an ID3v2 tag holding a 1 MiB picture
    endTags,        // VBR without info frame, then an APEv2 and an ID3v1 tag
    bitrateChange,  // 32 kbit/s for the first half, 320 kbit/s for the second, no info frame
    truncated,      // the CBR file with Info frame cut at 60 % of its bytes, mid-frame
    mpeg1Layer2,    // 44.1 kHz stereo MPEG-1 Layer II, 192 kbit/s, named .mp3 like many are
};

// Files for hearing where playback is: 10 s of silence (so a VBR stream's
// bit rate is far from even), then 20 tones of one second each, the tone of
// second k (10 ... 29) at steppedToneHertz(k). 44.1 kHz stereo, lame -V 2.
enum class SteppedTones {
    vbrWithXing,   // with a Xing frame and its seek table
    vbrPlain,      // without any info frame
    vbrWithCover,  // with a Xing frame, after an ID3v2 tag holding a 400 KB picture
};

inline constexpr int kFirstSteppedSecond = 10;
inline constexpr int kSteppedSeconds = 30;
inline constexpr double steppedToneHertz(int second) { return 100.0 * second - 500.0; }

class Mp3Fixtures {
public:
    // 440 Hz for 5 s then 880 Hz for 5 s: 44.1 kHz stereo, 128 kbit/s, Info frame.
    static std::filesystem::path twoTone();

    static std::filesystem::path file(Mp3Kind kind);
    static std::string_view name(Mp3Kind kind);
    static const std::vector<Mp3Kind>& allKinds();

    static std::filesystem::path steppedTones(SteppedTones kind);

    // Files named .mp3 that hold no MPEG audio.
    static std::filesystem::path textNamedMp3();
    static std::filesystem::path randomBytes();
    static std::filesystem::path emptyFile();

    static std::filesystem::path cacheFolder();
};

// The playing time of `mp3` in milliseconds as a full decode yields it
// (GStreamer's decoder run by gst-launch-1.0, as the player plays it),
// from the number of samples decoded. Throws if the decode fails.
double decodedMilliseconds(const std::filesystem::path& mp3);

}  // namespace snipwell::test
