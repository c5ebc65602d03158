#pragma once
// The program's media player: every playback action becomes one or a few
// text commands to the media service, all on the device alias "movie".
// The player keeps no playback state of its own; it asks the service.

#include <array>
#include <cstdint>
#include <string>

#include "common/event_pump.h"
#include "player/media_service.h"

namespace snipwell {

class MovieModule {
public:
    MovieModule(MciSendString send, EventPump& pump, Clock& clock);

    // Return code of the most recent command that keeps its code; 0 is success.
    std::int32_t Error = 0;
    // Path of the media file. Each open replaces it with its quoted form.
    std::string Filename;

    void openMovieWindow(std::int32_t hWnd, const std::string& WindowStyle);
    void openMovie();
    void playMovie();
    void stopMovie();
    std::int32_t getLengthInMS();
    std::int32_t getLengthInSec();
    void pauseMovie();
    void resumeMovie();
    std::int32_t getPositionInMS();
    void closeMovie();
    std::int32_t getPositionInSec();
    bool isMoviePlaying();
    // Plays on from `Second` milliseconds when playing, else moves there.
    void setPositionTo(std::int32_t Second);
    // Waits about `duration` seconds while the window keeps handling events.
    void timeOut(double duration);

    // The reply area shared by the status queries, as the last query left it.
    const std::array<char, 128>& lastReplyArea() const { return returnBuffer; }

private:
    std::uint32_t send(const std::string& command);
    std::uint32_t query(const std::string& command);
    std::int32_t queryMilliseconds(const char* statusCommand);
    void quoteFilename();

    MciSendString send_;
    EventPump& pump_;
    Clock& clock_;
    // Not cleared between queries: a service that writes nothing leaves the
    // previous reply to be read again.
    std::array<char, 128> returnBuffer{};
};

// Reads a reply the way the player's callers expect: leading blanks, an
// optional sign, digits and an optional fraction, up to the first character
// that cannot continue the number; no number gives 0. Rounds half to even;
// a value beyond 32 bits raises an overflow error.
std::int32_t readReplyNumber(const char* text, std::size_t size);

}  // namespace snipwell
