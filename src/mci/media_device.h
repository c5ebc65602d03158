#pragma once
// One open media file, as the service drives it. The service checks the
// commands; a device only carries them out.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>

#include "mci/mci_error.h"

namespace snipwell::mci {

enum class DeviceMode { playing, paused, stopped, notReady };

class MediaDevice {
public:
    MediaDevice() = default;
    MediaDevice(const MediaDevice&) = delete;
    MediaDevice& operator=(const MediaDevice&) = delete;
    virtual ~MediaDevice() = default;

    // Playback starts from the current position; at the end nothing plays.
    virtual MciError play() = 0;
    // Playback halts; the position stays.
    virtual MciError pause() = 0;
    virtual MciError stop() = 0;
    // Moves to `ms` (at most the length) and leaves the device not playing.
    virtual MciError seekTo(std::int32_t ms) = 0;

    virtual std::int64_t lengthMs() = 0;
    virtual std::int64_t positionMs() = 0;
    virtual DeviceMode mode() = 0;
};

using DeviceOpenResult = std::variant<std::unique_ptr<MediaDevice>, MciError>;
using DeviceOpener = std::function<DeviceOpenResult(const std::string& path)>;

}  // namespace snipwell::mci
