#pragma once
// File errors in the words a person reads: what failed, on which file, and
// the system's reason.

#include <string>

#include "common/runtime_error.h"

namespace snipwell {

// "cannot read \"/music/a.mp3\": Input/output error"
RuntimeError fileError(const std::string& action, const std::string& path, int systemError);
RuntimeError fileError(const std::string& action, const std::string& path,
                       const std::string& reason);

}  // namespace snipwell
