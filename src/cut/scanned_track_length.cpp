#include "cut/scanned_track_length.h"

#include <limits>
#include <variant>

#include "common/runtime_error.h"
#include "cut/refusal_text.h"
#include "mp3/length.h"

namespace snipwell {

std::int32_t scannedTrackLengthMs(const std::string& path) {
    const auto measured = mp3::measureLength(path);
    if (const auto* error = std::get_if<mp3::Mp3Error>(&measured)) {
        throw RuntimeError(ErrorKind::FileError, describeSourceError(*error, path));
    }
    const std::int64_t milliseconds = std::get<mp3::TrackLength>(measured).milliseconds();
    if (milliseconds > std::numeric_limits<std::int32_t>::max()) {
        throw RuntimeError(ErrorKind::Overflow, "the track is longer than 596 hours");
    }
    return static_cast<std::int32_t>(milliseconds);
}

}  // namespace snipwell
