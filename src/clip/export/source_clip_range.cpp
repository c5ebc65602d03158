#include "clip/export/source_clip_range.h"

#include <algorithm>
#include <variant>

#include "clip/export/export_refusal.h"
#include "mp3/block_reader.h"
#include "mp3/frame_slice.h"
#include "mp3/tag_layout.h"

namespace snipwell {
namespace {

// A failure of the file itself, not of what it holds: no range can be cut.
bool isReadFailure(const mp3::Mp3Error& error) {
    return error.fault == mp3::Mp3Fault::notFound || error.fault == mp3::Mp3Fault::unreadable ||
           error.fault == mp3::Mp3Fault::changed;
}

ExportRefusal readFailure(const mp3::Mp3Error& error) {
    if (error.fault == mp3::Mp3Fault::changed) {
        return ExportRefusal(ExportRefusalKind::sourceChangedWhileRead, error);
    }
    return ExportRefusal(ExportRefusalKind::sourceUnreadable, error);
}

}  // namespace

SourceClipRange clipRangeInSource(const std::string& sourcePath, std::int64_t sourceBytes,
                                  std::int32_t lengthMs, std::int32_t beginMs, std::int32_t endMs) {
    // Checked before any walk: a 2 GiB source is refused at once.
    if (isBeyondClipPositions(sourceBytes)) throw ExportRefusal(ExportRefusalKind::sourceTooLarge);
    auto opened = mp3::BlockReader::open(sourcePath);
    mp3::ByteSpan audio{0, static_cast<std::uint64_t>(sourceBytes)};
    if (auto* error = std::get_if<mp3::Mp3Error>(&opened)) {
        if (isReadFailure(*error)) throw readFailure(*error);
    } else {
        mp3::BlockReader& file = std::get<mp3::BlockReader>(opened);
        const auto slice = mp3::findFrameSlice(file, std::max(beginMs, 0), endMs);
        if (const auto* span = std::get_if<mp3::ByteSpan>(&slice)) {
            return {clipRangeOfSpan(sourceBytes, span->begin, span->end), ClipRangeRule::frames};
        }
        const auto& refused = std::get<mp3::Mp3Error>(slice);
        if (isReadFailure(refused)) throw readFailure(refused);
        audio = mp3::findTagLayout(file).audio;
    }
    const std::uint64_t audioEnd = std::min(audio.end, static_cast<std::uint64_t>(sourceBytes));
    return {clipRangeByRate(sourceBytes, audio.begin, audioEnd, lengthMs, beginMs, endMs),
            ClipRangeRule::rate};
}

}  // namespace snipwell
