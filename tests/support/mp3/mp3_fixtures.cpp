#include "support/mp3/mp3_fixtures.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <stdexcept>
#include <string>

#include "support/file_bytes.h"
#include "support/mp3/lame_encode.h"
#include "support/mp3/mp3_tag_writer.h"
#include "support/mp3/run_program.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace snipwell::test {
namespace {

constexpr std::string_view recipeVersion = "v2";

std::mutex fixtureMutex;

Bytes concat(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

struct ToneFormat {
    int rate;
    int channels;
};

// A WAV file of 440 Hz for 5 s then 880 Hz for 5 s (or one tone alone).
fs::path toneWav(const TempDir& work, ToneFormat format, std::string_view which = "both") {
    const std::string stem = "tone-" + std::to_string(format.rate) + "-" +
                             std::to_string(format.channels) + "-" + std::string(which);
    fs::path wav = work.file(stem + ".wav");
    const auto synth = [&](const fs::path& out, const char* hertz) {
        runProgramOrThrow({"sox", "-n", "-r", std::to_string(format.rate), "-c",
                           std::to_string(format.channels), "-b", "16", out.string(), "synth", "5",
                           "sine", hertz, "vol", "0.5"});
    };
    if (which == "low") {
        synth(wav, "440");
    } else if (which == "high") {
        synth(wav, "880");
    } else {
        const fs::path low = toneWav(work, format, "low");
        const fs::path high = toneWav(work, format, "high");
        runProgramOrThrow({"sox", low.string(), high.string(), wav.string()});
    }
    return wav;
}

const ToneFormat cdStereo{44100, 2};

// Writes the file of `kind` to `target`.
void make(Mp3Kind kind, const TempDir& work, const fs::path& target) {
    const auto encodeTo = [&](ToneFormat format, const std::vector<std::string>& options) {
        return readBytes(lameEncode(work, toneWav(work, format), "encoded", options));
    };
    switch (kind) {
        case Mp3Kind::cbrWithInfo: return writeBytes(target, encodeTo(cdStereo, {"-b", "128"}));
        case Mp3Kind::cbrPlain: return writeBytes(target, encodeTo(cdStereo, {"-b", "128", "-t"}));
        case Mp3Kind::vbrWithXing: return writeBytes(target, encodeTo(cdStereo, {"-V", "4"}));
        case Mp3Kind::vbrPlain: return writeBytes(target, encodeTo(cdStereo, {"-V", "4", "-t"}));
        case Mp3Kind::vbrWithVbri:
            return writeBytes(target, withVbriFrame(encodeTo(cdStereo, {"-V", "4", "-t"})));
        case Mp3Kind::mpeg1Mono: return writeBytes(target, encodeTo({44100, 1}, {"-b", "64"}));
        case Mp3Kind::mpeg2Stereo: return writeBytes(target, encodeTo({22050, 2}, {"-V", "4"}));
        case Mp3Kind::mpeg2Plain:
            return writeBytes(target, encodeTo({24000, 2}, {"-b", "64", "-t"}));
        case Mp3Kind::mpeg25Mono: return writeBytes(target, encodeTo({8000, 1}, {"-b", "16"}));
        case Mp3Kind::mpeg25Stereo: return writeBytes(target, encodeTo({11025, 2}, {"-V", "6"}));
        case Mp3Kind::id3v2Picture:
            return writeBytes(
                target, concat(id3v2TagWithPicture(1024 * 1024), encodeTo(cdStereo, {"-V", "4"})));
        case Mp3Kind::endTags:
            return writeBytes(
                target,
                concat(concat(encodeTo(cdStereo, {"-V", "4", "-t"}), apeTag()), id3v1Tag()));
        case Mp3Kind::bitrateChange: {
            const auto low = lameEncode(work, toneWav(work, cdStereo, "low"), "low",
                                        {"-b", "32", "-t", "--resample", "44.1"});
            const auto high =
                lameEncode(work, toneWav(work, cdStereo, "high"), "high", {"-b", "320", "-t"});
            return writeBytes(target, concat(readBytes(low), readBytes(high)));
        }
        case Mp3Kind::mpeg1Layer2: {
            const fs::path mp2 = work.file("encoded.mp2");
            runProgramOrThrow({"sox", toneWav(work, cdStereo).string(), "-C", "192", mp2.string()});
            return writeBytes(target, readBytes(mp2));
        }
        case Mp3Kind::truncated: {
            Bytes whole = encodeTo(cdStereo, {"-b", "128"});
            whole.resize(whole.size() * 6 / 10);
            return writeBytes(target, whole);
        }
    }
    throw std::logic_error("unknown MP3 fixture kind");
}

// The cached file called `name`, made by `maker` when it is missing.
fs::path cached(std::string_view name,
                const std::function<void(const TempDir&, const fs::path&)>& maker) {
    const std::lock_guard lock(fixtureMutex);
    const fs::path folder = Mp3Fixtures::cacheFolder();
    fs::path target = folder / (std::string(name) + "-" + std::string(recipeVersion) + ".mp3");
    if (fs::exists(target)) return target;

    const TempDir work(folder);
    const fs::path partial = work.file("result.mp3");
    maker(work, partial);
    fs::rename(partial, target);
    return target;
}

}  // namespace

fs::path Mp3Fixtures::cacheFolder() {
    fs::path folder;
    if (const char* chosen = std::getenv("SNIPWELL_FIXTURE_DIR"); chosen != nullptr && *chosen) {
        folder = chosen;
    } else {
        folder =
            fs::temp_directory_path() / ("snipwell-mp3-fixtures-" + std::to_string(::getuid()));
    }
    fs::create_directories(folder);
    return folder;
}

fs::path Mp3Fixtures::twoTone() { return file(Mp3Kind::cbrWithInfo); }

fs::path Mp3Fixtures::file(Mp3Kind kind) {
    return cached(name(kind), [kind](const TempDir& work, const fs::path& target) {
        make(kind, work, target);
    });
}

std::string_view Mp3Fixtures::name(Mp3Kind kind) {
    switch (kind) {
        case Mp3Kind::cbrWithInfo: return "cbr_with_info";
        case Mp3Kind::cbrPlain: return "cbr_plain";
        case Mp3Kind::vbrWithXing: return "vbr_with_xing";
        case Mp3Kind::vbrPlain: return "vbr_plain";
        case Mp3Kind::vbrWithVbri: return "vbr_with_vbri";
        case Mp3Kind::mpeg1Mono: return "mpeg1_mono";
        case Mp3Kind::mpeg2Stereo: return "mpeg2_stereo";
        case Mp3Kind::mpeg2Plain: return "mpeg2_plain";
        case Mp3Kind::mpeg25Mono: return "mpeg25_mono";
        case Mp3Kind::mpeg25Stereo: return "mpeg25_stereo";
        case Mp3Kind::id3v2Picture: return "id3v2_picture";
        case Mp3Kind::endTags: return "end_tags";
        case Mp3Kind::bitrateChange: return "bitrate_change";
        case Mp3Kind::truncated: return "truncated";
        case Mp3Kind::mpeg1Layer2: return "mpeg1_layer2";
    }
    return "unknown";
}

const std::vector<Mp3Kind>& Mp3Fixtures::allKinds() {
    static const std::vector<Mp3Kind> kinds{
        Mp3Kind::cbrWithInfo,   Mp3Kind::cbrPlain,     Mp3Kind::vbrWithXing,  Mp3Kind::vbrPlain,
        Mp3Kind::vbrWithVbri,   Mp3Kind::mpeg1Mono,    Mp3Kind::mpeg2Stereo,  Mp3Kind::mpeg2Plain,
        Mp3Kind::mpeg25Mono,    Mp3Kind::mpeg25Stereo, Mp3Kind::id3v2Picture, Mp3Kind::endTags,
        Mp3Kind::bitrateChange, Mp3Kind::truncated,    Mp3Kind::mpeg1Layer2};
    return kinds;
}

fs::path Mp3Fixtures::steppedTones(SteppedTones kind) {
    const char* const names[] = {"stepped_vbr_with_xing", "stepped_vbr_plain",
                                 "stepped_vbr_with_cover"};
    return cached(
        names[static_cast<int>(kind)], [kind](const TempDir& work, const fs::path& target) {
            std::vector<std::string> pieces;
            const auto piece = [&](const std::string& name, const std::vector<std::string>& synth) {
                pieces.push_back(work.file(name + ".wav").string());
                std::vector<std::string> command{"sox", "-n", "-r", "44100",       "-c",
                                                 "2",   "-b", "16", pieces.back(), "synth"};
                command.insert(command.end(), synth.begin(), synth.end());
                runProgramOrThrow(command);
            };
            piece("silence", {std::to_string(kFirstSteppedSecond), "sine", "440", "vol", "0"});
            for (int second = kFirstSteppedSecond; second < kSteppedSeconds; ++second) {
                piece("tone" + std::to_string(second),
                      {"1", "sine", std::to_string(steppedToneHertz(second)), "vol", "0.5"});
            }
            std::vector<std::string> join{"sox"};
            join.insert(join.end(), pieces.begin(), pieces.end());
            const fs::path wav = work.file("stepped.wav");
            join.push_back(wav.string());
            runProgramOrThrow(join);

            const bool plain = kind == SteppedTones::vbrPlain;
            std::vector<std::string> options{"-V", "2"};
            if (plain) options.emplace_back("-t");
            Bytes audio = readBytes(lameEncode(work, wav, "stepped", options));
            if (kind == SteppedTones::vbrWithCover)
                audio = concat(id3v2TagWithPicture(400 * 1000), audio);
            writeBytes(target, audio);
        });
}

fs::path Mp3Fixtures::textNamedMp3() {
    return cached("text_named_mp3", [](const TempDir&, const fs::path& target) {
        const std::string text = "These are notes, not music.\nNothing to play here.\n";
        writeBytes(target, Bytes(text.begin(), text.end()));
    });
}

fs::path Mp3Fixtures::randomBytes() {
    return cached("random_bytes", [](const TempDir&, const fs::path& target) {
        Bytes noise(256 * 1024);
        std::uint64_t state = 0x9E3779B97F4A7C15u;
        for (auto& byte : noise) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            byte = static_cast<std::uint8_t>(state);
        }
        writeBytes(target, noise);
    });
}

fs::path Mp3Fixtures::emptyFile() {
    return cached("empty", [](const TempDir&, const fs::path& target) { writeBytes(target, {}); });
}

}  // namespace snipwell::test
