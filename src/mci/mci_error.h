#pragma once
// Every code the media service answers with. 0 is success; the others are
// distinct so that a caller or a person at the console can tell what failed.

#include <cstdint>

namespace snipwell::mci {

enum class MciError : std::uint32_t {
    ok = 0,

    // The command text.
    emptyCommand = 1,
    unknownCommand = 2,     // first word is no verb we know
    unknownKeyword = 3,     // a word the verb does not take
    missingArgument = 4,    // a keyword without its value, or no alias
    duplicateKeyword = 5,   // the same keyword twice in one command
    badQuoting = 6,         // missing, unterminated or misplaced double quote
    badNumber = 7,          // not plain decimal digits, or out of range
    badAlias = 8,           // an alias with characters we do not allow
    unsupportedValue = 9,   // a device type, style or time format we do not offer
    invalidCharacter = 10,  // control characters inside the command (a NUL too)
    commandTooLong = 11,    // more than maxCommandBytes (64 KiB) of command text

    // Devices.
    aliasNotOpen = 20,
    aliasInUse = 21,
    positionOutOfRange = 22,
    notPaused = 23,       // resume of a device that was not paused
    deviceNotReady = 24,  // the device broke during playback; close it

    // Opening a file.
    fileNotFound = 30,
    notAFile = 31,  // a folder, device node or similar
    emptyFile = 32,
    fileUnreadable = 33,
    notMpegAudio = 34,            // no run of MPEG audio frames in the file
    mediaFailedToOpen = 35,       // the playback pipeline refused the file
    mediaTimedOut = 36,           // the pipeline did not become ready in time
    mediaSystemUnavailable = 37,  // also: the media engine program cannot be started
    malformedTag = 38,            // a tag whose declared size cannot be right, or more
                                  // stacked ID3v2 tags than any writer makes; refused
                                  // before the decoder sees the file
    fileChanged = 39,             // the file became shorter while it was being read

    // Replies.
    replyAreaTooSmall = 40,

    // The media engine: the process that runs the decoder. After either of
    // these every alias is gone, and the next open starts a fresh engine.
    engineStopped = 50,   // the engine ended (it crashed or was killed)
    engineTimedOut = 51,  // the engine did not answer within the command's
                          // time limit, so it was ended
};

constexpr std::uint32_t toCode(MciError error) { return static_cast<std::uint32_t>(error); }

}  // namespace snipwell::mci
