#pragma once
// A media service for handler tests: it records every command and plays a
// pretend track whose position follows the test's clock, so a preview or a
// wait behaves as with real playback, only instantly and repeatably.
// It answers as the real device does where handlers depend on it: at the end
// of the track "play" and "pause" do nothing and the mode stays "stopped";
// "play from" and "seek" move away from the end again.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/event_pump.h"
#include "player/media_service.h"

namespace snipwell::test {

class ScriptedMediaService {
public:
    explicit ScriptedMediaService(Clock& clock) : clock_(clock) {}

    // The entry point to hand to Form1 or MovieModule.
    MciSendString entry();

    // Tracks that "open" accepts, by path, with their length in ms.
    void addTrack(const std::string& path, std::int32_t lengthMs) { tracks_[path] = lengthMs; }

    // Every command received, in order.
    std::vector<std::string> commands;
    // Answers a command before the pretend device does; return nullopt to
    // let the device answer. The reply text is written like the device's.
    struct Answer {
        std::uint32_t code = 0;
        std::optional<std::string> reply;  // nullopt: write nothing at all
    };
    std::function<std::optional<Answer>(const std::string& command)> intercept;

    // The pretend device.
    bool isOpen() const { return open_; }
    std::string openPath() const { return path_; }
    std::string mode();
    std::int32_t positionMs();
    // Moves the playing position, as if playback had run there.
    void jumpTo(std::int32_t positionMs);

    static constexpr std::uint32_t kNotOpen = 263;
    static constexpr std::uint32_t kCannotOpen = 275;
    static constexpr std::uint32_t kUnknownCommand = 274;
    static constexpr std::uint32_t kOutOfRange = 264;

private:
    enum class Mode { Stopped, Paused, Playing };

    std::uint32_t run(const std::string& command, std::string& reply);
    std::uint32_t openTrack(const std::string& command);
    std::uint32_t answerStatus(const std::string& command, std::string& reply);
    std::uint32_t moveDevice(const std::string& command);
    void setMode(Mode mode, std::int32_t atMs);
    void settle();

    Clock& clock_;
    std::map<std::string, std::int32_t> tracks_;
    bool open_ = false;
    std::string path_;
    std::int32_t lengthMs_ = 0;
    Mode mode_ = Mode::Stopped;
    std::int32_t anchorMs_ = 0;  // position when the clock read anchorClock_
    double anchorClock_ = 0;
};

}  // namespace snipwell::test
