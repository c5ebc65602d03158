#include "cut/split_services.h"

#include <sys/statvfs.h>
#include <cerrno>

#include <filesystem>
#include <system_error>
#include <variant>

#include "clip/exact/exact_tracks.h"
#include "clip/export/file_error.h"
#include "clip/export/temporary_file_cleanup.h"
#include "cut/file_step.h"
#include "cut/refusal_text.h"
#include "level/level_probe_client.h"
#include "mp3/block_reader.h"
#include "mp3/length.h"
#include "mp3/tag_layout.h"

namespace snipwell {
namespace {

// The byte-range split takes the length the window's Save takes.
CutResult<SourceLength> measureAnySource(const std::string& path) {
    const auto measured = mp3::measureLength(path);
    if (const auto* error = std::get_if<mp3::Mp3Error>(&measured)) return failureOf(*error, path);
    const auto& length = std::get<mp3::TrackLength>(measured);
    return SourceLength{length.sampleRate, length.samples};
}

// The exact split takes the length the exact engine counts; its refusal
// says where the byte-range rule could still split the file.
CutResult<SourceLength> measureExactSourceLength(const std::string& path) {
    const auto measured = exact::measureExactSource(path);
    if (const auto* refusal = std::get_if<exact::ExactCutRefusal>(&measured)) {
        return failureOf(ExactFailure{*refusal, ExactRefusalWording::suggestingBytes}, path);
    }
    const auto& length = std::get<exact::ExactSourceLength>(measured);
    return SourceLength{length.sampleRate, length.samples};
}

// The nearest folder that exists, from `folder` upwards: where a folder
// still to be made will take its space from.
std::optional<std::uint64_t> freeBytesAt(const std::string& folder) {
    std::filesystem::path at = std::filesystem::absolute(folder);
    for (;;) {
        struct statvfs info {};
        if (::statvfs(at.c_str(), &info) == 0) {
            // A file system of no blocks (/proc, /sys) keeps no data and
            // says nothing of room; writing there fails with its own reason.
            if (info.f_blocks == 0) return std::nullopt;
            return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
        }
        if (errno != ENOENT || !at.has_parent_path() || at.parent_path() == at) return std::nullopt;
        at = at.parent_path();
    }
}

std::optional<CutFailure> makeFolder(const std::string& folder) {
    return fileAction([&folder] {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error) throw fileError("cannot make the folder", folder, error.value());
        if (!std::filesystem::is_directory(folder))
            throw fileError("cannot make the folder", folder, ENOTDIR);
    });
}

CutFailure unreadable(const mp3::BlockReader& file, const std::string& path) {
    return failureOf(file.failure().value_or(mp3::Mp3Error{mp3::Mp3Fault::changed, 0, 0, 0, 0}),
                     path);
}

// The whole track's levels, measured by the level probe; a file the scan
// cannot walk is worded as every source that cannot be read.
std::variant<level::WindowLevels, LevelProbeFailure> scanWholeSource(const std::string& path,
                                                                     std::uint32_t windowSamples) {
    auto scanned = scanLevelsWithProbe(path, windowSamples);
    if (auto* failure = std::get_if<LevelProbeFailure>(&scanned)) {
        if (failure->fileError)
            return LevelProbeFailure{describeSourceError(*failure->fileError, path)};
        return std::move(*failure);
    }
    return std::get<ScannedLevels>(std::move(scanned)).levels;
}

}  // namespace

CutResult<SourceTags> readSourceTags(const std::string& path) {
    auto opened = mp3::BlockReader::open(path);
    if (const auto* error = std::get_if<mp3::Mp3Error>(&opened)) return failureOf(*error, path);
    auto& file = std::get<mp3::BlockReader>(opened);
    const mp3::TagLayout layout = mp3::findTagLayout(file);
    SourceTags tags;
    for (const mp3::ByteSpan& span : layout.id3v2Tags) {
        std::vector<std::uint8_t> bytes;
        bytes.reserve(static_cast<std::size_t>(span.size()));
        for (std::uint64_t at = span.begin; at < span.end;) {
            const auto piece = static_cast<std::size_t>(
                std::min<std::uint64_t>(span.end - at, mp3::BlockReader::maxSpan));
            const std::uint8_t* data = file.bytesAt(at, piece);
            if (data == nullptr) return unreadable(file, path);
            bytes.insert(bytes.end(), data, data + piece);
            at += piece;
        }
        std::vector<mp3::Id3v2Frame> frames = mp3::readId3v2Frames(bytes);
        tags.frames.insert(tags.frames.end(), std::make_move_iterator(frames.begin()),
                           std::make_move_iterator(frames.end()));
        tags.id3v2Bytes += span.size();
    }
    if (layout.id3v1Offset) {
        const std::uint8_t* data = file.bytesAt(*layout.id3v1Offset, mp3::kId3v1Bytes);
        if (data == nullptr) return unreadable(file, path);
        std::array<std::uint8_t, mp3::kId3v1Bytes> v1{};
        std::copy(data, data + mp3::kId3v1Bytes, v1.begin());
        tags.id3v1 = v1;
    }
    return tags;
}

LevelScan levelScanOf(const SplitServices& services, const std::string& source) {
    if (!services.scanLevels) return {};
    return [&services,
            source](std::uint32_t windowSamples) -> std::variant<level::WindowLevels, std::string> {
        auto scanned = services.scanLevels(source, windowSamples);
        if (auto* failure = std::get_if<LevelProbeFailure>(&scanned)) return failure->reason;
        return std::get<level::WindowLevels>(std::move(scanned));
    };
}

SplitServices diskSplitServices() {
    SplitServices services;
    services.peakOf = measurePeakWithProbe;
    services.scanLevels = scanWholeSource;
    services.measure = [](const std::string& path, bool exactly) {
        return exactly ? measureExactSourceLength(path) : measureAnySource(path);
    };
    services.readTags = readSourceTags;
    services.freeBytes = freeBytesAt;
    services.makeFolder = makeFolder;
    services.interrupted = [] { return interruptionRequested() != 0; };
    return services;
}

}  // namespace snipwell
