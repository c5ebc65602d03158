// The C-style entry point: a thin shim over the MediaEntryPoint the program
// installed (media_entry_point.h).

#include "mci/mci_send_string.h"

#include "mci/media_engine_control.h"
#include "mci/media_entry_point.h"

namespace snipwell::mci {

int mediaEngineProcessId() { return currentMediaEntryPoint().engineProcessId(); }

}  // namespace snipwell::mci

extern "C" std::uint32_t mciSendStringA(const char* command, char* reply, std::uint32_t capacity,
                                        std::uintptr_t /*callback*/) {
    return snipwell::mci::currentMediaEntryPoint().send(command, reply, capacity);
}
