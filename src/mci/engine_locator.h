#pragma once
// Where the media engine program is: $SNIPWELL_MEDIA_ENGINE when set, else
// beside the running program (the build folder), else in
// ../libexec/snipwell/ relative to the running program's folder (an
// installed tree).

#include <optional>
#include <string>

namespace snipwell::mci {

inline constexpr const char* mediaEngineProgramName = "snipwell-media-engine";
inline constexpr const char* mediaEngineVariable = "SNIPWELL_MEDIA_ENGINE";

// nullopt when no executable program is found in any of those places.
std::optional<std::string> findMediaEngine();

}  // namespace snipwell::mci
