#pragma once
// Why the export engine makes no clip or track of the marks it was given:
// the kind of refusal and what it concerns. The Files service's own
// RuntimeError (a disk that is full, a folder that may not be written)
// passes through as it is; everything the engine decides itself is one of
// these. The window's Save and snipwell-cut put it into words.

#include <cstdint>
#include <exception>
#include <string>

#include "mp3/mp3_error.h"

namespace snipwell {

// The reasons given for a begin mark that no byte of the audio stands for,
// a source of 2 GiB or more, and a source that became shorter during the copy.
inline constexpr const char* kBeginPastAudio = "the begin mark lies past the end of the audio";
inline constexpr const char* kSourceTooLarge =
    "the source file is 2 GiB or larger, beyond the byte positions a clip can be cut from";
inline constexpr const char* kSourceChanged = "the source file changed during the copy";

enum class ExportRefusalKind : std::uint8_t {
    sourceTooLarge,          // 2 GiB or more, beyond the clip's 32-bit byte positions
    beginPastAudio,          // no byte of the audio stands for the begin mark
    noTrackLength,           // the rate fallback was handed a length of 0 ms
    sourceUnreadable,        // the file could not be opened or read: see `source`
    sourceChangedWhileRead,  // it became shorter while its frames were walked
    sourceChangedInCopy,     // it became shorter while the clip was copied
    framesUnwalkable,        // a gain's frames could not be walked: see `source`
};

class ExportRefusal : public std::exception {
public:
    explicit ExportRefusal(ExportRefusalKind kind, const mp3::Mp3Error& source = {})
        : kind_(kind), source_(source) {}

    ExportRefusalKind kind() const noexcept { return kind_; }
    // The MP3 layer's failure, for sourceUnreadable and framesUnwalkable.
    const mp3::Mp3Error& source() const noexcept { return source_; }

    const char* what() const noexcept override { return "the clip cannot be exported"; }

private:
    ExportRefusalKind kind_;
    mp3::Mp3Error source_;
};

// The reason in a person's words, the same in the window and the command:
// "the begin mark lies past the end of the audio". framesUnwalkable names
// no file here; a caller that knows the source words its MP3 failure.
std::string describeExportRefusal(const ExportRefusal& refusal);

}  // namespace snipwell
