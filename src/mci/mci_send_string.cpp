// The C entry point: one process-wide service, guarded by a mutex so that
// calls from more than one thread are safe even though the window calls from
// its one thread only.

#include "mci/mci_send_string.h"

#include <mutex>

#include "mci/gst_media_device.h"
#include "mci/mci_service.h"
#include "mci/reply_area.h"

namespace {

std::mutex serviceMutex;

snipwell::mci::MciService& service() {
    static snipwell::mci::MciService instance(&snipwell::mci::GstMediaDevice::open);
    return instance;
}

}  // namespace

extern "C" std::uint32_t mciSendStringA(const char* command, char* reply,
                                        std::uint32_t capacity, std::uintptr_t /*callback*/) {
    using namespace snipwell::mci;
    if (command == nullptr) return toCode(MciError::emptyCommand);

    const std::lock_guard lock(serviceMutex);
    const MciOutcome outcome = service().execute(command);
    // A failed command answers with an empty reply, so that a stale reply
    // left in the area is not read as its answer.
    const MciError replyError = writeReply(reply, capacity, outcome.reply);
    if (outcome.error != MciError::ok) return toCode(outcome.error);
    return toCode(replyError);
}
