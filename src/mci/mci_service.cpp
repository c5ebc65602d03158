#include "mci/mci_service.h"

#include <utility>

#include "mci/command_parser.h"

namespace snipwell::mci {
namespace {

MciOutcome failure(MciError error) { return {error, {}}; }
MciOutcome success(std::string reply = {}) { return {MciError::ok, std::move(reply)}; }

const char* modeText(DeviceMode mode) {
    switch (mode) {
        case DeviceMode::playing: return "playing";
        case DeviceMode::paused: return "paused";
        case DeviceMode::stopped: return "stopped";
        case DeviceMode::notReady: return "not ready";
    }
    return "not ready";
}

}  // namespace

MciService::MciService(DeviceOpener opener) : opener_(std::move(opener)) {}

MciOutcome MciService::execute(std::string_view commandText) {
    auto parsed = parseCommand(commandText);
    if (const auto* error = std::get_if<MciError>(&parsed)) return failure(*error);
    return std::visit([this](const auto& command) { return run(command); },
                      std::get<Command>(parsed));
}

MediaDevice* MciService::find(const std::string& alias) {
    const auto found = devices_.find(alias);
    return found == devices_.end() ? nullptr : found->second.get();
}

MciOutcome MciService::run(const OpenCommand& command) {
    if (find(command.alias) != nullptr) return failure(MciError::aliasInUse);
    auto opened = opener_(command.path);
    if (const auto* error = std::get_if<MciError>(&opened)) return failure(*error);
    devices_.emplace(command.alias, std::move(std::get<std::unique_ptr<MediaDevice>>(opened)));
    return success();
}

MciOutcome MciService::run(const CloseCommand& command) {
    const auto found = devices_.find(command.alias);
    if (found == devices_.end()) return failure(MciError::aliasNotOpen);
    devices_.erase(found);
    return success();
}

MciOutcome MciService::run(const CloseAllCommand&) {
    devices_.clear();
    return success();
}

MciOutcome MciService::run(const PlayCommand& command) {
    MediaDevice* device = find(command.alias);
    if (device == nullptr) return failure(MciError::aliasNotOpen);
    if (command.hasFrom) {
        if (command.fromMs > device->lengthMs()) return failure(MciError::positionOutOfRange);
        if (const auto error = device->seekTo(command.fromMs); error != MciError::ok) {
            return failure(error);
        }
    }
    return {device->play(), {}};
}

MciOutcome MciService::run(const TransportCommand& command) {
    MediaDevice* device = find(command.alias);
    if (device == nullptr) return failure(MciError::aliasNotOpen);
    switch (command.action) {
        case Transport::stop: return {device->stop(), {}};
        case Transport::pause: return {device->pause(), {}};
        case Transport::resume: {
            // Resume continues a pause; it is no way to start a stopped device.
            const DeviceMode mode = device->mode();
            if (mode == DeviceMode::playing) return success();
            if (mode != DeviceMode::paused) return failure(MciError::notPaused);
            return {device->play(), {}};
        }
    }
    return failure(MciError::unknownCommand);
}

MciOutcome MciService::run(const SetTimeFormatCommand& command) {
    // Milliseconds are the only format and the default, so there is nothing
    // to remember; the command still has to name an open device.
    if (find(command.alias) == nullptr) return failure(MciError::aliasNotOpen);
    return success();
}

MciOutcome MciService::run(const StatusCommand& command) {
    MediaDevice* device = find(command.alias);
    if (device == nullptr) return failure(MciError::aliasNotOpen);
    switch (command.item) {
        case StatusItem::length: return success(std::to_string(device->lengthMs()));
        case StatusItem::position: return success(std::to_string(device->positionMs()));
        case StatusItem::mode: return success(modeText(device->mode()));
    }
    return failure(MciError::unknownKeyword);
}

MciOutcome MciService::run(const SeekCommand& command) {
    MediaDevice* device = find(command.alias);
    if (device == nullptr) return failure(MciError::aliasNotOpen);
    if (command.toMs > device->lengthMs()) return failure(MciError::positionOutOfRange);
    return {device->seekTo(command.toMs), {}};
}

}  // namespace snipwell::mci
