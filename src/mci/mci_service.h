#pragma once
// The media service behind the text entry point: parses a command, finds the
// device by its alias and carries the command out. A command that fails
// changes nothing.

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "mci/command.h"
#include "mci/mci_error.h"
#include "mci/media_device.h"

namespace snipwell::mci {

struct MciOutcome {
    MciError error = MciError::ok;
    std::string reply;  // empty for commands that answer nothing
};

class MciService {
public:
    explicit MciService(DeviceOpener opener);

    MciOutcome execute(std::string_view commandText);

private:
    MciOutcome run(const OpenCommand& command);
    MciOutcome run(const CloseCommand& command);
    MciOutcome run(const CloseAllCommand& command);
    MciOutcome run(const PlayCommand& command);
    MciOutcome run(const TransportCommand& command);
    MciOutcome run(const SetTimeFormatCommand& command);
    MciOutcome run(const StatusCommand& command);
    MciOutcome run(const SeekCommand& command);

    MediaDevice* find(const std::string& alias);

    DeviceOpener opener_;
    std::map<std::string, std::unique_ptr<MediaDevice>, std::less<>> devices_;
};

}  // namespace snipwell::mci
