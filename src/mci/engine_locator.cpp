#include "mci/engine_locator.h"

#include "common/helper_program.h"

namespace snipwell::mci {

std::optional<std::string> findMediaEngine() {
    return findHelperProgram(mediaEngineProgramName, mediaEngineVariable);
}

}  // namespace snipwell::mci
