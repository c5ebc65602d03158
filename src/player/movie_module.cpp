#include "player/movie_module.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <system_error>
#include <utility>

#include "common/checked_math.h"
#include "common/runtime_error.h"

namespace snipwell {
namespace {

constexpr const char* kSetTimeFormat = "set movie time format ms";
// Longest single sleep inside timeOut: the pump returns early on any event,
// this only bounds how late a wait can notice that its time is up.
constexpr std::chrono::milliseconds kLongestWaitSlice{20};

}  // namespace

MovieModule::MovieModule(MciSendString send, EventPump& pump, Clock& clock)
    : send_(std::move(send)), pump_(pump), clock_(clock) {}

std::uint32_t MovieModule::send(const std::string& command) {
    return send_(command.c_str(), nullptr, 0, 0);
}

std::uint32_t MovieModule::query(const std::string& command) {
    return send_(command.c_str(), returnBuffer.data(),
                 static_cast<std::uint32_t>(returnBuffer.size()), 0);
}

void MovieModule::quoteFilename() { Filename = '"' + Filename + '"'; }

void MovieModule::openMovieWindow(std::int32_t hWnd, const std::string& WindowStyle) {
    quoteFilename();
    Error = static_cast<std::int32_t>(send("close movie"));
    Error =
        static_cast<std::int32_t>(send("open " + Filename + " type mpegvideo alias movie parent " +
                                       std::to_string(hWnd) + " style " + WindowStyle + " "));
}

void MovieModule::openMovie() {
    quoteFilename();
    Error = static_cast<std::int32_t>(send("close movie"));
    Error = static_cast<std::int32_t>(send("open " + Filename + " type mpegvideo alias movie"));
}

void MovieModule::playMovie() { Error = static_cast<std::int32_t>(send("play movie")); }
void MovieModule::stopMovie() { Error = static_cast<std::int32_t>(send("stop movie")); }
void MovieModule::pauseMovie() { Error = static_cast<std::int32_t>(send("pause movie")); }
void MovieModule::resumeMovie() { Error = static_cast<std::int32_t>(send("resume movie")); }
void MovieModule::closeMovie() { Error = static_cast<std::int32_t>(send("close all")); }

std::int32_t MovieModule::queryMilliseconds(const char* statusCommand) {
    Error = static_cast<std::int32_t>(send(kSetTimeFormat));
    Error = static_cast<std::int32_t>(query(statusCommand));
    return readReplyNumber(returnBuffer.data(), returnBuffer.size());
}

std::int32_t MovieModule::getLengthInMS() { return queryMilliseconds("status movie length"); }
std::int32_t MovieModule::getPositionInMS() {
    return queryMilliseconds("status movie position wait");
}
std::int32_t MovieModule::getLengthInSec() { return getLengthInMS() / 1000; }
std::int32_t MovieModule::getPositionInSec() { return getPositionInMS() / 1000; }

bool MovieModule::isMoviePlaying() {
    Error = static_cast<std::int32_t>(query("status movie mode"));
    return std::memcmp(returnBuffer.data(), "playing", 7) == 0;
}

void MovieModule::setPositionTo(std::int32_t Second) {
    if (isMoviePlaying()) {
        send("play movie from " + std::to_string(Second));
        return;
    }
    // Playback may have begun between the two questions; then leave it be.
    if (!isMoviePlaying()) send("seek movie to " + std::to_string(Second));
}

void MovieModule::timeOut(double duration) {
    // The start is the clock rounded to a whole second, so a wait lasts
    // between duration - 0.5 s and duration + 0.5 s.
    const double start = std::nearbyint(clock_.seconds());
    for (;;) {
        const double left = duration - (clock_.seconds() - start);
        if (!(left > 0.0)) return;
        const auto leftMs = std::chrono::milliseconds(static_cast<long>(std::ceil(left * 1000.0)));
        pump_.waitForEvents(std::clamp(leftMs, std::chrono::milliseconds{1}, kLongestWaitSlice));
    }
}

std::int32_t readReplyNumber(const char* text, std::size_t size) {
    const char* const end = std::find(text, text + size, '\0');
    const char* p = text;
    while (p != end && (*p == ' ' || *p == '\t')) ++p;
    const char* const numberStart = p;
    if (p != end && (*p == '+' || *p == '-')) ++p;
    const char* const digitsStart = p;
    while (p != end && *p >= '0' && *p <= '9') ++p;
    if (p != end && *p == '.') {
        ++p;
        while (p != end && *p >= '0' && *p <= '9') ++p;
    }
    // Only the sign and a lone period: no number at all.
    const bool hasDigit = std::any_of(digitsStart, p, [](char c) { return c >= '0' && c <= '9'; });
    if (!hasDigit) return 0;

    // from_chars takes no leading '+' and is independent of the C locale.
    const char* parseFrom = (*numberStart == '+') ? numberStart + 1 : numberStart;
    double value = 0.0;
    const auto [stop, error] = std::from_chars(parseFrom, p, value, std::chars_format::fixed);
    if (error == std::errc::result_out_of_range) throw RuntimeError::overflow();
    if (error != std::errc{}) return 0;
    (void)stop;
    return roundHalfEvenToInt32(value);
}

}  // namespace snipwell
