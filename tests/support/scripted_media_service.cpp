#include "support/scripted_media_service.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>

namespace snipwell::test {
namespace {

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

}  // namespace

MciSendString ScriptedMediaService::entry() {
    return [this](const char* command, char* reply, std::uint32_t capacity, std::uintptr_t) {
        commands.emplace_back(command);
        std::optional<std::string> text = std::string{};
        std::uint32_t code = 0;
        std::optional<Answer> answer = intercept ? intercept(command) : std::nullopt;
        if (answer) {
            code = answer->code;
            text = answer->reply;
        } else {
            std::string deviceReply;
            code = run(command, deviceReply);
            text = deviceReply;
        }
        if (text && reply != nullptr && capacity > 0) {
            const std::size_t length = std::min<std::size_t>(text->size(), capacity - 1);
            std::memcpy(reply, text->data(), length);
            reply[length] = '\0';
        }
        return code;
    };
}

void ScriptedMediaService::settle() {
    if (mode_ != Mode::Playing) return;
    if (positionMs() >= lengthMs_) {
        anchorMs_ = lengthMs_;
        mode_ = Mode::Stopped;
    }
}

std::int32_t ScriptedMediaService::positionMs() {
    if (mode_ != Mode::Playing) return anchorMs_;
    const double played = (clock_.seconds() - anchorClock_) * 1000.0;
    const double at = static_cast<double>(anchorMs_) + std::floor(played);
    return static_cast<std::int32_t>(std::min(at, static_cast<double>(lengthMs_)));
}

std::string ScriptedMediaService::mode() {
    settle();
    if (!open_) return "not ready";
    switch (mode_) {
        case Mode::Playing: return "playing";
        case Mode::Paused: return "paused";
        case Mode::Stopped: return "stopped";
    }
    return "stopped";
}

void ScriptedMediaService::jumpTo(std::int32_t positionMs) {
    anchorMs_ = positionMs;
    anchorClock_ = clock_.seconds();
}

std::uint32_t ScriptedMediaService::run(const std::string& command, std::string& reply) {
    settle();
    if (command == "close all") {
        open_ = false;
        return 0;
    }
    if (startsWith(command, "open \"")) return openTrack(command);
    if (!open_) return kNotOpen;
    if (startsWith(command, "status movie ")) return answerStatus(command, reply);
    return moveDevice(command);
}

std::uint32_t ScriptedMediaService::openTrack(const std::string& command) {
    const auto end = command.find('"', 6);
    const std::string path = command.substr(6, end == std::string::npos ? 0 : end - 6);
    const auto track = tracks_.find(path);
    if (end == std::string::npos || track == tracks_.end()) return kCannotOpen;
    open_ = true;
    path_ = path;
    lengthMs_ = track->second;
    mode_ = Mode::Stopped;
    anchorMs_ = 0;
    return 0;
}

std::uint32_t ScriptedMediaService::answerStatus(const std::string& command, std::string& reply) {
    if (command == "status movie length") {
        reply = std::to_string(lengthMs_);
    } else if (command == "status movie position wait" || command == "status movie position") {
        reply = std::to_string(positionMs());
    } else if (command == "status movie mode") {
        reply = mode();
    } else {
        return kUnknownCommand;
    }
    return 0;
}

std::uint32_t ScriptedMediaService::moveDevice(const std::string& command) {
    if (command == "close movie") {
        open_ = false;
    } else if (command == "play movie" || command == "resume movie") {
        if (anchorMs_ < lengthMs_) setMode(Mode::Playing, positionMs());
    } else if (startsWith(command, "play movie from ")) {
        const std::int32_t from = std::stoi(command.substr(16));
        if (from > lengthMs_) return kOutOfRange;
        // Nothing plays from the very end; the device rests there, stopped.
        setMode(from < lengthMs_ ? Mode::Playing : Mode::Stopped, from);
    } else if (command == "pause movie") {
        // A device at the end has nothing left to pause and stays stopped.
        if (!(mode_ == Mode::Stopped && anchorMs_ >= lengthMs_))
            setMode(Mode::Paused, positionMs());
    } else if (command == "stop movie") {
        setMode(Mode::Stopped, positionMs());
    } else if (startsWith(command, "seek movie to ")) {
        setMode(Mode::Stopped, std::stoi(command.substr(14)));
    } else if (command != "set movie time format ms") {
        return kUnknownCommand;
    }
    return 0;
}

void ScriptedMediaService::setMode(Mode mode, std::int32_t atMs) {
    anchorMs_ = std::clamp(atMs, 0, lengthMs_);
    anchorClock_ = clock_.seconds();
    mode_ = mode;
}

}  // namespace snipwell::test
