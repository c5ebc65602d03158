#include "cut/scanned_track_length.h"

#include <limits>
#include <variant>

#include "mp3/length.h"

namespace snipwell {

CutResult<std::int32_t> scannedTrackLengthMs(const std::string& path) {
    const auto measured = mp3::measureLength(path);
    if (const auto* error = std::get_if<mp3::Mp3Error>(&measured)) return failureOf(*error, path);
    const std::int64_t milliseconds = std::get<mp3::TrackLength>(measured).milliseconds();
    if (milliseconds > std::numeric_limits<std::int32_t>::max()) {
        return failureOf(CommandRefusal(CommandRefusalKind::trackTooLong), path);
    }
    return static_cast<std::int32_t>(milliseconds);
}

}  // namespace snipwell
