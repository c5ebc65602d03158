#pragma once
// Why the level probe gave no answer, as one line without a trailing
// period: it could not start, ended by a signal, stopped reporting progress
// (it is then killed with whatever it started), answered nothing usable, or
// reported why it could not decode.

#include <optional>
#include <string>

#include "mp3/mp3_error.h"

namespace snipwell {

struct LevelProbeFailure {
    std::string reason;
    // Where the file itself could not be read before any probe started, so
    // that the caller words it as it words every other file it cannot read.
    std::optional<mp3::Mp3Error> fileError = std::nullopt;
};

}  // namespace snipwell
