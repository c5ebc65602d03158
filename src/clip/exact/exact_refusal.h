#pragma once
// Why the exact cut made no clip. The cut decides these itself; a file it
// cannot write is the Files service's RuntimeError and passes through.

#include <cstdint>
#include <variant>

#include "mp3/mp3_error.h"

namespace snipwell::exact {

enum class ExactRefusalKind : std::uint8_t {
    negativeBegin,        // the begin mark lies before the track
    beginNotBeforeEnd,    // the marks are not in order
    targetIsSource,       // the clip would overwrite its own source
    unreadableSource,     // the MP3 layer could not read it: see `source`
    endPastTrack,         // the end mark lies past the end of the track
    clipTooLarge,         // more than an info frame can describe (4 GiB)
    trimDoesNotFit,       // the clip's delay or padding does not fit its info frame
    reservoirDoesNotFit,  // no frame of the stream holds the bit reservoir
};

struct ExactCutRefusal {
    ExactRefusalKind kind = ExactRefusalKind::unreadableSource;
    mp3::Mp3Error source;      // for unreadableSource
    std::int64_t endMs = 0;    // for endPastTrack: the mark...
    std::int64_t trackMs = 0;  // ... and the track's length
};

// A value, or why the cut was refused.
template <typename T>
using ExactResult = std::variant<T, ExactCutRefusal>;

inline ExactCutRefusal refusalOf(const mp3::Mp3Error& error) {
    ExactCutRefusal refusal;
    refusal.kind = ExactRefusalKind::unreadableSource;
    refusal.source = error;
    return refusal;
}

inline ExactCutRefusal refusalOf(ExactRefusalKind kind) {
    ExactCutRefusal refusal;
    refusal.kind = kind;
    return refusal;
}

}  // namespace snipwell::exact
