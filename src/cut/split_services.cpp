#include "cut/split_services.h"

#include <sys/statvfs.h>
#include <cerrno>

#include <filesystem>
#include <system_error>
#include <variant>

#include "clip/export/file_error.h"
#include "common/runtime_error.h"
#include "cut/scanned_track_length.h"
#include "mci/block_file_reader.h"
#include "mci/mp3_length.h"
#include "mci/mp3_tags.h"

namespace snipwell {
namespace {

SourceLength measureSource(const std::string& path) {
    // The scan that gives the single cut its reasons for a file that is no
    // MP3; it throws with them.
    scannedTrackLengthMs(path);
    const auto measured = mci::measureMp3Length(path);
    if (std::holds_alternative<mci::MciError>(measured)) {
        throw RuntimeError(ErrorKind::FileError, "\"" + path + "\" is " + kNotAnMp3);
    }
    const auto& length = std::get<mci::Mp3Length>(measured);
    return {length.sampleRate, length.samples};
}

// The nearest folder that exists, from `folder` upwards: where a folder
// still to be made will take its space from.
std::optional<std::uint64_t> freeBytesAt(const std::string& folder) {
    std::filesystem::path at = std::filesystem::absolute(folder);
    for (;;) {
        struct statvfs info {};
        if (::statvfs(at.c_str(), &info) == 0) {
            return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
        }
        if (errno != ENOENT || !at.has_parent_path() || at.parent_path() == at) return std::nullopt;
        at = at.parent_path();
    }
}

void makeFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) throw fileError("cannot make the folder", folder, error.value());
    if (!std::filesystem::is_directory(folder))
        throw fileError("cannot make the folder", folder, ENOTDIR);
}

}  // namespace

SourceTags readSourceTags(const std::string& path) {
    auto opened = mci::BlockFileReader::open(path);
    if (std::holds_alternative<mci::MciError>(opened)) throw fileError("cannot read", path, EIO);
    auto& file = std::get<mci::BlockFileReader>(opened);
    const mci::Mp3TagLayout layout = mci::findTagLayout(file);
    SourceTags tags;
    for (const mci::ByteSpan& span : layout.id3v2Tags) {
        std::vector<std::uint8_t> bytes;
        bytes.reserve(static_cast<std::size_t>(span.size()));
        for (std::uint64_t at = span.begin; at < span.end;) {
            const auto piece = static_cast<std::size_t>(
                std::min<std::uint64_t>(span.end - at, mci::BlockFileReader::maxSpan));
            const std::uint8_t* data = file.bytesAt(at, piece);
            if (data == nullptr) throw fileError("cannot read", path, EIO);
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
        if (data == nullptr) throw fileError("cannot read", path, EIO);
        std::array<std::uint8_t, mp3::kId3v1Bytes> v1{};
        std::copy(data, data + mp3::kId3v1Bytes, v1.begin());
        tags.id3v1 = v1;
    }
    return tags;
}

SplitServices diskSplitServices() {
    SplitServices services;
    services.measure = measureSource;
    services.readTags = readSourceTags;
    services.freeBytes = freeBytesAt;
    services.makeFolder = makeFolder;
    return services;
}

}  // namespace snipwell
